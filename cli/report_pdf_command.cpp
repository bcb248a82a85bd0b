#include "cli/commands.h"
#include "cli/offscreen_painting.h"
#include "report/report_page.h"

#include <QFile>

#include <iostream>

namespace sorrel {

int report_pdf_command(const CircuitRecord& slot, const std::string& path) {
    return with_offscreen_painting([&] {
        const WriteOutcome outcome = print_report_to_pdf(slot, QFile::decodeName(path.c_str()));
        if (!outcome.written) {
            std::cerr << "sorrel-cli: cannot write " << outcome.error << '\n';
            return int(kExitFileError);
        }
        return int(kExitDone);
    });
}

} // namespace sorrel
