#include "cli/bank_file.h"
#include "cli/circuit_json.h"
#include "cli/commands.h"
#include "cli/output_check.h"
#include "report/report_lines.h"

#include <iostream>

namespace sorrel {

int report_command(const CliArguments& args) {
    if (!args.pdf.empty() && output_is_input(args.file, "--pdf", args.pdf))
        return kExitUsage;
    const std::optional<DesignState> state = read_bank(args.file);
    if (!state)
        return kExitFileError;
    const int index = args.slots.empty() ? 0 : args.slots.front();
    const CircuitRecord& slot = state->bank.slot[static_cast<std::size_t>(index)];
#if SORREL_CLI_PDF
    if (!args.pdf.empty())
        return report_pdf_command(slot, args.pdf);
#endif
    if (args.json) {
        std::cout << circuit_json_text(slot) << '\n';
        return kExitDone;
    }
    for (const ReportLine& line : report_lines(slot))
        std::cout << line.text << '\n';
    return kExitDone;
}

} // namespace sorrel
