#include "tuning/pitch_fit.h"

#include "model/text_format.h"
#include "tuning/air.h"
#include "tuning/fingering.h"
#include "tuning/fit_constraints.h"
#include "tuning/fit_search.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sorrel::tuning {
namespace {

constexpr double kSearchCents = 0.005; // each one-dimensional search
constexpr double kSettledCents = 0.05; // the sweeps stop when every note lies this close
constexpr int kMaxSweeps = 12;

double mm(double metres) {
    return metres * 1000;
}

PitchFit failed(std::size_t hole, std::string message) {
    PitchFit fit;
    fit.failure = FitFailure{hole, std::move(message)};
    return fit;
}

// What went wrong when hole `number` (from the foot) could not be placed.
// `topmost`: no hole lies above it, only the mouth.
std::string hole_failure(std::size_t number, bool topmost, const Placement& placed,
                         const std::string& fingering, double gap) {
    using Outcome = Placement::Outcome;
    const std::string hole = format("hole %zu", number);
    const std::string note = format("its note (%s)", fingering.c_str());
    const std::string where = format("at %.1f mm from the foot", mm(placed.value));
    switch (placed.outcome) {
    case Outcome::FlatAtHigh:
        if (topmost)
            return hole + " would leave the tube: even " + where + ", just below the mouth, " +
                   note +
                   format(" sounds %.1f cents flat; a larger diameter or a lower target ",
                          -placed.cents) +
                   "would help";
        return hole +
               format(" is too small to raise its note that far before it meets hole %zu: ",
                      number + 1) +
               "even " + where + ", " + note +
               format(" sounds %.1f cents flat; a larger diameter or a lower target would help",
                      -placed.cents);
    case Outcome::SharpAtLow:
        if (number == 1)
            return hole + " would leave the foot: even " + where + ", " + note +
                   format(" sounds %.1f cents sharp; a smaller diameter or a higher target ",
                          placed.cents) +
                   "would help";
        return hole +
               format(" meets hole %zu below it (%.1f mm of wood kept between their edges): "
                      "even ",
                      number - 1, mm(gap)) +
               where + ", " + note +
               format(" sounds %.1f cents sharp; a smaller diameter, a larger hole %zu, a "
                      "smaller gap or a higher target would help",
                      placed.cents, number - 1);
    case Outcome::NoRoom:
        return hole + " has no room between its neighbours; smaller holes would help";
    case Outcome::NoResonance:
    case Outcome::Placed:
        break;
    }
    return hole + ": the model finds no resonance for " + note;
}

// What went wrong when fixed hole `number` could not be sized for its note.
std::string fixed_failure(std::size_t number, const Placement& placed, const std::string& fingering,
                          double fromFoot) {
    using Outcome = Placement::Outcome;
    const std::string hole =
        format("hole %zu, fixed at %.1f mm from the foot,", number, mm(fromFoot));
    const std::string note = format("its note (%s)", fingering.c_str());
    switch (placed.outcome) {
    case Outcome::FlatAtHigh:
        return hole + format(" sounds %s %.1f cents flat even %.2f mm wide, the widest its "
                             "diameter range, the bore and its neighbours allow; a wider range, "
                             "fixing it nearer the mouth or a lower target would help",
                             note.c_str(), -placed.cents, mm(placed.value));
    case Outcome::SharpAtLow:
        return hole + format(" sounds %s %.1f cents sharp even %.2f mm wide, the narrowest its "
                             "diameter range allows; a smaller smallest diameter, fixing it "
                             "nearer the foot or a higher target would help",
                             note.c_str(), placed.cents, mm(placed.value));
    case Outcome::NoRoom:
        return hole + " has no room for the narrowest diameter its range allows beside its "
                      "neighbours; fixing it elsewhere or a smaller gap would help";
    case Outcome::NoResonance:
    case Outcome::Placed:
        break;
    }
    return format("hole %zu: the model finds no resonance for ", number) + note;
}

// Moves hole `k` (from the foot up) to its note, or sizes it when fixed.
Placement fit_hole(Geometry& geometry, std::size_t k, const Fingering& fingering,
                   const FitOptions& options) {
    const HoleLimits limits = limits_of(options, k + 1);
    const double target = geometry.targets[k + 1];
    if (limits.fixed)
        return size_hole(geometry, k, fingering, target, kSearchCents, limits.minDiameter,
                         limits.maxDiameter, options.minGap);
    return place_hole(geometry, k, fingering, target, kSearchCents, options.minGap);
}

// Why hole `k` (from the foot up) could not be fitted to `fingering`.
FitFailure hole_fit_failure(const Geometry& geometry, std::size_t k, const Placement& placed,
                            const Fingering& fingering, const FitOptions& options) {
    const std::string text = fingering_text(fingering);
    if (limits_of(options, k + 1).fixed)
        return {k + 1, fixed_failure(k + 1, placed, text, geometry.holes[k].fromFoot)};
    return {k + 1,
            hole_failure(k + 1, k + 1 == geometry.holes.size(), placed, text, options.minGap)};
}

std::string length_failure(const Placement& placed) {
    using Outcome = Placement::Outcome;
    switch (placed.outcome) {
    case Outcome::SharpAtLow:
        return format("the length: even %.1f mm long the tube sounds its bottom note %.1f cents "
                      "sharp; a lower target would help",
                      mm(placed.value), placed.cents);
    case Outcome::FlatAtHigh:
        return format("the length: even as short as %.1f mm, just above the top hole, the "
                      "bottom note sounds %.1f cents flat; a higher target or holes nearer the "
                      "foot would help",
                      mm(placed.value), -placed.cents);
    default:
        return "the length: the model finds no resonance for the bottom note";
    }
}

// The fingering that opens the lowest `open` holes of `count`.
Fingering lowest_open(std::size_t count, std::size_t open) {
    Fingering fingering{std::vector<bool>(count, false)};
    for (std::size_t i = 0; i < open; ++i)
        fingering.open[count - 1 - i] = true;
    return fingering;
}

// A first placement: the length for the bore alone, then each hole with the
// holes above it left out, so that every note's search starts near its root
// and no hole has to pass another. A hole that meets the one below stays
// against it: the closed holes left out move every hole a little, so only
// the sweeps with every hole in place can tell that it does not fit.
std::optional<PitchFit> rough_placement(Geometry& geometry, const FitOptions& options) {
    const std::vector<Hole> holes = geometry.holes;
    const std::vector<double>& targets = geometry.targets;
    const double c = air_properties(geometry.air).speedOfSound;
    const double divisor = geometry.mouth.kind == MouthKind::Closed ? 4.0 : 2.0;
    geometry.holes.clear();
    const Placement length = place_length(geometry, lowest_open(0, 0), targets[0], kSearchCents);
    if (length.outcome != Placement::Outcome::Placed)
        return failed(0, length_failure(length));
    for (std::size_t k = 0; k < holes.size(); ++k) {
        const double below = k == 0 ? 0 : geometry.holes.back().fromFoot;
        // The note's shorter sounding length, by the ideal tube's wavelengths.
        const double shift = c / divisor * (1 / targets[k] - 1 / targets[k + 1]);
        geometry.holes.push_back(holes[k]);
        if (!limits_of(options, k + 1).fixed)
            geometry.holes.back().fromFoot = below + shift;
        const Placement placed = fit_hole(geometry, k, lowest_open(k + 1, k + 1), options);
        if (placed.outcome != Placement::Outcome::Placed &&
            placed.outcome != Placement::Outcome::SharpAtLow) {
            const FitFailure failure =
                hole_fit_failure(geometry, k, placed, lowest_open(holes.size(), k + 1), options);
            return failed(failure.hole, failure.message);
        }
    }
    return std::nullopt;
}

bool settled(const Geometry& geometry, const std::vector<Fingering>& fingerings) {
    for (std::size_t k = 0; k < fingerings.size(); ++k) {
        const std::optional<double> cents =
            cents_off_target(geometry, fingerings[k], geometry.targets[k]);
        if (!cents || std::abs(*cents) > kSettledCents)
            return false;
    }
    return true;
}

// Sweeps the length and then each hole from the foot up, every hole in
// place, until no note moves off its target: closed holes above a note pull
// it a little, so each sweep corrects the last. A hole held at a neighbour
// may come free when the neighbours move; the same hole held in two sweeps
// running cannot.
std::optional<PitchFit> settle(Geometry& geometry, const FitOptions& options) {
    const std::size_t count = geometry.holes.size();
    const std::vector<Fingering> fingerings = default_fingerings(count);
    std::optional<FitFailure> held; // the first hole the last sweep could not place
    for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
        if (settled(geometry, fingerings))
            return std::nullopt;
        const Placement length =
            place_length(geometry, fingerings[0], geometry.targets[0], kSearchCents);
        if (length.outcome != Placement::Outcome::Placed)
            return failed(0, length_failure(length));
        std::optional<FitFailure> failure;
        for (std::size_t k = 0; k < count; ++k) {
            const Placement placed = fit_hole(geometry, k, fingerings[k + 1], options);
            if (placed.outcome == Placement::Outcome::Placed)
                continue;
            const FitFailure here =
                hole_fit_failure(geometry, k, placed, fingerings[k + 1], options);
            const bool atBound = placed.outcome == Placement::Outcome::SharpAtLow ||
                                 placed.outcome == Placement::Outcome::FlatAtHigh;
            if (!atBound || (held && held->hole == here.hole))
                return failed(here.hole, here.message);
            if (!failure)
                failure = here;
        }
        held = failure;
    }
    if (settled(geometry, fingerings))
        return std::nullopt;
    return failed(0, "the fit does not settle: the notes keep pulling each other off target");
}

