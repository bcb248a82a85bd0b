#pragma once
// Paints the printed fit table: one page beside the calculator's report, in
// its page conventions, listing each hole's drill, position (mm, inches and
// the nearest 1/64 inch), note and cents, and the warnings.

#include "files/safe_write.h"
#include "tuning/pitch_fit.h"

#include <QString>

#include <string>

class QPainter;

namespace sorrel {

// Paints on an active painter whose device has its origin at the top-left
// of the printable area; `title` heads the page (the design's description).
void paint_fit_page(QPainter& painter, const tuning::PitchFit& fit, const QString& title);

// The fit table as the bytes of a one-page PDF document named "Fit to pitch".
std::string fit_pdf(const tuning::PitchFit& fit, const QString& title);

// Writes the fit table as a one-page PDF document named "Fit to pitch" at
// `path`, whole or not at all; the outcome says why not.
WriteOutcome print_fit_to_pdf(const tuning::PitchFit& fit, const QString& title,
                              const QString& path);

} // namespace sorrel
