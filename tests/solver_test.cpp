#include "model/text_format.h"
#include "model/tonehole_solver.h"

#include <gtest/gtest.h>

namespace sorrel {
namespace {

TEST(StartupDesign, ShowsItsDrillingFigures) {
    DesignState state = startup_state();
    const SolveOutcome outcome = run_calc(state);
    const CircuitRecord& c = state.workingCircuit;
    ASSERT_FALSE(outcome.mathError);
    EXPECT_EQ(outcome.passes, 7);
    EXPECT_EQ(format("%8.2f", double(c.PM[1])), "   43.59");
    EXPECT_EQ(format("%5.2f", double(c.DIST)), "282.50");
}

} // namespace
} // namespace sorrel
