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

// fit --pdf, in builds with Qt: the fit table drawn as the bytes of a
// one-page PDF document.
std::string fit_pdf_bytes(const tuning::PitchFit& fit, const std::string& title);

} // namespace sorrel
