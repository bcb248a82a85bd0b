#include "report/report_lines.h"

#include "model/note_table.h"
#include "model/text_format.h"

#include <algorithm>
#include <cmath>

namespace sorrel {
namespace {

constexpr int kFirstRow = 250;
constexpr int kNextLine = 200;   // from one line to the next
constexpr int kBlankLine = 400;  // where the page leaves a blank line
constexpr int kSpacingGap = 300; // between the second and third spacing lines

// Collects the lines top to bottom, each `gap` below the one before.
class Page {
public:
    void add(int gap, std::string text) {
        row_ += gap;
        text.resize(std::min(text.size(), kReportLineMax));
        lines_.push_back({row_, std::move(text)});
    }
    std::vector<ReportLine> take() { return std::move(lines_); }

private:
    int row_ = kFirstRow;
    std::vector<ReportLine> lines_;
};

// A hand-edited design file may name rows the table does not have: such a row
// shows no name and no description.
const char* note_name(int row) {
    return is_note_row(row) ? NoteTable[static_cast<std::size_t>(row)].name : "";
}

const char* note_description(int row) {
    return is_note_row(row) ? NoteTable[static_cast<std::size_t>(row)].description : "";
}

// The name of the table row nearest in pitch to `frequency`, when that row
// lies within half a semitone (50 cents); the lower row on a tie.
const char* nearest_note_name(float frequency) {
    constexpr double kCentsPerOctave = 1200;
    constexpr double kHalfSemitone = 50; // cents
    const char* name = "";
    double nearest = kHalfSemitone;
    if (!(std::isfinite(frequency) && frequency > 0))
        return name;
    for (int row = 0; row < kCustomNoteRow; ++row) {
        const NoteEntry& note = NoteTable[static_cast<std::size_t>(row)];
        const double cents =
            std::abs(kCentsPerOctave * std::log2(double(frequency) / double(note.frequency)));
        if (cents < nearest || (cents == nearest && *name == '\0')) {
            nearest = cents;
            name = note.name;
        }
    }
    return name;
}

// Note k of a table row is named by its frequency: designs whose
// frequencies were typed rather than derived keep note rows of 0, which
// would name every hole A2. A derived frequency is its row's own, so the
// name is the row's. A row outside the table (a hand-edited file) stays blank.
const char* hole_note_name(const CircuitRecord& c, std::size_t k) {
    return is_note_row(c.SEQI[k]) ? nearest_note_name(c.FR[k]) : "";
}

float first_note_frequency(const CircuitRecord& c) {
    return is_note_row(c.NOTI) ? NoteTable[static_cast<std::size_t>(c.NOTI)].frequency : c.BASE;
}

void add_heading(Page& page, const CircuitRecord& c) {
    page.add(0, "SORREL TONEHOLE CALCULATION RESULTS");
    page.add(kBlankLine, format("Desc: %s   Material:  %s", c.DESC.c_str(), c.MATL.c_str()));
    page.add(kBlankLine, format("First Note: %s %6.2f Hz %s", note_name(c.NOTI),
                                double(first_note_frequency(c)), note_description(c.NOTI)));
    page.add(kNextLine, format("Scale Sequence: %1d - %1d - %1d - %1d - %1d - %1d", c.SEQ[0],
                               c.SEQ[1], c.SEQ[2], c.SEQ[3], c.SEQ[4], c.SEQ[5]));
    page.add(kBlankLine,
             format("Bore:      %5.2f --  Wall Thickness:  %5.2f --.   Emb. Hole Dia:  %5.2f --.",
                    double(c.BORE), double(c.THIK), double(c.EMBH)));
    page.add(kNextLine,
             format("L/B Ratio: %5.2f       Musical Length:  %5.2f --.   Cork to End:    %5.2f --.",
                    double(c.LBRA), double(c.THLN), double(c.DIST)));
}

void add_acoustic_table(Page& page, const CircuitRecord& c) {
    page.add(kBlankLine, "NOTE FREQ.    HOLE   CHIM.  NOM    HOLE   LOCAL   OPEN    CLOSED "
                         "NEW HOLE  CUTOFF CUTOFF");
    // Formatted like every other line, so its "%%" prints as one percent sign.
    page.add(kNextLine, format("              DIA.   HEIGHT LEN    SPACE  CUTOFF  CORR    CORR   "
                               "POSITIONS RATIO    DEV%%"));
    for (std::size_t k = kNoteCount - 1; k >= 1; --k) {
        page.add(
            kNextLine,
            format("%3.3s %7.2f %6.2f %6.2f %6.2f %6.2f  %7.2f %6.3f  %6.2f  %6.3f   %6.2f  %6.2f",
                   hole_note_name(c, k), double(c.FR[k]), double(c.DI[k]), double(c.HI[k]),
                   double(c.NM[k]), double(c.HS[k]), double(c.LC[k]), double(c.OP[k]),
                   double(c.CL[k]), double(c.NE[k]), double(c.RA[k]), double(c.DV[k])));
    }
    page.add(kNextLine,
             format("%3.3s %7.2f               %6.2f                  %6.3f  %6.3f  %6.2f",
                    note_name(c.NOTI), double(c.FR[0]), double(c.NM[0]), double(c.OP[0]),
                    double(c.CL[0]), double(c.NE[0])));
}

void add_position_table(Page& page, const CircuitRecord& c) {
    page.add(kBlankLine, "NOTE FREQ.   HOLE     HOLE    HOLE");
    page.add(kNextLine, "             POS.--   POS.MM  DIA.--");
    for (std::size_t k = kNoteCount - 1; k >= 1; --k) {
        page.add(kNextLine,
                 format("%3.3s %7.2f %6.2f    %6.2f  %6.2f", hole_note_name(c, k), double(c.FR[k]),
                        double(c.PI[k]), double(c.PM[k]), double(c.DI[k])));
    }
}

// The spacings from the top of the instrument down: holes 5-6 first.
void add_spacings(Page& page, const CircuitRecord& c) {
    page.add(kBlankLine, format("Top Down Spacing 1: %5.2f", double(c.SP[3])));
    page.add(kNextLine, format("         Spacing 2: %5.2f", double(c.SP[2])));
    page.add(kSpacingGap, format("         Spacing 3: %5.2f", double(c.SP[1])));
    page.add(kNextLine, format("         Spacing 4: %5.2f", double(c.SP[0])));
}

} // namespace

std::vector<ReportLine> report_lines(const CircuitRecord& circuit) {
    Page page;
    add_heading(page, circuit);
    add_acoustic_table(page, circuit);
    add_position_table(page, circuit);
    add_spacings(page, circuit);
    return page.take();
}

} // namespace sorrel
