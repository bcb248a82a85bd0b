#pragma once
// The main window's menu bar as data: every item with its text and the
// command number the window dispatches on.

#include <QKeySequence>

#include <vector>

namespace sorrel::ui {

namespace command {
inline constexpr int kLoad = 2001;
inline constexpr int kSave = 2002;
inline constexpr int kPrint = 2003;
inline constexpr int kCustomFrequencies = 2005;
inline constexpr int kBoreShape = 2006;
inline constexpr int kTemperature = 2007;
inline constexpr int kDistance = 2008;
inline constexpr int kAirDensity = 2009;
inline constexpr int kDrillSizes = 2017;
inline constexpr int kTubingSizes = 2018;
inline constexpr int kPrevious = 2020;
inline constexpr int kNext = 2021;
inline constexpr int kQuit = 2022;
inline constexpr int kAbout = 2023;
inline constexpr int kSetup = 2025;
inline constexpr int kPrintDrillingTemplate = 2030;
inline constexpr int kTuning = 2031;
inline constexpr int kBlank = 4226;   // a gap on the bar, no item a screen reader would read
inline constexpr int kVersion = 6002; // the right-justified "V3.3", no action
} // namespace command

struct MenuItem {
    const char* menu; // the pull-down menu, or nullptr for an item on the bar itself
    const char* text; // nullptr for a separator (on the bar itself, a gap)
    int command;
    QKeySequence::StandardKey shortcut;
};

// In menu order, the Scales/Modes items taken from the scale presets.
std::vector<MenuItem> main_menu_items();

inline constexpr const char* kVersionText = "V3.3";

} // namespace sorrel::ui
