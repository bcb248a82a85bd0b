#pragma once
// Paints the printed fit table: one page beside the calculator's report, in
// its page conventions, listing each hole's drill, position (mm, inches and
// the nearest 1/64 inch), note and cents, and the warnings.

#include "tuning/pitch_fit.h"

#include <QString>

class QPainter;

namespace sorrel {

// Paints on an active painter whose device has its origin at the top-left
// of the printable area; `title` heads the page (the design's description).
void paint_fit_page(QPainter& painter, const tuning::PitchFit& fit, const QString& title);

// Writes the fit table as a one-page PDF document named "Fit to pitch" at
// `path`. Returns false when the file could not be opened for writing.
bool print_fit_to_pdf(const tuning::PitchFit& fit, const QString& title, const QString& path);

} // namespace sorrel
