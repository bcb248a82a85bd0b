#include "tuning/drill_choice.h"

#include "model/inch_fraction.h"
#include "model/text_format.h"
#include "tuning/air.h"
#include "tuning/fingering.h"
#include "tuning/fit_search.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace sorrel::tuning {
namespace {

constexpr double kMetre = 1e-3;        // m per mm
constexpr double kInch = 25.4e-3;      // m per inch
constexpr double kSearchCents = 0.005; // each hole's placement in the search
// The search ranks choices on positions placed with the holes above left
// out; the exact refit of every choice within this factor of the best
// ranking settles the order.
constexpr double kRankingMargin = 1.005;
constexpr std::size_t kMostRefits = 16;
constexpr int kRounds = 3;                // searches, each with the shifts of the last one's best
constexpr std::size_t kCoarseDrills = 20; // per hole, in the first search of a fine set

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

// A choice of one drill per hole, from the foot up, where the search placed
// the holes, and how even it is.
struct Choice {
    std::vector<std::size_t> drills; // index into the hole's candidates
    Geometry placed;                 // the holes where the search put them
    double evenness = 0;             // largest cutoff ratio over the smallest
};

// One hole placed for one drill in the search, or why not.
struct Trial {
    enum class Verdict {
        Placed,
        TooLow,  // too small to reach the note, or too far from the hole below
        TooHigh, // meets the hole below
    } verdict = Verdict::Placed;
    double fromFoot = 0; // m
    double ratio = 0;    // cutoff ratio, when placed
};

// The depth-first search over the holes from the foot up. Each node places
// one hole for one drill above the holes already placed, with the holes
// above it left out, as the fit's first placement does. Larger drills raise
// a hole's cutoff ratio and sit lower: along the candidates, smallest first,
// the ratio rises, so the drills that keep the ratios within the bound are
// one run, found by bisection.
class DrillSearch {
public:
    DrillSearch(const Geometry& tube, const std::vector<std::vector<Drill>>& candidates,
                const std::vector<double>& shift, double maxSpread, double incumbent)
        : partial_(tube), candidates_(candidates), shift_(shift), maxSpread_(maxSpread),
          best_(incumbent), speed_(air_properties(tube.air).speedOfSound), holes_(tube.holes) {
        partial_.holes.clear();
        chosen_.resize(holes_.size());
    }

    std::vector<Choice> run() {
        descend(0, std::numeric_limits<double>::infinity(), 0);
        std::sort(found_.begin(), found_.end(),
                  [](const Choice& a, const Choice& b) { return a.evenness < b.evenness; });
        return found_;
    }

private:
    double bound() const { return best_ * kRankingMargin; }

    // Places hole k (the top of the partial tube) for candidate i, starting
    // from the nearest candidate already tried.
    Trial place(std::size_t k, std::size_t i, std::vector<std::optional<Trial>>& tried) {
        if (tried[i])
            return *tried[i];
        const double below = k == 0 ? 0 : partial_.holes[k - 1].fromFoot;
        double start =
            below + (k == 0 ? holes_[0].fromFoot : holes_[k].fromFoot - holes_[k - 1].fromFoot);
        for (std::size_t step = 1; step < tried.size(); ++step) {
            if (i >= step && tried[i - step] &&
                tried[i - step]->verdict == Trial::Verdict::Placed) {
                start = tried[i - step]->fromFoot;
                break;
            }
            if (i + step < tried.size() && tried[i + step] &&
                tried[i + step]->verdict == Trial::Verdict::Placed) {
                start = tried[i + step]->fromFoot;
                break;
            }
        }
        Hole& hole = partial_.holes[k];
        hole.diameter = candidates_[k][i].diameter;
        hole.fromFoot = start;
        const Placement placed = place_hole(partial_, k, Fingering{std::vector<bool>(k + 1, true)},
                                            partial_.targets[k + 1], kSearchCents);
        Trial trial{Trial::Verdict::Placed, hole.fromFoot, 0};
        // Spacings and ratios where the fit would put the holes.
        Hole fitted = hole;
        fitted.fromFoot += shift_[k];
        const double fittedBelow = k == 0 ? 0 : below + shift_[k - 1];
        if (placed.outcome == Placement::Outcome::SharpAtLow ||
            placed.outcome == Placement::Outcome::NoRoom)
            trial.verdict = Trial::Verdict::TooHigh;
        else if (placed.outcome != Placement::Outcome::Placed ||
                 (k > 0 && fitted.fromFoot - fittedBelow > maxSpread_))
            trial.verdict = Trial::Verdict::TooLow;
        else
            trial.ratio =
                cutoff_ratio(partial_, fitted, fittedBelow, partial_.targets[k + 1], speed_);
        tried[i] = trial;
        return trial;
    }

