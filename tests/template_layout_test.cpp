#include "drilling/template_layout.h"

#include <algorithm>
#include <cmath>

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

} // namespace
} // namespace sorrel
