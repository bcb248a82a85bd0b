#include "drilling/template_layout.h"

#include <algorithm>

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
    ::testing::Values(PageCountCase{217, Paper::A4, 1}, PageCountCase{218, Paper::A4, 2},
                      PageCountCase{199, Paper::Letter, 1}, PageCountCase{200, Paper::Letter, 2},
                      PageCountCase{663, Paper::A4, 3}, PageCountCase{664, Paper::A4, 4},
                      PageCountCase{650, Paper::Letter, 4}));

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

} // namespace
} // namespace sorrel