std::vector<Hole> sorted_from_foot(std::vector<Hole> holes) {
    std::stable_sort(holes.begin(), holes.end(),
                     [](const Hole& a, const Hole& b) { return a.fromFoot < b.fromFoot; });
    return holes;
}

// The fit from holes already near their places (from the foot up): the
// sweeps, then the predictions, ratios and warnings of the result.
PitchFit settled_fit(Geometry fitted, const FitOptions& options) {
    if (std::optional<PitchFit> failure = settle(fitted, options))
        return *failure;

    PitchFit fit;
    fit.predictions = predict(fitted);
    const std::vector<double> ratios = cutoff_ratios(fitted);
    for (std::size_t k = 0; k < fitted.holes.size(); ++k) {
        const FingeringResult& note = fit.predictions[k + 1];
        fit.holes.push_back({k + 1,
                             fitted.holes[k].fromFoot,
                             fitted.holes[k].diameter,
                             {},
                             fitted.targets[k + 1],
                             note.first.value_or(0),
                             note.cents.value_or(0),
                             ratios[k]});
    }
    if (!ratios.empty())
        fit.ratioSpread = (*std::max_element(ratios.begin(), ratios.end()) /
                               *std::min_element(ratios.begin(), ratios.end()) -
                           1) *
                          100;
    fit.warnings = reach_warnings(fitted, options);
    fit.geometry = std::move(fitted);
    return fit;
}

} // namespace

