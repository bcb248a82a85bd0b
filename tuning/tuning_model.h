#pragma once
// The tuning model: a one-dimensional transfer-matrix model of the finished
// tube (lossy bore, every hole open or closed, the foot's radiation, the
// window or embouchure) that predicts the resonances of each fingering.
//
// Every function here takes a geometry that `validate` accepted.

#include "tuning/air.h"
#include "tuning/elements.h"
#include "tuning/fingering.h"
#include "tuning/geometry.h"

#include <complex>
#include <optional>
#include <string>
#include <vector>

namespace sorrel::tuning {

// One element of a fingering's air column, from the top down.
struct ColumnElement {
    enum class Kind { Bore, OpenHole, ClosedHole } kind = Kind::Bore;
    double length = 0;     // bore piece length, m
    double radius = 0;     // bore radius of the piece, or at the hole, m
    double holeRadius = 0; // m
    double chimney = 0;    // the hole's chimney height, m
    HoleLengths hole;      // the hole's fixed lengths
};

// A fingering's air column, precomputed once so that each evaluation at a
// frequency allocates nothing.
class AirColumn {
public:
    AirColumn(const Geometry& geometry, const Fingering& fingering);

    // The impedance the excitation sees at `frequency` (Hz): Z_tot of the
    // window or embouchure in series with the bore and headspace, or the
    // input impedance at a closed mouthpiece. Pa·s/m³.
    std::complex<double> input_impedance(double frequency) const;

    // The bore's impedance below the mouth, at the top of the bore proper.
    std::complex<double> bore_impedance(double frequency) const;

    const AirProperties& air() const { return air_; }
    MouthKind mouth_kind() const { return mouthKind_; }
    // The jet's Strouhal number at the reference frequency: the blowing level.
    double strouhal() const { return strouhal_; }
    // The tube's open-open half-wave frequency c / 2L, Hz.
    double reference_frequency() const { return referenceFrequency_; }

private:
    void add_headspace(const Geometry& geometry);

    AirProperties air_;
    MouthKind mouthKind_ = MouthKind::Fipple;
    double windowArea_ = 0; // m²; unused for a closed mouth
    double neckLength_ = 0; // the window's or embouchure's neck, m
    double strouhal_ = 0;   // the blowing level of a played note
    double referenceFrequency_ = 0;
    double topRadius_ = 0;       // bore radius at the mouth, m
    double footRadius_ = 0;      // m
    double footOuterRadius_ = 0; // m
    std::vector<ColumnElement> elements_;
    std::vector<ColumnElement> headspace_; // closed stub beside the bore, from its top down
};

// The prediction for one fingering. Values not found are empty. Each
// resonance is the top of its note's playing range; the note as played lies
// below it.
struct FingeringResult {
    std::string fingering;               // "xxxooo"
    std::optional<double> target;        // Hz
    std::optional<double> first;         // the note's resonance, Hz: the target's, or the lowest
    std::optional<double> second;        // overblown register, Hz
    std::optional<double> cents;         // first resonance against the target
    std::optional<double> octaveStretch; // second against the ideal overblown interval, cents
    int mode = 0;                        // 1: `first` is the lowest resonance, 2 the next...
    std::optional<double> played;        // `first` as played, Hz
    std::optional<double> secondPlayed;  // `second` as played, Hz
};

// The resonance of `column` nearest `target` Hz within ±200 cents: the
// rising zero of the reactance, or for a closed mouthpiece the peak of the
// impedance's magnitude.
std::optional<double> resonance_near(const AirColumn& column, bool closed, double target);

// The ratio of the second register to the first in an ideal tube: 2 (an
// octave) for a fipple or embouchure, 3 (a twelfth) for a closed mouthpiece.
double overblow_ratio(MouthKind kind);

// The resonance nearest `target` within ±200 cents, in any register, or with
// no target the lowest one (for a closed mouthpiece always the lowest, which must still lie
// within ±200 cents of a target); then the second within ±200 cents of
// overblow_ratio times the first.
FingeringResult predict_fingering(const Geometry& geometry, const Fingering& fingering,
                                  std::optional<double> target);

// The default fingerings (with the geometry's targets, if any), then its
// extra fingerings, then its notes.
std::vector<FingeringResult> predict(const Geometry& geometry);

// Whether every resonance of `results` was found.
bool all_found(const std::vector<FingeringResult>& results);

// The outcome of fitting the calibration value to a measured note.
struct Calibration {
    std::optional<Geometry> geometry; // the geometry with the fitted value; empty when refused
    double value = 0;                 // the fitted window height or added length, m
    std::string error;                // why it was refused
};

// Fits the window height (fipple, embouchure) or the added mouthpiece length
// (closed) so that `fingering`'s first resonance equals `measured` Hz to
// 0.01 cents. Refuses when no value in a sane range fits, and when the fit
// would make `measured` another register than the first (an overblown note).
Calibration calibrate(const Geometry& geometry, const Fingering& fingering, double measured);

// Cents from `reference` to `frequency`.
double cents_between(double frequency, double reference);

} // namespace sorrel::tuning
