#include "ui/as_built_plan.h"

#include "drilling/circuit_plan.h"
#include "model/circuit_record.h"
#include "model/units.h"

#include <algorithm>
#include <numeric>

namespace sorrel::ui {
namespace {

constexpr double kMmPerMetre = 1000;

std::string size_label(double diameter, int32_t unit) {
    const double mm = diameter * kMmPerMetre;
    return drill_label(static_cast<float>(unit == UNIT_ENGLISH ? mm / kMmPerInch : mm), unit);
}

} // namespace

DrillingPlan as_built_plan(DrillingPlan design, const tuning::Geometry& geometry,
                           const std::vector<tuning::Drill>& drills, int32_t unit) {
    const double length = geometry.length * kMmPerMetre;
    // The mouth keeps its place at the top of the tube.
    if (design.mouth)
        design.mouth->centre_mm += length - design.length_mm;
    design.length_mm = length;

    std::vector<std::size_t> fromFoot(geometry.holes.size());
    std::iota(fromFoot.begin(), fromFoot.end(), std::size_t{0});
    std::stable_sort(fromFoot.begin(), fromFoot.end(), [&geometry](std::size_t a, std::size_t b) {
        return geometry.holes[a].fromFoot < geometry.holes[b].fromFoot;
    });
    design.holes.clear();
    for (std::size_t rank = 0; rank < fromFoot.size(); ++rank) {
        const std::size_t index = fromFoot[rank];
        const tuning::Hole& hole = geometry.holes[index];
        design.holes.push_back(
            {int(rank + 1), hole.fromFoot * kMmPerMetre, hole.diameter * kMmPerMetre,
             drills.empty() ? size_label(hole.diameter, unit) : drills[index].label});
    }
    return design;
}

} // namespace sorrel::ui
