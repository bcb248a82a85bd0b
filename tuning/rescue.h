#pragma once
// Rescue of a built prototype that plays out of tune: calibrated on the
// notes the maker measured, a plan of corrections that only remove
// material (a drilled hole cannot move and wood cannot be put back):
// enlarge a hole to a larger drill of the set, which raises the notes it
// vents, and trim the foot, which raises the notes the foot ends. What
// removal cannot mend (a note too sharp) is named with what a maker does
// instead, and with the compromise of a common offset taken up by the
// tuning slide or the joint.

#include "tuning/drill_choice.h"
#include "tuning/fingering.h"
#include "tuning/geometry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace sorrel::tuning {

inline constexpr double kInTuneCents = 5; // a rescued note lies this close to its target

// A note the maker played on the prototype, in either register.
struct PrototypeNote {
    std::size_t note = 0; // default fingering: 0 all closed, k the lowest k holes open
    bool played = false;  // a tuner's reading as played; otherwise the top of the note's range
    double frequency = 0; // Hz
};

// A measured note beside the calibrated model's prediction.
struct NoteReading {
    PrototypeNote measured;
    std::string fingering;       // "xxxxoo"
    bool secondRegister = false; // the calibration matched it to the fingering's second mode
    double target = 0;           // Hz; the second register's is overblow_ratio times the first's
    double predicted = 0;        // the calibrated model's pitch, as measured (played or top), Hz
    double cents = 0;            // measured against target
};

// One correction of the plan, in the order to make them.
struct RescueStep {
    enum class Kind { TrimFoot, Enlarge } kind = Kind::TrimFoot;
    std::size_t hole = 0;      // Enlarge: from the foot, 1 the nearest
    double before = 0;         // the length or the hole's diameter, m
    double after = 0;          // m
    std::string drill;         // Enlarge: the drill's name in its set
    std::vector<double> cents; // every measured note against its target after this step
};

// A note that removal cannot bring in, and what to do instead.
struct SharpNote {
    std::size_t reading = 0; // index into Rescue::readings
    double cents = 0;        // how sharp after the plan
    std::string remedy;      // "tape part of hole 3, or fill it and redrill it nearer the foot"
};

// The common offset that would serve better than the plan: every note aimed
// `offsetCents` sharp, then brought down together by pulling the tuning
// slide (or the joint) out by `slide`.
struct Compromise {
    double offsetCents = 0;
    double slide = 0;              // m
    std::vector<RescueStep> steps; // the plan for the offset targets
    double worstCents = 0;         // the worst note after the slide
};

struct Rescue {
    std::optional<std::string> failure; // why nothing was planned
    Geometry calibrated;                // the prototype as built, calibrated
    double calibration = 0;             // the window height or added length, m
    std::vector<NoteReading> readings;
    std::vector<RescueStep> steps;
    std::optional<Geometry> corrected; // the prototype after every step
    double worstCents = 0;             // the worst note after every step
    std::vector<SharpNote> tooSharp;
    std::optional<Compromise> compromise; // present when it does better than the plan
};

// Plans the rescue of `built` (which `validate` accepted, with one target
// per default fingering) from `measured` (at least one note; the model is
// calibrated on all of them as `tune` calibrates, each matched to the
// register nearest it), enlarging holes only to drills of `drills`.
Rescue rescue_prototype(const Geometry& built, const std::vector<PrototypeNote>& measured,
                        const std::vector<Drill>& drills);

} // namespace sorrel::tuning
