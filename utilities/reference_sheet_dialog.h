#pragma once
// The Help menu's reference sheets: fixed texts laid out in a template,
// shown modally until OK (or Enter) closes them; Escape and the close box
// leave them open.

class QWidget;

namespace sorrel::ui {

enum class ReferenceSheet {
    Drills,    // "Fractional Drill Sizes", template DRILLS
    Resources, // "Resources": aluminium, copper, PVC and brass tubing, template RESOURCES
};

void show_reference_sheet(QWidget* owner, ReferenceSheet which);

} // namespace sorrel::ui
