#pragma once
// A modal dialog that edits a few numbers: it shows their current values
// when it opens, writes nothing until OK, then reads every field (a field
// that does not begin with a number, or still shows its value as opened,
// keeps the value), and changes nothing on Cancel.

#include "ui/template_dialog.h"

#include <vector>

namespace sorrel::ui {

struct EditedValue {
    int id;             // the edit control
    float* value;       // where OK stores what it reads
    const char* format; // how the value is shown
};

class ValueDialog : public TemplateDialog {
    Q_OBJECT

public:
    // `values` in the order OK reads them.
    ValueDialog(const DialogTemplate& dialog, std::vector<EditedValue> values, QWidget* owner);

protected:
    void handle_command(int command) override;

private:
    std::vector<EditedValue> values_;
};

} // namespace sorrel::ui
