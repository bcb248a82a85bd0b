#pragma once
// The two settings dialogs: the custom note frequencies of the working
// design, and the corrections and speed of sound the solver uses. Neither
// calculates, refreshes the panel or stores the design in its slot. OK
// refuses a value out of range, as Calc would, with a message to `feedback`.

#include "model/circuit_record.h"

class QWidget;

namespace sorrel::ui {

class Feedback;

// "Enter Custom Frequencies": CU00..CU06 of `working`.
void edit_custom_frequencies(QWidget* owner, CircuitRecord& working, Feedback& feedback);

// "Configure Sorrel": EMBCOR and CHMCOR of every design, SPSD of `state.workingCircuit`.
void edit_setup(QWidget* owner, DesignState& state, Feedback& feedback);

} // namespace sorrel::ui
