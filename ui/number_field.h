#pragma once
// A line edit for one number. It shows a value in a fixed format and, while
// its text still reads as shown, gives that value back unrounded: a fitted
// position or a calibrated window height is never cut to the shown digits.

#include <QLineEdit>

#include <optional>
#include <string>

namespace sorrel::ui {

// An edit field holding one number; figures go through the C-locale helpers.
class NumberField : public QLineEdit {
    Q_OBJECT

public:
    // `format` is a printf pattern for one double, e.g. "%.2f".
    NumberField(const char* format, const QString& accessibleName, QWidget* parent);

    void show_value(double value);
    // The held value while the text is as shown, else the typed number;
    // empty unless the whole text is one number ("7,5" and "40mm" are not).
    std::optional<double> value() const;

private:
    const char* format_;
    double held_ = 0;
    std::string shown_; // the text show_value wrote
};

} // namespace sorrel::ui
