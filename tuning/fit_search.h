#pragma once
// The one-dimensional searches a fit is made of: move one length (the tube's,
// or one hole's distance from the foot) until one fingering sounds its
// target. Shared by the pitch fit and the drill choice.

#include "tuning/fingering.h"
#include "tuning/geometry.h"
#include "tuning/pitch_fit.h"

#include <cstddef>
#include <functional>
#include <optional>

namespace sorrel::tuning {

// Where a search along one length ended.
struct Placement {
    enum class Outcome {
        Placed,      // the fingering sounds its target at `value`
        SharpAtLow,  // even at the low end of the range the note is sharp
        FlatAtHigh,  // even at the high end of the range the note is flat
        NoResonance, // the model found no resonance to move
        NoRoom,      // the range is empty: the neighbours leave no room
    } outcome = Outcome::Placed;
    double value = 0; // where the search ended (the failing end when not placed), m
    double cents = 0; // the note against its target there
};

// Why `geometry` cannot be fitted at all: the model refuses it, or it lacks
// a target for some default fingering.
std::optional<FitFailure> unfit_geometry(const Geometry& geometry);

// fit_to_pitch for a geometry whose holes (from the foot up) are already
// near their fitted places: the sweeps start from them.
PitchFit refit_near(const Geometry& placed, const FitOptions& options);

// The note `fingering` sounds on `geometry` against `target`, in cents: the
// first resonance near the target, or the lowest one when none lies near.
std::optional<double> cents_off_target(const Geometry& geometry, const Fingering& fingering,
                                       double target);

// A bracketed search for x in [low, high] where `centsAt` (which rises with
// x) crosses zero, starting at `start`. `centsPerMetre` is a guess of the
// slope that sets the first steps; the search then closes in on the root by
// false position until the note lies within `toleranceCents`.
Placement place_rising(const std::function<std::optional<double>(double)>& centsAt, double low,
                       double high, double start, double centsPerMetre, double toleranceCents);

// The slope of a note's cents against a shift of the sounding length by one
// metre, for a note of `frequency` Hz: 1200 / ln 2 over the half (or, for a
// closed mouthpiece, quarter) wavelength.
double cents_per_metre(const Geometry& geometry, double frequency);

// Sets the length of `geometry` (holes from the foot up, kept where they
// are) so that `fingering` sounds `target`, between just above the top
// hole and four half wavelengths.
Placement place_length(Geometry& geometry, const Fingering& fingering, double target,
                       double toleranceCents);

// Moves hole `index` of `geometry` (holes from the foot up) between its
// neighbours, `gap` of wood from their edges (the foot end below the lowest
// hole, the mouth above the top one), so that `fingering` sounds `target`,
// starting from where it is.
Placement place_hole(Geometry& geometry, std::size_t index, const Fingering& fingering,
                     double target, double toleranceCents, double gap);

// Widens or narrows hole `index` of `geometry` (holes from the foot up),
// which stays where it is, within [smallest, largest], narrower than the
// bore and `gap` of wood from its neighbours' edges, so that `fingering`
// sounds `target`. The placement's value is the diameter.
Placement size_hole(Geometry& geometry, std::size_t index, const Fingering& fingering,
                    double target, double toleranceCents, double smallest, double largest,
                    double gap);

// The calculator's cutoff ratio of `hole`: its local cutoff
// c (d/D) / (2π √(h s)) over `target`, with the chimney h = 0.6133 d + wall,
// s the distance to the next open hole below (`below`, from the foot), D the
// bore there and c the speed of sound (m/s).
double cutoff_ratio(const Geometry& geometry, const Hole& hole, double below, double target,
                    double c);

} // namespace sorrel::tuning
