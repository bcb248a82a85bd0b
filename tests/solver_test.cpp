#include "model/note_frequencies.h"
#include "model/text_format.h"
#include "model/tonehole_solver.h"
#include "model/units.h"

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

namespace sorrel {
namespace {

// The drilling figures as the panel prints them, holes 1..6.
std::string drilling_text(const CircuitRecord& c, const SolveOutcome& outcome) {
    std::string text = format("passes %d |", outcome.passes);
    for (int k = 1; k <= 6; ++k)
        text += format("%8.2f", double(c.PM[k]));
    text += " |";
    for (int k = 1; k <= 6; ++k)
        text += format("%8.2f", double(c.PI[k]));
    text += " |";
    for (float spacing : c.SP)
        text += format("%8.2f", double(spacing));
    text += format(" | %5.2f %5.2f %5.2f %5.2f %5.2f", double(c.DIST), double(c.LBRA),
                   double(c.THLN), double(c.AVCU), double(outcome.deviationPercent));
    return text;
}

SolveOutcome solve(CircuitRecord& c) {
    return solve_tonehole_positions(c, GlobalCorrections{});
}

CircuitRecord metric(CircuitRecord c) {
    scale_entry_lengths(c, kSwitchToMm);
    c.UNIT = UNIT_METRIC;
    return c;
}

TEST(Solver, StartupDesignGivesItsKnownFigures) {
    CircuitRecord c = default_circuit();
    const SolveOutcome outcome = solve(c);
    ASSERT_FALSE(outcome.mathError);
    EXPECT_EQ(outcome.reached, SolveStage::Finished);
    EXPECT_EQ(drilling_text(c, outcome), "passes 7 |"
                                         "   43.59   65.77   84.36  106.38  127.59  149.42 |"
                                         "    1.72    2.59    3.32    4.19    5.02    5.88 |"
                                         "    0.87    0.73    0.84    0.86 |"
                                         " 282.50 22.24  2.60 2491.26 77.70");
    EXPECT_EQ(outcome.shownLC, c.LC);
}

TEST(Solver, MetricEntriesGiveTheSamePositionsAndSpacingsInMillimetres) {
    CircuitRecord inches = default_circuit();
    CircuitRecord millimetres = metric(inches);
    solve(inches);
    const SolveOutcome outcome = solve(millimetres);
    ASSERT_FALSE(outcome.mathError);
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(format("%8.2f", double(millimetres.PM[k])),
                  format("%8.2f", double(inches.PM[k])));
    EXPECT_EQ(format("%5.2f", double(millimetres.DIST)), "282.50");
    EXPECT_EQ(format("%8.2f", double(millimetres.SP[0])), "   22.18");
    EXPECT_NEAR(millimetres.SP[3], inches.SP[3] * 25.4, 0.01);
}

TEST(Solver, DerivedTableFrequenciesOfAMetricNativeFlute) {
    CircuitRecord c = metric(default_circuit());
    c.SEQ = {3, 2, 2, 1, 2, 2};
    ASSERT_FALSE(derive_note_frequencies(c, 21).refused); // F#4
    c.BORE = 19.0f;
    c.BDI.fill(19.0f);
    c.THIK = 3.0f;
    c.DI = {0, 8, 9, 7, 9, 8, 7};
    c.EMBH = 0;
    c.EMBV = 10.0f;
    const SolveOutcome outcome = solve(c);
    EXPECT_EQ(outcome.nativeFlute, 1);
    EXPECT_EQ(drilling_text(c, outcome), "passes 7 |"
                                         "   98.96  133.71  180.82  192.36  225.63  263.58 |"
                                         "    3.90    5.26    7.12    7.57    8.88   10.38 |"
                                         "   34.75   47.11   33.28   37.95 |"
                                         " 447.25 23.54  5.07 1107.44 98.50");
    // Holes 4, 5 and 6 take their spacings from notes 2, 3 and 3.
    EXPECT_EQ(c.HS[4], c.PR[2] - c.PR[4]);
    EXPECT_EQ(c.HS[5], c.PR[3] - c.PR[5]);
    EXPECT_EQ(c.HS[6], c.PR[3] - c.PR[6]);
}

TEST(Solver, QuarterWaveHalvesEveryNominalLengthAndOtherDivisorsBecomeTwo) {
    CircuitRecord half = default_circuit();
    half.DIVS = 3;
    CircuitRecord quarter = default_circuit();
    quarter.DIVS = 4;
    solve(half);
    solve(quarter);
    EXPECT_EQ(half.DIVS, 2);
    for (int k = 0; k < kNoteCount; ++k)
        EXPECT_EQ(quarter.NM[k], half.NM[k] / 2);
}

TEST(Solver, ZeroLengthMeansACircularEmbouchure) {
    CircuitRecord circular = default_circuit();
    circular.EMBH = 0;
    solve(circular);
    EXPECT_EQ(format("%5.2f", double(circular.THLN)), " 2.04"); // π (0.635 cm / 2)² × 6.4516
    CircuitRecord sliver = default_circuit();
    sliver.EMBH = 0.0001f;
    solve(sliver);
    EXPECT_EQ(format("%5.2f", double(sliver.THLN)), " 0.00");
}

TEST(Solver, StopsAfterThirteenPassesWhenItDoesNotSettle) {
    CircuitRecord c = default_circuit();
    c.BORE = 0.5f;
    c.THIK = 0.25f;
    c.DI = {0, 0.0625f, 0.0625f, 0.0625f, 0.0625f, 0.0625f, 0.0625f};
    const SolveOutcome outcome = solve(c);
    EXPECT_FALSE(outcome.mathError);
    EXPECT_EQ(outcome.passes, kMaxPasses);
    EXPECT_TRUE(0.005f < c.MAXP);
}

TEST(Solver, EqualNeighbouringFrequenciesStopBeforeTheIteration) {
    CircuitRecord c = default_circuit();
    c.FR[3] = c.FR[2];
    const SolveOutcome outcome = solve(c);
    EXPECT_TRUE(outcome.mathError);
    EXPECT_EQ(outcome.reached, SolveStage::NominalLengths);
    EXPECT_EQ(outcome.passes, 0);
    EXPECT_EQ(c.HS[3], 0.0f);
    EXPECT_EQ(c.HS[4], 0.0f); // not computed
    EXPECT_NE(c.HS[2], 0.0f);
}

TEST(Solver, ZeroChimneyStopsInTheFirstPass) {
    CircuitRecord c = default_circuit();
    c.THIK = 0;
    c.DI[2] = 0;
    const SolveOutcome outcome = solve(c);
    EXPECT_TRUE(outcome.mathError);
    EXPECT_EQ(outcome.reached, SolveStage::PassSpacings);
    EXPECT_EQ(outcome.passes, 0);
    EXPECT_TRUE(std::isnan(c.LC[2])); // 0 / 0, stored before the stop
    EXPECT_EQ(c.LC[3], 0.0f);
}

// Calc refuses inputs out of range, and results that come out non-finite,
// without touching the working design or its slot.
TEST(Solver, CalcRefusesInputsOutOfRange) {
    struct Case {
        const char* name;
        void (*spoil)(DesignState&);
        const char* message;
    };
    const Case cases[] = {
        {"nan bore", [](DesignState& s) { s.workingCircuit.BORE = NAN; },
         "BORE must be a number above 0"},
        {"bore at hole 3", [](DesignState& s) { s.workingCircuit.BDI[3] = 0; },
         "BDI03 must be a number above 0"},
        {"negative hole", [](DesignState& s) { s.workingCircuit.DI[6] = -5; },
         "DI06 must be a number above 0"},
        {"infinite frequency", [](DesignState& s) { s.workingCircuit.FR[6] = INFINITY; },
         "FR06 must be a number above 0"},
        {"equal frequencies",
         [](DesignState& s) { s.workingCircuit.FR[3] = s.workingCircuit.FR[2]; },
         "FR03 must be above the frequency of the note below"},
        {"speed of sound", [](DesignState& s) { s.workingCircuit.SPSD = 0; },
         "SPSD must be a number above 0"},
        {"window width", [](DesignState& s) { s.workingCircuit.EMBV = 0; },
         "EMBV must be a number above 0"},
        {"negative wall", [](DesignState& s) { s.workingCircuit.THIK = -0.01f; },
         "THIK must be a number of 0 or more"},
        {"negative window length", [](DesignState& s) { s.workingCircuit.EMBH = -1; },
         "EMBH must be a number of 0 or more"},
        {"end correction", [](DesignState& s) { s.corrections.ENDCOR = -0.1f; },
         "ENDCOR must be a number of 0 or more"},
        {"overflowing bore", [](DesignState& s) { s.workingCircuit.BORE = 3e38f; },
         "results are not finite"},
    };
    for (const Case& row : cases) {
        DesignState state = startup_state();
        row.spoil(state);
        const CircuitRecord working = state.workingCircuit;
        const SolveOutcome outcome = run_calc(state);
        ASSERT_TRUE(outcome.invalidInput) << row.name;
        EXPECT_EQ(describe_input_fault(*outcome.invalidInput), row.message) << row.name;
        // Bytes, not ==: a refused NaN must stay the same NaN.
        EXPECT_EQ(std::memcmp(&state.workingCircuit, &working, sizeof working), 0) << row.name;
        EXPECT_EQ(state.bank.slot[0], default_circuit()) << row.name;
    }
}

TEST(Solver, CalcTakesZeroWallAndCircularEmbouchure) {
    DesignState state = startup_state();
    state.workingCircuit.THIK = 0;
    state.workingCircuit.EMBH = 0;
    const SolveOutcome outcome = run_calc(state);
    EXPECT_FALSE(outcome.invalidInput);
    EXPECT_EQ(state.bank.slot[0], state.workingCircuit);
}

} // namespace
} // namespace sorrel
