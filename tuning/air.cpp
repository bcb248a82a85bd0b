#include "tuning/air.h"

#include <cmath>

namespace sorrel::tuning {
namespace {

constexpr double kGasConstant = 8.314462618; // J/(mol K)
constexpr double kKelvinOffset = 273.15;

// Molar masses (g/mol) and molar heat capacities at constant pressure
// (J/(mol K)) of the three gases of breath.
constexpr double kMassDryAir = 28.965, kMassWater = 18.015, kMassCo2 = 44.01;
constexpr double kHeatDryAir = 29.10, kHeatWater = 33.60, kHeatCo2 = 37.10;

// Saturation vapour pressure over water, Pa, in the Magnus form of
// Alduchov & Eskridge 1996 (J. Appl. Meteor. 35, 601-609).
double saturation_pressure(double celsius) {
    return 610.94 * std::exp(17.625 * celsius / (celsius + 243.04));
}

} // namespace

// An ideal mixture of dry air, water vapour and CO2: mole fractions mix the
// molar mass and heat capacity (Pierce, Acoustics, ch. 1). The viscosity and
// the boundary-layer ratio follow Keefe 1984 (J. Acoust. Soc. Am. 75, 58-62).
AirProperties air_properties(const Air& air) {
    const double water =
        air.humidityPercent / 100 * saturation_pressure(air.temperature) / air.pressure;
    const double co2 = air.co2Percent / 100;
    const double dry = 1 - water - co2;
    const double molarMass = (dry * kMassDryAir + water * kMassWater + co2 * kMassCo2) / 1000;
    const double heat = dry * kHeatDryAir + water * kHeatWater + co2 * kHeatCo2;
    const double kelvin = air.temperature + kKelvinOffset;
    const double fromKeefeReference = air.temperature - 26.85;

    AirProperties properties;
    properties.gamma = heat / (heat - kGasConstant);
    properties.speedOfSound = std::sqrt(properties.gamma * kGasConstant * kelvin / molarMass);
    properties.density = air.pressure * molarMass / (kGasConstant * kelvin);
    properties.viscosity = 1.846e-5 * (1 + 0.0025 * fromKeefeReference);
    properties.prandtlRoot = 0.8410 * (1 - 0.00002 * fromKeefeReference);
    return properties;
}

} // namespace sorrel::tuning
