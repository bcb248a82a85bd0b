// A real instrument: a high-D whistle's bore, holes and window with the tops
// of its measured playing ranges (tests/data/tuning/high_d_whistle.json, its
// source cited there), calibrated on the bottom note. The passive resonance
// sits at the top of a note's playing range, so that is what is compared.

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

struct MeasuredWhistle : testing::Test {
    void SetUp() override {
        std::ifstream in(SORREL_TEST_DATA "/tuning/high_d_whistle.json");
        const nlohmann::json file = nlohmann::json::parse(in);
        // The first register, eight notes with a cross-fingering: the top of
        // each range by fingering.
        for (std::size_t k = 0; k < 8; ++k)
            measured[file["measured"][k]["fingering"].get<std::string>()] =
                file["measured"][k]["max_hz"];
        drilled = file["geometry"]["holes"];
        const GeometryRead read = read_geometry_json(file["geometry"].dump());
        ASSERT_TRUE(read.geometry) << read.error;
        const Calibration calibrated = calibrate(*read.geometry, notes[0], measured["xxxxxx"]);
        ASSERT_TRUE(calibrated.geometry) << calibrated.error;
        played = *calibrated.geometry;
    }
    const std::vector<Fingering> notes = default_fingerings(6);
    nlohmann::json measured, drilled; // Hz by fingering; the holes as drilled, top first
    Geometry played;
};

TEST_F(MeasuredWhistle, IsPredictedWithinAFewCents) {
    double sum = 0, squares = 0;
    for (std::size_t k = 1; k < notes.size(); ++k) { // the bottom note was calibrated on
        const std::string text = fingering_text(notes[k]);
        const FingeringResult result = predict_fingering(played, notes[k], measured[text]);
        ASSERT_TRUE(result.cents) << text;
        EXPECT_LT(std::abs(*result.cents), 15) << text;
        sum += *result.cents;
        squares += *result.cents * *result.cents;
        std::cout << text << ": " << *result.first << " Hz, measured " << measured[text] << " Hz, "
                  << *result.cents << " cents\n";
    }
    const double mean = sum / 6, spread = std::sqrt(squares / 6 - mean * mean);
    std::cout << "mean " << mean << " cents, standard deviation " << spread << " cents\n";
    EXPECT_LT(spread, 6);
}

// Fitted to the notes it was measured to play, its holes land where its
// maker drilled them.
TEST_F(MeasuredWhistle, HasItsHolesFittedWhereTheyWereDrilled) {
    for (const Fingering& fingering : notes)
        played.targets.push_back(measured[fingering_text(fingering)]);
    const PitchFit fit = fit_to_pitch(played);
    ASSERT_TRUE(fit.geometry) << fit.failure->message;
    for (std::size_t k = 0; k < 6; ++k) {
        const double mm = drilled[5 - k]["from_foot_mm"];
        std::cout << "hole " << k + 1 << ": fitted " << fit.holes[k].fromFoot * 1000
                  << " mm, drilled " << mm << " mm\n";
        EXPECT_NEAR(fit.holes[k].fromFoot * 1000, mm, 1.2) << "hole " << k + 1;
    }
    EXPECT_NEAR(fit.geometry->length, played.length, 0.5e-3);
}

} // namespace
} // namespace sorrel::tuning
