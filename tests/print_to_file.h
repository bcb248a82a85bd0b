#pragma once
// Answers the print dialog that the next action opens as a user does on a
// machine without printers: the last destination, "Print to File (PDF)",
// named `path`, then Print or Cancel. The returned flag tells whether the
// dialog was shown at all.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QTimer>

#include <memory>

namespace sorrel {

inline std::shared_ptr<bool> answer_print_dialog(const QString& path, bool accept) {
    auto shown = std::make_shared<bool>(false);
    QTimer::singleShot(0, qApp, [shown, path, accept] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        *shown = true;
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        if (printers != nullptr && fileName != nullptr) {
            printers->setCurrentIndex(printers->count() - 1);
            fileName->setText(path);
        }
        if (accept)
            dialog->accept(); // takes the chosen destination into the printer
        else
            dialog->reject();
    });
    return shown;
}

// What a poppler tool prints on standard output (its errors into `errors`).
inline QString run_tool(const QString& program, const QStringList& arguments,
                        QString* errors = nullptr) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    if (errors)
        *errors = QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace sorrel
