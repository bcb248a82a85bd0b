#pragma once
// Answers the modal dialog that the next action opens: `drive` runs on it
// once it shows, and the dialog is closed afterwards if `drive` left it open,
// so a failed check cannot leave the test waiting. The returned flag tells
// whether a dialog was shown at all.

#include "ui/template_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace sorrel::ui {

inline std::shared_ptr<bool> answer_next_dialog(std::function<void(TemplateDialog&)> drive) {
    auto shown = std::make_shared<bool>(false);
    QTimer::singleShot(0, qApp, [shown, drive = std::move(drive)] {
        auto* dialog = qobject_cast<TemplateDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        *shown = true;
        drive(*dialog);
        if (dialog->isVisible())
            dialog->end(kOkCommand);
    });
    return shown;
}

// Types into a field and presses a button, as the user would.
inline void type_into(TemplateDialog& dialog, int id, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(dialog.control(id));
    QVERIFY(edit != nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

inline void press(TemplateDialog& dialog, int id) {
    auto* button = qobject_cast<QAbstractButton*>(dialog.control(id));
    QVERIFY(button != nullptr);
    button->click();
}

} // namespace sorrel::ui
