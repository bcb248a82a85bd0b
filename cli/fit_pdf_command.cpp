#include "cli/commands.h"
#include "cli/fit_command.h"
#include "report/fit_page.h"

#include <QFile>
#include <QGuiApplication>

#include <iostream>

namespace sorrel {

int fit_pdf_command(const tuning::PitchFit& fit, const std::string& title,
                    const std::string& path) {
    // As report --pdf: fonts need a Qt application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "sorrel-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    if (!print_fit_to_pdf(fit, QString::fromStdString(title), QFile::decodeName(path.c_str()))) {
        std::cerr << "sorrel-cli: cannot write " << path << '\n';
        return kExitFileError;
    }
    return kExitDone;
}

} // namespace sorrel
