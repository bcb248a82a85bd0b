#pragma once
// A geometry file's optional "constraints" object: the limits a fit of the
// instrument keeps, as the command line's options give them.
//
//   "constraints": {
//     "min_gap_mm": 1, "max_spread_mm": 40, "max_hand_gap_mm": 60,
//     "hole_diameter_mm": [4, 9],
//     "holes": [{"hole": 3, "fixed": true, "from_foot_mm": 80.5,
//                "diameter_mm": [5, 8]}]
//   }
//
// Every key is optional; holes are numbered from the foot, 1 the nearest.

#include "tuning/pitch_fit.h"

#include <optional>
#include <string>
#include <string_view>

namespace sorrel::tuning {

// The limits of the geometry file `text` (the defaults when it has no
// "constraints"), or empty with `error` naming the key that is wrong.
std::optional<FitOptions> read_fit_constraints(std::string_view text, std::string& error);

} // namespace sorrel::tuning
