#pragma once
// The modal dialogs of the Utility and Help menus, built from a template:
// OK (command 1, also Enter) closes one; Escape and the close box are
// ignored, so it stays open. Each working button (a conversion's "Convert",
// "Calculate") reads some fields, computes, and overwrites other fields with
// the results; a reference sheet has none. A button refuses physically
// impossible input: a message names the field, which takes the focus with
// its text selected, and every field keeps its text.

#include "ui/template_dialog.h"

#include <optional>
#include <string>
#include <vector>

namespace sorrel::ui {

class Feedback;

using FieldTexts = std::vector<std::string>;

struct FieldText {
    int id;
    std::string text;
};

// A source a button refuses, and why ("must be -459.67 or more").
struct SourceFault {
    std::size_t source; // index into the button's sources
    const char* rule;
};

struct WorkingButton {
    int button;
    std::vector<int> sources; // read in this order, as a numeric field is read
    // The result texts in the order of `targets`, or nothing when a source
    // does not begin with a number (every field then keeps its text).
    std::optional<FieldTexts> (*convert)(const FieldTexts& sources);
    std::vector<int> targets; // a target that is also a source is not rewritten
    // The first source that cannot be taken, checked before `convert`; nullptr takes any number.
    std::optional<SourceFault> (*refuse)(const FieldTexts& sources) = nullptr;
};

class UtilityDialog : public TemplateDialog {
public:
    // `spokenNames` name the controls whose labels do not say what they hold
    // or do; `feedback` shows refusals, nullptr where no button refuses.
    UtilityDialog(const DialogTemplate& dialog, const std::vector<FieldText>& opening,
                  const std::vector<FieldText>& spokenNames, std::vector<WorkingButton> buttons,
                  Feedback* feedback, QWidget* owner);

protected:
    void handle_command(int command) override;

private:
    void run(const WorkingButton& button);
    void refuse(int field, const char* rule);

    std::vector<WorkingButton> buttons_;
    Feedback* feedback_;
};

} // namespace sorrel::ui
