#pragma once
// The two settings dialogs: the custom note frequencies of the working
// design, and the corrections and speed of sound the solver uses. Neither
// calculates, refreshes the panel or stores the design in its slot.

#include "model/circuit_record.h"

class QWidget;

namespace sorrel::ui {

// "Enter Custom Frequencies": CU00..CU06 of `working`.
void edit_custom_frequencies(QWidget* owner, CircuitRecord& working);

// "Configure Sorrel": EMBCOR and CHMCOR of every design, SPSD of `state.workingCircuit`.
void edit_setup(QWidget* owner, DesignState& state);

} // namespace sorrel::ui
