#pragma once
// The tonehole position solver: from a design's frequencies, bore, wall, hole
// and embouchure sizes it finds where to drill each hole, the block-to-end
// length and the acoustic figures behind them. It works on the record alone,
// so it runs the same for the panel, the command-line tool and the tests.

#include "model/circuit_record.h"
#include "model/input_check.h"

#include <optional>

namespace sorrel {

// How far a run got. Each stage's results are complete in the record (and
// are what the panel shows) once the run has reached it.
enum class SolveStage {
    Started,           // nothing computed
    ChimneyHeights,    // HI
    NominalLengths,    // NM, and DIVS settled to 2 or 4
    FirstSpacings,     // HS from the nominal lengths
    ClosedCorrections, // CL
    PassSpacings,      // HS of the pass that stopped; earlier passes are complete
    Finished,          // every result
};

// The position iteration stops after this many passes even when it has not settled.
inline constexpr int kMaxPasses = 13;

struct SolveOutcome {
    bool mathError = false; // a zero spacing stopped the run
    SolveStage reached = SolveStage::Started;
    int passes = 0;             // completed passes of the position iteration, up to kMaxPasses
    NoteArray shownLC{};        // local cutoffs of the last completed pass
    float deviationPercent = 0; // spread of the cutoff ratios, %
    float embCorrection = 0;    // embouchure correction, cm
    int32_t nativeFlute = 0;    // the steps are 3-2-2-1-2-2: native-flute spacing
    std::optional<InputFault> invalidInput; // run_calc refused the design; nothing was stored
};

// Computes every result of `circuit` in place. On a math error the fields
// computed before the stop keep their new values and the rest are untouched.
SolveOutcome solve_tonehole_positions(CircuitRecord& circuit, const GlobalCorrections& corrections);

// The Calc command on the model: solves `workingCircuit`, records the
// native-flute flag and, when the run finished, stores the design in its slot.
// A design with an input out of range is refused before solving, and one whose
// results come out non-finite is put back as it was: in both cases
// `invalidInput` says why and neither the working design nor its slot changes.
SolveOutcome run_calc(DesignState& state);

} // namespace sorrel
