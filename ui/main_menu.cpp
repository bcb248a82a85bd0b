#include "ui/main_menu.h"

#include "model/scale_presets.h"

namespace sorrel::ui {
namespace {

using namespace command;
constexpr auto kNone = QKeySequence::UnknownKey;

constexpr MenuItem kBeforePresets[] = {
    {"&File", "&Load", kLoad, QKeySequence::Open},
    {"&File", "&Save", kSave, QKeySequence::Save},
    {"&File", "&Print", kPrint, QKeySequence::Print},
    {"&File", "Print &Drilling Template...", kPrintDrillingTemplate, kNone},
    {"&File", nullptr, 0, kNone},
    {"&File", "&Quit", kQuit, QKeySequence::Quit},
    {"&Special", "&Enter Custom Frequencies", kCustomFrequencies, kNone},
    {"&Special", "&Tuning...", kTuning, kNone},
    {"&Utility", "&Round/Square Conversion", kBoreShape, kNone},
    {"&Utility", "&Temperature Conversion", kTemperature, kNone},
    {"&Utility", "&Distance Conversion", kDistance, kNone},
    {"&Utility", "Calculate &Air Density", kAirDensity, kNone},
};

constexpr MenuItem kAfterPresets[] = {
    {"&Help", "&About", kAbout, kNone},
    {"&Help", "Fractional &Drill Sizes", kDrillSizes, kNone},
    {"&Help", "&Tubing Sizes", kTubingSizes, kNone},
    {nullptr, "Se&tup", kSetup, kNone},
    {nullptr, nullptr, kBlank, kNone},
    {nullptr, "&Prev", kPrevious, kNone},
    {nullptr, "&Next", kNext, kNone},
};

} // namespace

std::vector<MenuItem> main_menu_items() {
    std::vector<MenuItem> items(std::begin(kBeforePresets), std::end(kBeforePresets));
    for (const ScalePreset& preset : kScalePresets)
        items.push_back({"S&cales/Modes", preset.menuText, preset.command, kNone});
    items.insert(items.end(), std::begin(kAfterPresets), std::end(kAfterPresets));
    return items;
}

} // namespace sorrel::ui
