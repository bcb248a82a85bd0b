#include "model/cutoff_graph_geometry.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace sorrel {
namespace {

constexpr PixelPoint kOrigin{300, 300};
constexpr NoteArray kRising{0, 600, 700, 800, 900, 1000, 1100};

// The lowest frequency 555.555542 widens to exactly 500 Hz, the highest
// cutoff 2272.72729 to exactly 2500 Hz: grid lines on the plot edge are left out.
TEST(CutoffGraph, PlacesThePointsAndLeavesOutGridLinesOnThePlotEdge) {
    const NoteArray fr{0, 555.555542f, 600, 700, 800, 900, 1000};
    const NoteArray lc{0, 1000, 1200, 1500, 1800, 2000, 2272.72729f};
    ASSERT_EQ(frequency_axis(fr).lo, 500.0f);
    ASSERT_EQ(cutoff_axis(lc).hi, 2500.0f);
    const CutoffGraphGeometry chart = cutoff_graph_geometry(fr, lc, kOrigin);
    // Hole 1 at the lower left, rising with frequency and cutoff.
    EXPECT_EQ(chart.points,
              (std::vector<PixelPoint>{
                  {384, 519}, {411, 497}, {473, 463}, {535, 429}, {596, 407}, {658, 376}}));
    // 750 and 1000 Hz across, then 1000, 1500 and 2000 Hz up, from the
    // plot area's top-left corner at (350, 350).
    std::vector<PixelLine> expected;
    for (int x : {350 + 154, 350 + 308})
        expected.push_back({{x, 350}, {x, 530}});
    for (int y : {350 + 169, 350 + 113, 350 + 57})
        expected.push_back({{350, y}, {720, y}});
    EXPECT_EQ(chart.gridLines, expected);
}

TEST(CutoffGraph, ZeroOrUnusableRangesLeaveThePlotAreaEmpty) {
    const NoteArray zero{};
    NoteArray withNan = kRising;
    withNan[3] = std::numeric_limits<float>::quiet_NaN();
    NoteArray withInfinity = kRising;
    withInfinity[6] = std::numeric_limits<float>::infinity();
    for (const auto& [frequencies, cutoffs] :
         {std::pair{kRising, zero}, std::pair{zero, kRising}, std::pair{withNan, kRising},
          std::pair{kRising, withNan}, std::pair{withInfinity, kRising}}) {
        const CutoffGraphGeometry chart = cutoff_graph_geometry(frequencies, cutoffs, kOrigin);
        EXPECT_EQ(chart.plotTopLeft, (PixelPoint{350, 350}));
        EXPECT_TRUE(chart.points.empty());
        EXPECT_TRUE(chart.gridLines.empty());
    }
}

} // namespace
} // namespace sorrel
