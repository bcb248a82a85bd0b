#include "ui/value_dialog.h"

#include "model/text_format.h"
#include "ui/feedback.h"
#include "ui/latin1_text.h"

#include <QLineEdit>

namespace sorrel::ui {

ValueDialog::ValueDialog(const DialogTemplate& dialog, std::vector<EditedValue> values,
                         Feedback& feedback, QWidget* owner)
    : TemplateDialog(dialog, Placement::Modal, owner), values_(std::move(values)),
      feedback_(feedback) {
    for (const EditedValue& edited : values_)
        set_item_text(edited.id, format(edited.format, double(*edited.value)));
}

void ValueDialog::handle_command(int command) {
    if (command == kOkCommand) {
        if (store_values())
            end(kOkCommand);
    } else if (command == kCancelCommand) {
        end(kCancelCommand);
    }
}

bool ValueDialog::store_values() {
    std::vector<float> read;
    for (const EditedValue& edited : values_) {
        float value = *edited.value;
        read_number(edited.id, edited.format, value);
        if (!obeys_input_rule(value, edited.rule)) {
            refuse(edited);
            return false;
        }
        read.push_back(value);
    }
    for (std::size_t i = 0; i < values_.size(); ++i)
        *values_[i].value = read[i];
    return true;
}

void ValueDialog::refuse(const EditedValue& edited) {
    auto* field = static_cast<QLineEdit*>(control(edited.id));
    feedback_.message(to_latin1(windowTitle()),
                      to_latin1(field->accessibleName()) + ": " + input_rule_text(edited.rule),
                      MessageButtons::OkWarning);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

} // namespace sorrel::ui