    // Whether candidate i's ratio lies below `floor` (or it cannot be placed
    // for being too small or too far from the hole below).
    bool below_floor(std::size_t k, std::size_t i, double floor,
                     std::vector<std::optional<Trial>>& tried) {
        const Trial trial = place(k, i, tried);
        return trial.verdict == Trial::Verdict::TooLow ||
               (trial.verdict == Trial::Verdict::Placed && trial.ratio < floor);
    }

    void descend(std::size_t k, double smallest, double largest) {
        if (k == holes_.size()) {
            const double evenness = largest / smallest;
            best_ = std::min(best_, evenness);
            found_.push_back({chosen_, partial_, evenness});
            return;
        }
        const std::size_t count = candidates_[k].size();
        std::vector<std::optional<Trial>> tried(count);
        partial_.holes.push_back(holes_[k]);
        // The first candidate whose ratio reaches the floor the bound leaves.
        const double floor = k == 0 ? 0 : largest / bound();
        std::size_t low = 0;
        std::size_t high = count;
        while (low < high) {
            const std::size_t middle = (low + high) / 2;
            if (below_floor(k, middle, floor, tried))
                low = middle + 1;
            else
                high = middle;
        }
        // The run of drills within the bound, visited from the one nearest
        // the middle of the ratios so far (for the first hole, the nearest
        // to the diameter given): a close choice found early tightens the
        // bound for the rest.
        std::vector<std::size_t> run;
        for (std::size_t i = low; i < count; ++i) {
            const Trial trial = place(k, i, tried);
            if (trial.verdict == Trial::Verdict::TooHigh ||
                (trial.verdict == Trial::Verdict::Placed && k > 0 &&
                 trial.ratio / smallest > bound()))
                break;
            if (trial.verdict == Trial::Verdict::Placed)
                run.push_back(i);
        }
        const auto distance = [&](std::size_t i) {
            if (k == 0)
                return std::abs(std::log(candidates_[0][i].diameter / holes_[0].diameter));
            return std::abs(std::log(tried[i]->ratio / std::sqrt(smallest * largest)));
        };
        std::sort(run.begin(), run.end(),
                  [&](std::size_t a, std::size_t b) { return distance(a) < distance(b); });
        for (const std::size_t i : run) {
            const Trial& trial = *tried[i];
            const double lowest = std::min(smallest, trial.ratio);
            const double highest = std::max(largest, trial.ratio);
            if (highest / lowest > bound())
                continue;
            partial_.holes[k].diameter = candidates_[k][i].diameter;
            partial_.holes[k].fromFoot = trial.fromFoot;
            chosen_[k] = i;
            descend(k + 1, lowest, highest);
        }
        partial_.holes.pop_back();
    }

