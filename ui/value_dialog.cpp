#include "ui/value_dialog.h"

#include "model/text_format.h"

namespace sorrel::ui {

ValueDialog::ValueDialog(const DialogTemplate& dialog, std::vector<EditedValue> values,
                         QWidget* owner)
    : TemplateDialog(dialog, Placement::Modal, owner), values_(std::move(values)) {
    for (const EditedValue& edited : values_)
        set_item_text(edited.id, format(edited.format, double(*edited.value)));
}

void ValueDialog::handle_command(int command) {
    if (command == kOkCommand) {
        for (const EditedValue& edited : values_)
            read_number(edited.id, edited.format, *edited.value);
        end(kOkCommand);
    } else if (command == kCancelCommand) {
        end(kCancelCommand);
    }
}

} // namespace sorrel::ui
