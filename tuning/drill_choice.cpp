#include "tuning/drill_choice.h"

#include "model/inch_fraction.h"
#include "model/text_format.h"
#include "tuning/air.h"
#include "tuning/drill_path.h"
#include "tuning/fingering.h"
#include "tuning/fit_constraints.h"
#include "tuning/fit_search.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sorrel::tuning {
namespace {

constexpr double kMetre = 1e-3;        // m per mm
constexpr double kInch = 25.4e-3;      // m per inch
constexpr double kSearchCents = 0.005; // each hole's placement in the search
// The search ranks choices on positions placed with the holes above left
// out; the exact refit of the best few within this factor of the best
// ranking settles the order.
constexpr double kRankingMargin = 1.005;
constexpr std::size_t kMostRefits = 16;
constexpr int kRounds = 3; // searches, each over the last one's best choice

std::vector<Drill> metric_set(double stepMm) {
    std::vector<Drill> drills;
    const int steps = static_cast<int>(std::lround(24 / stepMm));
    for (int i = 0; i <= steps; ++i) {
        const double mm = 1 + i * stepMm;
        drills.push_back({mm * kMetre, format("%.1f mm", mm)});
    }
    return drills;
}

std::vector<Drill> fractional_set() {
    std::vector<Drill> drills;
    for (int sixtyFourths = 1; sixtyFourths <= 64; ++sixtyFourths) {
        const double inches = sixtyFourths / 64.0;
        const std::optional<InchFraction> fraction = nearest_sixty_fourth(inches * 25.4);
        drills.push_back({inches * kInch, format_inch_fraction(*fraction)});
    }
    return drills;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

using Candidates = std::vector<std::vector<Drill>>; // per hole, from the foot up
using Placements =
    std::vector<std::vector<std::optional<double>>>; // m from the foot, per candidate

bool stopped(const FitOptions& options) {
    return options.cancel && options.cancel->load();
}

// Where each candidate of each hole sits, from the foot: hole k placed for
// its note in the tube with the holes below it at `reference` and every
// hole above it left out, as the fit's first placement does; empty where it
// cannot reach its note. Placing each candidate over one chain of holes
// below, rather than over every chain, keeps the search polynomial; the
// shifts taken from the exact fit and the rounds correct for it.
// Reports progress after each hole as a share of round `round`; stops,
// empty, when the caller cancels.
Placements placements(const Geometry& tube, const std::vector<Hole>& reference,
                      const Candidates& candidates, const FitOptions& options, int round) {
    Placements placed(candidates.size());
    Geometry partial = tube;
    partial.holes.clear();
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (stopped(options))
            return {};
        if (options.progress)
            options.progress((round + static_cast<double>(k) / candidates.size()) / kRounds);
        partial.holes.push_back(reference[k]);
        for (const Drill& drill : candidates[k]) {
            partial.holes[k] = reference[k];
            partial.holes[k].diameter = drill.diameter;
            const Placement place =
                place_hole(partial, k, Fingering{std::vector<bool>(k + 1, true)},
                           partial.targets[k + 1], kSearchCents, options.minGap);
            placed[k].push_back(place.outcome == Placement::Outcome::Placed
                                    ? std::optional<double>(place.value)
                                    : std::nullopt);
        }
        partial.holes[k] = reference[k];
    }
    return placed;
}

// The cutoff ratio of every candidate of every hole over every candidate of
// the hole below, where the fit would put them (the placements moved by
// `shift`); not a number where the pair breaks the reach or the gap.
RatioTable ratio_table(const Geometry& tube, const Candidates& candidates, const Placements& placed,
                       const std::vector<double>& shift, const FitOptions& options) {
    const double speed = air_properties(tube.air).speedOfSound;
    const double none = std::numeric_limits<double>::quiet_NaN();
    const std::size_t count = candidates.size();
    RatioTable table(count);
    for (std::size_t k = 0; k < count; ++k) {
        const double reach = k == 0 ? 0 : reach_above(options, k, count);
        for (std::size_t j = 0; j < candidates[k].size(); ++j) {
            std::vector<double>& row =
                table[k].emplace_back(k == 0 ? 1 : candidates[k - 1].size(), none);
            if (!placed[k][j])
                continue;
            const Hole hole{*placed[k][j] + shift[k], candidates[k][j].diameter, std::nullopt};
            for (std::size_t i = 0; i < row.size(); ++i) {
                double below = 0;
                if (k > 0) {
                    if (!placed[k - 1][i])
                        continue;
                    below = *placed[k - 1][i] + shift[k - 1];
                    const double centres = hole.fromFoot - below;
                    const double edges =
                        centres - (hole.diameter + candidates[k - 1][i].diameter) / 2;
                    if (centres > reach || edges < options.minGap)
                        continue;
                }
                row[i] = cutoff_ratio(tube, hole, below, tube.targets[k + 1], speed);
            }
        }
    }
    return table;
}

// The exact refit of a choice (which may fail).
PitchFit refit(const Geometry& tube, const Candidates& candidates, const Placements& placed,
               const DrillPath& path, const FitOptions& options) {
    Geometry drilled = tube;
    for (std::size_t k = 0; k < drilled.holes.size(); ++k) {
        drilled.holes[k].diameter = candidates[k][path.drills[k]].diameter;
        drilled.holes[k].fromFoot = *placed[k][path.drills[k]];
    }
    PitchFit fit = refit_near(drilled, options);
    for (std::size_t k = 0; k < fit.holes.size(); ++k)
        fit.holes[k].drill = candidates[k][path.drills[k]].label;
    return fit;
}

// Whether a refit keeps the reach and holes of at most kMaxHoleToBore.
bool within_limits(const PitchFit& fit) {
    if (!fit.warnings.empty())
        return false;
    for (const FittedHole& hole : fit.holes) {
        const double bore = bore_diameter_at(*fit.geometry, fit.geometry->length - hole.fromFoot);
        if (hole.diameter > kMaxHoleToBore * bore)
            return false;
    }
    return true;
}

// Places the holes of `reference` (the diameters given) one by one from the
// foot, and returns how far the fit of those diameters moves each: the
// shift from where the search puts a hole to where the fit, with the holes
// above closed, puts it. Zeros when either fails.
std::vector<double> fitted_shift(const Geometry& tube, std::vector<Hole>& reference,
                                 const FitOptions& options) {
    std::vector<double> shift(reference.size(), 0);
    Geometry partial = tube;
    partial.holes.clear();
    for (std::size_t k = 0; k < reference.size(); ++k) {
        partial.holes.push_back(reference[k]);
        const Placement placed = place_hole(partial, k, Fingering{std::vector<bool>(k + 1, true)},
                                            partial.targets[k + 1], kSearchCents, options.minGap);
        if (placed.outcome != Placement::Outcome::Placed)
            return shift;
    }
    reference = partial.holes;
    const PitchFit fit = fit_to_pitch(tube, options);
    if (fit.failure)
        return shift;
    for (std::size_t k = 0; k < reference.size(); ++k)
        shift[k] = fit.holes[k].fromFoot - reference[k].fromFoot;
    return shift;
}

// Rounds of the search, each placing the candidates over the holes of a
// refitted choice of the last round (the best, or when none keeps the
// limits the most even one refitted) with the shifts its fit showed, and
// refitting the most even chains; the most even fit that keeps every
// limit, if any.
std::optional<PitchFit> search_rounds(const Geometry& tube, const Candidates& candidates,
                                      const FitOptions& options) {
    std::vector<Hole> reference = tube.holes;
    std::vector<double> shift = fitted_shift(tube, reference, options);
    std::optional<PitchFit> best;
    for (int round = 0; round < kRounds; ++round) {
        const Placements placed = placements(tube, reference, candidates, options, round);
        if (stopped(options))
            return std::nullopt;
        const std::vector<DrillPath> ranked =
            most_even_paths(ratio_table(tube, candidates, placed, shift, options), kMostRefits);
        std::optional<std::pair<DrillPath, PitchFit>> guide; // the choice the next round follows
        bool improved = false;
        for (const DrillPath& path : ranked) {
            if (path.evenness > ranked.front().evenness * kRankingMargin)
                break;
            PitchFit fit = refit(tube, candidates, placed, path, options);
            if (fit.failure)
                continue;
            const bool better =
                within_limits(fit) && (!best || fit.ratioSpread < best->ratioSpread);
            if (better)
                best = fit;
            if (better || !guide)
                guide = {path, std::move(fit)};
            improved = improved || better;
        }
        if (!guide || (best && !improved))
            break;
        for (std::size_t k = 0; k < shift.size(); ++k) {
            const std::size_t drill = guide->first.drills[k];
            reference[k] = {*placed[k][drill], candidates[k][drill].diameter, std::nullopt};
            shift[k] = guide->second.holes[k].fromFoot - reference[k].fromFoot;
        }
    }
    return best;
}

// Each hole's candidates: the drills within its range and at most
// kMaxHoleToBore of the bore there. Empty, with `failure` set, when a hole
// has none or is fixed (its diameter is fitted, not chosen).
std::optional<Candidates> drills_for(const Geometry& base, const std::vector<Drill>& drills,
                                     const FitOptions& options,
                                     std::optional<FitFailure>& failure) {
    Candidates candidates(base.holes.size());
    for (std::size_t k = 0; k < base.holes.size(); ++k) {
        const HoleLimits limits = limits_of(options, k + 1);
        if (limits.fixed) {
            failure = FitFailure{k + 1, format("hole %zu is fixed, its diameter fitted to its "
                                               "note: no drill is chosen for it; free it or fit "
                                               "without a drill set",
                                               k + 1)};
            return std::nullopt;
        }
        const double widest =
            std::min(limits.maxDiameter,
                     kMaxHoleToBore * bore_diameter_at(base, base.length - base.holes[k].fromFoot));
        for (const Drill& drill : drills)
            if (drill.diameter > 0 && drill.diameter >= limits.minDiameter &&
                drill.diameter <= widest)
                candidates[k].push_back(drill);
        if (candidates[k].empty()) {
            failure = FitFailure{k + 1, format("hole %zu: no drill of the set is at least %s and "
                                               "at most %.1f mm (0.8 of the bore, or its range)",
                                               k + 1, millimetres_text(limits.minDiameter).c_str(),
                                               widest * 1000)};
            return std::nullopt;
        }
    }
    return candidates;
}

} // namespace

