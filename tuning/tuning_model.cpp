#include "tuning/tuning_model.h"

#include "tuning/played_pitch.h"
#include "tuning/resonance.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

namespace sorrel::tuning {
namespace {

constexpr double kMaxPieceLength = 1e-3; // longest cylinder standing in for a cone, m

double radius_at(const Geometry& geometry, double fromTop) {
    return bore_diameter_at(geometry, fromTop) / 2;
}

double mouth_area(const Mouth& mouth) {
    if (mouth.kind == MouthKind::Embouchure && mouth.windowLength == 0)
        return std::numbers::pi * mouth.diameter * mouth.diameter / 4;
    return mouth.windowLength * mouth.windowWidth;
}

void add_cylinder(double length, double radius, std::vector<ColumnElement>& elements) {
    ColumnElement piece;
    piece.length = length;
    piece.radius = radius;
    elements.push_back(piece);
}

// Bore pieces from `from` to `to` m below the top: one cylinder where the
// bore does not change, cylinders of at most kMaxPieceLength along a cone.
void add_bore(const Geometry& geometry, double from, double to,
              std::vector<ColumnElement>& elements) {
    if (to <= from)
        return;
    const double top = radius_at(geometry, from), bottom = radius_at(geometry, to);
    // Along a cone each piece takes the radius at its middle, never the 0 of
    // a rounded top.
    const int pieces =
        top == bottom ? 1 : static_cast<int>(std::ceil((to - from) / kMaxPieceLength));
    const double length = (to - from) / pieces;
    for (int i = 0; i < pieces; ++i)
        add_cylinder(length, radius_at(geometry, from + (i + 0.5) * length), elements);
}

} // namespace

AirColumn::AirColumn(const Geometry& geometry, const Fingering& fingering)
    : air_(air_properties(geometry.air)), mouthKind_(geometry.mouth.kind),
      windowArea_(mouth_area(geometry.mouth)),
      neckLength_(window_neck_length(windowArea_, geometry.windowHeight)),
      strouhal_(geometry.strouhal), referenceFrequency_(air_.speedOfSound / (2 * geometry.length)),
      topRadius_(radius_at(geometry, mouth_position(geometry.mouth))),
      footRadius_(radius_at(geometry, geometry.length)),
      footOuterRadius_(footRadius_ + geometry.wall) {
    if (mouthKind_ == MouthKind::Closed && geometry.mouth.addedLength > 0)
        add_cylinder(geometry.mouth.addedLength, topRadius_, elements_);
    add_headspace(geometry);

    // Break points: every hole centre and profile point along the bore.
    const double start = mouth_position(geometry.mouth);
    const std::vector<Hole> holes = holes_top_first(geometry);
    std::vector<double> breaks;
    for (const BorePoint& point : geometry.boreProfile)
        if (point.fromTop > start && point.fromTop < geometry.length)
            breaks.push_back(point.fromTop);
    double from = start;
    std::size_t next = 0;
    auto bore_to = [&](double to) {
        for (; next < breaks.size() && breaks[next] < to; ++next) {
            add_bore(geometry, from, breaks[next], elements_);
            from = breaks[next];
        }
        add_bore(geometry, from, to, elements_);
        from = to;
    };
    for (std::size_t i = 0; i < holes.size(); ++i) {
        const double at = geometry.length - holes[i].fromFoot;
        bore_to(at);
        ColumnElement hole;
        hole.kind =
            fingering.open[i] ? ColumnElement::Kind::OpenHole : ColumnElement::Kind::ClosedHole;
        hole.radius = radius_at(geometry, at);
        hole.holeRadius = holes[i].diameter / 2;
        hole.chimney = holes[i].wall.value_or(geometry.wall);
        hole.hole = hole_lengths(hole.radius, hole.holeRadius, hole.chimney);
        elements_.push_back(hole);
    }
    bore_to(geometry.length);
}

// The closed space above the mouth: the bore's own profile above the
// splitting edge or embouchure when the file places the mouth, otherwise a
// fipple's window length or an embouchure's headspace of the bore's radius.
void AirColumn::add_headspace(const Geometry& geometry) {
    const Mouth& mouth = geometry.mouth;
    if (mouth.kind == MouthKind::Closed)
        return;
    if (mouth.position) {
        std::vector<double> points{0};
        for (const BorePoint& point : geometry.boreProfile)
            if (point.fromTop > 0 && point.fromTop < *mouth.position)
                points.push_back(point.fromTop);
        points.push_back(*mouth.position);
        for (std::size_t i = 1; i < points.size(); ++i)
            add_bore(geometry, points[i - 1], points[i], headspace_);
        return;
    }
    const double length = mouth.kind == MouthKind::Fipple
                              ? mouth.windowLength
                              : mouth.headspace.value_or(2 * radius_at(geometry, 0));
    if (length > 0)
        add_cylinder(length, radius_at(geometry, 0), headspace_);
}

// From the foot up: each element's matrix carries the load to its top.
Complex AirColumn::bore_impedance(double frequency) const {
    const double omega = 2 * std::numbers::pi * frequency;
    Complex impedance = foot_impedance(air_, omega, footRadius_, footOuterRadius_);
    double waveRadius = -1;
    TubeWave wave{};
    for (auto element = elements_.rbegin(); element != elements_.rend(); ++element) {
        if (element->kind == ColumnElement::Kind::Bore) {
            if (element->radius != waveRadius) {
                wave = tube_wave(air_, element->radius, omega);
                waveRadius = element->radius;
            }
            impedance = load_through(cylinder_matrix(wave, element->length), impedance);
        } else {
            impedance = load_through(hole_matrix(air_, omega, element->radius, element->holeRadius,
                                                 element->chimney, element->hole,
                                                 element->kind == ColumnElement::Kind::OpenHole),
                                     impedance);
        }
    }
    return impedance;
}

// The window or embouchure in series with the bore, the headspace in
// parallel with it (the blowing-end model given with the tuning model's
// sources; the stub is a closed tube, Z_c coth Γℓ).
Complex AirColumn::input_impedance(double frequency) const {
    const Complex bore = bore_impedance(frequency);
    if (mouthKind_ == MouthKind::Closed)
        return bore;
    const double omega = 2 * std::numbers::pi * frequency;
    // The stub's admittance, from its closed top down to the mouth; bore and
    // stub in parallel add their admittances.
    Complex stub = 0;
    for (const ColumnElement& piece : headspace_) {
        const TubeWave wave = tube_wave(air_, piece.radius, omega);
        const Matrix2 m = cylinder_matrix(wave, piece.length);
        stub = load_through({m.d, m.c, m.b, m.a}, stub);
    }
    const Complex below = divide(bore, 1.0 + bore * stub);
    return window_impedance(air_, omega, windowArea_, neckLength_, topRadius_) + below;
}

std::optional<double> resonance_near(const AirColumn& column, bool closed, double target) {
    if (closed)
        return peak_near([&](double f) { return std::abs(column.input_impedance(f)); }, target);
    return rising_zero_near([&](double f) { return column.input_impedance(f).imag(); }, target);
}

double overblow_ratio(MouthKind kind) {
    return kind == MouthKind::Closed ? 3 : 2;
}

double cents_between(double frequency, double reference) {
    return 1200 * std::log2(frequency / reference);
}

namespace {

// Where the search for the lowest resonance starts: below the tube's
// half-wave note (a closed mouthpiece's added length included) by an octave,
// which no window or embouchure lowers it by, or for a closed mouthpiece by
// two octaves below its quarter wave.
double search_floor(const Geometry& geometry, const AirColumn& column) {
    const bool closed = geometry.mouth.kind == MouthKind::Closed;
    const double length = geometry.length + (closed ? geometry.mouth.addedLength : 0);
    return column.air().speedOfSound / (2 * length) / (closed ? 8 : 2);
}

std::optional<double> lowest_resonance(const Geometry& geometry, const AirColumn& column,
                                       bool closed) {
    const double from = search_floor(geometry, column), to = from * 16;
    if (closed)
        return lowest_peak([&](double f) { return std::abs(column.input_impedance(f)); }, from, to);
    return lowest_rising_zero([&](double f) { return column.input_impedance(f).imag(); }, from, to);
}

} // namespace

FingeringResult predict_fingering(const Geometry& geometry, const Fingering& fingering,
                                  std::optional<double> target) {
    const AirColumn column(geometry, fingering);
    const bool closed = geometry.mouth.kind == MouthKind::Closed;
    FingeringResult result;
    result.fingering = fingering_text(fingering);
    result.target = target;
    // A closed mouthpiece sounds its lowest resonance, whatever the target;
    // it counts only within reach of the target, as any other does.
    if (target && !closed)
        result.first = resonance_near(column, closed, *target);
    else
        result.first = lowest_resonance(geometry, column, closed);
    if (result.first && target && std::abs(cents_between(*result.first, *target)) > kSearchCents)
        result.first.reset();
    if (!result.first)
        return result;
    if (target)
        result.cents = cents_between(*result.first, *target);
    // The mode counts the rising zeros below the note's own (a closed
    // mouthpiece sounds its lowest).
    auto reactance = [&](double f) { return column.input_impedance(f).imag(); };
    result.mode = closed ? 1
                         : 1 + rising_zeros_between(reactance, search_floor(geometry, column),
                                                    *result.first * (1 - 1e-9));
    result.played = played_pitch(column, *result.first, result.mode);
    const double ideal = overblow_ratio(geometry.mouth.kind) * *result.first;
    result.second = resonance_near(column, closed, ideal);
    if (result.second) {
        result.octaveStretch = cents_between(*result.second, ideal);
        const int secondMode = closed
                                   ? 2
                                   : result.mode + 1 +
                                         rising_zeros_between(reactance, *result.first * (1 + 1e-9),
                                                              *result.second * (1 - 1e-9));
        result.secondPlayed = played_pitch(column, *result.second, secondMode);
    }
    return result;
}

std::vector<FingeringResult> predict(const Geometry& geometry) {
    std::vector<FingeringResult> results;
    const std::vector<Fingering> defaults = default_fingerings(geometry.holes.size());
    for (std::size_t i = 0; i < defaults.size(); ++i)
        results.push_back(predict_fingering(
            geometry, defaults[i],
            geometry.targets.empty() ? std::nullopt : std::optional(geometry.targets[i])));
    std::string error;
    for (const std::string& text : geometry.extraFingerings)
        results.push_back(predict_fingering(
            geometry, *parse_fingering(text, geometry.holes.size(), error), std::nullopt));
    for (const Note& note : geometry.notes)
        results.push_back(predict_fingering(
            geometry, *parse_fingering(note.fingering, geometry.holes.size(), error), note.target));
    return results;
}

bool all_found(const std::vector<FingeringResult>& results) {
    return std::all_of(results.begin(), results.end(),
                       [](const FingeringResult& result) { return result.first && result.second; });
}

namespace {

// The sane range of the calibration value and how finely it is first sampled.
constexpr double kMaxWindowHeight = 20e-3; // m
constexpr double kMaxAddedLength = 200e-3; // m
constexpr int kCalibrationSamples = 40;

// How far a calibrated first register may lie from the measurement: the
// fit itself is good to 0.01 cents.
constexpr double kRegisterCents = 0.05;

double& calibration_value(Geometry& geometry) {
    return geometry.mouth.kind == MouthKind::Closed ? geometry.mouth.addedLength
                                                    : geometry.windowHeight;
}

Calibration refusal(std::string error) {
    Calibration refused;
    refused.error = std::move(error);
    return refused;
}

// `frequency` with two decimals, whatever the user's locale.
std::string hertz_text(double frequency) {
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), frequency,
                                       std::chars_format::fixed, 2);
    return std::string(text.data(), written.ptr);
}

} // namespace

