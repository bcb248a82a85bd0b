#include "model/note_frequencies.h"
#include "model/note_table.h"
#include "model/tonehole_solver.h"
#include "report/report_lines.h"

#include <gtest/gtest.h>

#include <limits>

namespace sorrel {
namespace {

CircuitRecord solved_startup_design() {
    DesignState state = startup_state();
    derive_note_frequencies(state.workingCircuit, kDefaultNoteRow);
    EXPECT_FALSE(run_calc(state).mathError);
    return state.workingCircuit;
}

std::vector<ReportLine> expected_startup_page() {
    return {
        {250, "SORREL TONEHOLE CALCULATION RESULTS"},
        {650, "Desc:    Material:  "},
        {1050, "First Note: D5 587.33 Hz High-D Whistle/Flute"},
        {1250, "Scale Sequence: 2 - 2 - 1 - 2 - 2 - 2"},
        {1650, "Bore:       0.50 --  Wall Thickness:   0.03 --.   Emb. Hole Dia:   0.25 --."},
        {1850, "L/B Ratio: 22.24       Musical Length:   2.60 --.   Cork to End:    282.50 --."},
        {2250, "NOTE FREQ.    HOLE   CHIM.  NOM    HOLE   LOCAL   OPEN    CLOSED NEW HOLE  CUTOFF "
               "CUTOFF"},
        {2450,
         "              DIA.   HEIGHT LEN    SPACE  CUTOFF  CORR    CORR   POSITIONS RATIO    "
         "DEV%"},
        {2650, "C#6 1108.73   0.19   0.37  15.56   2.18  2286.70  1.546    0.00  14.012     2.06   "
               "30.51"},
        {2850, " B5  987.77   0.23   0.44  17.46   2.12  2651.14  1.266    0.00  16.194     2.68   "
               " 9.57"},
        {3050, " A5  880.00   0.23   0.44  19.60   2.20  2601.14  1.280    0.01  18.316     2.96   "
               " 0.40"},
        {3250, " G5  783.99   0.19   0.37  22.00   1.86  2477.74  1.474    0.01  20.518     3.16   "
               "-6.49"},
        {3450, "F#5  739.99   0.34   0.61  23.31   2.22  3232.50  0.920    0.01  22.377     4.37  "
               "-47.19"},
        {3650, " E5  659.26   0.20   0.40  26.17   4.36  1698.33  1.547    0.02  24.595     2.58   "
               "13.20"},
        {3850, " D5  587.33                29.37                   0.389   0.027   28.95"},
        {4250, "NOTE FREQ.   HOLE     HOLE    HOLE"},
        {4450, "             POS.--   POS.MM  DIA.--"},
        {4650, "C#6 1108.73   5.88    149.42    0.19"},
        {4850, " B5  987.77   5.02    127.59    0.23"},
        {5050, " A5  880.00   4.19    106.38    0.23"},
        {5250, " G5  783.99   3.32     84.36    0.19"},
        {5450, "F#5  739.99   2.59     65.77    0.34"},
        {5650, " E5  659.26   1.72     43.59    0.20"},
        {6050, "Top Down Spacing 1:  0.86"},
        {6250, "         Spacing 2:  0.84"},
        {6550, "         Spacing 3:  0.73"},
        {6750, "         Spacing 4:  0.87"},
    };
}

TEST(ReportLines, StartupDesignPrintsEveryLineAtItsRow) {
    const std::vector<ReportLine> lines = report_lines(solved_startup_design());
    const std::vector<ReportLine> expected = expected_startup_page();
    ASSERT_EQ(lines.size(), std::size_t(kReportLineCount));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i].row, expected[i].row);
        EXPECT_EQ(lines[i].text, expected[i].text);
    }
}

TEST(ReportLines, MetricDesignPrintsTheSameUnitMarks) {
    CircuitRecord english = solved_startup_design();
    CircuitRecord metric = english;
    metric.UNIT = UNIT_METRIC;
    const std::vector<ReportLine> englishLines = report_lines(english);
    const std::vector<ReportLine> metricLines = report_lines(metric);
    for (std::size_t i = 0; i < englishLines.size(); ++i)
        EXPECT_EQ(metricLines[i].text, englishLines[i].text);
}

TEST(ReportLines, NoteColumnShowsTheLongestNamesWhole) {
    CircuitRecord c = solved_startup_design();
    c.SEQI[6] = 52; // C#7
    c.NOTI = kEndNoteRow;
    const std::vector<ReportLine> lines = report_lines(c);
    EXPECT_EQ(lines[8].text.substr(0, 4), "C#7 ");
    EXPECT_EQ(lines[14].text.substr(0, 4), "END ");
    EXPECT_EQ(lines[17].text.substr(0, 4), "C#7 ");
    EXPECT_EQ(lines[2].text, "First Note: END  -1.00 Hz ");
}

// A hand-edited design file can carry any row numbers.
TEST(ReportLines, RowsOutsideTheNoteTableShowNoName) {
    CircuitRecord c = solved_startup_design();
    c.NOTI = 63;
    c.SEQI[6] = -1;
    c.SEQI[1] = 1000000;
    c.BASE = 612.5f;
    const std::vector<ReportLine> lines = report_lines(c);
    EXPECT_EQ(lines[2].text, "First Note:  612.50 Hz ");
    EXPECT_EQ(lines[8].text.substr(0, 12), "    1108.73 ");
    EXPECT_EQ(lines[13].text.substr(0, 12), "     659.26 ");
    EXPECT_EQ(lines[14].text.substr(0, 12), "     587.33 ");
    EXPECT_EQ(lines[17].text.substr(0, 12), "    1108.73 ");
    EXPECT_EQ(lines[22].text.substr(0, 12), "     659.26 ");
}

TEST(ReportLines, ExtremeValuesAreCutAt99Characters) {
    CircuitRecord c = solved_startup_design();
    const float huge = std::numeric_limits<float>::max();
    for (NoteArray* column : {&c.FR, &c.DI, &c.HI, &c.NM, &c.PI, &c.PM})
        column->fill(huge);
    c.BORE = huge;
    c.SP.fill(-huge);
    for (const ReportLine& line : report_lines(c))
        EXPECT_LE(line.text.size(), kReportLineMax) << line.text;
    const std::vector<ReportLine> lines = report_lines(c);
    EXPECT_EQ(lines[8].text.size(), kReportLineMax);
    EXPECT_EQ(lines[8].text.substr(0, 8), "C#6 3402");
    EXPECT_EQ(lines[4].text.substr(0, 14), "Bore:      340");
    EXPECT_EQ(lines[26].text.substr(0, 22), "         Spacing 4: -3");
}

} // namespace
} // namespace sorrel
