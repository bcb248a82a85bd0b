#include "tuning/design_geometry.h"

#include <cmath>

namespace sorrel::tuning {
namespace {

constexpr double kMetresPerMm = 1e-3;
constexpr double kMetresPerInch = 25.4e-3;

bool positive(float value) {
    return std::isfinite(value) && value > 0;
}

// Whether the slot holds the results of a finished Calc: a block-to-end
// length and every hole's position, which only a completed run stores.
bool calculated(const CircuitRecord& slot) {
    if (!positive(slot.DIST))
        return false;
    for (int k = 1; k < kNoteCount; ++k)
        if (!positive(slot.PM[static_cast<std::size_t>(k)]) || !positive(slot.FR[k]))
            return false;
    return positive(slot.FR[0]);
}

} // namespace

MouthKind mouth_kind(const CircuitRecord& slot) {
    if (slot.DIVS == 4)
        return MouthKind::Closed;
    return slot.EMBH == 0 ? MouthKind::Embouchure : MouthKind::Fipple;
}

DesignGeometry geometry_from_design(const CircuitRecord& slot) {
    DesignGeometry design;
    if (!calculated(slot)) {
        design.error = "the design has no finished Calc (no block-to-end length and hole "
                       "positions): calculate it first";
        return design;
    }
    const double entry = slot.UNIT == UNIT_ENGLISH ? kMetresPerInch : kMetresPerMm;
    Geometry geometry;
    geometry.length = double(slot.DIST) * kMetresPerMm;
    geometry.boreDiameter = double(slot.BORE) * entry;
    geometry.wall = double(slot.THIK) * entry;
    for (int k = 1; k < kNoteCount; ++k) {
        const auto at = static_cast<std::size_t>(k);
        geometry.holes.push_back(
            {double(slot.PM[at]) * kMetresPerMm, double(slot.DI[at]) * entry, std::nullopt});
    }
    geometry.mouth.kind = mouth_kind(slot);
    if (geometry.mouth.kind == MouthKind::Embouchure) {
        geometry.mouth.diameter = double(slot.EMBV) * entry;
    } else if (geometry.mouth.kind == MouthKind::Fipple) {
        geometry.mouth.windowLength = double(slot.EMBH) * entry;
        geometry.mouth.windowWidth = double(slot.EMBV) * entry;
    }
    for (float frequency : slot.FR)
        geometry.targets.push_back(frequency);
    if (const std::optional<GeometryFault> fault = validate(geometry)) {
        design.error = "the design's geometry cannot be modelled: " + describe(*fault);
        return design;
    }
    design.geometry = geometry;
    return design;
}

} // namespace sorrel::tuning
