#include "ui/settings_dialogs.h"

#include "ui/value_dialog.h"

#include <QWidget>

namespace sorrel::ui {
namespace {

using enum ControlKind;

constexpr ControlTemplate kCustomControls[] = {
    {kOkCommand, DefaultButton, "OK", 131, 6, 50, 14},
    {kCancelCommand, Button, "Cancel", 131, 23, 50, 14},
    {kUnnumbered, Text, "Base Freq:", 6, 5, 41, 9},
    {4167, Edit, "", 52, 4, 37, 10},
    {kUnnumbered, Text, "1st Freq:", 6, 15, 41, 9},
    {4006, Edit, "", 52, 15, 37, 10},
    {kUnnumbered, Text, "2nd Freq:", 6, 26, 41, 9},
    {4005, Edit, "", 52, 25, 37, 10},
    {kUnnumbered, Text, "3rd Freq:", 6, 37, 41, 9},
    {4004, Edit, "", 52, 36, 37, 10},
    {kUnnumbered, Text, "4th Freq:", 6, 48, 41, 9},
    {4003, Edit, "", 52, 47, 37, 10},
    {kUnnumbered, Text, "5th Freq:", 6, 58, 41, 9},
    {4002, Edit, "", 52, 57, 37, 10},
    {kUnnumbered, Text, "6th Freq:", 6, 68, 41, 9},
    {4001, Edit, "", 52, 68, 37, 10},
};

constexpr DialogTemplate kCustomTemplate = {
    "CUSTOM", "Enter Custom Frequencies", 187, 95, "MS Sans Serif", 8, kCustomControls};

// In reading order, as Tab visits them.
constexpr ControlTemplate kSetupControls[] = {
    {kOkCommand, DefaultButton, "OK", 131, 6, 50, 14},
    {kCancelCommand, Button, "Cancel", 131, 23, 50, 14},
    {kUnnumbered, Text, "Emb Correction:", 4, 24, 70, 10},
    {4210, Edit, "", 80, 24, 36, 11},
    {kUnnumbered, Text, "Speed of Sound:", 4, 40, 70, 10},
    {4211, Edit, "", 80, 40, 36, 11},
    {kUnnumbered, Text, "cm/s", 119, 41, 20, 10},
    {kUnnumbered, Text, "Tonehole Efficiency:", 4, 56, 70, 10},
    {4212, Edit, "", 80, 56, 36, 11},
};

constexpr DialogTemplate kSetupTemplate = {"SETUP", "Configure Sorrel", 187, 95, "MS Sans Serif",
                                           8,       kSetupControls};

} // namespace

void edit_custom_frequencies(QWidget* owner, CircuitRecord& working, Feedback& feedback) {
    constexpr InputRule kFrequencyRule = InputRule::AboveZero;
    std::vector<EditedValue> values{{4167, &working.CU[0], "%8.3f", kFrequencyRule}};
    for (int k = 1; k < kNoteCount; ++k)
        values.push_back(
            {4007 - k, &working.CU[static_cast<std::size_t>(k)], "%8.3f", kFrequencyRule});
    ValueDialog(kCustomTemplate, std::move(values), feedback, owner).run_modal();
}

void edit_setup(QWidget* owner, DesignState& state, Feedback& feedback) {
    ValueDialog setup(kSetupTemplate,
                      {{4210, &state.corrections.EMBCOR, "%6.4f", InputRule::ZeroOrMore},
                       {4211, &state.workingCircuit.SPSD, "%6.1f", InputRule::AboveZero},
                       {4212, &state.corrections.CHMCOR, "%6.4f", InputRule::ZeroOrMore}},
                      feedback, owner);
    setup.control(4211)->setAccessibleName(QStringLiteral("Speed of Sound, cm/s"));
    setup.run_modal();
}

} // namespace sorrel::ui
