#include "cli/offscreen_painting.h"

#include <QGuiApplication>

namespace sorrel {

int with_offscreen_painting(const std::function<int()>& draw) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "sorrel-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    return draw();
}

} // namespace sorrel
