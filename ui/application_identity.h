#pragma once
// How the program names itself to the desktop: its application name and the
// desktop entry that gives its icon and name in the task bar.

namespace sorrel::ui {

// Sets the names; no display name, which the desktop would append to every
// window and message title ("Sorrel - Math Error — Sorrel"), and every title
// names Sorrel already.
void identify_application();

} // namespace sorrel::ui
