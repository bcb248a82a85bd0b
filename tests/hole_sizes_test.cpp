#include "model/circuit_record.h"
#include "model/hole_sizes.h"
#include "model/text_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace sorrel {
namespace {

struct Nudge {
    const char* name;
    float typed;
    SizeStep step;
    const char* shown; // "%5.3f", as the field shows the new size
};

std::string shown(float size) {
    return format("%5.3f", double(size));
}

class DrillNudge : public testing::TestWithParam<Nudge> {};

TEST_P(DrillNudge, ShowsTheNextFractionalDrill) {
    EXPECT_EQ(shown(next_drill_size(GetParam().typed, GetParam().step)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, DrillNudge,
    testing::Values(Nudge{"UpFrom3_16", 0.1875f, SizeStep::Up, "0.203"},
                    Nudge{"DownFrom3_16", 0.1875f, SizeStep::Down, "0.172"},
                    Nudge{"UpFrom1_4", 0.25f, SizeStep::Up, "0.266"},
                    Nudge{"UpFrom7_16SkipsTo15_32", 0.4375f, SizeStep::Up, "0.469"},
                    Nudge{"UpFromLargestWraps", 0.5f, SizeStep::Up, "0.047"},
                    Nudge{"DownFromSmallestWraps", 0.047f, SizeStep::Down, "0.500"},
                    Nudge{"DownBetweenDrills", 0.18f, SizeStep::Down, "0.156"},
                    Nudge{"UpFromBeyondTheTable", 0.7f, SizeStep::Up, "0.047"},
                    Nudge{"DownFromBeyondTheTable", 0.7f, SizeStep::Down, "0.047"},
                    Nudge{"UpFromNothing", 0.0f, SizeStep::Up, "0.047"}),
    [](const testing::TestParamInfo<Nudge>& info) { return std::string(info.param.name); });

// Every drill as its field shows it ("0.203" for 13/64) steps to its
// neighbours, going round at both ends: the tolerance must cover the
// rounding of the display.
TEST(DrillSizes, StepFromTheirShownValueToTheirNeighbours) {
    std::vector<float> drills;
    for (int sixtyfourths = 3; sixtyfourths <= 28; ++sixtyfourths)
        drills.push_back(static_cast<float>(sixtyfourths / 64.0));
    drills.push_back(15.0f / 32);
    drills.push_back(0.5f);
    for (std::size_t i = 0; i < drills.size(); ++i) {
        const float typed = *parse_float(shown(drills[i]));
        const float above = drills[(i + 1) % drills.size()];
        const float below = drills[(i + drills.size() - 1) % drills.size()];
        EXPECT_EQ(next_drill_size(typed, SizeStep::Up), above) << shown(drills[i]);
        EXPECT_EQ(next_drill_size(typed, SizeStep::Down), below) << shown(drills[i]);
    }
}

class MetricNudge : public testing::TestWithParam<Nudge> {};

TEST_P(MetricNudge, ShowsTheNextWholeMillimetre) {
    EXPECT_EQ(shown(next_metric_size(GetParam().typed, GetParam().step)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, MetricNudge,
    testing::Values(Nudge{"UpDropsTheFraction", 6.8f, SizeStep::Up, "7.000"},
                    Nudge{"DownDropsTheFraction", 6.8f, SizeStep::Down, "5.000"},
                    Nudge{"DownFromUnderOneWraps", 0.5f, SizeStep::Down, "25.000"},
                    Nudge{"UpFromLargestWraps", 25.0f, SizeStep::Up, "0.000"},
                    Nudge{"DownFromLargest", 25.0f, SizeStep::Down, "24.000"},
                    Nudge{"UpFromBeyondTheRange", 30.4f, SizeStep::Up, "0.000"},
                    Nudge{"DownTowardsZeroFromNegative", -0.5f, SizeStep::Down, "25.000"}),
    [](const testing::TestParamInfo<Nudge>& info) { return std::string(info.param.name); });

// A typed "nan" or a size no integer can hold still steps round, without
// undefined conversions.
TEST(MetricSizes, GoRoundFromValuesThatAreNoSize) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(next_metric_size(nan, SizeStep::Up), 0.0f);
    EXPECT_EQ(next_metric_size(nan, SizeStep::Down), 25.0f);
    EXPECT_EQ(next_metric_size(1e20f, SizeStep::Up), 0.0f);
    EXPECT_EQ(next_drill_size(nan, SizeStep::Up), 3.0f / 64);
    EXPECT_EQ(next_drill_size(nan, SizeStep::Down), 3.0f / 64);
}

TEST(HoleSizes, FollowTheEntryUnits) {
    EXPECT_EQ(next_hole_size(6.8f, UNIT_ENGLISH, SizeStep::Up), 3.0f / 64);
    EXPECT_EQ(next_hole_size(6.8f, UNIT_METRIC, SizeStep::Up), 7.0f);
    // Every unit code but English counts as millimetres.
    EXPECT_EQ(next_hole_size(6.8f, 0, SizeStep::Up), 7.0f);
}

} // namespace
} // namespace sorrel
