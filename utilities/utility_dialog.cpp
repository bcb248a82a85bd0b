#include "utilities/utility_dialog.h"

#include <algorithm>

namespace sorrel::ui {

UtilityDialog::UtilityDialog(const DialogTemplate& dialog, const std::vector<FieldText>& opening,
                             std::vector<WorkingButton> buttons, QWidget* owner)
    : TemplateDialog(dialog, Placement::Modal, owner), buttons_(std::move(buttons)) {
    for (const FieldText& field : opening)
        set_item_text(field.id, field.text);
}

void UtilityDialog::handle_command(int command) {
    if (command == kOkCommand) {
        end(kOkCommand);
        return;
    }
    const auto pressed = std::find_if(buttons_.begin(), buttons_.end(),
                                      [command](const auto& b) { return b.button == command; });
    if (pressed != buttons_.end())
        run(*pressed);
}

void UtilityDialog::run(const WorkingButton& button) {
    FieldTexts sources;
    for (int id : button.sources)
        sources.push_back(item_text(id, kNumberBuffer));
    const std::optional<FieldTexts> results = button.convert(sources);
    if (!results)
        return;
    for (std::size_t i = 0; i < button.targets.size() && i < results->size(); ++i) {
        const int target = button.targets[i];
        if (std::find(button.sources.begin(), button.sources.end(), target) == button.sources.end())
            set_item_text(target, (*results)[i]);
    }
}

} // namespace sorrel::ui
