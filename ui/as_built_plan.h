#pragma once
// The drilling template of an instrument as built or fitted in the Tuning
// window: the design's own template, its tube cut to the geometry's length
// and its holes where the geometry puts them, each named by its drill.

#include "drilling/drilling_plan.h"
#include "tuning/drill_choice.h"
#include "tuning/geometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sorrel::ui {

// `design` is the template of the design's last Calc, `unit` its entry unit.
// The holes of `geometry` lie from the foot up and keep their numbers.
// `drills` names the drill of each hole of `geometry`, in its order, or is
// empty: each hole is then named by its size in the entry unit. `positions`
// says where the positions come from.
DrillingPlan as_built_plan(DrillingPlan design, const tuning::Geometry& geometry,
                           const std::vector<tuning::Drill>& drills, int32_t unit,
                           std::string positions);

} // namespace sorrel::ui
