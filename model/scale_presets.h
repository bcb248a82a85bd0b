#pragma once
// The scale presets of the Scales/Modes menu: six semitone steps each.

#include <array>
#include <cstdint>

namespace sorrel {

struct ScalePreset {
    const char* menuText;
    int command; // menu command number
    std::array<int32_t, 6> steps;
};

extern const std::array<ScalePreset, 6> kScalePresets;

} // namespace sorrel
