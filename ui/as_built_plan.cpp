#include "ui/as_built_plan.h"

#include "drilling/circuit_plan.h"
#include "model/circuit_record.h"
#include "model/units.h"

#include <utility>

namespace sorrel::ui {
namespace {

constexpr double kMmPerMetre = 1000;

std::string size_label(double diameter, int32_t unit) {
    const double mm = diameter * kMmPerMetre;
    return drill_label(static_cast<float>(unit == UNIT_ENGLISH ? mm / kMmPerInch : mm), unit);
}

} // namespace

DrillingPlan as_built_plan(DrillingPlan design, const tuning::Geometry& geometry,
                           const std::vector<tuning::Drill>& drills, int32_t unit,
                           std::string positions) {
    const double length = geometry.length * kMmPerMetre;
    // The mouth keeps its place at the top of the tube.
    if (design.mouth)
        design.mouth->centre_mm += length - design.length_mm;
    design.length_mm = length;

    design.holes.clear();
    for (std::size_t index = 0; index < geometry.holes.size(); ++index) {
        const tuning::Hole& hole = geometry.holes[index];
        design.holes.push_back(
            {int(index + 1), hole.fromFoot * kMmPerMetre, hole.diameter * kMmPerMetre,
             drills.empty() ? size_label(hole.diameter, unit) : drills[index].label});
    }
    design.positions = std::move(positions);
    return design;
}

} // namespace sorrel::ui
