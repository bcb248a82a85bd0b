#pragma once
// File > Print: the report page of the working design on the printer the
// user chooses.

#include "model/circuit_record.h"

class QWidget;

namespace sorrel::ui {

class Feedback;

// Asks for a printer with the standard print dialog (no page range, no
// selection), then prints the one page as the document "Toneholes" under the
// wait cursor. Cancel prints nothing; a printer that cannot be opened is
// reported. `working` is only read.
void print_report(QWidget* owner, const CircuitRecord& working, Feedback& feedback);

} // namespace sorrel::ui
