#pragma once
// A real instrument for the tuning tests: a high-D whistle's geometry and the
// tops of its measured playing ranges (tests/data/tuning/high_d_whistle.json,
// its source cited there), calibrated on its bottom note as played.

#include "tuning/geometry_json.h"
#include "tuning/tuning_model.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <optional>

namespace sorrel::tuning {

struct MeasuredWhistle {
    nlohmann::json fixture;         // the file: "geometry" as drilled, "measured_max_hz"
    std::optional<Geometry> played; // the geometry calibrated on "xxxxxx"; empty if refused
    std::string error;              // why it was refused
};

inline MeasuredWhistle measured_whistle() {
    MeasuredWhistle whistle;
    std::ifstream in(SORREL_TUNING_DATA "/high_d_whistle.json");
    whistle.fixture = nlohmann::json::parse(in);
    const GeometryRead read = read_geometry_json(whistle.fixture["geometry"].dump());
    if (!read.geometry) {
        whistle.error = read.error;
        return whistle;
    }
    const Fingering bottom = *parse_fingering("xxxxxx", 6, whistle.error);
    Calibration calibrated =
        calibrate(*read.geometry, bottom, whistle.fixture["measured_max_hz"]["xxxxxx"]);
    whistle.played = calibrated.geometry;
    whistle.error = calibrated.error;
    return whistle;
}

} // namespace sorrel::tuning
