#pragma once
// File > Print: the report page of the working design on the printer the
// user chooses; and the Tuning window's fit table, the same way.

#include "model/circuit_record.h"
#include "tuning/pitch_fit.h"

#include <QString>

class QWidget;

namespace sorrel::ui {

class Feedback;

// Asks for a printer with the standard print dialog (no page range, no
// selection), then prints the one page as the document "Toneholes" under the
// wait cursor. Cancel prints nothing; a printer that cannot be opened is
// reported. `working` is only read.
void print_report(QWidget* owner, const CircuitRecord& working, Feedback& feedback);

// Prints the fit table of a successful `fit` as the document "Fit to pitch",
// headed by `title`, as print_report prints the report.
void print_fit(QWidget* owner, const tuning::PitchFit& fit, const QString& title,
               Feedback& feedback);

} // namespace sorrel::ui
