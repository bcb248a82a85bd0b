#include "cli/commands.h"
#include "report/report_page.h"

#include <QFile>
#include <QGuiApplication>

#include <iostream>

namespace sorrel {

int report_pdf_command(const CircuitRecord& slot, const std::string& path) {
    // Fonts and painting need a Qt application, not a display: unless told
    // otherwise, draw offscreen so the command works over ssh and in scripts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "sorrel-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    const WriteOutcome outcome = print_report_to_pdf(slot, QFile::decodeName(path.c_str()));
    if (!outcome.written) {
        std::cerr << "sorrel-cli: cannot write " << outcome.error << '\n';
        return kExitFileError;
    }
    return kExitDone;
}

} // namespace sorrel
