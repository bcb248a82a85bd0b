#include "utilities/utility_dialog.h"

#include "ui/feedback.h"
#include "ui/latin1_text.h"

#include <QLineEdit>

#include <algorithm>

namespace sorrel::ui {

UtilityDialog::UtilityDialog(const DialogTemplate& dialog, const std::vector<FieldText>& opening,
                             const std::vector<FieldText>& spokenNames,
                             std::vector<WorkingButton> buttons, Feedback* feedback, QWidget* owner)
    : TemplateDialog(dialog, Placement::Modal, owner), buttons_(std::move(buttons)),
      feedback_(feedback) {
    for (const FieldText& field : opening)
        set_item_text(field.id, field.text);
    for (const FieldText& name : spokenNames)
        control(name.id)->setAccessibleName(to_qstring(name.text));
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
    if (button.refuse != nullptr) {
        if (const std::optional<SourceFault> fault = button.refuse(sources)) {
            refuse(button.sources[fault->source], fault->rule);
            return;
        }
    }
    const std::optional<FieldTexts> results = button.convert(sources);
    if (!results)
        return;
    for (std::size_t i = 0; i < button.targets.size() && i < results->size(); ++i) {
        const int target = button.targets[i];
        if (std::find(button.sources.begin(), button.sources.end(), target) == button.sources.end())
            set_item_text(target, (*results)[i]);
    }
}

void UtilityDialog::refuse(int field, const char* rule) {
    auto* edit = static_cast<QLineEdit*>(control(field));
    feedback_->message(to_latin1(windowTitle()), to_latin1(edit->accessibleName()) + ": " + rule,
                       MessageButtons::OkWarning);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

} // namespace sorrel::ui