    Geometry partial_; // the tube with the holes placed so far
    const std::vector<std::vector<Drill>>& candidates_;
    const std::vector<double>& shift_; // m: from a placed hole to where the fit puts it
    double maxSpread_;                 // m
    double best_;                      // the most even choice found, or one the search will find
    double speed_;                     // m/s
    std::vector<Hole> holes_;
    std::vector<std::size_t> chosen_;
    std::vector<Choice> found_;
};

// The exact refit of a choice, or empty when it breaks a limit.
std::optional<PitchFit> refit(const std::vector<std::vector<Drill>>& candidates,
                              const Choice& choice, const FitOptions& options) {
    PitchFit fit = refit_near(choice.placed, options);
    if (fit.failure)
        return std::nullopt;
    for (const FitWarning& warning : fit.warnings)
        if (warning.kind == FitWarning::Kind::BeyondReach)
            return std::nullopt;
    for (std::size_t k = 0; k < fit.holes.size(); ++k) {
        const double bore =
            bore_diameter_at(*fit.geometry, fit.geometry->length - fit.holes[k].fromFoot);
        if (fit.holes[k].diameter > kMaxHoleToBore * bore)
            return std::nullopt;
        fit.holes[k].drill = candidates[k][choice.drills[k]].label;
    }
    return fit;
}

// How far the fit moves each hole of `holes` (with their diameters) from
// where the search, placing them one by one from the foot with the holes
// above left out, puts them in `tube`; zeros when either fails.
std::vector<double> fitted_shift(const Geometry& tube, const std::vector<Hole>& holes,
                                 const FitOptions& options) {
    std::vector<double> shift(holes.size(), 0);
    Geometry partial = tube;
    partial.holes.clear();
    for (std::size_t k = 0; k < holes.size(); ++k) {
        partial.holes.push_back(holes[k]);
        const Placement placed = place_hole(partial, k, Fingering{std::vector<bool>(k + 1, true)},
                                            partial.targets[k + 1], kSearchCents);
        if (placed.outcome != Placement::Outcome::Placed)
            return shift;
    }
    Geometry given = tube;
    given.holes = holes;
    const PitchFit fit = fit_to_pitch(given, options);
    if (fit.failure)
        return shift;
    for (std::size_t k = 0; k < holes.size(); ++k)
        shift[k] = fit.holes[k].fromFoot - partial.holes[k].fromFoot;
    return shift;
}

// Searches `candidates` up to `rounds` times, each time with the shifts
// taken from the best choice so far, refitting the closest choices; keeps
// the most even fit in `best`.
void search_rounds(const Geometry& tube, const std::vector<std::vector<Drill>>& candidates,
                   const FitOptions& options, int rounds, std::vector<double>& shift,
                   std::optional<PitchFit>& best) {
    std::vector<std::size_t> bestDrills;
    for (int round = 0; round < rounds; ++round) {
        // The best choice so far, with the shifts taken from it, is found
        // again exactly as even as its fit: a bound from the start.
        const double incumbent =
            best ? 1 + best->ratioSpread / 100 + 1e-9 : std::numeric_limits<double>::infinity();
        const std::vector<Choice> ranked =
            DrillSearch(tube, candidates, shift, options.maxSpread, incumbent).run();
        const double cutoff = ranked.empty() ? 0 : ranked.front().evenness * kRankingMargin;
        const std::vector<std::size_t> before = bestDrills;
        for (std::size_t i = 0;
             i < ranked.size() && i < kMostRefits && ranked[i].evenness <= cutoff; ++i) {
            std::optional<PitchFit> fit = refit(candidates, ranked[i], options);
            if (fit && (!best || fit->ratioSpread < best->ratioSpread)) {
                best = std::move(fit);
                bestDrills = ranked[i].drills;
                for (std::size_t k = 0; k < shift.size(); ++k)
                    shift[k] = best->holes[k].fromFoot - ranked[i].placed.holes[k].fromFoot;
            }
        }
        if (!best || bestDrills == before)
            break;
    }
}

// Every few drills of each hole's candidates, at most kCoarseDrills of them.
std::vector<std::vector<Drill>> every_few(const std::vector<std::vector<Drill>>& candidates) {
    std::vector<std::vector<Drill>> coarse;
    for (const std::vector<Drill>& drills : candidates) {
        const std::size_t step = (drills.size() + kCoarseDrills - 1) / kCoarseDrills;
        coarse.emplace_back();
        for (std::size_t i = 0; i < drills.size(); i += step)
            coarse.back().push_back(drills[i]);
    }
    return coarse;
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
        double mm = 0;
        const auto [end, fault] = std::from_chars(entry.data(), entry.data() + entry.size(), mm);
        if (entry.empty() || fault != std::errc() || end != entry.data() + entry.size() ||
            !std::isfinite(mm) || mm <= 0) {
            error = "drill list: \"" + std::string(entry) + "\" is not a diameter in mm above 0";
            return std::nullopt;
        }
        drills.push_back({mm * kMetre, format("%g mm", mm)});
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
    if (std::optional<FitFailure> unfit = unfit_geometry(geometry)) {
        PitchFit refused;
        refused.failure = std::move(unfit);
        return refused;
    }

    Geometry base = geometry;
    std::stable_sort(base.holes.begin(), base.holes.end(),
                     [](const Hole& a, const Hole& b) { return a.fromFoot < b.fromFoot; });
    std::vector<std::vector<Drill>> candidates(base.holes.size());
    for (std::size_t k = 0; k < base.holes.size(); ++k) {
        const double widest =
            kMaxHoleToBore * bore_diameter_at(base, base.length - base.holes[k].fromFoot);
        for (const Drill& drill : drills)
            if (drill.diameter > 0 && drill.diameter <= widest)
                candidates[k].push_back(drill);
        if (candidates[k].empty()) {
            PitchFit none;
            none.failure = FitFailure{
                k + 1, format("hole %zu: no drill of the set is at most %.1f mm (0.8 of the bore)",
                              k + 1, widest * 1000)};
            return none;
        }
    }

    Geometry tube = base;
    tube.holes.clear();
    place_length(tube, Fingering{}, base.targets[0], kSearchCents);
    tube.holes = base.holes;

    // The search places each hole with the holes above it left out; the
    // fit, with them closed, puts it a little elsewhere. That shift, taken
    // from the diameters given and then from the best choice so far, moves
    // the search's holes nearly where the fit puts them.
    std::vector<double> shift = fitted_shift(tube, base.holes, options);
    std::optional<PitchFit> best;
    // A fine set is searched first with every few drills, for a close choice
    // whose fit bounds the search of the whole set from the start.
    const std::vector<std::vector<Drill>> coarse = every_few(candidates);
    if (coarse != candidates)
        search_rounds(tube, coarse, options, 1, shift, best);
    search_rounds(tube, candidates, options, kRounds, shift, best);
    if (!best) {
        PitchFit none;
        none.failure = FitFailure{0, "no choice of drills from the set fits every note within "
                                     "the hand reach; a wider set or a longer reach would help"};
        return none;
    }
    return *best;
}

} // namespace sorrel::tuning