std::vector<double> cutoff_ratios(const Geometry& geometry) {
    const std::vector<Hole> holes = sorted_from_foot(geometry.holes);
    const double c = air_properties(geometry.air).speedOfSound;
    std::vector<double> ratios;
    for (std::size_t k = 0; k < holes.size(); ++k)
        ratios.push_back(cutoff_ratio(geometry, holes[k], k == 0 ? 0 : holes[k - 1].fromFoot,
                                      geometry.targets[k + 1], c));
    return ratios;
}

PitchFit fit_to_pitch(const Geometry& geometry, const FitOptions& options) {
    Geometry fitted = geometry;
    fitted.holes = sorted_from_foot(geometry.holes);
    std::optional<FitFailure> unfit = unfit_geometry(geometry);
    if (!unfit)
        unfit = apply_limits(fitted, options);
    if (!unfit)
        unfit = diameter_outside_range(fitted, options);
    if (unfit)
        return failed(unfit->hole, unfit->message);
    if (std::optional<PitchFit> failure = rough_placement(fitted, options))
        return *failure;
    return settled_fit(std::move(fitted), options);
}

PitchFit refit_near(const Geometry& placed, const FitOptions& options) {
    PitchFit fit = settled_fit(placed, options);
    return fit.failure ? fit_to_pitch(placed, options) : fit;
}

} // namespace sorrel::tuning
