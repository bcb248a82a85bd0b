#pragma once
// Instruments the fit tests start from: sizes a maker would choose, hole
// positions only roughly right, so that every fit has work to do.

#include "tuning/geometry.h"

#include <vector>

namespace sorrel::test {

// The notes of a D major scale from D5, Hz (equal temperament, A4 = 440).
inline const std::vector<double> kD5Scale{587.33, 659.26, 739.99, 783.99, 880.00, 987.77, 1108.73};

// A six-hole D whistle: a 12 mm bore in a thin tube, a fipple window.
inline tuning::Geometry d_whistle() {
    tuning::Geometry g;
    g.length = 0.272;
    g.boreDiameter = 0.012;
    g.wall = 0.0008;
    const double fromFoot[] = {0.040, 0.062, 0.085, 0.116, 0.139, 0.162}; // m
    const double diameter[] = {0.0060, 0.0070, 0.0062, 0.0058, 0.0075, 0.0065};
    for (int k = 0; k < 6; ++k)
        g.holes.push_back({fromFoot[k], diameter[k], {}});
    g.mouth.kind = tuning::MouthKind::Fipple;
    g.mouth.windowLength = 0.0055;
    g.mouth.windowWidth = 0.008;
    g.targets = kD5Scale;
    return g;
}

// A six-hole D flute: a 19 mm bore in a 4 mm wall, a round embouchure.
inline tuning::Geometry d_flute() {
    tuning::Geometry g;
    g.length = 0.560;
    g.boreDiameter = 0.019;
    g.wall = 0.004;
    const double fromFoot[] = {0.080, 0.120, 0.160, 0.220, 0.260, 0.300};
    const double diameter[] = {0.0090, 0.0100, 0.0085, 0.0080, 0.0100, 0.0090};
    for (int k = 0; k < 6; ++k)
        g.holes.push_back({fromFoot[k], diameter[k], {}});
    g.mouth.kind = tuning::MouthKind::Embouchure;
    g.mouth.diameter = 0.010;
    for (const double f : kD5Scale)
        g.targets.push_back(f / 2);
    return g;
}

// A three-hole pipe in A5, for searches small enough to check by brute force.
inline tuning::Geometry three_hole_pipe() {
    tuning::Geometry g;
    g.length = 0.250;
    g.boreDiameter = 0.011;
    g.wall = 0.001;
    const double fromFoot[] = {0.035, 0.060, 0.085};
    for (const double x : fromFoot)
        g.holes.push_back({x, 0.006, {}});
    g.mouth.kind = tuning::MouthKind::Fipple;
    g.mouth.windowLength = 0.005;
    g.mouth.windowWidth = 0.007;
    g.targets = {659.26, 739.99, 830.61, 987.77};
    return g;
}

} // namespace sorrel::test
