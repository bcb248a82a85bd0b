#include "model/scale_presets.h"

namespace sorrel {

const std::array<ScalePreset, 6> kScalePresets = {{
    {"Major Scale", 2010, {2, 2, 1, 2, 2, 2}},
    {"Harmonic Minor", 2024, {2, 1, 2, 2, 1, 3}},
    {"Natural Minor", 2012, {2, 1, 2, 2, 1, 2}},
    {"Melodic Minor", 2013, {2, 1, 2, 2, 2, 2}},
    {"Ahava Raba", 2014, {1, 3, 1, 2, 1, 2}},
    {"6 Hole Native Am", 2015, {3, 2, 2, 1, 2, 2}},
}};

} // namespace sorrel
