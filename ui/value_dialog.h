#pragma once
// A modal dialog that edits a few numbers: it shows their current values
// when it opens, writes nothing until OK, then reads every field (a field
// that does not begin with a number, or still shows its value as opened,
// keeps the value), and changes nothing on Cancel. OK refuses a value out of
// its range: a message names the field, which takes the focus, and the
// dialog stays open with nothing stored.

#include "model/input_check.h"
#include "ui/template_dialog.h"

#include <vector>

namespace sorrel::ui {

class Feedback;

struct EditedValue {
    int id;             // the edit control
    float* value;       // where OK stores what it reads
    const char* format; // how the value is shown
    InputRule rule;     // AboveZero or ZeroOrMore
};

class ValueDialog : public TemplateDialog {
    Q_OBJECT

public:
    // `values` in the order OK reads them.
    ValueDialog(const DialogTemplate& dialog, std::vector<EditedValue> values, Feedback& feedback,
                QWidget* owner);

protected:
    void handle_command(int command) override;

private:
    // Stores every value, or refuses the first out of range; returns whether it stored.
    bool store_values();
    void refuse(const EditedValue& edited);

    std::vector<EditedValue> values_;
    Feedback& feedback_;
};

} // namespace sorrel::ui
