#include "cli/bank_file.h"
#include "cli/commands.h"
#include "cli/template_arguments.h"
#include "drilling/circuit_plan.h"
#include "drilling/template_painter.h"

#include <QFile>
#include <QGuiApplication>

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

} // namespace

int template_command(const TemplateArguments& args) {
    const std::optional<DesignState> state = read_bank(args.design);
    if (!state)
        return kExitFileError;
    const CircuitPlan circuit =
        plan_from_circuit(state->bank.slot[static_cast<std::size_t>(args.slot)], today());
    if (!circuit.plan) {
        std::cerr << "sorrel-cli: slot " << args.slot << ": " << circuit.refusal << '\n';
        return kExitSlotStopped;
    }
    // Fonts and painting need a Qt application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "sorrel-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    const QString error = write_template_pdf(lay_out_template(*circuit.plan, args.paper),
                                             QFile::decodeName(args.output.c_str()));
    if (!error.isEmpty()) {
        std::cerr << "sorrel-cli: cannot write " << error.toStdString() << '\n';
        return kExitFileError;
    }
    return kExitDone;
}

} // namespace sorrel
