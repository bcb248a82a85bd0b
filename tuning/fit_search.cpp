#include "tuning/fit_search.h"

#include "model/text_format.h"
#include "tuning/air.h"
#include "tuning/tuning_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace sorrel::tuning {
namespace {

constexpr int kMaxSteps = 80;           // expansion and refinement steps together
constexpr double kSmallestStep = 1e-10; // m: a bracket this narrow has its root

constexpr double kChimneyCoefficient = 0.6133; // the calculator's chimney correction, times d
constexpr double kClearance = 1e-6;            // m: holes and ends may come this close, never touch

bool opposite(double a, double b) {
    return (a < 0) != (b < 0);
}

} // namespace

std::optional<FitFailure> unfit_geometry(const Geometry& geometry) {
    if (geometry.targets.size() != geometry.holes.size() + 1)
        return FitFailure{0, format("targets_hz: a fit needs one target per default fingering, %zu",
                                    geometry.holes.size() + 1)};
    if (const std::optional<GeometryFault> fault = validate(geometry))
        return FitFailure{0, describe(*fault)};
    return std::nullopt;
}

std::optional<double> cents_off_target(const Geometry& geometry, const Fingering& fingering,
                                       double target) {
    FingeringResult result = predict_fingering(geometry, fingering, target);
    if (!result.first)
        result = predict_fingering(geometry, fingering, std::nullopt);
    if (!result.first)
        return std::nullopt;
    return cents_between(*result.first, target);
}

double cents_per_metre(const Geometry& geometry, double frequency) {
    const double c = air_properties(geometry.air).speedOfSound;
    const double divisor = geometry.mouth.kind == MouthKind::Closed ? 4.0 : 2.0;
    return 1200.0 / std::numbers::ln2 / (c / (divisor * frequency));
}

Placement place_rising(const std::function<std::optional<double>(double)>& centsAt, double low,
                       double high, double start, double centsPerMetre, double toleranceCents) {
    using Outcome = Placement::Outcome;
    if (!(low <= high))
        return {Outcome::NoRoom, low, 0};
    double a = std::clamp(start, low, high);
    std::optional<double> ca = centsAt(a);
    if (!ca)
        return {Outcome::NoResonance, a, 0};
    if (std::abs(*ca) <= toleranceCents)
        return {Outcome::Placed, a, *ca};

    // Walk toward the root along the guessed slope, doubling the step each
    // time the sign holds, until the root is bracketed or a range end passed.
    double step = -*ca / centsPerMetre;
    double b = a;
    std::optional<double> cb;
    int steps = 0;
    for (;; ++steps) {
        if (steps == kMaxSteps)
            return {Outcome::NoResonance, a, *ca};
        b = std::clamp(a + step, low, high);
        cb = centsAt(b);
        if (!cb)
            return {Outcome::NoResonance, b, 0};
        if (std::abs(*cb) <= toleranceCents)
            return {Outcome::Placed, b, *cb};
        if (opposite(*ca, *cb))
            break;
        if (b == low && *cb > 0)
            return {Outcome::SharpAtLow, b, *cb};
        if (b == high && *cb < 0)
            return {Outcome::FlatAtHigh, b, *cb};
        a = b;
        ca = cb;
        step = 2 * -*cb / centsPerMetre;
    }

    // False position with the Illinois halving: the bracket shrinks from both
    // sides even where the curve bends.
    double fa = *ca;
    double fb = *cb;
    for (; steps < kMaxSteps; ++steps) {
        const double x = b - fb * (b - a) / (fb - fa);
        const std::optional<double> fx = centsAt(x);
        if (!fx)
            return {Outcome::NoResonance, x, 0};
        if (std::abs(*fx) <= toleranceCents || std::abs(b - a) < kSmallestStep)
            return {Outcome::Placed, x, *fx};
        if (opposite(*fx, fb)) {
            a = b;
            fa = fb;
        } else {
            fa /= 2;
        }
        b = x;
        fb = *fx;
    }
    return {Outcome::NoResonance, b, fb};
}

