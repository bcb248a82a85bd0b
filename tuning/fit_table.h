#pragma once
// The fit as a maker reads it: the length and, top hole first as the
// calculator's panel lists them, each hole's drill, position (mm, inches and
// the nearest 1/64 inch mark), note and cutoff ratio; then the spread, the
// cross-fingerings and the warnings. The command line prints these lines and
// the printed page paints them.

#include "tuning/pitch_fit.h"

#include <string>
#include <vector>

namespace sorrel::tuning {

// The lines of the table of a successful fit, without line ends.
std::vector<std::string> fit_table_lines(const PitchFit& fit);

} // namespace sorrel::tuning
