#include "drilling/geometry_plan.h"

#include "drilling/circuit_plan.h"
#include "model/circuit_record.h"
#include "model/text_format.h"
#include "model/units.h"

#include <algorithm>
#include <cmath>

namespace sorrel {
namespace {

constexpr double kMmPerMetre = 1000;
// A millimetre size this close to a 64th of an inch came from an inch drill.
constexpr double kInchDrillTolerance = 0.0005; // mm

// A fipple window opens at the block face, where the tube is cut, and runs
// towards the foot; an embouchure hole is centred on the length's top; a
// closed mouthpiece shows no opening.
void add_mouth(DrillingPlan& plan, const tuning::Mouth& mouth) {
    const double along = mouth.windowLength * kMmPerMetre;
    const double across = mouth.windowWidth * kMmPerMetre;
    switch (mouth.kind) {
    case tuning::MouthKind::Fipple:
        plan.cut_at_top = true;
        plan.top_name = "block";
        plan.mouth = MouthOutline{plan.length_mm - along / 2, along, across, false, "window"};
        return;
    case tuning::MouthKind::Embouchure:
        plan.top_name = "embouchure centre";
        if (along > 0)
            plan.mouth = MouthOutline{plan.length_mm, along, across, false, "embouchure hole"};
        else
            plan.mouth = MouthOutline{plan.length_mm, mouth.diameter * kMmPerMetre,
                                      mouth.diameter * kMmPerMetre, true, "embouchure hole"};
        return;
    case tuning::MouthKind::Closed:
        plan.cut_at_top = true;
        plan.top_name = "mouthpiece";
        return;
    }
}

} // namespace

std::string drill_name_of_size(double diameter_mm) {
    const double sixtyFourths = diameter_mm / kMmPerInch * 64;
    if (std::fabs(std::round(sixtyFourths) - sixtyFourths) * kMmPerInch / 64 < kInchDrillTolerance)
        return drill_label(static_cast<float>(diameter_mm / kMmPerInch), UNIT_ENGLISH);
    return drill_label(static_cast<float>(diameter_mm), UNIT_METRIC);
}

DrillingPlan plan_from_geometry(const tuning::Geometry& geometry, const std::string& date) {
    DrillingPlan plan;
    plan.length_mm = geometry.length * kMmPerMetre;
    std::vector<tuning::Hole> holes = geometry.holes;
    std::sort(holes.begin(), holes.end(),
              [](const tuning::Hole& a, const tuning::Hole& b) { return a.fromFoot < b.fromFoot; });
    for (std::size_t rank = 0; rank < holes.size(); ++rank) {
        const double diameter = holes[rank].diameter * kMmPerMetre;
        plan.holes.push_back({int(rank + 1), holes[rank].fromFoot * kMmPerMetre, diameter,
                              drill_name_of_size(diameter)});
    }
    add_mouth(plan, geometry.mouth);
    if (!geometry.targets.empty())
        plan.first_note = format("%.2f Hz", geometry.targets.front());
    plan.date = date;
    plan.positions = "the geometry file";
    return plan;
}

} // namespace sorrel
