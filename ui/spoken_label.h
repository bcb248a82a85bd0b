#pragma once
// A label whose text changes and matters: a screen reader finds it by its
// name ("Status") and reads its text as its description, which a plain
// label's name would hide.

#include <QLabel>

namespace sorrel::ui {

class SpokenLabel : public QLabel {
public:
    SpokenLabel(const QString& name, QWidget* parent) : QLabel(parent) { setAccessibleName(name); }

    void say(const QString& text) {
        setText(text);
        setAccessibleDescription(text);
    }
};

} // namespace sorrel::ui
