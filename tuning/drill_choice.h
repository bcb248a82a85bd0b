#pragma once
// Choose drills: for every hole a drill from the maker's set, so that the
// holes' cutoff ratios are as even as possible while the refitted holes stay
// within the hand reach and at most 0.8 of the bore, the positions refitted
// for the drills chosen.

#include "tuning/geometry.h"
#include "tuning/pitch_fit.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::tuning {

inline constexpr double kMaxHoleToBore = 0.8; // widest hole the choice allows, times the bore

// One drill the maker owns.
struct Drill {
    double diameter = 0; // m
    std::string label;   // as the set names it: "9/32 in", "7.5 mm"

    bool operator==(const Drill&) const = default;
};

// The drill sets a workshop keeps.
enum class DrillSetKind {
    FractionalInch, // 1/64 in steps, 1/64 to 1 in
    Metric,         // 0.1 mm steps, 1 to 25 mm
    MetricHalf,     // 0.5 mm steps, 1 to 25 mm
};

// The part of a set the maker wants to use, inclusive.
struct DrillRange {
    double smallest = 0;                                      // m
    double largest = std::numeric_limits<double>::infinity(); // m
};

// The drills of a standard set within `range`, smallest first.
std::vector<Drill> drill_set(DrillSetKind kind, const DrillRange& range = {});

// A custom set from a comma-separated list of diameters in millimetres
// ("5, 5.5, 6.35"), smallest first, each once; empty with `error` set when
// an entry is not a number above 0.
std::optional<std::vector<Drill>> parse_drill_list(std::string_view text, std::string& error);

// The drills of `drills` within `range`.
std::vector<Drill> drills_within(const std::vector<Drill>& drills, const DrillRange& range);

// Chooses a drill for every hole of `geometry` (as fit_to_pitch takes it)
// from `drills`, and refits the positions for them: among the choices whose
// fit succeeds with no hole wider than kMaxHoleToBore × bore and no
// neighbouring centres beyond `options.maxSpread`, the one with the
// smallest ratio of largest to smallest cutoff ratio. The result's holes name
// their drills; on failure it holds only `failure` (hole 0 when no choice
// at all fits).
PitchFit choose_drills(const Geometry& geometry, const std::vector<Drill>& drills,
                       const FitOptions& options = {});

} // namespace sorrel::tuning
