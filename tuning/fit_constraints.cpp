#include "tuning/fit_constraints.h"

#include "model/text_format.h"

#include <algorithm>
#include <cmath>

namespace sorrel::tuning {
namespace {

constexpr double kMmPerMetre = 1000;
constexpr std::size_t kFewestForTwoHands = 6;

FitFailure failure(std::size_t hole, std::string message) {
    return FitFailure{hole, std::move(message)};
}

std::string range_text(const HoleLimits& limits) {
    return millimetres_text(limits.minDiameter) + " to " + millimetres_text(limits.maxDiameter);
}

// Whether the per-hole limits name holes that exist, each once, with ranges
// that are not empty.
std::optional<FitFailure> named_limits_fault(const FitOptions& options, std::size_t count) {
    std::vector<std::size_t> named;
    for (const HoleLimits& limits : options.holes) {
        if (limits.hole < 1 || limits.hole > count)
            return failure(limits.hole, format("hole %zu: the instrument has holes 1 to %zu; "
                                               "numbering them from the foot would help",
                                               limits.hole, count));
        if (std::find(named.begin(), named.end(), limits.hole) != named.end())
            return failure(limits.hole, format("hole %zu is limited twice", limits.hole));
        named.push_back(limits.hole);
    }
    for (std::size_t number = 1; number <= count; ++number) {
        const HoleLimits limits = limits_of(options, number);
        if (!(limits.minDiameter <= limits.maxDiameter))
            return failure(number, format("hole %zu: the diameter range %s is empty", number,
                                          range_text(limits).c_str()));
    }
    return std::nullopt;
}

} // namespace

std::string millimetres_text(double metres) {
    return std::isfinite(metres) ? format("%.1f mm", metres * kMmPerMetre) : "any";
}

HoleLimits limits_of(const FitOptions& options, std::size_t number) {
    HoleLimits limits{number, false, std::nullopt, options.minDiameter, options.maxDiameter};
    for (const HoleLimits& own : options.holes)
        if (own.hole == number) {
            limits.fixed = own.fixed;
            limits.at = own.at;
            limits.minDiameter = std::max(limits.minDiameter, own.minDiameter);
            limits.maxDiameter = std::min(limits.maxDiameter, own.maxDiameter);
        }
    return limits;
}

std::optional<std::size_t> hand_gap_below(std::size_t holeCount) {
    if (holeCount < kFewestForTwoHands)
        return std::nullopt;
    return holeCount / 2;
}

double reach_above(const FitOptions& options, std::size_t lower, std::size_t holeCount) {
    return hand_gap_below(holeCount) == lower ? options.maxHandGap : options.maxSpread;
}

std::optional<FitFailure> apply_limits(Geometry& geometry, const FitOptions& options) {
    std::vector<Hole>& holes = geometry.holes;
    if (std::optional<FitFailure> fault = named_limits_fault(options, holes.size()))
        return fault;
    for (std::size_t k = 0; k < holes.size(); ++k) {
        const HoleLimits limits = limits_of(options, k + 1);
        if (!limits.fixed)
            continue;
        holes[k].fromFoot = limits.at.value_or(holes[k].fromFoot);
        holes[k].diameter = std::clamp(holes[k].diameter, limits.minDiameter, limits.maxDiameter);
        const double smallest = std::max(limits.minDiameter, 0.0);
        if (holes[k].fromFoot - smallest / 2 <= 0 ||
            holes[k].fromFoot + smallest / 2 >= geometry.length - mouth_extent(geometry.mouth))
            return failure(k + 1,
                           format("hole %zu is fixed at %.1f mm from the foot, outside the "
                                  "%.1f mm of tube below the mouth",
                                  k + 1, holes[k].fromFoot * kMmPerMetre,
                                  (geometry.length - mouth_extent(geometry.mouth)) * kMmPerMetre));
    }
    for (std::size_t k = 1; k < holes.size(); ++k) {
        if (!limits_of(options, k).fixed || !limits_of(options, k + 1).fixed)
            continue;
        const double edges =
            holes[k].fromFoot - holes[k - 1].fromFoot -
            (limits_of(options, k).minDiameter + limits_of(options, k + 1).minDiameter) / 2;
        if (edges < options.minGap)
            return failure(k + 1, format("holes %zu and %zu are both fixed, their centres %.1f mm "
                                         "apart: too close for the %.1f mm of wood kept between "
                                         "edges; fixing one elsewhere would help",
                                         k, k + 1,
                                         (holes[k].fromFoot - holes[k - 1].fromFoot) * kMmPerMetre,
                                         options.minGap * kMmPerMetre));
    }
    return std::nullopt;
}

std::optional<FitFailure> diameter_outside_range(const Geometry& geometry,
                                                 const FitOptions& options) {
    for (std::size_t k = 0; k < geometry.holes.size(); ++k) {
        const HoleLimits limits = limits_of(options, k + 1);
        const double diameter = geometry.holes[k].diameter;
        if (!limits.fixed && (diameter < limits.minDiameter || diameter > limits.maxDiameter))
            return failure(k + 1, format("hole %zu: its diameter %s lies outside its range %s; "
                                         "another diameter or choosing drills would help",
                                         k + 1, millimetres_text(diameter).c_str(),
                                         range_text(limits).c_str()));
    }
    return std::nullopt;
}

std::vector<FitWarning> reach_warnings(const Geometry& geometry, const FitOptions& options) {
    std::vector<FitWarning> warnings;
    const std::vector<Hole>& holes = geometry.holes;
    for (std::size_t k = 1; k < holes.size(); ++k) {
        const double centres = holes[k].fromFoot - holes[k - 1].fromFoot;
        const double reach = reach_above(options, k, holes.size());
        const char* whose = hand_gap_below(holes.size()) == k ? "the hands" : "the hand";
        if (centres > reach)
            warnings.push_back(
                {FitWarning::Kind::BeyondReach, k, centres,
                 format("holes %zu and %zu: %.1f mm between their centres (beyond "
                        "the reach of %s, %.1f mm)",
                        k, k + 1, centres * kMmPerMetre, whose, reach * kMmPerMetre)});
    }
    return warnings;
}

} // namespace sorrel::tuning
