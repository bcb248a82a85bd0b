#include "tuning/calibration.h"

#include "tuning/played_pitch.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace sorrel::tuning {
namespace {

constexpr double kMaxWindowHeight = 20e-3; // m
constexpr double kMaxAddedLength = 200e-3; // m
constexpr double kStrouhalRange[2] = {0.05, 1.0};
constexpr int kScanSamples = 10;
constexpr int kMaxIterations = 40;
constexpr double kSettledSquares = 1e-6; // relative change of the sum of squares
// How near each note an exactly determined fit (as many notes as unknowns)
// must come: the least squares meet such notes to far better.
constexpr double kExactCents = 0.05;

// The sum of the squared cents; infinite when a note was not reached.
double sum_of_squares(const std::vector<double>& cents) {
    double sum = 0;
    for (double c : cents)
        sum += c * c;
    return std::isnan(sum) ? INFINITY : sum;
}

// The unknowns as a vector: the mouth's value, then the blowing level.
using Unknowns = std::array<double, 2>;

struct Problem {
    const Geometry& geometry;
    const std::vector<MeasuredPitch>& measured;
    std::vector<Fingering> fingerings;
    std::vector<int> modes; // each note's resonance number, found once at the start
    int unknowns = 1;

    bool closed() const { return geometry.mouth.kind == MouthKind::Closed; }
    double mouth_limit() const { return closed() ? kMaxAddedLength : kMaxWindowHeight; }

    Geometry with(const Unknowns& x) const {
        Geometry trial = geometry;
        (closed() ? trial.mouth.addedLength : trial.windowHeight) = x[0];
        if (unknowns == 2)
            trial.strouhal = x[1];
        return trial;
    }

    // Each note's cents from its measurement; NaN where no resonance of the
    // fingering lies within reach.
    std::vector<double> residuals(const Unknowns& x) const {
        const Geometry trial = with(x);
        std::vector<double> cents;
        for (std::size_t i = 0; i < measured.size(); ++i) {
            const AirColumn column(trial, fingerings[i]);
            const double at = measured[i].frequency;
            std::optional<double> pitch = resonance_near(column, closed(), at);
            if (pitch && measured[i].played)
                pitch = played_pitch(column, *pitch, modes[i]);
            cents.push_back(pitch ? cents_between(*pitch, at) : std::nan(""));
        }
        return cents;
    }

    Unknowns clamp(Unknowns x) const {
        x[0] = std::clamp(x[0], 0.0, mouth_limit());
        x[1] = std::clamp(x[1], kStrouhalRange[0], kStrouhalRange[1]);
        return x;
    }
};

// The mouth's value where the notes come nearest, sampled over its range.
Unknowns scan_start(const Problem& problem) {
    Unknowns best{0, problem.geometry.strouhal};
    double bestSquares = INFINITY;
    for (int i = 0; i <= kScanSamples; ++i) {
        const Unknowns x{problem.mouth_limit() * i / kScanSamples, problem.geometry.strouhal};
        const double sum = sum_of_squares(problem.residuals(x));
        if (sum < bestSquares) {
            best = x;
            bestSquares = sum;
        }
    }
    return best;
}

// J^T J and J^T r of the residuals `r` at `x`, J by forward differences.
struct NormalEquations {
    double a[2][2] = {{0, 0}, {0, 0}};
    double g[2] = {0, 0};
};

NormalEquations normal_equations(const Problem& problem, const Unknowns& x,
                                 const std::vector<double>& r) {
    const Unknowns step{1e-6, 1e-4};
    std::array<std::vector<double>, 2> jacobian;
    for (int u = 0; u < problem.unknowns; ++u) {
        Unknowns moved = x;
        moved[u] += step[u];
        const std::vector<double> rm = problem.residuals(moved);
        for (std::size_t i = 0; i < r.size(); ++i)
            jacobian[u].push_back((rm[i] - r[i]) / step[u]);
    }
    NormalEquations normal;
    for (int u = 0; u < problem.unknowns; ++u) {
        for (std::size_t i = 0; i < r.size(); ++i) {
            normal.g[u] += jacobian[u][i] * r[i];
            for (int v = 0; v < problem.unknowns; ++v)
                normal.a[u][v] += jacobian[u][i] * jacobian[v][i];
        }
    }
    return normal;
}

// The step d of (J^T J + λ diag J^T J) d = -J^T r.
Unknowns damped_step(const NormalEquations& n, int unknowns, double lambda) {
    const double a00 = n.a[0][0] * (1 + lambda), a11 = n.a[1][1] * (1 + lambda);
    if (unknowns == 1)
        return {-n.g[0] / a00, 0};
    const double det = a00 * a11 - n.a[0][1] * n.a[1][0];
    return {-(a11 * n.g[0] - n.a[0][1] * n.g[1]) / det, -(a00 * n.g[1] - n.a[1][0] * n.g[0]) / det};
}

// Levenberg-Marquardt on the cents (Nocedal & Wright, Numerical
// Optimization, 2006, ch. 10), from `x`.
Unknowns least_squares(const Problem& problem, Unknowns x) {
    double lambda = 1e-3;
    std::vector<double> r = problem.residuals(x);
    double sum = sum_of_squares(r);
    for (int iteration = 0; iteration < kMaxIterations && std::isfinite(sum); ++iteration) {
        const NormalEquations normal = normal_equations(problem, x, r);
        for (;;) {
            const Unknowns d = damped_step(normal, problem.unknowns, lambda);
            const Unknowns next = problem.clamp({x[0] + d[0], x[1] + d[1]});
            std::vector<double> nextR = problem.residuals(next);
            const double nextSum = sum_of_squares(nextR);
            if (nextSum < sum) {
                // Settled when the unknowns or the squares barely move.
                const bool settled =
                    (std::abs(next[0] - x[0]) < 1e-9 && std::abs(next[1] - x[1]) < 1e-6) ||
                    sum - nextSum < kSettledSquares * sum;
                x = next;
                r = std::move(nextR);
                sum = nextSum;
                lambda /= 10;
                if (settled)
                    return x;
                break;
            }
            lambda *= 10;
            if (lambda > 1e8)
                return x;
        }
    }
    return x;
}

} // namespace

