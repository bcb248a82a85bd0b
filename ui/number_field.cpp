#include "ui/number_field.h"

#include "model/text_format.h"
#include "ui/latin1_text.h"

namespace sorrel::ui {

NumberField::NumberField(const char* format, const QString& accessibleName, QWidget* parent)
    : QLineEdit(parent), format_(format) {
    setAccessibleName(accessibleName);
    setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000.000")) + 16);
}

void NumberField::show_value(double value) {
    held_ = value;
    shown_ = format(format_, value);
    setText(to_qstring(shown_));
}

std::optional<double> NumberField::value() const {
    const std::string typed = to_latin1(text());
    if (!shown_.empty() && typed == shown_)
        return held_;
    return parse_whole_number(typed);
}

} // namespace sorrel::ui
