#pragma once
// The acoustic elements the tuning model strings together: the lossy bore,
// the tone hole's T-section, the open foot and the blowing end, each as a
// 2 × 2 complex transfer matrix or an impedance at one angular frequency.
// Time dependence e^{jωt}; SI units; impedances are acoustic (Pa·s/m³).

#include "tuning/air.h"

#include <complex>

namespace sorrel::tuning {

using Complex = std::complex<double>;

// num / den without the library's guards against overflow, which cost a
// third of an evaluation: the model's impedances and matrix entries stay
// many orders of magnitude inside the range of a double.
inline Complex divide(Complex num, Complex den) {
    return num * std::conj(den) / std::norm(den);
}

// A transfer matrix [[a, b], [c, d]] from (pressure, flow) below an element
// to (pressure, flow) above it.
struct Matrix2 {
    Complex a, b, c, d;
};

Complex determinant(const Matrix2& m);

// The impedance above an element whose matrix is `m`, loaded below by `load`.
Complex load_through(const Matrix2& m, Complex load);

// The plane wave in a tube of one radius.
struct TubeWave {
    Complex gamma;     // propagation constant Γ, 1/m
    Complex impedance; // characteristic impedance Z_c
};

// Keefe's lossy wave in a tube of `radius` m at `omega` rad/s. With no
// viscosity the tube is lossless: Γ = jω/c, Z_c = ρc/S.
TubeWave tube_wave(const AirProperties& air, double radius, double omega);

// A bore piece of `length` m.
Matrix2 cylinder_matrix(const TubeWave& wave, double length);

// The symmetric T-section of a series impedance `series` and a shunt
// impedance `shunt`.
Matrix2 tee_matrix(Complex series, Complex shunt);

// A tone hole's lengths that do not change with frequency, m.
struct HoleLengths {
    double matching = 0;       // t_m, the matching volume
    double inner = 0;          // t_i at low frequency
    double innerOpenSlope = 0; // the δ factor of the open hole's frequency term
    double seriesOpen = 0;     // t_a of an open hole
    double seriesClosed = 0;   // t_a of a closed hole
    double radiation = 0;      // t_r, a hole in a tube wall
};

HoleLengths hole_lengths(double boreRadius, double holeRadius, double chimney);

// A tone hole of `holeRadius` m through a wall of `chimney` m in a bore of
// `boreRadius` m, open or closed.
Matrix2 hole_matrix(const AirProperties& air, double omega, double boreRadius, double holeRadius,
                    double chimney, const HoleLengths& lengths, bool open);

// The radiation impedance of the open foot of radius `radius` m, its wall's
// outer radius `outerRadius` m.
Complex foot_impedance(const AirProperties& air, double omega, double radius, double outerRadius);

// The window or embouchure of area `area` m² and neck length `neckLength` m
// on a bore of `boreRadius` m: the mass the jet drives and its radiation
// resistance.
Complex window_impedance(const AirProperties& air, double omega, double area, double neckLength,
                         double boreRadius);

// The empirical neck length of a whistle window of `area` m² and height
// `height` m.
double window_neck_length(double area, double height);

// The characteristic impedance ρc/S of a tube of `radius` m, lossless.
double plane_impedance(const AirProperties& air, double radius);

} // namespace sorrel::tuning
