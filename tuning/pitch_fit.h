#pragma once
// Fit to pitch: the length and the hole positions that make every default
// fingering sound its target, for the hole diameters given. The all-closed
// note sets the length, then each note sets the hole it opens, from the foot
// up; cross-fingerings are predicted on the result, not fitted.

#include "tuning/geometry.h"
#include "tuning/tuning_model.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace sorrel::tuning {

inline constexpr double kDefaultMaxSpread = 40e-3;  // one hand's reach between neighbours, m
inline constexpr double kDefaultMaxHandGap = 60e-3; // reach between the two hands, m
inline constexpr double kMinEdgeGap = 1e-3;         // smallest wood between neighbouring holes, m
inline constexpr double kFitToleranceCents = 0.1; // every fitted note lies this close to its target

// What the maker asks of one hole, numbered from the foot.
struct HoleLimits {
    std::size_t hole = 0;       // 1 = nearest the foot
    bool fixed = false;         // the hole stays put and its diameter is fitted to its note
    std::optional<double> at{}; // where a fixed hole stays, m from the foot; empty: where it is
    double minDiameter = 0;     // m
    double maxDiameter = std::numeric_limits<double>::infinity(); // m
};

// What the maker may ask of a fit.
struct FitOptions {
    double maxSpread = kDefaultMaxSpread; // within a hand: largest centre distance of neighbours, m
    double maxHandGap = kDefaultMaxHandGap; // between the hands' nearest holes, centres, m
    double minGap = kMinEdgeGap;            // smallest wood between neighbouring edges, m
    double minDiameter = 0;                 // every hole, m
    double maxDiameter = std::numeric_limits<double>::infinity(); // every hole, m
    std::vector<HoleLimits> holes{}; // per hole; a hole may be named once
    // For a caller that runs the drill choice beside a window: told the
    // fraction done as the search goes, and asked to stop once `cancel` is set.
    std::function<void(double)> progress{};
    const std::atomic<bool>* cancel{};
};

// One hole of a fitted instrument. Holes are numbered from the foot, as the
// calculator numbers them: hole 1 is the one nearest the foot.
struct FittedHole {
    std::size_t number = 0; // 1 = nearest the foot
    double fromFoot = 0;    // centre's distance from the foot end, m
    double diameter = 0;    // m
    std::string drill;      // the drill as its set names it ("9/32 in"); empty: not chosen
    double target = 0;      // the note this hole opens, Hz
    double predicted = 0;   // the model's first resonance of that note, Hz
    double cents = 0;       // predicted against target
    double cutoffRatio = 0; // the hole's local cutoff over its note, as the calculator defines it
};

// Something the maker should look at before drilling.
struct FitWarning {
    enum class Kind {
        BeyondReach, // neighbouring centres farther apart than the hand (or the hands) reach
    } kind = Kind::BeyondReach;
    std::size_t lowerHole = 0; // the lower of the two holes, numbered from the foot
    double distance = 0;       // centre distance, m
    std::string message;       // "holes 3 and 4: 62.0 mm between their centres (beyond ...)"
};

// Why nothing was fitted.
struct FitFailure {
    std::size_t hole = 0; // the hole that could not be placed (from the foot); 0: the length
    std::string message;  // which hole, why, and what would help
};

// The outcome of a fit: a complete geometry, or none at all.
struct PitchFit {
    std::optional<Geometry>
        geometry;                  // the fitted geometry, holes from the foot up; empty on failure
    std::vector<FittedHole> holes; // from the foot up
    std::vector<FingeringResult> predictions; // default fingerings, then the extra ones
    std::vector<FitWarning> warnings;
    double ratioSpread = 0; // largest cutoff ratio over the smallest, less one, in per cent
    std::optional<FitFailure> failure;
};

// Fits the length and every hole position of `geometry` (which `validate`
// accepted and which carries one target per default fingering) so that each
// default fingering's first resonance lies within kFitToleranceCents of its
// target; a fixed hole keeps its place and has its diameter fitted instead.
// Other diameters, mouth, calibration and air are kept. No two holes come
// closer than `options.minGap` edge to edge. On failure the result holds
// only `failure`.
PitchFit fit_to_pitch(const Geometry& geometry, const FitOptions& options = {});

// The calculator's cutoff ratio of each hole of `geometry`, from the foot
// up: the local cutoff c (d/D) / (2π √(h s)) over the hole's target, with
// the chimney h = 0.6133 d + wall and s the distance to the next hole below
// (the foot end for hole 1).
std::vector<double> cutoff_ratios(const Geometry& geometry);

} // namespace sorrel::tuning
