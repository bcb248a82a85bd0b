#pragma once
// Drawing PDF pages from the command line: fonts and painting need a Qt
// application, though not a display.

#include <functional>

namespace sorrel {

// Runs `draw` inside a Qt application that paints offscreen unless
// QT_QPA_PLATFORM says otherwise, so the commands work over ssh and in
// scripts. Returns what `draw` returns.
int with_offscreen_painting(const std::function<int()>& draw);

} // namespace sorrel
