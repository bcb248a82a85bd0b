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
    double sum = 0, squares = 0;
    const std::vector<Fingering> notes = default_fingerings(6);
    for (std::size_t k = 1; k < notes.size(); ++k) { // the bottom note was calibrated on
        const std::string text = fingering_text(notes[k]);
        const FingeringResult result = predict_fingering(*whistle.played, notes[k], measured[text]);
        ASSERT_TRUE(result.cents) << text;
        EXPECT_LT(std::abs(*result.cents), 15) << text;
        sum += *result.cents;
        squares += *result.cents * *result.cents;
        std::cout << text << ": " << *result.first << " Hz, measured " << measured[text] << " Hz, "
                  << *result.cents << " cents\n";
    }
    const double mean = sum / 6, spread = std::sqrt(squares / 6 - mean * mean);
    std::cout << "window height " << whistle.played->windowHeight * 1000 << " mm, mean " << mean
              << " cents, standard deviation " << spread << " cents\n";
    EXPECT_LT(spread, 6);
}

} // namespace
