#pragma once
// Instruments the fit tests start from: sizes a maker would choose, hole
// positions only roughly right, so that every fit has work to do.

#include "tuning/air.h"
#include "tuning/geometry.h"
#include "tuning/geometry_json.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace sorrel::test {

// One of the instruments kept as geometry files in tests/data/tuning:
// "d_whistle" (six holes, a 12 mm bore in a thin tube, a fipple window),
// "d_flute" (six holes, a 19 mm bore in a 4 mm wall, a round embouchure) and
// "three_hole_pipe" (in A5, small enough to search by brute force).
inline tuning::Geometry instrument(const std::string& name) {
    return *tuning::read_geometry_file(SORREL_TEST_DATA "/tuning/" + name + ".json").geometry;
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
