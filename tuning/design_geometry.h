#pragma once
// The geometry of a calculated design slot: its bore, wall, holes at the
// positions of its last Calc, block-to-end length, window and notes.

#include "model/circuit_record.h"
#include "tuning/geometry.h"

#include <optional>
#include <string>

namespace sorrel::tuning {

// A slot's geometry, or why it has none.
struct DesignGeometry {
    std::optional<Geometry> geometry; // empty when refused
    std::string error;                // why the slot gives no geometry
};

// The geometry of `slot`: BORE, THIK and the hole diameters DI in the slot's
// unit, the holes at the millimetre positions PM of its last Calc, DIST as
// the length, EMBH × EMBV as the window (EMBH 0: a round embouchure of
// diameter EMBV), DIVS 4 as a closed mouthpiece, the frequencies FR as the
// targets. A slot without a finished Calc is refused.
DesignGeometry geometry_from_design(const CircuitRecord& slot);

} // namespace sorrel::tuning
