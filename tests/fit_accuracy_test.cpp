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
    const MeasuredWhistle measured = measured_whistle();
    ASSERT_TRUE(measured.played) << measured.error;
    Geometry whistle = *measured.played;
    for (const Fingering& fingering : default_fingerings(6))
        whistle.targets.push_back(measured.fixture["measured_max_hz"][fingering_text(fingering)]);
    const PitchFit fit = fit_to_pitch(whistle);
    ASSERT_TRUE(fit.geometry) << fit.failure->message;
    for (std::size_t k = 0; k < 6; ++k) {
        // The file lists the drilled holes top first.
        const double drilled = measured.fixture["geometry"]["holes"][5 - k]["from_foot_mm"];
        std::cout << "hole " << k + 1 << ": fitted " << fit.holes[k].fromFoot * 1000
                  << " mm, drilled " << drilled << " mm\n";
        EXPECT_NEAR(fit.holes[k].fromFoot * 1000, drilled, 1.2) << "hole " << k + 1;
    }
    std::cout << "length: fitted " << fit.geometry->length * 1000 << " mm, as built "
              << whistle.length * 1000 << " mm\n";
    EXPECT_NEAR(fit.geometry->length, whistle.length, 0.5e-3);
}

} // namespace
} // namespace sorrel::tuning
