// A calculated design slot read as the tuning model's geometry: sizes in the
// slot's unit become metres, the mouth follows the divisor and the window.

#include "tuning/design_geometry.h"

#include <gtest/gtest.h>

namespace sorrel::tuning {
namespace {

// An inch design as a finished Calc leaves it: 300 mm long, holes from
// 100 mm to 225 mm, its seven notes.
CircuitRecord calculated_slot() {
    CircuitRecord slot = default_circuit();
    slot.UNIT = UNIT_ENGLISH;
    slot.BORE = 0.5f;
    slot.THIK = 0.0625f;
    slot.DIST = 300;
    slot.PM = {0, 100, 125, 150, 175, 200, 225};
    slot.DI = {0, 0.25f, 0.25f, 0.25f, 0.25f, 0.25f, 0.25f};
    slot.FR = {587.33f, 659.26f, 739.99f, 783.99f, 880.0f, 987.77f, 1108.73f};
    slot.DIVS = 2;
    slot.EMBH = 0.25f;
    slot.EMBV = 0.4f;
    return slot;
}

// 0.25 in = 6.35 mm, 0.4 in = 10.16 mm, 0.5 in = 12.7 mm.
TEST(DesignGeometry, TakesTheSlotsSizesAndMouth) {
    const struct {
        const char* what;
        void (*change)(CircuitRecord&);
        MouthKind kind;
        double windowLength, windowWidth, diameter;
        const char* error;
    } cases[] = {
        {"fipple", [](CircuitRecord&) {}, MouthKind::Fipple, 6.35e-3, 10.16e-3, 0, ""},
        {"round embouchure", [](CircuitRecord& s) { s.EMBH = 0; }, MouthKind::Embouchure, 0, 0,
         10.16e-3, ""},
        {"closed mouthpiece", [](CircuitRecord& s) { s.DIVS = 4; }, MouthKind::Closed, 0, 0, 0, ""},
        {"no Calc", [](CircuitRecord& s) { s.PM[3] = 0; }, MouthKind::Fipple, 0, 0, 0,
         "the design has no finished Calc (no block-to-end length and hole positions): "
         "calculate it first"},
        {"hole past the foot", [](CircuitRecord& s) { s.PM[6] = 400; }, MouthKind::Fipple, 0, 0, 0,
         "the design's geometry cannot be modelled: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CircuitRecord slot = calculated_slot();
        c.change(slot);
        const DesignGeometry design = geometry_from_design(slot);
        EXPECT_EQ(design.error.substr(0, std::string(c.error).size()), c.error);
        EXPECT_EQ(design.error.empty(), design.geometry.has_value());
        if (!design.geometry)
            continue;
        const Geometry& g = *design.geometry;
        EXPECT_EQ(g.mouth.kind, c.kind);
        EXPECT_NEAR(g.mouth.windowLength, c.windowLength, 1e-9);
        EXPECT_NEAR(g.mouth.windowWidth, c.windowWidth, 1e-9);
        EXPECT_NEAR(g.mouth.diameter, c.diameter, 1e-9);
        EXPECT_NEAR(g.length, 0.3, 1e-9);
        EXPECT_NEAR(g.boreDiameter, 12.7e-3, 1e-9);
        ASSERT_EQ(g.holes.size(), 6u);
        EXPECT_NEAR(g.holes[5].fromFoot, 0.225, 1e-9);
        EXPECT_NEAR(g.holes[5].diameter, 6.35e-3, 1e-9);
        EXPECT_EQ(g.targets.size(), 7u);
    }
}

} // namespace
} // namespace sorrel::tuning
