#pragma once
// The drilling template of a tuning geometry: a geometry file, or the holes
// the tuning check fitted or the maker edited.

#include "drilling/drilling_plan.h"
#include "tuning/geometry.h"

#include <string>

namespace sorrel {

// The template of `geometry`, which `tuning::validate` accepted: its length,
// its holes numbered from the foot, each named by its drill ("5/16 in" for a
// size in whole 64ths of an inch, else "7.5 mm"), and the mouth at the top.
// The first note is the geometry's first target, if it has one. `date` is
// printed as given.
DrillingPlan plan_from_geometry(const tuning::Geometry& geometry, const std::string& date);

// A drill of `diameter_mm` as a maker names it: an inch fraction when the
// size is a whole number of 64ths, else millimetres.
std::string drill_name_of_size(double diameter_mm);

} // namespace sorrel
