#include "cli/bank_file.h"
#include "cli/commands.h"
#include "cli/geometry_source.h"
#include "cli/offscreen_painting.h"
#include "cli/template_arguments.h"
#include "drilling/circuit_plan.h"
#include "drilling/geometry_plan.h"
#include "drilling/template_painter.h"

#include <QFile>

#include <ctime>
#include <iostream>

namespace sorrel {
namespace {

// Today as the template prints it, "2026-12-07".
std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d", &local));
}

// The plan of the geometry file or design slot `args` names; empty with the
// reason told on stderr and `status` set when there is none.
std::optional<DrillingPlan> plan_to_draw(const TemplateArguments& args, int& status) {
    status = kExitFileError;
    if (is_geometry_file(args.design)) {
        const std::optional<LoadedGeometry> loaded = load_geometry(args.design, 0);
        if (!loaded)
            return std::nullopt;
        return plan_from_geometry(loaded->geometry, today());
    }
    const std::optional<DesignState> state = read_bank(args.design);
    if (!state)
        return std::nullopt;
    const int slot = args.slot.value_or(0);
    CircuitPlan circuit =
        plan_from_circuit(state->bank.slot[static_cast<std::size_t>(slot)], today());
    if (!circuit.plan) {
        std::cerr << "sorrel-cli: slot " << slot << ": " << circuit.refusal << '\n';
        status = kExitSlotStopped;
    }
    return circuit.plan;
}

} // namespace

int template_command(const TemplateArguments& args) {
    int status = kExitDone;
    const std::optional<DrillingPlan> plan = plan_to_draw(args, status);
    if (!plan)
        return status;
    const TemplateLayout layout = lay_out_template(*plan, args.paper);
    return with_offscreen_painting([&] {
        // "-o -" is standard output, as calc's "-o -" is.
        if (args.output == "-") {
            const std::optional<std::string> pdf = template_pdf(layout);
            if (pdf)
                std::cout << *pdf;
            else
                std::cerr << "sorrel-cli: the PDF could not be drawn\n";
            return int(pdf ? kExitDone : kExitFileError);
        }
        const QString error = write_template_pdf(layout, QFile::decodeName(args.output.c_str()));
        if (!error.isEmpty()) {
            std::cerr << "sorrel-cli: cannot write " << error.toStdString() << '\n';
            return int(kExitFileError);
        }
        return int(kExitDone);
    });
}

} // namespace sorrel
