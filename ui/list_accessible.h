#pragma once
// What a screen reader meets in a template dialog's drop-down list, and in
// any list given a name. The desktop's own interface on this platform names
// a list by its current line ("587.330 - D5 : High-D Whistle/Flute"); here
// the list is named by its label, and its current line is its value.

namespace sorrel::ui {

// Makes the lists of template dialogs and the named lists speak so, for the
// whole program; a second call does nothing.
void install_list_accessibility();

} // namespace sorrel::ui
