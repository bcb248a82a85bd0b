#pragma once
// Dialogs described as data: every control with its number, kind, text and
// rectangle in dialog units, as the program's dialogs were designed.
// TemplateDialog turns a template into widgets.

#include <span>

namespace sorrel::ui {

// The number of texts and frames that no command addresses.
inline constexpr int kUnnumbered = -1;

enum class ControlKind {
    Text,          // static text, wrapped at its width; '&' marks a mnemonic, "&&" shows '&'
    TabbedText,    // static text on one line; a tab moves on to the next column stop
    Edit,          // single-line edit that scrolls horizontally
    ResultEdit,    // an Edit that only shows what commands write: read-only, out of the Tab chain
    Button,        // push button; a click sends its number as a command
    DefaultButton, // the push button Enter presses
    CheckBox,      // toggles on a click, then sends its number
    RadioButton,   // every radio button of a dialog is in one group; a click sends its number
    GroupBox,      // titled frame drawn behind the controls inside it
    DropDownList,  // list with an editable text part; the height is the dropped list's
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    int x, y, width, height; // dialog units
};

struct DialogTemplate {
    const char* name;
    const char* title;
    int width, height; // dialog units
    const char* fontFace;
    int pointSize;
    std::span<const ControlTemplate> controls; // in tab order
};

} // namespace sorrel::ui
