#pragma once
// sorrel-cli fit: fits a design slot's or a geometry file's length and hole
// positions to pitch, optionally choosing drills, and prints, writes or
// draws the result.

#include "tuning/pitch_fit.h"

#include <string>
#include <vector>

namespace sorrel {

// Runs `sorrel-cli fit` on the arguments that follow the word "fit" and
// returns the exit status: 0 fitted, 1 usage, 2 a file, 3 the fit failed.
int fit_command(const std::vector<std::string>& args);

// fit --pdf, in builds with Qt: draws the fit table into the PDF file at
// `path`. Returns the exit status.
int fit_pdf_command(const tuning::PitchFit& fit, const std::string& title, const std::string& path);

} // namespace sorrel
