#pragma once
// A design with hand-set figures, one recognisable value in every field the
// report prints, and the page a maker expects for it, worked by hand from
// the report's layout. Its first note (A4, row 24) and BASE disagree: the
// page names the note's own frequency.

#include "model/circuit_record.h"

#include <array>
#include <string_view>

namespace sorrel {

inline CircuitRecord report_sample() {
    CircuitRecord c = default_circuit();
    c.DESC.assign("Sample");
    c.MATL.assign("Cane");
    c.NOTI = 24;
    c.BASE = 441.5f;
    c.SEQ = {2, 1, 2, 2, 1, 3};
    c.SEQI = {24, 26, 27, 29, 31, 32, 35};
    c.BORE = 0.7f;
    c.THIK = 0.08f;
    c.EMBH = 0.35f;
    c.LBRA = 25.5f;
    c.THLN = 3.3f;
    c.DIST = 412.34f;
    c.FR = {440, 493.88f, 523.25f, 587.33f, 659.26f, 698.46f, 830.61f};
    c.DI = {0, 0.15f, 0.25f, 0.35f, 0.45f, 0.55f, 0.65f};
    c.HI = {1, 0.31f, 0.32f, 0.33f, 0.34f, 0.35f, 0.36f};
    c.NM = {40.5f, 36.5f, 32.5f, 28.5f, 24.5f, 20.5f, 16.5f};
    c.HS = {0, 2.2f, 2.3f, 2.4f, 2.5f, 2.6f, 2.7f};
    c.LC = {0, 2111.11f, 2222.22f, 2333.33f, 2444.44f, 2555.55f, 2666.66f};
    c.OP = {0.375f, 1.125f, 1.25f, 1.375f, 1.5f, 1.625f, 1.75f};
    c.CL = {0.21f, 0.03f, 0.06f, 0.09f, 0.12f, 0.15f, 0.18f};
    c.NE = {38.46f, 32.123f, 28.123f, 24.123f, 20.123f, 16.123f, 12.123f};
    c.RA = {0, 2.25f, 2.5f, 2.75f, 3, 3.25f, 3.5f};
    c.DV = {0, -7.5f, -2.5f, 2.5f, 7.5f, 12.5f, 17.5f};
    c.PI = {0, 1.1f, 2.2f, 3.3f, 4.4f, 5.5f, 6.6f};
    c.PM = {0, 27.94f, 55.88f, 83.82f, 111.76f, 139.7f, 167.64f};
    c.SP = {1.11f, 2.22f, 3.33f, 4.44f};
    return c;
}

// Thousandths of an inch from the top: 200 to the next line, 400 over a
// blank line, 300 between the second and third spacing.
inline constexpr std::array<int, 27> kSampleRows = {
    250,  650,  1050, 1250, 1650, 1850, 2250, 2450, 2650, 2850, 3050, 3250, 3450, 3650,
    3850, 4250, 4450, 4650, 4850, 5050, 5250, 5450, 5650, 6050, 6250, 6550, 6750};

inline constexpr std::array<std::string_view, 27> kSamplePage = {
    "SORREL TONEHOLE CALCULATION RESULTS",
    "Desc: Sample   Material:  Cane",
    "First Note: A4 440.00 Hz A-440 Mid-A Whistle/Flute",
    "Scale Sequence: 2 - 1 - 2 - 2 - 1 - 3",
    "Bore:       0.70 --  Wall Thickness:   0.08 --.   Emb. Hole Dia:   0.35 --.",
    "L/B Ratio: 25.50       Musical Length:   3.30 --.   Cork to End:    412.34 --.",
    "NOTE FREQ.    HOLE   CHIM.  NOM    HOLE   LOCAL   OPEN    CLOSED NEW HOLE  CUTOFF CUTOFF",
    "              DIA.   HEIGHT LEN    SPACE  CUTOFF  CORR    CORR   POSITIONS RATIO    DEV%",
    "G#5  830.61   0.65   0.36  16.50   2.70  2666.66  1.750    0.18  12.123     3.50   17.50",
    " F5  698.46   0.55   0.35  20.50   2.60  2555.55  1.625    0.15  16.123     3.25   12.50",
    " E5  659.26   0.45   0.34  24.50   2.50  2444.44  1.500    0.12  20.123     3.00    7.50",
    " D5  587.33   0.35   0.33  28.50   2.40  2333.33  1.375    0.09  24.123     2.75    2.50",
    " C5  523.25   0.25   0.32  32.50   2.30  2222.22  1.250    0.06  28.123     2.50   -2.50",
    " B4  493.88   0.15   0.31  36.50   2.20  2111.11  1.125    0.03  32.123     2.25   -7.50",
    " A4  440.00                40.50                   0.375   0.210   38.46",
    "NOTE FREQ.   HOLE     HOLE    HOLE",
    "             POS.--   POS.MM  DIA.--",
    "G#5  830.61   6.60    167.64    0.65",
    " F5  698.46   5.50    139.70    0.55",
    " E5  659.26   4.40    111.76    0.45",
    " D5  587.33   3.30     83.82    0.35",
    " C5  523.25   2.20     55.88    0.25",
    " B4  493.88   1.10     27.94    0.15",
    "Top Down Spacing 1:  4.44",
    "         Spacing 2:  3.33",
    "         Spacing 3:  2.22",
    "         Spacing 4:  1.11",
};

} // namespace sorrel
