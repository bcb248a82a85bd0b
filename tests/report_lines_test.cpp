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

TEST(ReportLines, StartupDesignPrintsEveryLineAtItsRow) {
    const int rows[] = {250,  650,  1050, 1250, 1650, 1850, 2250, 2450, 2650,
                        2850, 3050, 3250, 3450, 3650, 3850, 4250, 4450, 4650,
                        4850, 5050, 5250, 5450, 5650, 6050, 6250, 6550, 6750};
    const std::string page[] = {
        "SORREL TONEHOLE CALCULATION RESULTS",
        "Desc:    Material:  ",
        "First Note: D5 587.33 Hz High-D Whistle/Flute",
        "Scale Sequence: 2 - 2 - 1 - 2 - 2 - 2",
        "Bore:       0.50 --  Wall Thickness:   0.03 --.   Emb. Hole Dia:   0.25 --.",
        "L/B Ratio: 22.24       Musical Length:   2.60 --.   Cork to End:    282.50 --.",
        "NOTE FREQ.    HOLE   CHIM.  NOM    HOLE   LOCAL   OPEN    CLOSED NEW HOLE  CUTOFF CUTOFF",
        "              DIA.   HEIGHT LEN    SPACE  CUTOFF  CORR    CORR   POSITIONS RATIO    DEV%",
        "C#6 1108.73   0.19   0.37  15.56   2.18  2286.70  1.546    0.00  14.012     2.06   30.51",
        " B5  987.77   0.23   0.44  17.46   2.12  2651.14  1.266    0.00  16.194     2.68    9.57",
        " A5  880.00   0.23   0.44  19.60   2.20  2601.14  1.280    0.01  18.316     2.96    0.40",
        " G5  783.99   0.19   0.37  22.00   1.86  2477.74  1.474    0.01  20.518     3.16   -6.49",
        "F#5  739.99   0.34   0.61  23.31   2.22  3232.50  0.920    0.01  22.377     4.37  -47.19",
        " E5  659.26   0.20   0.40  26.17   4.36  1698.33  1.547    0.02  24.595     2.58   13.20",
        " D5  587.33                29.37                   0.389   0.027   28.95",
        "NOTE FREQ.   HOLE     HOLE    HOLE",
        "             POS.--   POS.MM  DIA.--",
        "C#6 1108.73   5.88    149.42    0.19",
        " B5  987.77   5.02    127.59    0.23",
        " A5  880.00   4.19    106.38    0.23",
        " G5  783.99   3.32     84.36    0.19",
        "F#5  739.99   2.59     65.77    0.34",
        " E5  659.26   1.72     43.59    0.20",
        "Top Down Spacing 1:  0.86",
        "         Spacing 2:  0.84",
        "         Spacing 3:  0.73",
        "         Spacing 4:  0.87"};
    const std::vector<ReportLine> lines = report_lines(solved_startup_design());
    ASSERT_EQ(lines.size(), std::size_t(kReportLineCount));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].row, rows[i]) << "line " << i;
        EXPECT_EQ(lines[i].text, page[i]) << "line " << i;
    }
}

// A hand-edited design file can carry any row numbers and any figures: such
// rows print no name, and no line grows past its 99 characters.
TEST(ReportLines, HandEditedDesignPrintsUnknownRowsWithoutNames) {
    CircuitRecord c = solved_startup_design();
    c.NOTI = 63;
    c.SEQI[6] = -1;
    c.SEQI[1] = 1000000;
    c.BASE = 612.5f;
    c.DI.fill(std::numeric_limits<float>::max());
    c.SP.fill(-std::numeric_limits<float>::max());
    const std::vector<ReportLine> lines = report_lines(c);
    EXPECT_EQ(lines[2].text, "First Note:  612.50 Hz ");
    EXPECT_EQ(lines[8].text.substr(0, 12), "    1108.73 ");
    EXPECT_EQ(lines[13].text.substr(0, 12), "     659.26 ");
    EXPECT_EQ(lines[14].text.substr(0, 12), "     587.33 ");
    EXPECT_EQ(lines[17].text.substr(0, 12), "    1108.73 ");
    EXPECT_EQ(lines[22].text.substr(0, 12), "     659.26 ");
    EXPECT_EQ(lines[8].text.size(), kReportLineMax);
    EXPECT_EQ(lines[26].text.substr(0, 22), "         Spacing 4: -3");
}

} // namespace
} // namespace sorrel