std::vector<Drill> drill_set(DrillSetKind kind, const DrillRange& range) {
    switch (kind) {
    case DrillSetKind::FractionalInch:
        return drills_within(fractional_set(), range);
    case DrillSetKind::Metric:
        return drills_within(metric_set(0.1), range);
    case DrillSetKind::MetricHalf:
        return drills_within(metric_set(0.5), range);
    }
    return {};
}

std::vector<Drill> drills_within(const std::vector<Drill>& drills, const DrillRange& range) {
    std::vector<Drill> within;
    // A range typed in millimetres must keep the drill it names exactly.
    const double slack = 1e-9;
    for (const Drill& drill : drills)
        if (drill.diameter >= range.smallest - slack && drill.diameter <= range.largest + slack)
            within.push_back(drill);
    return within;
}

std::optional<std::vector<Drill>> parse_drill_list(std::string_view text, std::string& error) {
    std::vector<Drill> drills;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view entry = trimmed(text.substr(0, comma));
        const std::optional<double> mm = parse_whole_number(entry);
        if (!mm || *mm <= 0) {
            error = "drill list: \"" + std::string(entry) + "\" is not a diameter in mm above 0";
            return std::nullopt;
        }
        drills.push_back({*mm * kMetre, format("%g mm", *mm)});
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    std::sort(drills.begin(), drills.end(),
              [](const Drill& a, const Drill& b) { return a.diameter < b.diameter; });
    drills.erase(
        std::unique(drills.begin(), drills.end(),
                    [](const Drill& a, const Drill& b) { return a.diameter == b.diameter; }),
        drills.end());
    return drills;
}

