#pragma once
// Instruments the fit tests start from: sizes a maker would choose, hole
// positions only roughly right, so that every fit has work to do.

#include "tuning/air.h"
#include "tuning/geometry.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace sorrel::test {

// The notes of a D major scale from D5, Hz (equal temperament, A4 = 440).
inline const std::vector<double> kD5Scale{587.33, 659.26, 739.99, 783.99, 880.00, 987.77, 1108.73};

// A tube of the given sizes (m) with its holes from the foot up.
inline tuning::Geometry tube(double length, double bore, double wall,
                             const std::vector<double>& fromFoot,
                             const std::vector<double>& diameter) {
    tuning::Geometry g;
    g.length = length;
    g.boreDiameter = bore;
    g.wall = wall;
    for (std::size_t k = 0; k < fromFoot.size(); ++k)
        g.holes.push_back({fromFoot[k], diameter[k], {}});
    return g;
}

// A six-hole D whistle: a 12 mm bore in a thin tube, a fipple window.
inline tuning::Geometry d_whistle() {
    tuning::Geometry g = tube(0.272, 0.012, 0.0008, {0.040, 0.062, 0.085, 0.116, 0.139, 0.162},
                              {0.0060, 0.0070, 0.0062, 0.0058, 0.0075, 0.0065});
    g.mouth.windowLength = 0.0055;
    g.mouth.windowWidth = 0.008;
    g.targets = kD5Scale;
    return g;
}

// A six-hole D flute: a 19 mm bore in a 4 mm wall, a round embouchure.
inline tuning::Geometry d_flute() {
    tuning::Geometry g = tube(0.560, 0.019, 0.004, {0.080, 0.120, 0.160, 0.220, 0.260, 0.300},
                              {0.0090, 0.0100, 0.0085, 0.0080, 0.0100, 0.0090});
    g.mouth.kind = tuning::MouthKind::Embouchure;
    g.mouth.diameter = 0.010;
    for (const double f : kD5Scale)
        g.targets.push_back(f / 2);
    return g;
}

// A three-hole pipe in A5, for searches small enough to check by brute force.
inline tuning::Geometry three_hole_pipe() {
    tuning::Geometry g = tube(0.250, 0.011, 0.001, {0.035, 0.060, 0.085}, {0.006, 0.006, 0.006});
    g.mouth.windowLength = 0.005;
    g.mouth.windowWidth = 0.007;
    g.targets = {659.26, 739.99, 830.61, 987.77};
    return g;
}

// Each hole's local cutoff over its note, as the calculator defines it:
// fc = c (d/D) / (2π √(h s)), h = 0.6133 d + t, s from the centre below (the
// foot below hole 1).
inline std::vector<double> cutoff_ratios(const tuning::Geometry& g) {
    const double c = tuning::air_properties(g.air).speedOfSound;
    std::vector<double> ratios;
    double below = 0;
    for (std::size_t k = 0; k < g.holes.size(); ++k) {
        const tuning::Hole& hole = g.holes[k];
        const double h = 0.6133 * hole.diameter + g.wall;
        const double cutoff = c * hole.diameter / g.boreDiameter /
                              (2 * std::numbers::pi * std::sqrt(h * (hole.fromFoot - below)));
        ratios.push_back(cutoff / g.targets[k + 1]);
        below = hole.fromFoot;
    }
    return ratios;
}

} // namespace sorrel::test
