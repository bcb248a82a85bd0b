#pragma once
// The properties of the air in the bore, from its temperature, humidity and
// carbon dioxide: an ideal mixture of dry air, water vapour and CO2.

#include "tuning/geometry.h"

namespace sorrel::tuning {

// What the wave equations need of the gas.
struct AirProperties {
    double speedOfSound = 0; // m/s
    double density = 0;      // kg/m³
    double viscosity = 0;    // shear viscosity η, Pa·s
    double prandtlRoot = 0;  // √Pr, the thermal boundary layer's ratio to the viscous one
    double gamma = 0;        // ratio of specific heats
};

AirProperties air_properties(const Air& air);

} // namespace sorrel::tuning
