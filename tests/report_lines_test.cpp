#include "report/report_lines.h"
#include "tests/report_sample.h"

#include <gtest/gtest.h>

#include <limits>

namespace sorrel {
namespace {

TEST(ReportLines, PrintsEveryLineAtItsRow) {
    const std::vector<ReportLine> lines = report_lines(report_sample());
    ASSERT_EQ(lines.size(), kSamplePage.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].row, kSampleRows[i]) << "line " << i;
        EXPECT_EQ(lines[i].text, kSamplePage[i]) << "line " << i;
    }
}

// A hand-edited design file can carry any row numbers and any figures: such
// rows print no name (the first note then shows BASE), and no line grows
// past its 99 characters.
TEST(ReportLines, HandEditedDesignPrintsUnknownRowsWithoutNames) {
    CircuitRecord c = report_sample();
    c.NOTI = 63;
    c.SEQI[6] = -1;
    c.SEQI[1] = 1000000;
    c.DI.fill(std::numeric_limits<float>::max());
    c.SP.fill(-std::numeric_limits<float>::max());
    const std::vector<ReportLine> lines = report_lines(c);
    EXPECT_EQ(lines[2].text, "First Note:  441.50 Hz ");
    for (std::size_t line : {8u, 13u, 14u, 17u, 22u})
        EXPECT_EQ(lines[line].text.substr(0, 4), "    ") << line;
    EXPECT_EQ(lines[8].text.size(), kReportLineMax);
    EXPECT_EQ(lines[26].text.substr(0, 22), "         Spacing 4: -3");
}

} // namespace
} // namespace sorrel
