#include "tuning/rescue.h"

#include "model/text_format.h"
#include "tuning/air.h"
#include "tuning/calibration.h"
#include "tuning/fit_search.h"
#include "tuning/tuning_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sorrel::tuning {
namespace {

constexpr double kWorthCents = 0.5;   // a note this close is left alone
constexpr double kTrimStep = 1e-4;    // m: a foot is trimmed to the tenth of a millimetre
constexpr double kSearchCents = 0.01; // the trim's search
constexpr double kWidest = 0.8;       // an enlarged hole's largest diameter, times the bore
constexpr int kOffsetParts = 4;       // compromises tried, up to the sharpest note's excess

// The calibration of the prototype on every measured note, as `tune`
// calibrates.
NotesCalibration calibrated_on(const Geometry& built, const std::vector<PrototypeNote>& measured,
                               const std::vector<Fingering>& notes) {
    std::vector<MeasuredPitch> pitches;
    for (const PrototypeNote& note : measured)
        pitches.push_back({notes[note.note], note.frequency, note.played});
    return calibrate_notes(built, pitches);
}

// The calibrated model's pitch of `reading` on `geometry`, Hz; empty when
// the model finds none.
std::optional<double> model_pitch(const Geometry& geometry, const NoteReading& reading,
                                  const std::vector<Fingering>& notes) {
    const double first = reading.secondRegister
                             ? reading.target / overblow_ratio(geometry.mouth.kind)
                             : reading.target;
    const FingeringResult result = predict_fingering(geometry, notes[reading.measured.note], first);
    return reading.secondRegister ? result.second : result.first;
}

// Tracks each measured note through the changes: its measured cents moved
// by as much as the model moves it, so that the model's own error on each
// note stays out of the plan.
class NoteTracker {
public:
    NoteTracker(const Geometry& calibrated, const std::vector<NoteReading>& readings,
                double offsetCents)
        : readings_(readings), notes_(default_fingerings(calibrated.holes.size())),
          offset_(offsetCents) {
        for (const NoteReading& reading : readings)
            start_.push_back(model_pitch(calibrated, reading, notes_).value_or(0));
    }

    // Every note against its (offset) target on `geometry`; not a number
    // where the model finds none.
    std::vector<double> cents(const Geometry& geometry) const {
        std::vector<double> all;
        for (std::size_t n = 0; n < readings_.size(); ++n) {
            const std::optional<double> now = model_pitch(geometry, readings_[n], notes_);
            all.push_back(now && start_[n] > 0
                              ? readings_[n].cents - offset_ + cents_between(*now, start_[n])
                              : std::numeric_limits<double>::quiet_NaN());
        }
        return all;
    }

