// Fit to pitch on a real instrument: a high-D whistle's bore, hole sizes and
// window with its measured notes (tests/data/tuning/high_d_whistle.json, its
// source cited there), calibrated on the bottom note. Fitted to the notes it
// was measured to play, its holes should land where its maker drilled them.

#include "tests/measured_whistle.h"
#include "tuning/pitch_fit.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>

namespace sorrel::tuning {
namespace {

TEST(FitAccuracy, AMeasuredWhistlesHolesAreFittedWhereTheyWereDrilled) {
    const MeasuredWhistle measuredWhistle = measured_whistle();
    ASSERT_TRUE(measuredWhistle.played) << measuredWhistle.error;
    const nlohmann::json& fixture = measuredWhistle.fixture;
    const nlohmann::json& measured = fixture["measured_max_hz"];
    Geometry whistle = *measuredWhistle.played;
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
              << measuredWhistle.played->length * 1000 << " mm\n";
    EXPECT_LT(worst, 1.2);
    EXPECT_NEAR(fit.geometry->length, measuredWhistle.played->length, 0.5e-3);
}

} // namespace
} // namespace sorrel::tuning
