#include "tuning/drill_path.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace sorrel::tuning {
namespace {

constexpr double kNone = std::numeric_limits<double>::infinity();
constexpr double kMostSteps = 1e8; // table entries visited over all floors, about 0.3 s

// The floors to try: the ratios of the table, smallest first, thinned so
// that neighbours lie at least kFloorStep apart, or farther where the
// table is so large that kMostSteps steps of the search would not cover
// them. Each floor lies at most one step below every ratio it stands for.
std::vector<double> floors(const RatioTable& ratio) {
    std::vector<double> all;
    for (const auto& hole : ratio)
        for (const auto& row : hole)
            for (const double r : row)
                if (std::isfinite(r))
                    all.push_back(r);
    std::sort(all.begin(), all.end());
    std::vector<double> thinned;
    if (all.empty())
        return thinned;
    std::size_t entries = 0;
    for (const auto& hole : ratio)
        for (const auto& row : hole)
            entries += row.size();
    const double most = std::max(1.0, kMostSteps / static_cast<double>(entries));
    const double step = std::max(kFloorStep, std::expm1(std::log(all.back() / all.front()) / most));
    for (const double r : all)
        if (thinned.empty() || r > thinned.back() * (1 + step))
            thinned.push_back(r);
    return thinned;
}

// The chain whose ratios all reach `floor` with the lowest largest ratio,
// by dynamic programming from the foot up: the best largest ratio of a chain
// ending in each candidate of hole k depends only on the chains ending in
// the candidates of hole k - 1.
std::optional<DrillPath> best_above(const RatioTable& ratio, double floor) {
    const std::size_t holes = ratio.size();
    std::vector<std::vector<double>> largest(holes);
    std::vector<std::vector<std::size_t>> from(holes);
    for (std::size_t k = 0; k < holes; ++k) {
        largest[k].assign(ratio[k].size(), kNone);
        from[k].assign(ratio[k].size(), 0);
        for (std::size_t j = 0; j < ratio[k].size(); ++j)
            for (std::size_t i = 0; i < ratio[k][j].size(); ++i) {
                const double r = ratio[k][j][i];
                const double before = k == 0 ? 0 : largest[k - 1][i];
                if (!(r >= floor) || before == kNone)
                    continue;
                const double through = std::max(before, r);
                if (through < largest[k][j]) {
                    largest[k][j] = through;
                    from[k][j] = i;
                }
            }
    }
    const std::vector<double>& top = largest[holes - 1];
    const auto end = std::min_element(top.begin(), top.end());
    if (end == top.end() || *end == kNone)
        return std::nullopt;
    DrillPath path;
    path.drills.resize(holes);
    path.drills[holes - 1] = static_cast<std::size_t>(end - top.begin());
    for (std::size_t k = holes - 1; k > 0; --k)
        path.drills[k - 1] = from[k][path.drills[k]];
    double smallest = kNone;
    for (std::size_t k = 0; k < holes; ++k)
        smallest = std::min(smallest, ratio[k][path.drills[k]][k == 0 ? 0 : path.drills[k - 1]]);
    path.evenness = *end / smallest;
    return path;
}

} // namespace

std::vector<DrillPath> most_even_paths(const RatioTable& ratio, std::size_t most) {
    std::vector<DrillPath> paths;
    if (ratio.empty())
        return paths;
    for (const double floor : floors(ratio)) {
        std::optional<DrillPath> path = best_above(ratio, floor);
        if (!path)
            break; // a higher floor leaves fewer chains still
        if (std::find(paths.begin(), paths.end(), *path) == paths.end())
            paths.push_back(std::move(*path));
    }
    std::sort(paths.begin(), paths.end(),
              [](const DrillPath& a, const DrillPath& b) { return a.evenness < b.evenness; });
    if (paths.size() > most)
        paths.resize(most);
    return paths;
}

} // namespace sorrel::tuning
