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
    const QString title = to_qstring(caption);
    const QString shown = with_line_breaks(text);
    switch (buttons) {
    case MessageButtons::Ok:
        QMessageBox::information(owner_, title, shown);
        return MessageAnswer::Ok;
    case MessageButtons::OkWarning:
        QMessageBox::warning(owner_, title, shown);
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return QMessageBox::question(owner_, title, shown, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes
                   ? MessageAnswer::Yes
                   : MessageAnswer::No;
    case MessageButtons::SaveDiscardCancel:
        break;
    }
    switch (QMessageBox::question(owner_, title, shown,
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                  QMessageBox::Save)) {
    case QMessageBox::Save:
        return MessageAnswer::Save;
    case QMessageBox::Discard:
        return MessageAnswer::Discard;
    default: // Cancel, Escape and the close box keep the work
        return MessageAnswer::Cancel;
    }
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
