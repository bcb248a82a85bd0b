#include "model/note_frequencies.h"
#include "model/text_format.h"
#include "model/tonehole_solver.h"
#include "model/units.h"

#include <cmath>

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
    DesignState state = startup_state();
    const CircuitRecord stored = state.bank.slot[0];
    state.workingCircuit.FR[3] = state.workingCircuit.FR[2];
    const SolveOutcome outcome = run_calc(state);
    EXPECT_TRUE(outcome.mathError);
    EXPECT_EQ(outcome.reached, SolveStage::NominalLengths);
    EXPECT_EQ(outcome.passes, 0);
    EXPECT_EQ(state.workingCircuit.HS[3], 0.0f);
    EXPECT_EQ(state.workingCircuit.HS[4], 0.0f); // not computed
    EXPECT_NE(state.workingCircuit.HS[2], 0.0f);
    EXPECT_EQ(state.bank.slot[0], stored);
}

TEST(Solver, ZeroChimneyStopsInTheFirstPass) {
    DesignState state = startup_state();
    state.workingCircuit.THIK = 0;
    state.workingCircuit.DI[2] = 0;
    const SolveOutcome outcome = run_calc(state);
    EXPECT_TRUE(outcome.mathError);
    EXPECT_EQ(outcome.reached, SolveStage::PassSpacings);
    EXPECT_EQ(outcome.passes, 0);
    EXPECT_TRUE(std::isnan(state.workingCircuit.LC[2])); // 0 / 0, stored before the stop
    EXPECT_EQ(state.workingCircuit.LC[3], 0.0f);
    EXPECT_EQ(state.bank.slot[0], default_circuit());
}

TEST(Solver, NonFiniteResultsFlowOnAndAreStored) {
    DesignState state = startup_state();
    state.workingCircuit.FR[6] = 0;
    const SolveOutcome outcome = run_calc(state);
    EXPECT_FALSE(outcome.mathError);
    EXPECT_TRUE(std::isinf(state.workingCircuit.NM[6]));
    EXPECT_FALSE(std::isfinite(state.workingCircuit.PM[6]));
    EXPECT_TRUE(std::isinf(state.bank.slot[0].NM[6])) << "a finished run is stored";
}

} // namespace
} // namespace sorrel
