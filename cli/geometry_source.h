#pragma once
// Where the commands that work on a finished instrument (tune, template) take
// its geometry from: a geometry file, or a calculated slot of a design file.

#include "tuning/geometry.h"

#include <optional>
#include <string>

namespace sorrel {

// Whether `file` names a geometry file (*.json) rather than a design file.
bool is_geometry_file(const std::string& file);

// A geometry and what to call it on a printed page.
struct LoadedGeometry {
    tuning::Geometry geometry;
    std::string title; // the slot's description, or the geometry file's name
};

// The geometry `file` gives (slot `slot` when it is a design file), or empty
// with the reason told on stderr.
std::optional<LoadedGeometry> load_geometry(const std::string& file, int slot);

} // namespace sorrel