double cutoff_ratio(const Geometry& geometry, const Hole& hole, double below, double target,
                    double c) {
    const double bore = bore_diameter_at(geometry, geometry.length - hole.fromFoot);
    const double chimney = kChimneyCoefficient * hole.diameter + hole.wall.value_or(geometry.wall);
    const double cutoff = c * (hole.diameter / bore) /
                          (2 * std::numbers::pi * std::sqrt(chimney * (hole.fromFoot - below)));
    return cutoff / target;
}

Placement place_length(Geometry& geometry, const Fingering& fingering, double target,
                       double toleranceCents) {
    double shortest = mouth_extent(geometry.mouth) + kClearance;
    if (!geometry.holes.empty()) {
        const Hole& top = geometry.holes.back();
        shortest += top.fromFoot + top.diameter / 2;
    }
    const double slope = cents_per_metre(geometry, target);
    const double longest = 4 * 1200.0 / std::numbers::ln2 / slope;
    // The note falls as the tube grows: search along minus the length.
    auto centsAt = [&](double x) {
        geometry.length = -x;
        return cents_off_target(geometry, fingering, target);
    };
    Placement placed =
        place_rising(centsAt, -longest, -shortest, -geometry.length, slope, toleranceCents);
    placed.value = -placed.value;
    geometry.length = placed.value;
    return placed;
}

Placement place_hole(Geometry& geometry, std::size_t index, const Fingering& fingering,
                     double target, double toleranceCents, double gap) {
    std::vector<Hole>& holes = geometry.holes;
    const double radius = holes[index].diameter / 2;
    double low = radius + kClearance;
    if (index > 0)
        low = holes[index - 1].fromFoot + holes[index - 1].diameter / 2 + radius +
              std::max(gap, kClearance);
    double high = geometry.length - mouth_extent(geometry.mouth) - radius - kClearance;
    if (index + 1 < holes.size())
        high = holes[index + 1].fromFoot - holes[index + 1].diameter / 2 - radius -
               std::max(gap, kClearance);
    auto centsAt = [&](double x) {
        holes[index].fromFoot = x;
        return cents_off_target(geometry, fingering, target);
    };
    const Placement placed = place_rising(centsAt, low, high, holes[index].fromFoot,
                                          cents_per_metre(geometry, target), toleranceCents);
    holes[index].fromFoot = placed.value;
    return placed;
}

Placement size_hole(Geometry& geometry, std::size_t index, const Fingering& fingering,
                    double target, double toleranceCents, double smallest, double largest,
                    double gap) {
    std::vector<Hole>& holes = geometry.holes;
    Hole& hole = holes[index];
    // Room for the radius: to the foot or the hole below, to the mouth or the
    // hole above, and within the bore.
    double room = hole.fromFoot - kClearance;
    if (index > 0)
        room = hole.fromFoot - holes[index - 1].fromFoot - holes[index - 1].diameter / 2 -
               std::max(gap, kClearance);
    if (index + 1 < holes.size())
        room = std::min(room, holes[index + 1].fromFoot - holes[index + 1].diameter / 2 -
                                  std::max(gap, kClearance) - hole.fromFoot);
    else
        room = std::min(room, geometry.length - mouth_extent(geometry.mouth) - kClearance -
                                  hole.fromFoot);
    const double bore = bore_diameter_at(geometry, geometry.length - hole.fromFoot);
    const double high = std::min({largest, 2 * room, bore * (1 - 1e-6)});
    const double low = std::max(smallest, kClearance);
    auto centsAt = [&](double d) {
        hole.diameter = d;
        return cents_off_target(geometry, fingering, target);
    };
    // A hole's diameter moves its note a few times as far as its place does.
    const Placement placed = place_rising(centsAt, low, high, hole.diameter,
                                          3 * cents_per_metre(geometry, target), toleranceCents);
    hole.diameter = placed.value;
    return placed;
}

} // namespace sorrel::tuning
