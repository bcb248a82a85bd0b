#pragma once
// The next hole size up or down from a typed diameter, as the panel's nudge
// buttons step it: fractional drills in inches, whole millimetres in metric.
// Both step past the ends round to the other end.

#include <cstdint>

namespace sorrel {

enum class SizeStep { Up, Down };

// The next size in the entry units `unit` names. In inches, the fractional
// drills from 3/64 to 1/2 inch: a typed size within 1/84 inch of a drill
// counts as that drill, so a value shown with three decimals still steps to
// its neighbour. In millimetres, the typed size cut to whole millimetres,
// then one up (25 goes round to 0) or one down (0 goes round to 25).
float next_hole_size(float size, int32_t unit, SizeStep step);

} // namespace sorrel
