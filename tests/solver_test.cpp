#include "model/note_frequencies.h"
#include "model/note_table.h"
#include "model/text_format.h"
#include "model/tonehole_solver.h"
#include "model/units.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

namespace sorrel {
namespace {

// A second working of the position method, written straight from its
// formulas (Benade's local cutoff c/2π · d/D / √(h·s) and the open- and
// closed-hole corrections): each stored figure is a float, each formula is
// worked in double, and every square and square root is rounded to float
// before it is used, as makers' figures were computed.
const auto f = [](double x) { return static_cast<float>(x); };
const auto sq = [](double x) { return f(x * x); };
const auto sqroot = [](double x) { return f(std::sqrt(x)); };

CircuitRecord work_by_hand(CircuitRecord c, const GlobalCorrections& g) {
    int passes = 0;
    const auto cm = [&c](float x) { return c.UNIT == UNIT_ENGLISH ? f(x * 2.54f) : f(x / 10.0); };
    c.BRCT = cm(c.BORE);
    c.THCT = cm(c.THIK);
    c.DIVS = c.DIVS == 4 ? 4 : 2;
    c.CL[6] = 0;
    for (int k = 6; k >= 0; --k) {
        c.BDC[k] = cm(c.BDI[k]);
        c.DC[k] = k == 0 ? c.BDC[0] : cm(c.DI[k]);
        c.HI[k] = k == 0 ? 1 : f(double(g.CHMCOR) * c.DC[k] + c.THCT);
        c.NM[k] = f(double(c.SPSD) / c.FR[k] / c.DIVS);
        if (k > 0)
            c.CL[k - 1] = c.CL[k] + f(c.THCT * 0.25 * sq(double(c.DC[k]) / c.BDC[k]));
    }
    const bool native = c.SEQ == std::array<int32_t, 6>{3, 2, 2, 1, 2, 2};
    const float pi = 3.1415927f;
    c.NE = c.NM;
    do {
        c.PR = c.NE;
        for (int k = 1; k <= 6; ++k) {
            const int from = native && k >= 4 ? (k == 4 ? 2 : 3) : k - 1;
            c.HS[k] = c.NE[from] - c.NE[k];
            c.LC[k] =
                f(double(c.SPSD) * c.DC[k] / c.BDC[k] / 2 / pi / sqroot(double(c.HI[k]) * c.HS[k]));
        }
        c.OP[0] = f(double(g.ENDCOR) * c.BDC[0] / 2);
        c.OP[1] = f(c.HI[1] / (1.0 / c.HS[1] * c.HI[1] + sq(double(c.DC[1]) / c.BDC[1])));
        for (int k = 2; k <= 6; ++k)
            c.OP[k] = f(
                double(c.HS[k]) * 0.5 *
                (sqroot(double(c.HI[k]) * 4 / c.HS[k] * sq(double(c.BDC[k]) / c.DC[k]) + 1) - 1.0));
        c.MAXP = 0;
        for (int k = 0; k <= 6; ++k) {
            c.NE[k] = f(double(c.NM[k]) - c.OP[k] - c.CL[k]);
            c.MAXP = std::max(c.MAXP, std::fabs(f((double(c.NE[k]) - c.PR[k]) / c.NE[k] * 100)));
        }
    } while (++passes < 13 && c.MAXP > 0.005f);
    c.TORA = c.TOCU = 0;
    for (int k = 1; k <= 6; ++k) {
        c.RA[k] = c.LC[k] / c.FR[k];
        c.TORA += c.RA[k];
        c.TOCU += c.LC[k];
    }
    c.AVCU = f(c.TOCU / 6.0);
    c.AVRA = f(c.TORA / 6.0);
    for (int k = 1; k <= 6; ++k)
        c.DV[k] = f((double(c.AVRA) - c.RA[k]) / c.AVRA * 100);
    const bool inches = c.UNIT == UNIT_ENGLISH;
    const float eh = inches ? c.EMBH / 0.3937f : f(c.EMBH / 10.0);
    const float ev = inches ? c.EMBV / 0.3937f : f(c.EMBV / 10.0);
    const float area = c.EMBH == 0 ? f(ev / 2.0 * (ev / 2.0) * 3.1415927f) : eh * ev;
    c.THLN = f(area * 6.4516);
    const float emb = f(double(g.EMBCOR) * 3.1415927f * c.BRCT * c.BRCT / c.THLN *
                        (1.5 * sqroot(c.THLN / double(3.1415927f)) + c.THCT));
    c.DIST = f((double(c.NM[0]) - c.OP[0] - c.CL[0] - emb) * 10);
    c.LBRA = f(c.DIST / 10.0 / c.BRCT);
    for (int k = 1; k <= 6; ++k) {
        c.PM[k] = f((double(c.NE[0]) - c.NE[k]) * 10);
        c.PI[k] = f(c.PM[k] / 25.4);
    }
    for (int i = 0; i < 4; ++i) { // holes 1-2, 2-3, 4-5, 5-6
        const int upper = i < 2 ? i + 2 : i + 3;
        c.SP[i] = c.PI[upper] - c.PI[upper - 1];
        c.SP[i] = inches ? c.SP[i] : f(c.SP[i] * 25.4);
    }
    return c;
}

// The figures as a maker reads them off the panel: passes, hole positions
// in millimetres and inches, block-to-end length, deviation, spacings,
// length/bore ratio, emb area figure and average cutoff.
std::string panel_figures(const CircuitRecord& c, const SolveOutcome& outcome) {
    std::string text = format("passes %d |", outcome.passes);
    for (const NoteArray* column : {&c.PM, &c.PI})
        for (int k = 1; k <= 6; ++k)
            text += format("%7.2f", double((*column)[k]));
    text += format(" | %5.2f %5.2f |", double(c.DIST), double(outcome.deviationPercent));
    for (float figure : {c.SP[0], c.SP[1], c.SP[2], c.SP[3], c.LBRA, c.THLN, c.AVCU})
        text += format(" %5.2f", double(figure));
    return text;
}

CircuitRecord in_millimetres(CircuitRecord c) {
    scale_entry_lengths(c, 25.4f);
    c.UNIT = UNIT_METRIC;
    return c;
}

// The low D whistle makers build from 3/4" PVC: 1/16" wall, a 0.40" x 0.30"
// window, 5/16" and 3/8" holes, a major scale from D4.
// clang-format off
CircuitRecord low_d_whistle() {
    CircuitRecord c = default_circuit();
    c.BORE = 0.75f; c.BDI.fill(0.75f); c.THIK = 0.0625f; c.EMBH = 0.4f; c.EMBV = 0.3f;
    c.DI = {0, 0.3125f, 0.375f, 0.3125f, 0.3125f, 0.375f, 0.3125f};
    EXPECT_FALSE(derive_note_frequencies(c, 17).refused); // D4
    return c;
}
// clang-format on

struct Design {
    const char* name;
    CircuitRecord (*make)();
    const char* printed; // the panel's first figures as makers have them
};

TEST(Solver, VariedDesignsGiveTheFiguresWorkedByHand) {
    using C = CircuitRecord;
    // clang-format off
    const Design designs[] = {
        {"start-up design", default_circuit,
         "passes 7 |  43.59  65.77  84.36 106.38 127.59 149.42   1.72   2.59   3.32   4.19   5.02"
         "   5.88 | 282.50 77.70 |  0.87  0.73  0.84  0.86 22.24  2.60 2491.26"},
        {"low D whistle", low_d_whistle,
         "passes 5 |  83.95 136.34 161.84 214.36 251.36 293.73   3.30   5.37   6.37   8.44   9.90"
         "  11.56 | 569.39 61.76"},
        {"metric native flute, round window", [] {
             C c = in_millimetres(default_circuit());
             c.SEQ = {3, 2, 2, 1, 2, 2};
             EXPECT_FALSE(derive_note_frequencies(c, 21).refused); // F#4
             c.BORE = 19; c.BDI.fill(19); c.THIK = 3; c.DI = {0, 8, 9, 7, 9, 8, 7};
             c.EMBH = 0; c.EMBV = 10;
             return c; },
         "passes 7 |  98.96 133.71 180.82 192.36 225.63 263.58   3.90   5.26   7.12   7.57   8.88"
         "  10.38 | 447.25 98.50"},
        {"metric quarter-wave low D", [] {
             C c = in_millimetres(low_d_whistle()); c.DIVS = 4; return c; }, ""},
        {"custom just-intonation frequencies", [] {
             C c = default_circuit();
             c.CU = {400, 450, 500, 533.333f, 600, 666.667f, 750};
             EXPECT_FALSE(derive_note_frequencies(c, kCustomNoteRow).refused);
             return c; }, ""},
        {"bass D in a thick tube, thirteen passes without settling", [] {
             C c = default_circuit();
             EXPECT_FALSE(derive_note_frequencies(c, 5).refused); // D3
             c.BORE = 1; c.BDI.fill(1); c.THIK = 0.25f; c.DI.fill(0.3125f);
             return c; }, "passes 13 |"},
        {"odd sizes: tapered bore, long window", [] {
             C c = default_circuit();
             c.SPSD = 34300; c.BDI = {0.47f, 0.48f, 0.5f, 0.51f, 0.53f, 0.55f, 0.56f};
             c.EMBH = 0.31f; c.EMBV = 0.19f; c.DI = {0, 0.15f, 0.29f, 0.22f, 0.26f, 0.2f, 0.17f};
             return c; }, ""},
        {"divisor 3 is solved as 2", [] { C c = default_circuit(); c.DIVS = 3; return c; },
         "passes 7 |"},
    };
    // clang-format on
    for (const GlobalCorrections& corrections :
         {GlobalCorrections{}, {1, 0.3f, 0.7f, 0.5f}}) { // EMB, END, CHM
        for (const Design& design : designs) {
            CircuitRecord c = design.make();
            const CircuitRecord expected = work_by_hand(c, corrections);
            const SolveOutcome outcome = solve_tonehole_positions(c, corrections);
            EXPECT_EQ(outcome.reached, SolveStage::Finished) << design.name;
            EXPECT_EQ(outcome.shownLC, c.LC) << design.name;
            EXPECT_EQ(c, expected) << design.name; // every figure, to the last bit
            const std::string printed = corrections == GlobalCorrections{} ? design.printed : "";
            EXPECT_EQ(panel_figures(c, outcome).substr(0, printed.size()), printed) << design.name;
        }
    }
}

// Both stops leave the fields computed before them and nothing after.
TEST(Solver, MathErrorsStopWhereTheZeroIsFound) {
    CircuitRecord equal = default_circuit();
    equal.FR[3] = equal.FR[2];
    const SolveOutcome early = solve_tonehole_positions(equal, {});
    EXPECT_TRUE(early.mathError);
    EXPECT_EQ(early.reached, SolveStage::NominalLengths);
    EXPECT_EQ(equal.HS[4], 0.0f); // not computed
    EXPECT_EQ(equal.CL[0], 0.0f);

    CircuitRecord chimneyless = default_circuit();
    chimneyless.THIK = 0;
    chimneyless.DI[2] = 0;
    const SolveOutcome late = solve_tonehole_positions(chimneyless, {});
    EXPECT_TRUE(late.mathError);
    EXPECT_EQ(late.reached, SolveStage::PassSpacings);
    EXPECT_TRUE(std::isnan(chimneyless.LC[2])); // 0 / 0, stored before the stop
    EXPECT_EQ(chimneyless.LC[3], 0.0f);
    EXPECT_EQ(chimneyless.DIST, 0.0f);
}

// Calc refuses inputs out of range, and results that come out non-finite,
// without touching the working design or its slot; a finished run is kept.
TEST(Solver, CalcRefusesInputsOutOfRange) {
    using R = CircuitRecord&;
    using G = GlobalCorrections&;
    const std::pair<void (*)(R, G), const char*> cases[] = {
        {[](R c, G) { c.BORE = NAN; }, "BORE must be a number above 0"},
        {[](R c, G) { c.BDI[3] = 0; }, "BDI03 must be a number above 0"},
        {[](R c, G) { c.DI[6] = -5; }, "DI06 must be a number above 0"},
        {[](R c, G) { c.FR[6] = INFINITY; }, "FR06 must be a number above 0"},
        {[](R c, G) { c.FR[3] = c.FR[2]; }, "FR03 must be above the frequency of the note below"},
        {[](R c, G) { c.SPSD = 0; }, "SPSD must be a number above 0"},
        {[](R c, G) { c.EMBV = 0; }, "EMBV must be a number above 0"},
        {[](R c, G) { c.THIK = -0.01f; }, "THIK must be a number of 0 or more"},
        {[](R c, G) { c.EMBH = -1; }, "EMBH must be a number of 0 or more"},
        {[](R, G g) { g.ENDCOR = -0.1f; }, "ENDCOR must be a number of 0 or more"},
        {[](R c, G) { c.BORE = 3e38f; }, "results are not finite"},
    };
    for (const auto& [spoil, message] : cases) {
        DesignState state = startup_state();
        spoil(state.workingCircuit, state.corrections);
        const CircuitRecord working = state.workingCircuit;
        const SolveOutcome outcome = run_calc(state);
        ASSERT_TRUE(outcome.invalidInput) << message;
        EXPECT_EQ(describe_input_fault(*outcome.invalidInput), message);
        // Bytes, not ==: a refused NaN must stay the same NaN.
        EXPECT_EQ(std::memcmp(&state.workingCircuit, &working, sizeof working), 0) << message;
        EXPECT_EQ(state.bank.slot[0], default_circuit()) << message;
    }
    DesignState state = startup_state();
    state.bank.currentIndex = 7;
    state.workingCircuit.THIK = 0;
    state.workingCircuit.EMBH = 0;
    EXPECT_FALSE(run_calc(state).invalidInput);
    EXPECT_EQ(state.bank.slot[7], state.workingCircuit);
    EXPECT_NE(state.workingCircuit.DIST, 0.0f);
}

} // namespace
} // namespace sorrel
