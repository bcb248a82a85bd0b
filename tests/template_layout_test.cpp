#include "drilling/template_layout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include <gtest/gtest.h>

namespace sorrel {
namespace {

DrillingPlan plan_of_length(double length) {
    DrillingPlan plan;
    plan.length_mm = length;
    plan.top_name = "block";
    plan.cut_at_top = true;
    return plan;
}

// The first A4 sheet holds 243 - 12 mm of strip (Letter 225.4 - 12), less
// 14 mm kept above the top line; each further sheet adds 243 - 20 (205.4).
TEST(TemplateLayout, RunsOverAsManySheetsAsTheTubeNeeds) {
    const struct {
        double length;
        Paper paper;
        std::size_t pages;
    } cases[] = {{217, Paper::A4, 1},     {218, Paper::A4, 2}, {199, Paper::Letter, 1},
                 {200, Paper::Letter, 2}, {663, Paper::A4, 3}, {664, Paper::A4, 4},
                 {650, Paper::Letter, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(lay_out_template(plan_of_length(c.length), c.paper).pages.size(), c.pages)
            << c.length;
}

TEST(TemplateLayout, MarksTheFootOnTheFirstSheetAndTheCutOnTheLast) {
    const TemplateLayout layout = lay_out_template(plan_of_length(560), Paper::A4);
    ASSERT_EQ(layout.pages.size(), 3u);
    const auto count = [&layout](std::size_t page, const std::string& text) {
        const std::vector<PageText>& texts = layout.pages[page].texts;
        return std::count_if(texts.begin(), texts.end(),
                             [&](const PageText& t) { return t.text == text; });
    };
    EXPECT_EQ(count(0, "foot end"), 1);
    EXPECT_EQ(count(1, "foot end") + count(2, "foot end"), 0);
    EXPECT_EQ(count(2, "cut here"), 1);
    EXPECT_EQ(count(0, "cut here") + count(1, "cut here"), 0);
    // 560 / 25.4 = 22.0472 in; the nearest 64th, 1411/64 in, is 559.9906 mm.
    EXPECT_EQ(count(2, "560.00 mm from the foot, 22.047 in, 22 3/64 in (-0.01 mm)"), 1);
}

// A crosshair runs past its drill's circle by the same length whatever the
// drill, so the mark shows beyond every bit.
TEST(TemplateLayout, CrosshairsOverhangEveryDrillAlike) {
    DrillingPlan plan = plan_of_length(200);
    plan.holes = {{1, 50, 3.0, "3 mm"}, {2, 120, 9.0, "9 mm"}};
    const TemplatePage page = lay_out_template(plan, Paper::A4).pages.at(0);
    std::vector<double> overhangs;
    for (const PageCircle& circle : page.circles)
        for (const PageLine& l : page.lines)
            if (l.from.x_mm == circle.centre.x_mm && l.to.x_mm == circle.centre.x_mm &&
                std::abs((l.from.y_mm + l.to.y_mm) / 2 - circle.centre.y_mm) < 1e-9)
                overhangs.push_back((std::abs(l.to.y_mm - l.from.y_mm) - circle.diameter_mm) / 2);
    ASSERT_EQ(overhangs.size(), 2u);
    EXPECT_GT(overhangs[0], 1);
    EXPECT_NEAR(overhangs[0], overhangs[1], 1e-9);
}

// The rulers' captions sit 5 mm below their ends (100 mm; 4 in = 101.6 mm).
// A rectangular window is outlined by four edges meeting at its corners, a
// round embouchure by one circle, each named with its size.
TEST(TemplateLayout, RulersAndMouthOutlinesKeepTheirSizes) {
    const struct {
        MouthOutline mouth;
        const char* note;
        std::size_t circles;
    } cases[] = {
        {{150, 4, 6, false, "window"}, "Outline of the window, 4.00 mm along x 6.00 mm across", 0},
        {{150, 9.5, 9.5, true, "embouchure"}, "Outline of the embouchure, 9.50 mm across", 1},
    };
    for (const auto& c : cases) {
        DrillingPlan plan = plan_of_length(200);
        plan.mouth = c.mouth;
        const TemplatePage page = lay_out_template(plan, Paper::A4).pages.at(0);
        std::vector<std::pair<std::string, double>> texts;
        for (const PageText& t : page.texts)
            texts.emplace_back(t.text, t.baseline.y_mm - page.strip_top_mm);
        for (const auto& [caption, below] : {std::pair{"100 mm", 105.0}, {"4 in", 106.6}}) {
            const auto found = std::find_if(texts.begin(), texts.end(),
                                            [&](const auto& t) { return t.first == caption; });
            ASSERT_NE(found, texts.end()) << caption;
            EXPECT_NEAR(found->second, below, 1e-9) << caption;
        }
        EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                                [&](const auto& t) { return t.first == c.note; }),
                  1);
        EXPECT_EQ(page.circles.size(), c.circles);
        // Each corner ends two edges: the outline is closed and square to the strip.
        std::map<std::pair<double, double>, int> ends;
        for (const PageLine& l : page.lines)
            if (l.clipped)
                for (const PagePoint& p : {l.from, l.to})
                    ++ends[{p.x_mm, p.y_mm}];
        ASSERT_EQ(ends.size(), c.circles == 0 ? 4u : 0u);
        if (ends.empty())
            continue;
        const auto [low, high] = std::pair{ends.begin()->first, ends.rbegin()->first};
        EXPECT_NEAR(high.first - low.first, 6, 1e-9);
        EXPECT_NEAR(high.second - low.second, 4, 1e-9);
        for (const auto& [corner, count] : ends)
            EXPECT_EQ(count, 2);
    }
}

} // namespace
} // namespace sorrel
