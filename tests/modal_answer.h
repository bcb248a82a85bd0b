#pragma once
// Answers the modal dialog that the next action opens: `answer` runs on it
// once it is showing. A test that finds no dialog fails instead of hanging.

#include "ui/template_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace sorrel::ui {

inline void answer_next_dialog(std::function<void(TemplateDialog&)> answer) {
    QTimer::singleShot(0, qApp, [answer = std::move(answer)] {
        auto* dialog = qobject_cast<TemplateDialog*>(QApplication::activeModalWidget());
        QVERIFY2(dialog != nullptr, "no dialog was opened");
        answer(*dialog);
    });
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
