// The model against a real instrument: a high-D whistle's measured playing
// ranges (tests/data/tuning/high_d_whistle.json, its source cited there),
// calibrated on the bottom note. The passive resonance sits at the top of a
// note's playing range, so that is what each prediction is compared with.

#include "tuning/geometry_json.h"
#include "tuning/tuning_model.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <iostream>

namespace {

using namespace sorrel::tuning;

TEST(Accuracy, AMeasuredWhistleIsPredictedWithinAFewCents) {
    std::ifstream in(SORREL_TUNING_DATA "/high_d_whistle.json");
    const nlohmann::json fixture = nlohmann::json::parse(in);
    const GeometryRead read = read_geometry_json(fixture["geometry"].dump());
    ASSERT_TRUE(read.geometry) << read.error;
    const nlohmann::json& measured = fixture["measured_max_hz"];

    std::string error;
    const Fingering bottom = *parse_fingering("xxxxxx", 6, error);
    const Calibration fit = calibrate(*read.geometry, bottom, measured["xxxxxx"]);
    ASSERT_TRUE(fit.geometry) << fit.error;

    std::vector<double> deviations;
    for (const Fingering& fingering : default_fingerings(6)) {
        const std::string text = fingering_text(fingering);
        if (fingering == bottom)
            continue;
        const double target = measured[text];
        const FingeringResult result = predict_fingering(*fit.geometry, fingering, target);
        ASSERT_TRUE(result.cents) << text;
        deviations.push_back(*result.cents);
        std::cout << text << ": " << *result.first << " Hz, measured " << target << " Hz, "
                  << *result.cents << " cents\n";
    }
    double sum = 0, squares = 0;
    for (double d : deviations)
        sum += d;
    const double mean = sum / deviations.size();
    for (double d : deviations)
        squares += (d - mean) * (d - mean);
    const double spread = std::sqrt(squares / deviations.size());
    std::cout << "window height " << fit.value * 1000 << " mm, mean " << mean
              << " cents, standard deviation " << spread << " cents\n";
    for (double d : deviations)
        EXPECT_LT(std::abs(d), 15);
    EXPECT_LT(spread, 6);
}

} // namespace
