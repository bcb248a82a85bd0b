#pragma once
// The geometry of a calculated design slot: its bore, wall, holes at the
// positions of its last Calc, block-to-end length, window and notes.

#include "model/circuit_record.h"
#include "tuning/geometry.h"

#include <optional>
#include <string>

namespace sorrel::tuning {

// How a slot is blown: a wave divisor of 4 is a closed mouthpiece, whatever
// its window; else a window length (EMBH) of 0 is a flute's embouchure hole,
// any other a fipple's window. The tuning model and the template both
// follow this.
MouthKind mouth_kind(const CircuitRecord& slot);

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
