// Fit to pitch on a real instrument: a high-D whistle's bore, hole sizes and
// window with its measured notes (tests/data/tuning/high_d_whistle.json, its
// source cited there), calibrated on the bottom note. Fitted to the notes it
// was measured to play, its holes should land where its maker drilled them.

#include "tuning/geometry_json.h"
#include "tuning/pitch_fit.h"
#include "tuning/tuning_model.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <iostream>

namespace sorrel::tuning {
namespace {

TEST(FitAccuracy, AMeasuredWhistlesHolesAreFittedWhereTheyWereDrilled) {
    std::ifstream in(SORREL_TUNING_DATA "/high_d_whistle.json");
    const nlohmann::json fixture = nlohmann::json::parse(in);
    const GeometryRead read = read_geometry_json(fixture["geometry"].dump());
    ASSERT_TRUE(read.geometry) << read.error;
    const nlohmann::json& measured = fixture["measured_max_hz"];

    std::string error;
    const Calibration calibrated =
        calibrate(*read.geometry, *parse_fingering("xxxxxx", 6, error), measured["xxxxxx"]);
    ASSERT_TRUE(calibrated.geometry) << calibrated.error;
    Geometry whistle = *calibrated.geometry;
    for (const Fingering& fingering : default_fingerings(6))
        whistle.targets.push_back(measured[fingering_text(fingering)]);

    const PitchFit fit = fit_to_pitch(whistle);
    ASSERT_TRUE(fit.geometry) << fit.failure->message;
    // The drilled holes from the foot up, as the file lists them top first.
    const nlohmann::json& holes = fixture["geometry"]["holes"];
    double worst = 0;
    for (std::size_t k = 0; k < 6; ++k) {
        const double drilled = holes[5 - k]["from_foot_mm"];
        const double fitted = fit.holes[k].fromFoot * 1000;
        std::cout << "hole " << k + 1 << ": fitted " << fitted << " mm, drilled " << drilled
                  << " mm\n";
        worst = std::max(worst, std::abs(fitted - drilled));
    }
    std::cout << "length: fitted " << fit.geometry->length * 1000 << " mm, as built "
              << read.geometry->length * 1000 << " mm\n";
    EXPECT_LT(worst, 1.2);
    EXPECT_NEAR(fit.geometry->length, read.geometry->length, 0.5e-3);
}

} // namespace
} // namespace sorrel::tuning
