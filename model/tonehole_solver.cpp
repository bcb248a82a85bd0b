#include "model/tonehole_solver.h"

#include "model/units.h"

#include <cmath>

namespace sorrel {
namespace {

// Single-precision constants: the last printed digit of a result depends on them.
constexpr float kPi = 3.1415927f;
constexpr float kInchesPerCm = 0.3937f; // embouchure sizes only: inches ÷ 0.3937
constexpr float kConverged = 0.005f;    // largest change of a pass, %
constexpr double kAreaFactor = 6.4516;  // the embouchure area figure's factor

// Squares and square roots enter their formulas rounded to single precision.
float squared(double x) {
    return static_cast<float>(std::pow(x, 2.0));
}
float root(double x) {
    return static_cast<float>(std::sqrt(x));
}

bool is_native_flute_scale(const std::array<int32_t, 6>& steps) {
    return steps == std::array<int32_t, 6>{3, 2, 2, 1, 2, 2};
}

// The run's state between its stages.
class Solver {
public:
    Solver(CircuitRecord& circuit, const GlobalCorrections& corrections)
        : c_(circuit), g_(corrections) {}

    SolveOutcome run() {
        out_.nativeFlute = is_native_flute_scale(c_.SEQ) ? 1 : 0;
        convert_sizes();
        chimney_heights();
        if (!nominal_lengths())
            return out_;
        closed_corrections();
        if (!iterate_positions())
            return out_;
        cutoff_analysis();
        embouchure_and_length();
        drilling_positions();
        out_.reached = SolveStage::Finished;
        return out_;
    }

private:
    void stop_with_math_error() { out_.mathError = true; }

    void convert_sizes() {
        for (int k = 6; k >= 1; --k)
            c_.DC[k] = entry_to_cm(c_.DI[k], c_.UNIT);
        c_.BRCT = entry_to_cm(c_.BORE, c_.UNIT);
        c_.THCT = entry_to_cm(c_.THIK, c_.UNIT);
        for (int k = 0; k < kNoteCount; ++k)
            c_.BDC[k] = entry_to_cm(c_.BDI[k], c_.UNIT);
        c_.DC[0] = c_.BDC[0]; // the foot end acts as a hole as wide as the bore
    }

    void chimney_heights() {
        for (int k = 6; k >= 1; --k)
            c_.HI[k] = static_cast<float>(double(g_.CHMCOR) * c_.DC[k] + c_.THCT);
        c_.HI[0] = 1.0f;
        out_.reached = SolveStage::ChimneyHeights;
    }

    bool nominal_lengths() {
        if (c_.DIVS != 2 && c_.DIVS != 4)
            c_.DIVS = 2;
        for (int k = 6; k >= 0; --k)
            c_.NM[k] = static_cast<float>(double(c_.SPSD) / c_.FR[k] / c_.DIVS);
        out_.reached = SolveStage::NominalLengths;
        for (int k = 1; k <= 6; ++k) {
            c_.HS[k] = c_.NM[k - 1] - c_.NM[k];
            if (c_.HS[k] == 0) {
                stop_with_math_error();
                return false;
            }
        }
        out_.reached = SolveStage::FirstSpacings;
        return true;
    }

    void closed_corrections() {
        c_.CL[6] = 0;
        for (int k = 6; k >= 1; --k) {
            const float term =
                static_cast<float>(double(c_.THCT) * 0.25 * squared(double(c_.DC[k]) / c_.BDC[k]));
            c_.CL[k - 1] = c_.CL[k] + term;
        }
        out_.reached = SolveStage::ClosedCorrections;
    }

    void pass_spacings() {
        const NoteArray& ne = c_.NE;
        if (out_.nativeFlute) {
            c_.HS[1] = ne[0] - ne[1];
            c_.HS[2] = ne[1] - ne[2];
            c_.HS[3] = ne[2] - ne[3];
            c_.HS[4] = ne[2] - ne[4];
            c_.HS[5] = ne[3] - ne[5];
            c_.HS[6] = ne[3] - ne[6];
        } else {
            for (int k = 1; k <= 6; ++k)
                c_.HS[k] = ne[k - 1] - ne[k];
        }
        out_.reached = SolveStage::PassSpacings;
    }

    // Parts of the pass formulas that no pass changes, worked out once: each
    // is the same double the full formula would form first, so the results
    // are unchanged to the last bit.
    void prepare_passes() {
        for (int k = 1; k <= 6; ++k) {
            cutoffScale_[k] = double(c_.SPSD) * c_.DC[k] / c_.BDC[k] / 2 / kPi;
            chimneyBy4_[k] = double(c_.HI[k]) * 4;
            boreOverHole_[k] = squared(double(c_.BDC[k]) / c_.DC[k]);
        }
        holeOverBore1_ = squared(double(c_.DC[1]) / c_.BDC[1]);
    }

    bool local_cutoffs() {
        for (int k = 1; k <= 6; ++k) {
            const double chimneyBySpace = double(c_.HI[k]) * c_.HS[k];
            c_.LC[k] = static_cast<float>(cutoffScale_[k] / root(chimneyBySpace));
            if (chimneyBySpace == 0) {
                stop_with_math_error();
                return false;
            }
        }
        out_.shownLC = c_.LC;
        return true;
    }

    void open_corrections_and_positions() {
        c_.OP[0] = static_cast<float>(double(g_.ENDCOR) * c_.BDC[0] / 2);
        c_.OP[1] =
            static_cast<float>(double(c_.HI[1]) / (1.0 / c_.HS[1] * c_.HI[1] + holeOverBore1_));
        for (int k = 2; k <= 6; ++k) {
            const float rootTerm = root(chimneyBy4_[k] / c_.HS[k] * boreOverHole_[k] + 1);
            c_.OP[k] = static_cast<float>(double(c_.HS[k]) * 0.5 * (double(rootTerm) - 1));
        }
        for (int k = 0; k < kNoteCount; ++k)
            c_.NE[k] = static_cast<float>(double(c_.NM[k]) - c_.OP[k] - c_.CL[k]);
    }

