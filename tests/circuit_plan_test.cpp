#include "drilling/circuit_plan.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace sorrel {
namespace {

// A start-up design with results as a finished Calc leaves them.
CircuitRecord calculated_design() {
    CircuitRecord circuit = default_circuit();
    circuit.DIST = 282.5f;
    circuit.PM = {0, 43.59f, 65.77f, 84.36f, 106.38f, 127.59f, 149.42f};
    circuit.DESC.assign("Tin\xE9whistle"); // Latin-1 e-acute, as the panel stores it
    circuit.MATL.assign("brass");
    return circuit;
}

TEST(CircuitPlan, TakesTheLastCalcsPositionsAndTheDrillsAsTyped) {
    const CircuitPlan result = plan_from_circuit(calculated_design(), "2026-12-07");
    ASSERT_TRUE(result.plan.has_value()) << result.refusal;
    const DrillingPlan& plan = *result.plan;
    EXPECT_FLOAT_EQ(static_cast<float>(plan.length_mm), 282.5f);
    ASSERT_EQ(plan.holes.size(), 6u);
    // Start-up drills 13/64, 11/32, 3/16, 15/64, 15/64, 3/16 in, times 25.4.
    const double drills[] = {5.159375, 8.73125, 4.7625, 5.953125, 5.953125, 4.7625};
    const char* labels[] = {"13/64 in", "11/32 in", "3/16 in", "15/64 in", "15/64 in", "3/16 in"};
    const float centres[] = {43.59f, 65.77f, 84.36f, 106.38f, 127.59f, 149.42f};
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(plan.holes[k].number, static_cast<int>(k + 1));
        EXPECT_FLOAT_EQ(static_cast<float>(plan.holes[k].centre_mm), centres[k]);
        EXPECT_NEAR(plan.holes[k].diameter_mm, drills[k], 1e-6);
        EXPECT_EQ(plan.holes[k].drill, labels[k]);
    }
    EXPECT_EQ(plan.description, "Tin\xC3\xA9whistle");
    EXPECT_EQ(plan.material, "brass");
    EXPECT_EQ(plan.first_note, "D5 587.33 Hz");
    EXPECT_EQ(plan.date, "2026-12-07");
}

// The start-up mouth is a 0.25 x 0.25 in window: 6.35 mm, its top edge at
// the block, where the body is cut; a zero length makes it a round hole.
TEST(CircuitPlan, DrawsAWindowBelowTheCutAndARoundHoleOnTheTop) {
    CircuitRecord circuit = calculated_design();
    const DrillingPlan window = *plan_from_circuit(circuit, "").plan;
    EXPECT_TRUE(window.cut_at_top);
    ASSERT_TRUE(window.mouth.has_value());
    EXPECT_FALSE(window.mouth->round);
    EXPECT_NEAR(window.mouth->along_mm, 6.35, 1e-6);
    EXPECT_NEAR(window.mouth->centre_mm, 282.5 - 3.175, 1e-4);

    circuit.UNIT = UNIT_METRIC;
    circuit.EMBH = 0;
    circuit.EMBV = 9.5f;
    const DrillingPlan round = *plan_from_circuit(circuit, "").plan;
    EXPECT_FALSE(round.cut_at_top);
    ASSERT_TRUE(round.mouth.has_value());
    EXPECT_TRUE(round.mouth->round);
    EXPECT_NEAR(round.mouth->along_mm, 9.5, 1e-6);
    EXPECT_NEAR(round.mouth->centre_mm, 282.5, 1e-4);
}

struct DrillCase {
    float size;
    int32_t unit;
    const char* label;
};

class DrillLabel : public ::testing::TestWithParam<DrillCase> {};

TEST_P(DrillLabel, NamesTheDrillAsTheMakerTypedIt) {
    EXPECT_EQ(drill_label(GetParam().size, GetParam().unit), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DrillLabel,
                         ::testing::Values(DrillCase{0.3125f, UNIT_ENGLISH, "5/16 in"},
                                           DrillCase{0.5f, UNIT_ENGLISH, "1/2 in"},
                                           DrillCase{1.0f, UNIT_ENGLISH, "1 in"},
                                           DrillCase{0.3f, UNIT_ENGLISH, "0.300 in"},
                                           DrillCase{0.2031f, UNIT_ENGLISH, "0.203 in"},
                                           DrillCase{7.5f, UNIT_METRIC, "7.5 mm"},
                                           DrillCase{8.0f, UNIT_METRIC, "8 mm"},
                                           DrillCase{6.35f, UNIT_METRIC, "6.35 mm"}));

// A slot whose results are not a finished Calc's: each is refused with a
// message naming what is missing.
struct UnfinishedCase {
    const char* what;
    void (*spoil)(CircuitRecord&);
    const char* says;
};

class UnfinishedDesign : public ::testing::TestWithParam<UnfinishedCase> {};

TEST_P(UnfinishedDesign, IsRefusedWithAMessage) {
    CircuitRecord circuit = calculated_design();
    GetParam().spoil(circuit);
    const CircuitPlan result = plan_from_circuit(circuit, "");
    EXPECT_FALSE(result.plan.has_value());
    EXPECT_NE(result.refusal.find(GetParam().says), std::string::npos) << result.refusal;
}

INSTANTIATE_TEST_SUITE_P(
    Slots, UnfinishedDesign,
    ::testing::Values(
        UnfinishedCase{"never calculated", [](CircuitRecord& c) { c = default_circuit(); },
                       "no finished Calc"},
        UnfinishedCase{"no length", [](CircuitRecord& c) { c.DIST = 0; }, "length is 0.00 mm"},
        UnfinishedCase{"length not a number",
                       [](CircuitRecord& c) { c.DIST = std::numeric_limits<float>::quiet_NaN(); },
                       "length is nan mm"},
        UnfinishedCase{"hole 1 at the foot", [](CircuitRecord& c) { c.PM[1] = 0; }, "hole 1"},
        UnfinishedCase{"hole 4 infinite",
                       [](CircuitRecord& c) { c.PM[4] = std::numeric_limits<float>::infinity(); },
                       "hole 4"},
        UnfinishedCase{"holes out of order", [](CircuitRecord& c) { c.PM[3] = 60; }, "hole 3"},
        UnfinishedCase{"hole 6 past the top", [](CircuitRecord& c) { c.PM[6] = 290; }, "hole 6"},
        UnfinishedCase{"no drill", [](CircuitRecord& c) { c.DI[2] = 0; },
                       "hole 2 has no diameter"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

} // namespace
} // namespace sorrel
