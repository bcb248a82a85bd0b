#pragma once
// The maker's limits on a fit, as the searches apply them: the reach of
// each hand, the wood between holes, the diameters a hole may take and the
// holes that stay put.

#include "tuning/geometry.h"
#include "tuning/pitch_fit.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace sorrel::tuning {

// The limits that apply to hole `number` (from the foot): its own, within
// the range for every hole.
HoleLimits limits_of(const FitOptions& options, std::size_t number);

// The lower hole of the pair the hands share, from the foot: the lower
// hand covers the lower half of six or more holes (holes 1-3 of six), the
// upper hand the rest. Empty for fewer holes, which one hand plays.
std::optional<std::size_t> hand_gap_below(std::size_t holeCount);

// The largest centre distance between hole `lower` (from the foot) and the
// hole above it: the hands' gap between the hands, one hand's reach within.
double reach_above(const FitOptions& options, std::size_t lower, std::size_t holeCount);

// What in `options` the geometry (holes from the foot up) cannot meet
// before any fit: a hole named twice or beyond the count, an empty range, a
// fixed hole beyond the tube or against another fixed one. Sets fixed holes
// at their places.
std::optional<FitFailure> apply_limits(Geometry& geometry, const FitOptions& options);

// The first hole that is not fixed whose diameter, kept by the fit, lies
// outside its range.
std::optional<FitFailure> diameter_outside_range(const Geometry& geometry,
                                                 const FitOptions& options);

// Neighbouring centres beyond the reach of their hand or of the hands.
std::vector<FitWarning> reach_warnings(const Geometry& geometry, const FitOptions& options);

// "9.5 mm" for a diameter, "any" for an open end.
std::string millimetres_text(double metres);

} // namespace sorrel::tuning
