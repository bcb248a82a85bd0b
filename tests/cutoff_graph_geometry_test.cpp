#include "model/cutoff_graph_geometry.h"
#include "model/tonehole_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace sorrel {
namespace {

constexpr PixelPoint kOrigin{300, 300};

// Vertical grid lines as the frequency each was drawn for: x = left + u.
std::vector<int> vertical_x(const CutoffGraphGeometry& chart) {
    std::vector<int> xs;
    for (const PixelLine& line : chart.gridLines) {
        if (line.from.x == line.to.x)
            xs.push_back(line.from.x);
    }
    return xs;
}

std::vector<int> horizontal_y(const CutoffGraphGeometry& chart) {
    std::vector<int> ys;
    for (const PixelLine& line : chart.gridLines) {
        if (line.from.y == line.to.y)
            ys.push_back(line.from.y);
    }
    return ys;
}

TEST(CutoffGraph, StartUpDesignShowsOnlyTheGridAt750And1000Hz) {
    DesignState state = startup_state();
    ASSERT_FALSE(run_calc(state).mathError);
    const CircuitRecord& c = state.workingCircuit;
    const AxisRange x = frequency_axis(c.FR);
    EXPECT_NEAR(x.lo, 593.33, 0.01);
    EXPECT_NEAR(x.hi, 1219.60, 0.01);

    const CutoffGraphGeometry chart = cutoff_graph_geometry(c.FR, c.LC, kOrigin);
    EXPECT_EQ(chart.plotTopLeft, (PixelPoint{350, 350}));
    ASSERT_EQ(chart.points.size(), 6u);
    // Rising notes run left to right, inside the plot area.
    for (std::size_t j = 1; j < chart.points.size(); ++j)
        EXPECT_LT(chart.points[j - 1].x, chart.points[j].x);
    EXPECT_GT(chart.points.front().x, 350);
    EXPECT_LT(chart.points.back().x, 720);
    const int at750 = 350 + static_cast<int>((750 - double(x.lo)) / x.span * 370);
    const int at1000 = 350 + static_cast<int>((1000 - double(x.lo)) / x.span * 370);
    EXPECT_EQ(vertical_x(chart), (std::vector<int>{at750, at1000}));
    for (const PixelLine& line : chart.gridLines) {
        if (line.from.x == line.to.x) {
            EXPECT_EQ(line.from.y, 350);
            EXPECT_EQ(line.to.y, 530);
        }
    }
}

TEST(CutoffGraph, LargerCutoffsStandHigher) {
    const NoteArray fr{0, 600, 700, 800, 900, 1000, 1100};
    const NoteArray lc{0, 1000, 3000, 2000, 2000, 2000, 2000};
    const CutoffGraphGeometry chart = cutoff_graph_geometry(fr, lc, kOrigin);
    ASSERT_EQ(chart.points.size(), 6u);
    EXPECT_LT(chart.points[1].y, chart.points[2].y); // 3000 Hz above 2000 Hz
    EXPECT_GT(chart.points[0].y, chart.points[2].y); // 1000 Hz below
}

TEST(CutoffGraph, EqualCutoffsLieFlatOnTheMiddleLine) {
    const NoteArray fr{0, 600, 700, 800, 900, 1000, 1100};
    NoteArray lc{};
    lc.fill(1000);
    const CutoffGraphGeometry chart = cutoff_graph_geometry(fr, lc, kOrigin);
    ASSERT_EQ(chart.points.size(), 6u);
    for (const PixelPoint& point : chart.points)
        EXPECT_EQ(point.y, 350 + 90);
    // 900..1100 Hz: only the 1000 Hz line falls inside, on the middle line too.
    EXPECT_EQ(horizontal_y(chart), (std::vector<int>{440}));
}

// The lowest frequency 555.555542 widens to exactly 500 Hz, the highest
// cutoff 2272.72729 to exactly 2500 Hz: grid lines on the plot edge are left out.
TEST(CutoffGraph, LeavesOutGridLinesOnThePlotEdge) {
    const NoteArray fr{0, 555.555542f, 600, 700, 800, 900, 1000};
    const NoteArray lc{0, 1000, 1200, 1500, 1800, 2000, 2272.72729f};
    ASSERT_EQ(frequency_axis(fr).lo, 500.0f);
    ASSERT_EQ(cutoff_axis(lc).hi, 2500.0f);
    const CutoffGraphGeometry chart = cutoff_graph_geometry(fr, lc, kOrigin);
    // 500 Hz sits on the left edge (u = 0); 750 and 1000 Hz are inside.
    EXPECT_EQ(vertical_x(chart), (std::vector<int>{350 + 154, 350 + 308}));
    // 2500 Hz sits on the top edge (v = 0); 1000, 1500 and 2000 Hz are inside.
    EXPECT_EQ(horizontal_y(chart), (std::vector<int>{350 + 169, 350 + 113, 350 + 57}));
}

TEST(CutoffGraph, ZeroOrUnusableRangesLeaveThePlotAreaEmpty) {
    const NoteArray fr{0, 600, 700, 800, 900, 1000, 1100};
    const NoteArray zero{};
    NoteArray withNan = fr;
    withNan[3] = std::numeric_limits<float>::quiet_NaN();
    NoteArray withInfinity = fr;
    withInfinity[6] = std::numeric_limits<float>::infinity();

    for (const auto& [frequencies, cutoffs] :
         {std::pair{fr, zero}, std::pair{zero, fr}, std::pair{withNan, fr}, std::pair{fr, withNan},
          std::pair{withInfinity, fr}}) {
        const CutoffGraphGeometry chart = cutoff_graph_geometry(frequencies, cutoffs, kOrigin);
        EXPECT_EQ(chart.plotTopLeft, (PixelPoint{350, 350}));
        EXPECT_TRUE(chart.points.empty());
        EXPECT_TRUE(chart.gridLines.empty());
    }
}

} // namespace
} // namespace sorrel