NotesCalibration calibrate_notes(const Geometry& geometry,
                                 const std::vector<MeasuredPitch>& measured) {
    Problem problem{geometry, measured, {}, {}, 1};
    bool anyPlayed = false;
    for (const MeasuredPitch& note : measured) {
        problem.fingerings.push_back(note.fingering);
        anyPlayed = anyPlayed || note.played;
    }
    // The blowing level moves only played pitches, and needs a second note.
    if (measured.size() >= 2 && anyPlayed && !problem.closed())
        problem.unknowns = 2;
    NotesCalibration calibration;
    calibration.unknowns = problem.unknowns;
    // The modes of the notes' resonances, counted once as the tops of their
    // ranges: a played pitch needs its mode.
    problem.modes.assign(measured.size(), 1);
    const Unknowns start = scan_start(problem);
    for (std::size_t i = 0; i < measured.size(); ++i)
        problem.modes[i] =
            predict_fingering(problem.with(start), measured[i].fingering, measured[i].frequency)
                .mode;
    const Unknowns x = least_squares(problem, start);
    const std::vector<double> residuals = problem.residuals(x);
    const Geometry fitted = problem.with(x);
    for (std::size_t i = 0; i < measured.size(); ++i) {
        if (std::isnan(residuals[i])) {
            calibration.error = "no resonance of " + fingering_text(measured[i].fingering) +
                                " comes within 200 cents of the measured note";
            return calibration;
        }
        const FingeringResult result =
            predict_fingering(fitted, measured[i].fingering, measured[i].frequency);
        NoteMatch match{result.fingering, measured[i].frequency, measured[i].played, result.mode, 0,
                        residuals[i]};
        match.predicted = measured[i].played ? result.played.value_or(0) : result.first.value_or(0);
        calibration.matches.push_back(match);
    }
    const bool exact = static_cast<int>(measured.size()) == problem.unknowns;
    for (const NoteMatch& match : calibration.matches) {
        if (exact && std::abs(match.residual) > kExactCents) {
            calibration.error =
                std::string("no ") + (problem.closed() ? "added length" : "window height") +
                " from 0 to " + std::to_string(static_cast<int>(problem.mouth_limit() * 1000)) +
                " mm brings " + match.fingering + " to the measured frequency";
            return calibration;
        }
    }
    calibration.geometry = fitted;
    return calibration;
}

} // namespace sorrel::tuning
