#pragma once
// Entry units and their conversions. The calculation works in centimetres;
// the maker enters lengths in inches or millimetres.

#include "model/circuit_record.h"

#include <optional>

namespace sorrel {

inline constexpr float kCmPerInch = 2.54f;     // inch entries to centimetres
inline constexpr double kMmPerCm = 10;         // millimetre entries to centimetres
inline constexpr double kMmPerInch = 25.4;     // hole positions and metric spacings
inline constexpr float kSwitchToMm = 25.4f;    // unit switch, inches to millimetres
inline constexpr float kSwitchToIn = 0.03937f; // unit switch back: not 1/25.4

// Entry length in centimetres: inches × 2.54 when `unit` is English, else millimetres ÷ 10.
float entry_to_cm(float length, int32_t unit);

// The factor the unit switch multiplies entry lengths by when a design moves
// from `from` to `to`: 25.4 from English to metric, 0.03937 from metric to
// English, none otherwise.
std::optional<float> unit_switch_factor(int32_t from, int32_t to);

// Multiplies every stored entry length the unit switch converts: bore, wall,
// embouchure, hole diameters, bore at each hole and the between-centres spacings.
void scale_entry_lengths(CircuitRecord& circuit, float factor);

// Multiplies the bore diameters at the foot and at each hole.
void scale_bore_at_holes(CircuitRecord& circuit, float factor);

} // namespace sorrel