    // The reading of the first register of `note`, if measured.
    std::optional<std::size_t> reading_of(std::size_t note) const {
        for (std::size_t n = 0; n < readings_.size(); ++n)
            if (readings_[n].measured.note == note && !readings_[n].secondRegister)
                return n;
        return std::nullopt;
    }

private:
    const std::vector<NoteReading>& readings_;
    std::vector<Fingering> notes_;
    double offset_;
    std::vector<double> start_; // the calibrated model's pitch of each note as built, Hz
};

Geometry trimmed(Geometry geometry, double trim) {
    geometry.length -= trim;
    for (Hole& hole : geometry.holes)
        hole.fromFoot -= trim;
    return geometry;
}

// The trim that brings the bottom note up to its target, to the tenth of a
// millimetre, short of the lowest hole; 0 when the note is not flat.
double foot_trim(const Geometry& geometry, const NoteTracker& tracker, std::size_t reading) {
    const double cents = tracker.cents(geometry)[reading];
    if (!(cents < -kWorthCents))
        return 0;
    const Hole& lowest = geometry.holes.front();
    const double most = lowest.fromFoot - lowest.diameter / 2 - kMinEdgeGap;
    auto centsAt = [&](double trim) -> std::optional<double> {
        const double at = tracker.cents(trimmed(geometry, trim))[reading];
        return std::isnan(at) ? std::nullopt : std::optional<double>(at);
    };
    const Placement placed =
        place_rising(centsAt, 0, std::max(most, 0.0), 0,
                     cents_per_metre(geometry, geometry.targets[0]), kSearchCents);
    const double trim = std::floor(std::min(placed.value, most) / kTrimStep + 0.5) * kTrimStep;
    return std::max(trim, 0.0);
}

// The drill of the set, larger than hole k (from the foot up) and with room
// beside its neighbours, that brings its note nearest its target, if that
// is nearer than it is.
std::optional<RescueStep> best_enlargement(const Geometry& geometry, std::size_t k,
                                           const std::vector<Drill>& drills,
                                           const NoteTracker& tracker, std::size_t reading) {
    const std::vector<Hole>& holes = geometry.holes;
    const double now = tracker.cents(geometry)[reading];
    if (!(now < -kWorthCents))
        return std::nullopt; // a note in tune or sharp is never raised further
    double room = std::numeric_limits<double>::infinity(); // for the radius
    if (k > 0)
        room = holes[k].fromFoot - holes[k - 1].fromFoot - holes[k - 1].diameter / 2;
    if (k + 1 < holes.size())
        room =
            std::min(room, holes[k + 1].fromFoot - holes[k + 1].diameter / 2 - holes[k].fromFoot);
    const double widest =
        std::min(2 * (room - kMinEdgeGap),
                 kWidest * bore_diameter_at(geometry, geometry.length - holes[k].fromFoot));
    std::optional<RescueStep> best;
    double bestCents = std::abs(now);
    for (const Drill& drill : drills) {
        if (drill.diameter <= holes[k].diameter || drill.diameter > widest)
            continue;
        Geometry enlarged = geometry;
        enlarged.holes[k].diameter = drill.diameter;
        const std::vector<double> cents = tracker.cents(enlarged);
        if (!(std::abs(cents[reading]) < bestCents))
            continue;
        bestCents = std::abs(cents[reading]);
        best = RescueStep{RescueStep::Kind::Enlarge,
                          k + 1,
                          holes[k].diameter,
                          drill.diameter,
                          drill.label,
                          cents};
    }
    return best;
}

// The plan, from the calibrated prototype: the foot first (it sets the
// bottom note, which every hole's note stands on), then each hole from the
// foot up, as a maker tunes.
std::vector<RescueStep> plan(Geometry& geometry, const NoteTracker& tracker,
                             const std::vector<Drill>& drills) {
    std::vector<RescueStep> steps;
    if (const std::optional<std::size_t> bottom = tracker.reading_of(0)) {
        const double trim = foot_trim(geometry, tracker, *bottom);
        if (trim > 0) {
            const double before = geometry.length;
            geometry = trimmed(geometry, trim);
            steps.push_back({RescueStep::Kind::TrimFoot,
                             0,
                             before,
                             geometry.length,
                             {},
                             tracker.cents(geometry)});
        }
    }
    for (std::size_t k = 0; k < geometry.holes.size(); ++k) {
        const std::optional<std::size_t> reading = tracker.reading_of(k + 1);
        if (!reading)
            continue;
        if (std::optional<RescueStep> step =
                best_enlargement(geometry, k, drills, tracker, *reading)) {
            geometry.holes[k].diameter = step->after;
            steps.push_back(std::move(*step));
        }
    }
    return steps;
}

// The worst first-register note of `cents`, by its distance from target.
double worst(const std::vector<double>& cents, const std::vector<NoteReading>& readings) {
    double most = 0;
    for (std::size_t n = 0; n < readings.size(); ++n)
        if (!readings[n].secondRegister)
            most = std::max(most, std::abs(cents[n]));
    return most;
}

std::string remedy(std::size_t note) {
    if (note == 0)
        return "the tube is too short: fit a sleeve or a longer foot, or pull the tuning slide "
               "for every note";
    return format("hole %zu is too large or too high: tape part of it, or fill it and redrill "
                  "it nearer the foot",
                  note);
}

// The plan aimed `offsetCents` sharp of every target, whose notes the slide
// then brings down together, if it leaves the worst note nearer than `than`.
std::optional<Compromise> compromise(const Geometry& calibrated,
                                     const std::vector<NoteReading>& readings,
                                     const std::vector<Drill>& drills, double offsetCents,
                                     double than) {
    Geometry geometry = calibrated;
    const NoteTracker tracker(calibrated, readings, offsetCents);
    Compromise offset{offsetCents, 0, plan(geometry, tracker, drills), 0};
    offset.worstCents = worst(tracker.cents(geometry), readings);
    if (!(offset.worstCents < than))
        return std::nullopt;
    // The ideal tube's half (or quarter) wavelength at the bottom note,
    // lengthened in proportion to the pitch it lowers.
    const double divisor = calibrated.mouth.kind == MouthKind::Closed ? 4.0 : 2.0;
    const double wavelength =
        air_properties(calibrated.air).speedOfSound / (divisor * calibrated.targets[0]);
    offset.slide = wavelength * (std::exp2(offsetCents / 1200) - 1);
    return offset;
}

} // namespace

