// Sorrel, the desktop program: one window with the calculator panel.

#include "ui/application_identity.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    sorrel::ui::identify_application();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/sorrel-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    sorrel::ui::MainWindow window;
    window.show();
    return QApplication::exec();
}
