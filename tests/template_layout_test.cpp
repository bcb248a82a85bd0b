#include "drilling/template_layout.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <gtest/gtest.h>

namespace sorrel {
namespace {

// A plan with a hole every 90 mm from 40 mm on, each drilled 6 mm larger
// than its number, so a drawn circle names its hole.
DrillingPlan plan_of_length(double length) {
    DrillingPlan plan;
    plan.length_mm = length;
    plan.top_name = "block";
    plan.cut_at_top = true;
    for (int number = 1; 40.0 + (number - 1) * 90 < length - 20; ++number)
        plan.holes.push_back({number, 40.0 + (number - 1) * 90, 6.0 + number, "x"});
    return plan;
}

// Sheets needed: the first carries 243 - 12 mm of strip on A4 (225.4 - 12 on
// Letter) less 14 mm above the top line; each further sheet 20 mm less than
// its 243 (225.4) mm of strip.
struct PageCountCase {
    double length;
    Paper paper;
    std::size_t pages;
};

class PageCount : public ::testing::TestWithParam<PageCountCase> {};

TEST_P(PageCount, RunsOverAsManySheetsAsTheTubeNeeds) {
    const PageCountCase& row = GetParam();
    EXPECT_EQ(lay_out_template(plan_of_length(row.length), row.paper).pages.size(), row.pages);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, PageCount,
    ::testing::Values(PageCountCase{200, Paper::A4, 1}, PageCountCase{217, Paper::A4, 1},
                      PageCountCase{218, Paper::A4, 2}, PageCountCase{199, Paper::Letter, 1},
                      PageCountCase{200, Paper::Letter, 2}, PageCountCase{550, Paper::A4, 3},
                      PageCountCase{663, Paper::A4, 3}, PageCountCase{664, Paper::A4, 4},
                      PageCountCase{650, Paper::Letter, 4}));

std::optional<double> heavy_line_y(const TemplatePage& page) {
    for (const PageLine& line : page.lines)
        if (line.width_mm >= 1)
            return line.from.y_mm;
    return std::nullopt;
}

// Rows of the glue marks (the dashed strokes running across), top first.
std::vector<double> glue_rows(const TemplatePage& page) {
    std::vector<double> rows;
    for (const PageLine& line : page.lines)
        if (line.dashed && line.from.y_mm == line.to.y_mm)
            rows.push_back(line.from.y_mm);
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Glues the sheets as a maker does, mark on mark, and measures each drilled
// circle from the foot line through the chain of marks.
TEST(TemplateLayout, GluedSheetsPutEveryHoleAtItsDistanceFromTheFoot) {
    for (const Paper paper : {Paper::A4, Paper::Letter}) {
        const DrillingPlan plan = plan_of_length(560);
        const TemplateLayout layout = lay_out_template(plan, paper);
        ASSERT_EQ(layout.pages.size(), 3u);
        const std::optional<double> foot = heavy_line_y(layout.pages[0]);
        ASSERT_TRUE(foot.has_value());
        // Strip position, from the foot, of each sheet's lowest row: the foot
        // line on the first, the mark glued onto the sheet below on the others.
        double base = 0;
        double baseRow = *foot;
        std::vector<bool> found(plan.holes.size(), false);
        for (std::size_t index = 0; index < layout.pages.size(); ++index) {
            const TemplatePage& page = layout.pages[index];
            const std::vector<double> marks = glue_rows(page);
            ASSERT_EQ(marks.size(), index == 0 || index + 1 == layout.pages.size() ? 1u : 2u);
            if (index > 0)
                baseRow = marks.back(); // the lower mark lies on the sheet below
            for (const PageCircle& circle : page.circles) {
                const auto number = static_cast<std::size_t>(std::lround(circle.diameter_mm - 6));
                ASSERT_GE(number, 1u);
                ASSERT_LE(number, plan.holes.size());
                EXPECT_NEAR(base + baseRow - circle.centre.y_mm, plan.holes[number - 1].centre_mm,
                            1e-9)
                    << "hole " << number << " on page " << index + 1;
                EXPECT_NEAR(circle.centre.x_mm, 65, 1e-9);
                found[number - 1] = true;
            }
            if (index + 1 < layout.pages.size()) {
                base += baseRow - marks.front(); // up to this sheet's upper mark
                EXPECT_GT(marks.front(), page.strip_top_mm);
            }
        }
        EXPECT_EQ(std::count(found.begin(), found.end(), true),
                  static_cast<long>(plan.holes.size()));
    }
}

TEST(TemplateLayout, EverySheetCarriesBothRulersAtFullLength) {
    const TemplateLayout layout = lay_out_template(plan_of_length(560), Paper::A4);
    for (const TemplatePage& page : layout.pages) {
        // The rulers' spines: vertical strokes 100 mm and 4 in long.
        int metric = 0;
        int inch = 0;
        for (const PageLine& line : page.lines) {
            if (line.from.x_mm != line.to.x_mm)
                continue;
            const double length = std::fabs(line.to.y_mm - line.from.y_mm);
            metric += std::fabs(length - 100) < 1e-9;
            inch += std::fabs(length - 101.6) < 1e-9;
        }
        EXPECT_EQ(metric, 1);
        EXPECT_EQ(inch, 1);
        const auto says = [&page](const std::string& text) {
            return std::any_of(page.texts.begin(), page.texts.end(),
                               [&](const PageText& t) { return t.text == text; });
        };
        EXPECT_TRUE(says("100 mm"));
        EXPECT_TRUE(says("4 in"));
        EXPECT_TRUE(
            says("Print at 100 %, no fit to page: the rulers must measure 100 mm and 4 in."));
    }
    const auto pageLine = [&layout](std::size_t index) {
        for (const PageText& text : layout.pages[index].texts)
            if (text.text.starts_with("Page "))
                return text.text;
        return std::string();
    };
    EXPECT_EQ(pageLine(0), "Page 1 of 3: the foot end");
    EXPECT_EQ(pageLine(1), "Page 2 of 3, glue to the mark on page 1");
    EXPECT_EQ(pageLine(2), "Page 3 of 3, glue to the mark on page 2");
}

TEST(TemplateLayout, MarksTheFootOnlyOnTheFirstSheetAndTheCutOnTheLast) {
    const TemplateLayout layout = lay_out_template(plan_of_length(560), Paper::A4);
    const auto count = [](const TemplatePage& page, const std::string& text) {
        return std::count_if(page.texts.begin(), page.texts.end(),
                             [&](const PageText& t) { return t.text == text; });
    };
    EXPECT_EQ(count(layout.pages[0], "foot end"), 1);
    EXPECT_EQ(count(layout.pages[0], "cut here"), 0);
    EXPECT_EQ(count(layout.pages[1], "foot end"), 0);
    EXPECT_EQ(count(layout.pages[1], "cut here"), 0);
    EXPECT_EQ(count(layout.pages[2], "cut here"), 1);
    EXPECT_EQ(count(layout.pages[2], "560.00 mm from the foot, 22.047 in, 22 3/64 in (-0.01 mm)"),
              1); // 560 / 25.4 = 22.0472 in; 1411/64 in = 559.9906 mm
}

} // namespace
} // namespace sorrel
