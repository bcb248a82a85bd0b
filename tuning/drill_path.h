#pragma once
// The most even chain of drills: one candidate per hole, from the foot up,
// where each hole's cutoff ratio depends on its own drill and the drill of
// the hole below it. The search is polynomial in the hole count: for each
// floor on the ratios it finds the chain with the lowest largest ratio by
// dynamic programming over the holes.

#include <cstddef>
#include <vector>

namespace sorrel::tuning {

// ratio[k][j][i]: the cutoff ratio of hole k (from the foot) drilled with
// its candidate j when hole k - 1 has its candidate i; hole 0 has one
// column, i = 0. Not a number: that pair breaks a limit.
using RatioTable = std::vector<std::vector<std::vector<double>>>;

// A chain of candidates and its largest ratio over its smallest.
struct DrillPath {
    std::vector<std::size_t> drills; // candidate index per hole, from the foot up
    double evenness = 0;

    bool operator==(const DrillPath&) const = default;
};

// The relative step between the floors tried: the best chain found is at
// most this much less even than the most even chain of the table. Tables
// of many holes and fine drill sets take a coarser step (about 0.3 % for 20
// holes of 0.1 mm drills), which keeps the search within its time.
inline constexpr double kFloorStep = 1e-3;

// Up to `most` distinct chains, the most even first, each the best chain
// above one floor. Empty when every chain breaks a limit.
std::vector<DrillPath> most_even_paths(const RatioTable& ratio, std::size_t most);

} // namespace sorrel::tuning
