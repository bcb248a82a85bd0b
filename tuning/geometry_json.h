#pragma once
// The geometry file: the tuning model's geometry as JSON, lengths in
// millimetres, the form other programs write and `sorrel-cli tune` reads.

#include "tuning/geometry.h"

#include <optional>
#include <string>
#include <string_view>

namespace sorrel::tuning {

// A geometry read from JSON, or why not.
struct GeometryRead {
    std::optional<Geometry> geometry; // empty when refused
    std::string error; // "holes[1].diameter_mm: must be a number above 0"; the JSON path first
};

// Reads a geometry from JSON text. Unknown keys, wrong types and values the
// model cannot use are refused with the JSON path of the first bad field.
GeometryRead read_geometry_json(std::string_view text);

// Reads the named file as `read_geometry_json` does. The file is opened as a
// design file is (read_regular_file): anything but a regular file of at most
// 16 MiB is refused, as is a file that cannot be read, with its path and
// the reason.
GeometryRead read_geometry_file(const std::string& path);

// The JSON text of `geometry`, in the form `read_geometry_json` reads back.
std::string write_geometry_json(const Geometry& geometry);

} // namespace sorrel::tuning
