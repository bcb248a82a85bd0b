#include "ui/application_identity.h"

#include <QGuiApplication>

namespace sorrel::ui {

void identify_application() {
    QGuiApplication::setApplicationName(QStringLiteral("sorrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.sorrel.Sorrel"));
}

} // namespace sorrel::ui