Rescue rescue_prototype(const Geometry& built, const std::vector<PrototypeNote>& measured,
                        const std::vector<Drill>& drills) {
    Rescue rescue;
    const std::vector<Fingering> notes = default_fingerings(built.holes.size());
    Geometry sorted = built;
    std::stable_sort(sorted.holes.begin(), sorted.holes.end(),
                     [](const Hole& a, const Hole& b) { return a.fromFoot < b.fromFoot; });
    const NotesCalibration calibration = calibrated_on(sorted, measured, notes);
    if (!calibration.geometry) {
        rescue.failure = "the calibration failed: " + calibration.error;
        return rescue;
    }
    rescue.calibrated = *calibration.geometry;
    rescue.calibration = rescue.calibrated.mouth.kind == MouthKind::Closed
                             ? rescue.calibrated.mouth.addedLength
                             : rescue.calibrated.windowHeight;
    for (std::size_t n = 0; n < measured.size(); ++n) {
        const PrototypeNote& pitch = measured[n];
        const bool second = calibration.matches[n].mode > 1;
        const double target =
            sorted.targets[pitch.note] * (second ? overblow_ratio(sorted.mouth.kind) : 1.0);
        rescue.readings.push_back({pitch, fingering_text(notes[pitch.note]), second, target,
                                   calibration.matches[n].predicted,
                                   cents_between(pitch.frequency, target)});
    }

    Geometry corrected = rescue.calibrated;
    const NoteTracker tracker(rescue.calibrated, rescue.readings, 0);
    rescue.steps = plan(corrected, tracker, drills);
    const std::vector<double> after = tracker.cents(corrected);
    rescue.worstCents = worst(after, rescue.readings);
    rescue.corrected = corrected;
    double sharpest = 0;
    for (std::size_t n = 0; n < after.size(); ++n) {
        if (rescue.readings[n].secondRegister || !(after[n] > kInTuneCents))
            continue;
        rescue.tooSharp.push_back({n, after[n], remedy(rescue.readings[n].measured.note)});
        sharpest = std::max(sharpest, after[n]);
    }
    // The offsets tried: fractions of the sharpest note's excess, the best kept.
    for (int part = 1; part <= kOffsetParts && sharpest > 0; ++part) {
        const double than = rescue.compromise ? rescue.compromise->worstCents : rescue.worstCents;
        if (std::optional<Compromise> better = compromise(
                rescue.calibrated, rescue.readings, drills, sharpest * part / kOffsetParts, than))
            rescue.compromise = std::move(better);
    }
    return rescue;
}

} // namespace sorrel::tuning
