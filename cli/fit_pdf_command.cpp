#include "cli/commands.h"
#include "cli/fit_command.h"
#include "cli/offscreen_painting.h"
#include "report/fit_page.h"

#include <QFile>

#include <iostream>

namespace sorrel {

int fit_pdf_command(const tuning::PitchFit& fit, const std::string& title,
                    const std::string& path) {
    return with_offscreen_painting([&] {
        const WriteOutcome outcome =
            print_fit_to_pdf(fit, QString::fromStdString(title), QFile::decodeName(path.c_str()));
        if (!outcome.written)
            std::cerr << "sorrel-cli: cannot write " << outcome.error << '\n';
        return int(outcome.written ? kExitDone : kExitFileError);
    });
}

} // namespace sorrel