    // Largest relative change of any position in this pass, %.
    void measure_change() {
        c_.MAXP = 0;
        for (int k = 0; k < kNoteCount; ++k) {
            float change = static_cast<float>((double(c_.NE[k]) - c_.PR[k]) / c_.NE[k] * 100);
            if (change < 0)
                change = -change;
            if (c_.MAXP < change)
                c_.MAXP = change;
        }
    }

    bool iterate_positions() {
        prepare_passes();
        c_.NE = c_.NM;
        int pass = 0;
        for (;;) {
            c_.PR = c_.NE;
            pass_spacings();
            if (!local_cutoffs())
                return false;
            open_corrections_and_positions();
            measure_change();
            out_.passes = ++pass;
            if (pass == kMaxPasses || !(kConverged < c_.MAXP))
                return true;
        }
    }

    void cutoff_analysis() {
        for (int k = 1; k <= 6; ++k)
            c_.RA[k] = c_.LC[k] / c_.FR[k];
        c_.TOCU = 0;
        c_.TORA = 0;
        for (int k = 1; k <= 6; ++k) {
            c_.TORA = c_.TORA + c_.RA[k];
            c_.TOCU = c_.TOCU + c_.LC[k];
        }
        c_.AVCU = static_cast<float>(c_.TOCU / 6.0);
        c_.AVRA = static_cast<float>(c_.TORA / 6.0);
        float maxRA = -999;
        float minRA = 99999.9f;
        for (int k = 1; k <= 6; ++k) {
            c_.DV[k] = static_cast<float>((double(c_.AVRA) - c_.RA[k]) / c_.AVRA * 100);
            if (maxRA < c_.RA[k])
                maxRA = c_.RA[k];
            if (minRA > c_.RA[k])
                minRA = c_.RA[k];
        }
        out_.deviationPercent = static_cast<float>((double(maxRA) - minRA) / c_.AVRA * 100);
    }

    void embouchure_and_length() {
        float eh = 0;
        float ev = 0;
        if (c_.UNIT == UNIT_ENGLISH) {
            eh = c_.EMBH / kInchesPerCm;
            ev = c_.EMBV / kInchesPerCm;
        } else {
            eh = static_cast<float>(c_.EMBH / kMmPerCm);
            ev = static_cast<float>(c_.EMBV / kMmPerCm);
        }
        float area = 0;
        if (c_.EMBH == 0)
            area = static_cast<float>(double(ev) / 2 * (double(ev) / 2) * kPi);
        else
            area = eh * ev;
        c_.THLN = static_cast<float>(area * kAreaFactor);
        const float radius = root(double(c_.THLN) / kPi);
        out_.embCorrection = static_cast<float>(
            (double(g_.EMBCOR) * kPi * c_.BRCT * c_.BRCT / c_.THLN) * (1.5 * radius + c_.THCT));
        c_.DIST = static_cast<float>((double(c_.NM[0]) - c_.OP[0] - c_.CL[0] - out_.embCorrection) *
                                     kMmPerCm);
        c_.LBRA = static_cast<float>(double(c_.DIST) / kMmPerCm / c_.BRCT);
    }

    void drilling_positions() {
        for (int k = 1; k <= 6; ++k) {
            c_.PM[k] = static_cast<float>((double(c_.NE[0]) - c_.NE[k]) * kMmPerCm);
            c_.PI[k] = static_cast<float>(c_.PM[k] / kMmPerInch);
        }
        c_.SP[0] = c_.PI[2] - c_.PI[1];
        c_.SP[1] = c_.PI[3] - c_.PI[2];
        c_.SP[2] = c_.PI[5] - c_.PI[4]; // there is no spacing for holes 3-4
        c_.SP[3] = c_.PI[6] - c_.PI[5];
        if (c_.UNIT == UNIT_METRIC) {
            for (float& spacing : c_.SP)
                spacing = static_cast<float>(spacing * kMmPerInch);
        }
    }

    CircuitRecord& c_;
    const GlobalCorrections& g_;
    SolveOutcome out_;
    std::array<double, kNoteCount> cutoffScale_{}; // speed of sound × hole/bore ÷ 2π
    std::array<double, kNoteCount> chimneyBy4_{};
    std::array<float, kNoteCount> boreOverHole_{}; // (bore / hole)²
    float holeOverBore1_ = 0;                      // (hole / bore)² of hole 1
};

} // namespace

SolveOutcome solve_tonehole_positions(CircuitRecord& circuit,
                                      const GlobalCorrections& corrections) {
    return Solver(circuit, corrections).run();
}

SolveOutcome run_calc(DesignState& state) {
    SolveOutcome outcome;
    outcome.invalidInput = find_invalid_input(state.workingCircuit, state.corrections);
    if (outcome.invalidInput)
        return outcome;
    const CircuitRecord before = state.workingCircuit;
    outcome = solve_tonehole_positions(state.workingCircuit, state.corrections);
    if (outcome.mathError) {
        state.nativeFlute = outcome.nativeFlute;
        return outcome;
    }
    if (!results_are_finite(state.workingCircuit)) {
        state.workingCircuit = before;
        outcome.invalidInput = InputFault{{}, 0, InputRule::ResultsNotFinite};
        return outcome;
    }
    state.nativeFlute = outcome.nativeFlute;
    store_working_circuit(state);
    return outcome;
}

} // namespace sorrel
