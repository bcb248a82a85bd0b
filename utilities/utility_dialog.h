#pragma once
// The modal dialogs of the Utility and Help menus, built from a template:
// OK (command 1, also Enter) closes one; Escape and the close box are
// ignored, so it stays open. Each working button (a conversion's "Convert",
// "Calculate") reads some fields, computes, and overwrites other fields with
// the results; a reference sheet has none.

#include "ui/template_dialog.h"

#include <optional>
#include <string>
#include <vector>

namespace sorrel::ui {

using FieldTexts = std::vector<std::string>;

struct FieldText {
    int id;
    std::string text;
};

struct WorkingButton {
    int button;
    std::vector<int> sources; // read in this order, as a numeric field is read
    // The result texts in the order of `targets`, or nothing when a source
    // does not begin with a number (every field then keeps its text).
    std::optional<FieldTexts> (*convert)(const FieldTexts& sources);
    std::vector<int> targets; // a target that is also a source is not rewritten
};

class UtilityDialog : public TemplateDialog {
public:
    UtilityDialog(const DialogTemplate& dialog, const std::vector<FieldText>& opening,
                  std::vector<WorkingButton> buttons, QWidget* owner);

protected:
    void handle_command(int command) override;

private:
    void run(const WorkingButton& button);

    std::vector<WorkingButton> buttons_;
};

} // namespace sorrel::ui