PitchFit choose_drills(const Geometry& geometry, const std::vector<Drill>& drills,
                       const FitOptions& options) {
    Geometry base = geometry;
    std::stable_sort(base.holes.begin(), base.holes.end(),
                     [](const Hole& a, const Hole& b) { return a.fromFoot < b.fromFoot; });
    std::optional<FitFailure> unfit = unfit_geometry(geometry);
    if (!unfit)
        unfit = apply_limits(base, options);
    const std::optional<Candidates> candidates =
        unfit ? std::nullopt : drills_for(base, drills, options, unfit);
    if (unfit) {
        PitchFit refused;
        refused.failure = std::move(unfit);
        return refused;
    }

    Geometry tube = base;
    tube.holes.clear();
    place_length(tube, Fingering{}, base.targets[0], kSearchCents);
    tube.holes = base.holes;
    const std::optional<PitchFit> best = search_rounds(tube, *candidates, options);
    if (stopped(options)) {
        PitchFit none;
        none.failure = FitFailure{0, "the drill choice was stopped before it finished"};
        return none;
    }
    if (options.progress)
        options.progress(1);
    if (!best) {
        PitchFit none;
        none.failure = FitFailure{0, "no choice of drills from the set fits every note within "
                                     "the hand reach; a wider set or a longer reach would help"};
        return none;
    }
    return *best;
}

} // namespace sorrel::tuning
