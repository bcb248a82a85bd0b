#pragma once
// Paints the one-page report of a design: the lines of report_lines() at
// their positions in a fixed-pitch extra-bold font whose character cell is
// 0.18 x 0.08 inch, whatever the device's resolution. The Print command and
// the PDF export share this page.

#include "files/safe_write.h"
#include "model/circuit_record.h"

#include <QString>

#include <functional>
#include <string>

class QPainter;

namespace sorrel {

// Paints on an active painter whose device (a printer, or any device with a
// known resolution) has its origin at the top-left of the printable area.
void paint_report_page(QPainter& painter, const CircuitRecord& circuit);

// The PDF page's printable area starts this far from each edge of the paper.
inline constexpr double kPdfMarginInches = 0.25;

// Draws a one-page PDF document named `title` with `paint`, on a device whose
// origin is the printable area's corner (kPdfMarginInches in from each edge)
// and one pixel is 0.001 inch, and returns its bytes.
std::string pdf_page(const QString& title, const std::function<void(QPainter&)>& paint);

// pdf_page, written to `path` as every file is saved (write_file_safely).
WriteOutcome write_pdf_page(const QString& path, const QString& title,
                            const std::function<void(QPainter&)>& paint);

// Writes the report as a one-page PDF document named "Toneholes" at `path`,
// the way every file is saved (write_file_safely): a failed write leaves any
// previous file whole and says why.
WriteOutcome print_report_to_pdf(const CircuitRecord& circuit, const QString& path);

} // namespace sorrel
