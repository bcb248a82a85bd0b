#include "drilling/circuit_plan.h"
#include "tests/calculated_design.h"

#include <limits>
#include <tuple>

#include <gtest/gtest.h>

namespace sorrel {
namespace {

TEST(CircuitPlan, TakesTheLastCalcsPositionsAndTheDrillsAsTyped) {
    const CircuitPlan result = plan_from_circuit(calculated_design(), "2026-12-07");
    ASSERT_TRUE(result.plan.has_value()) << result.refusal;
    const DrillingPlan& plan = *result.plan;
    EXPECT_FLOAT_EQ(static_cast<float>(plan.length_mm), 282.5f);
    ASSERT_EQ(plan.holes.size(), 6u);
    // The start-up drills, 13/64 11/32 3/16 15/64 15/64 3/16 in, times 25.4.
    const double drills[] = {5.159375, 8.73125, 4.7625, 5.953125, 5.953125, 4.7625};
    EXPECT_EQ(plan.holes[1].drill, "11/32 in");
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(plan.holes[k].number, static_cast<int>(k + 1));
        EXPECT_FLOAT_EQ(static_cast<float>(plan.holes[k].centre_mm), calculated_design().PM[k + 1]);
        EXPECT_NEAR(plan.holes[k].diameter_mm, drills[k], 1e-6);
    }
    EXPECT_EQ(plan.description, "Tin\xC3\xA9whistle");
    EXPECT_EQ(plan.first_note, "D5 587.33 Hz");
    // The start-up 0.25 in square window opens at the block, where the tube
    // is cut; a round metric embouchure hole is centred on the top line.
    EXPECT_TRUE(plan.cut_at_top);
    EXPECT_NEAR(plan.mouth->centre_mm, 282.5 - 6.35 / 2, 1e-4);
    CircuitRecord flute = calculated_design();
    flute.UNIT = UNIT_METRIC;
    flute.EMBH = 0;
    flute.EMBV = 9.5f;
    const DrillingPlan round = *plan_from_circuit(flute, "").plan;
    EXPECT_FALSE(round.cut_at_top);
    EXPECT_TRUE(round.mouth->round);
    EXPECT_NEAR(round.mouth->centre_mm, 282.5, 1e-4);
    EXPECT_NEAR(round.mouth->along_mm, 9.5, 1e-6);
    // Wave divisor 4: a closed mouthpiece over the cut top, no window drawn.
    CircuitRecord closed = calculated_design();
    closed.DIVS = 4;
    const DrillingPlan mouthpiece = *plan_from_circuit(closed, "").plan;
    EXPECT_TRUE(mouthpiece.cut_at_top);
    EXPECT_EQ(mouthpiece.top_name, "mouthpiece");
    EXPECT_FALSE(mouthpiece.mouth.has_value());
}

TEST(CircuitPlan, NamesTheDrillAsTheMakerTypedIt) {
    const std::tuple<float, int32_t, const char*> rows[] = {
        {0.3125f, UNIT_ENGLISH, "5/16 in"}, {1.0f, UNIT_ENGLISH, "1 in"},
        {0.3f, UNIT_ENGLISH, "0.300 in"},   {0.2031f, UNIT_ENGLISH, "0.203 in"},
        {7.5f, UNIT_METRIC, "7.5 mm"},      {8.0f, UNIT_METRIC, "8 mm"},
        {6.35f, UNIT_METRIC, "6.35 mm"}};
    for (const auto& [size, unit, label] : rows)
        EXPECT_EQ(drill_label(size, unit), label) << size;
}

// Results no finished Calc leaves are refused with a message naming them.
TEST(CircuitPlan, RefusesAnUnfinishedDesign) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<void (*)(CircuitRecord&, float), const char*> rows[] = {
        {[](CircuitRecord& c, float) { c = default_circuit(); }, "length is 0.00 mm"},
        {[](CircuitRecord& c, float n) { c.DIST = n; }, "length is nan mm"},
        {[](CircuitRecord& c, float) { c.PM[1] = 0; }, "hole 1 at 0.00 mm"},
        {[](CircuitRecord& c, float n) { c.PM[4] = n; }, "hole 4 at nan mm"},
        {[](CircuitRecord& c, float) { c.PM[3] = 60; }, "hole 3 at 60.00 mm"},
        {[](CircuitRecord& c, float) { c.PM[6] = 290; }, "hole 6 at 290.00 mm"},
        {[](CircuitRecord& c, float) { c.DI[2] = 0; }, "hole 2 has no diameter"},
    };
    for (const auto& [spoil, says] : rows) {
        CircuitRecord circuit = calculated_design();
        spoil(circuit, nan);
        const CircuitPlan result = plan_from_circuit(circuit, "");
        EXPECT_FALSE(result.plan.has_value()) << says;
        EXPECT_NE(result.refusal.find(says), std::string::npos) << result.refusal;
    }
}

} // namespace
} // namespace sorrel