Calibration calibrate(const Geometry& geometry, const Fingering& fingering, double measured) {
    const bool closed = geometry.mouth.kind == MouthKind::Closed;
    const double top = closed ? kMaxAddedLength : kMaxWindowHeight;
    Geometry trial = geometry;
    // Cents of the predicted note above the measured one; NaN when the
    // resonance is not within reach of the measurement.
    auto deviation = [&](double value) {
        calibration_value(trial) = value;
        const std::optional<double> first =
            resonance_near(AirColumn(trial, fingering), closed, measured);
        return first ? cents_between(*first, measured) : std::nan("");
    };
    double lo = 0, below = deviation(lo);
    for (int i = 1; i <= kCalibrationSamples; ++i) {
        const double hi = top * i / kCalibrationSamples, above = deviation(hi);
        // A larger window height or added length lowers every note.
        if (below >= 0 && above <= 0) {
            Calibration calibration;
            calibration.value = below == 0 ? lo : brent_root(deviation, lo, hi, below, above);
            calibration_value(trial) = calibration.value;
            // A note heard in the wrong register is matched by a higher
            // resonance than the fingering's first: such a fit would mislead
            // every prediction made from it.
            const std::optional<double> first =
                lowest_resonance(trial, AirColumn(trial, fingering), closed);
            if (!first || std::abs(cents_between(*first, measured)) > kRegisterCents)
                return refusal(hertz_text(measured) + " Hz is not the first register of " +
                               fingering_text(fingering) +
                               "; was the note overblown or fingered otherwise?");
            calibration.geometry = trial;
            return calibration;
        }
        lo = hi;
        below = above;
    }
    return refusal(std::string("no ") + (closed ? "added length" : "window height") +
                   " from 0 to " + std::to_string(static_cast<int>(top * 1000)) + " mm brings " +
                   fingering_text(fingering) + " to the measured frequency");
}

} // namespace sorrel::tuning
