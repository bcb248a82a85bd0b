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
constexpr int kScanSamples = 20;
constexpr int kMaxIterations = 40;
// How near each note an exactly determined fit (as many notes as unknowns)
// must come: the least squares meet such notes to far better.
constexpr double kExactCents = 0.05;

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

    double squares(const Unknowns& x) const {
        double sum = 0;
        for (double r : residuals(x))
            sum += r * r;
        return std::isnan(sum) ? INFINITY : sum;
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
        const double sum = problem.squares(x);
        if (sum < bestSquares) {
            best = x;
            bestSquares = sum;
        }
    }
    return best;
}

// Levenberg-Marquardt on the cents, with a forward-difference Jacobian
// (Nocedal & Wright, Numerical Optimization, 2006, ch. 10).
Unknowns least_squares(const Problem& problem, Unknowns x) {
    const Unknowns step{1e-6, 1e-4};
    double lambda = 1e-3;
    std::vector<double> r = problem.residuals(x);
    double sum = problem.squares(x);
    for (int iteration = 0; iteration < kMaxIterations && std::isfinite(sum); ++iteration) {
        // Normal equations J^T J d = -J^T r, 1 × 1 or 2 × 2.
        std::array<std::vector<double>, 2> jacobian;
        for (int u = 0; u < problem.unknowns; ++u) {
            Unknowns moved = x;
            moved[u] += step[u];
            const std::vector<double> rm = problem.residuals(moved);
            for (std::size_t i = 0; i < r.size(); ++i)
                jacobian[u].push_back((rm[i] - r[i]) / step[u]);
        }
        double a[2][2] = {{0, 0}, {0, 0}}, g[2] = {0, 0};
        for (int u = 0; u < problem.unknowns; ++u) {
            for (std::size_t i = 0; i < r.size(); ++i)
                g[u] += jacobian[u][i] * r[i];
            for (int v = 0; v < problem.unknowns; ++v)
                for (std::size_t i = 0; i < r.size(); ++i)
                    a[u][v] += jacobian[u][i] * jacobian[v][i];
        }
        for (;;) {
            Unknowns d{0, 0};
            const double a00 = a[0][0] * (1 + lambda), a11 = a[1][1] * (1 + lambda);
            if (problem.unknowns == 1) {
                d[0] = -g[0] / a00;
            } else {
                const double det = a00 * a11 - a[0][1] * a[1][0];
                d[0] = -(a11 * g[0] - a[0][1] * g[1]) / det;
                d[1] = -(a00 * g[1] - a[1][0] * g[0]) / det;
            }
            const Unknowns next = problem.clamp({x[0] + d[0], x[1] + d[1]});
            const double nextSum = problem.squares(next);
            if (nextSum < sum) {
                const bool settled =
                    std::abs(next[0] - x[0]) < 1e-10 && std::abs(next[1] - x[1]) < 1e-8;
                x = next;
                sum = nextSum;
                r = problem.residuals(x);
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
