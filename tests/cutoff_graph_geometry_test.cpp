#include "model/cutoff_graph_geometry.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace sorrel {
namespace {

constexpr PixelPoint kOrigin{300, 300};
constexpr NoteArray kRising{0, 600, 700, 800, 900, 1000, 1100};

// Each axis spans its values widened by a tenth at both ends; a point sits
// trunc((value - lo) / span x 370 or 180) pixels from the plot area's
// lower-left corner, the plot area's top-left corner being (350, 350).
// Frequency grid lines stand every 250 Hz, cutoff lines at 250, 500, 1000,
// 1500 ... 4000 Hz, each strictly inside the plot area. Worked by hand.
struct Chart {
    const char* name;
    NoteArray fr;
    NoteArray lc;
    std::vector<PixelPoint> points;
    std::vector<int> across; // x of the vertical grid lines
    std::vector<int> up;     // y of the horizontal grid lines
};

TEST(CutoffGraph, PlacesPointsAndGridLines) {
    const Chart charts[] = {
        // 555.555542 widens to exactly 500 Hz and 2272.72729 to exactly
        // 2500 Hz: grid lines on the plot edge are left out.
        {"edges",
         {0, 555.555542f, 600, 700, 800, 900, 1000},
         {0, 1000, 1200, 1500, 1800, 2000, 2272.72729f},
         {{384, 519}, {411, 497}, {473, 463}, {535, 429}, {596, 407}, {658, 376}},
         {504, 658},
         {519, 463, 407}},
        // 900 to 3850 Hz across, 1800 to 3300 Hz up.
        {"high notes",
         {0, 1000, 1500, 2000, 2500, 3000, 3500},
         {0, 2000, 2200, 2400, 2600, 2800, 3000},
         {{362, 506}, {425, 482}, {487, 458}, {550, 434}, {613, 410}, {676, 386}},
         {362, 393, 425, 456, 487, 519, 550, 582, 613, 644, 676, 707},
         {506, 446, 386}},
    };
    for (const Chart& chart : charts) {
        const CutoffGraphGeometry geometry = cutoff_graph_geometry(chart.fr, chart.lc, kOrigin);
        EXPECT_EQ(geometry.points, chart.points) << chart.name;
        std::vector<PixelLine> lines;
        for (int x : chart.across)
            lines.push_back({{x, 350}, {x, 530}});
        for (int y : chart.up)
            lines.push_back({{350, y}, {720, y}});
        EXPECT_EQ(geometry.gridLines, lines) << chart.name;
    }
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
