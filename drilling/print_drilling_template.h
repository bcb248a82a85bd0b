#pragma once
// File > Print Drilling Template...: the full-scale template of the working
// design on the printer, or into a PDF file, the user chooses.

#include "drilling/drilling_plan.h"
#include "model/circuit_record.h"

class QWidget;

namespace sorrel::ui {

class Feedback;

// Refuses, with a message, a design without a finished Calc; otherwise asks
// for a printer and prints the template at full scale on the paper chosen
// there (US Letter as Letter, any other as A4) under the wait cursor. A PDF
// file chosen in the dialog is written as sorrel-cli writes one. `working`
// is only read.
void print_drilling_template(QWidget* owner, const CircuitRecord& working, Feedback& feedback);

// Asks for a printer and prints `plan` as print_drilling_template prints a
// design's: for a template of other positions than the last Calc's.
void print_drilling_plan(QWidget* owner, const DrillingPlan& plan, Feedback& feedback);

} // namespace sorrel::ui
