#include "tuning/elements.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sorrel::tuning {
namespace {

constexpr Complex kJ{0, 1};
constexpr double kFingerCapScale = 0.010; // m

double area_of(double radius) {
    return std::numbers::pi * radius * radius;
}

} // namespace

Complex determinant(const Matrix2& m) {
    return m.a * m.d - m.b * m.c;
}

Complex load_through(const Matrix2& m, Complex load) {
    return divide(m.a * load + m.b, m.c * load + m.d);
}

double plane_impedance(const AirProperties& air, double radius) {
    return air.density * air.speedOfSound / area_of(radius);
}

// Keefe 1984 (J. Acoust. Soc. Am. 75, 58-62), large-radius approximation.
// The first-order terms are written with γ and √Pr of the gas in the bore
// (1.045 and 0.369 for dry air); the higher orders are Keefe's constants.
TubeWave tube_wave(const AirProperties& air, double radius, double omega) {
    const double k = omega / air.speedOfSound;
    const double z0 = plane_impedance(air, radius);
    if (air.viscosity == 0)
        return {Complex(0, k), Complex(z0, 0)};
    const double inverse = 1 / (radius * std::sqrt(air.density * omega / air.viscosity));
    const double thermal = (air.gamma - 1) / air.prandtlRoot;
    const double gammaFirst = (1 + thermal) / std::numbers::sqrt2;
    const double impedanceFirst = (1 - thermal) / std::numbers::sqrt2;
    const double inverse2 = inverse * inverse, inverse3 = inverse2 * inverse;
    const Complex gamma = k * Complex(gammaFirst * inverse + 1.080 * inverse2 + 0.750 * inverse3,
                                      1 + gammaFirst * inverse);
    const Complex impedance =
        z0 * Complex(1 + impedanceFirst * inverse,
                     -(impedanceFirst * inverse + 1.149 * inverse2 + 0.303 * inverse3));
    return {gamma, impedance};
}

Matrix2 cylinder_matrix(const TubeWave& wave, double length) {
    const Complex grow = std::exp(wave.gamma * length);
    const Complex shrink = divide(1.0, grow);
    const Complex cosh = (grow + shrink) / 2.0;
    const Complex sinh = (grow - shrink) / 2.0;
    return {cosh, wave.impedance * sinh, divide(sinh, wave.impedance), cosh};
}

// Lefebvre & Scavone 2012 (J. Acoust. Soc. Am. 131, 3153-3163), eq. 2.
Matrix2 tee_matrix(Complex series, Complex shunt) {
    const Complex ratio = divide(series, shunt);
    const Complex half = 1.0 + ratio / 2.0;
    return {half, series * (1.0 + ratio / 4.0), divide(1.0, shunt), half};
}

// Lefebvre & Scavone 2012, eqs. 8, 11, 31, 33 and 34, and the δ factor of
// eq. 32.
HoleLengths hole_lengths(double boreRadius, double holeRadius, double chimney) {
    const double b = holeRadius;
    const double d = holeRadius / boreRadius;
    const double d2 = d * d, d3 = d2 * d, d4 = d3 * d, d5 = d4 * d;
    HoleLengths lengths;
    lengths.matching = b * d * (1 + 0.207 * d3) / 8;
    lengths.inner = b * (0.822 - 0.095 * d - 1.566 * d2 + 2.138 * d3 - 1.640 * d4 + 0.502 * d5);
    lengths.innerOpenSlope = 1 - 4.56 * d + 6.55 * d2;
    lengths.seriesOpen = (-0.35 + 0.06 * std::tanh(2.7 * chimney / b)) * b * d2;
    lengths.seriesClosed = (-0.12 - 0.17 * std::tanh(2.4 * chimney / b)) * b * d2;
    lengths.radiation = b * (0.822 - 0.47 * std::pow(b / (boreRadius + chimney), 0.8));
    return lengths;
}

// Lefebvre & Scavone 2012: open shunt eqs. 3 and 7 with the frequency term of
// eq. 32, closed shunt eq. 16; inside the chimney the wave number is the
// lossy one of a tube of the hole's radius.
Matrix2 hole_matrix(const AirProperties& air, double omega, double boreRadius, double holeRadius,
                    double chimney, const HoleLengths& lengths, bool open) {
    const double k = omega / air.speedOfSound;
    const Complex chimneyK = -kJ * tube_wave(air, holeRadius, omega).gamma;
    const double zHole = plane_impedance(air, holeRadius);
    const Complex seriesFactor = kJ * plane_impedance(air, boreRadius) * k;
    if (open) {
        const double ka = k * boreRadius;
        const double inner =
            lengths.inner *
            (1 + lengths.innerOpenSlope *
                     (0.17 * ka + 0.92 * ka * ka + 0.16 * ka * ka * ka - 0.29 * ka * ka * ka * ka));
        const double kb = k * holeRadius;
        const Complex shunt =
            zHole * (kb * kb / 4 +
                     kJ * (k * inner +
                           std::tan(chimneyK * (chimney + lengths.matching + lengths.radiation))));
        return tee_matrix(seriesFactor * lengths.seriesOpen, shunt);
    }
    // The finger closing the hole bulges into it by about b²/0.010 m (Dickens
    // 2007, PhD thesis, University of New South Wales), never past the bore's wall.
    const double underFinger = std::max(chimney - holeRadius * holeRadius / kFingerCapScale, 0.0);
    const Complex shunt =
        kJ * zHole *
        (k * lengths.inner - divide(1.0, std::tan(chimneyK * (underFinger + lengths.matching))));
    return tee_matrix(seriesFactor * lengths.seriesClosed, shunt);
}

// The unflanged end of Levine & Schwinger 1948 growing toward the flanged one
// with the wall: Dalmont & Nederveen 2001 (J. Sound Vib. 244, 505-534),
// eq. 41 for the length correction, with their fit of the reflection
// magnitude.
Complex foot_impedance(const AirProperties& air, double omega, double radius, double outerRadius) {
    const double k = omega / air.speedOfSound;
    const double ka = k * radius;
    const double ratio = radius / outerRadius;
    const double correction =
        radius * (0.8216 + ratio * (0.6133 - 0.8216) + 0.057 * ratio * (1 - std::pow(ratio, 5)));
    const double magnitude = (1 + 0.2 * ka - 0.084 * ka * ka) / (1 + 0.2 * ka + 0.416 * ka * ka);
    const Complex reflection = -magnitude * std::exp(-2.0 * kJ * k * correction);
    return plane_impedance(air, radius) * divide(1.0 + reflection, 1.0 - reflection);
}

// The window as a short neck driven by the jet; its resistance is the
// flanged radiation resistance of the bore, (ka)²/2 of ρc/S.
Complex window_impedance(const AirProperties& air, double omega, double area, double neckLength,
                         double boreRadius) {
    const double ka = omega / air.speedOfSound * boreRadius;
    const double resistance = plane_impedance(air, boreRadius) * ka * ka / 2;
    return {resistance, air.density * omega * neckLength / area};
}

// The empirical neck length of a whistle window given with the tuning
// model's sources: 0.684 √(L_w W_w) + 0.457 h.
double window_neck_length(double area, double height) {
    return 0.684 * std::sqrt(area) + 0.457 * height;
}

} // namespace sorrel::tuning
