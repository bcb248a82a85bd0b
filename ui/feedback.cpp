#include "ui/feedback.h"

#include "ui/latin1_text.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>

namespace sorrel::ui {
namespace {

QString with_line_breaks(std::string_view text) {
    QString shown = to_qstring(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

} // namespace

MessageAnswer DesktopFeedback::message(std::string_view caption, std::string_view text,
                                       MessageButtons buttons) {
    if (buttons == MessageButtons::Ok) {
        QMessageBox::information(owner_, to_qstring(caption), with_line_breaks(text));
        return MessageAnswer::Ok;
    }
    const QMessageBox::StandardButton pressed =
        QMessageBox::question(owner_, to_qstring(caption), with_line_breaks(text),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void DesktopFeedback::beep() {
    QApplication::beep();
}

void DesktopFeedback::set_wait_cursor(bool waiting) {
    if (waiting)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

} // namespace sorrel::ui
