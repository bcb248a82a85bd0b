// The model against a real instrument: a high-D whistle's measured playing
// ranges (tests/data/tuning/high_d_whistle.json, its source cited there),
// calibrated on the bottom note. The passive resonance sits at the top of a
// note's playing range, so that is what each prediction is compared with.

#include "tests/measured_whistle.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>

namespace {

using namespace sorrel::tuning;

TEST(Accuracy, AMeasuredWhistleIsPredictedWithinAFewCents) {
    const MeasuredWhistle whistle = measured_whistle();
    ASSERT_TRUE(whistle.played) << whistle.error;
    const nlohmann::json& measured = whistle.fixture["measured_max_hz"];
    std::string error;
    const Fingering bottom = *parse_fingering("xxxxxx", 6, error);

    std::vector<double> deviations;
    for (const Fingering& fingering : default_fingerings(6)) {
        const std::string text = fingering_text(fingering);
        if (fingering == bottom)
            continue;
        const double target = measured[text];
        const FingeringResult result = predict_fingering(*whistle.played, fingering, target);
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
    std::cout << "window height " << whistle.played->windowHeight * 1000 << " mm, mean " << mean
              << " cents, standard deviation " << spread << " cents\n";
    for (double d : deviations)
        EXPECT_LT(std::abs(d), 15);
    EXPECT_LT(spread, 6);
}

} // namespace
