// A made-up prototype: a fitted whistle of half-millimetre drills, built
// with holes drilled 0.5 to 1 mm too small and the foot 3 mm too long, its
// notes "measured" by the model with a window height of 3 mm. The rescue
// must find the calibration, the trim and the drills the design had.

#include "tests/fit_instruments.h"
#include "tuning/drill_choice.h"
#include "tuning/pitch_fit.h"
#include "tuning/rescue.h"
#include "tuning/tuning_model.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

namespace sorrel::tuning {
namespace {

constexpr double kPlayedWindow = 0.003; // m: the calibration the rescue must find

// The design: the test whistle's holes on half-millimetre drills, fitted
// at the window height it plays with.
Geometry design() {
    Geometry whistle = test::instrument("d_whistle");
    whistle.windowHeight = kPlayedWindow;
    const double drills[] = {6.0, 7.0, 6.0, 6.0, 7.5, 6.5}; // mm, from the foot
    for (std::size_t k = 0; k < 6; ++k)
        whistle.holes[k].diameter = drills[k] / 1000;
    return *fit_to_pitch(whistle).geometry;
}

// What the prototype plays, as the model at its window height hears it: a
// tuner's reading as played, or the top of each note's range.
std::vector<PrototypeNote> played(Geometry built, bool asPlayed = false) {
    built.windowHeight = kPlayedWindow;
    std::vector<PrototypeNote> measured;
    const std::vector<FingeringResult> notes = predict(built);
    for (std::size_t k = 0; k < built.targets.size(); ++k)
        measured.push_back({k, asPlayed, asPlayed ? *notes[k].played : *notes[k].first});
    return measured;
}

TEST(Rescue, BringsAMadeUpPrototypeInWithLargerDrillsAndATrim) {
    const Geometry designed = design();
    Geometry built = designed;
    built.windowHeight = kDefaultWindowHeight; // as the maker's file has it: not calibrated
    const double tooSmall[] = {0.5, 1.0, 0.7, 0.5, 1.0, 0.8}; // mm
    built.length += 0.003;
    for (std::size_t k = 0; k < 6; ++k) {
        built.holes[k].fromFoot += 0.003;
        built.holes[k].diameter -= tooSmall[k] / 1000;
    }
    const Rescue rescue =
        rescue_prototype(built, played(built), drill_set(DrillSetKind::MetricHalf));
    ASSERT_FALSE(rescue.failure) << *rescue.failure;
    EXPECT_NEAR(rescue.calibration, kPlayedWindow, 1e-5);
    ASSERT_EQ(rescue.steps.size(), 7u);
    EXPECT_EQ(rescue.steps[0].kind, RescueStep::Kind::TrimFoot);
    EXPECT_NEAR(rescue.steps[0].before - rescue.steps[0].after, 0.003, 0.0003);
    for (std::size_t k = 0; k < 6; ++k) {
        const RescueStep& step = rescue.steps[k + 1];
        EXPECT_EQ(step.kind, RescueStep::Kind::Enlarge);
        EXPECT_EQ(step.hole, k + 1);
        EXPECT_NEAR(step.after, designed.holes[k].diameter, 1e-9) << "hole " << k + 1;
    }
    for (const double cents : rescue.steps.back().cents)
        EXPECT_LT(std::abs(cents), kInTuneCents);
    EXPECT_TRUE(rescue.tooSharp.empty());
    EXPECT_NEAR(rescue.corrected->length, designed.length, 0.0003);
}

// Read by a tuner as played, the notes lie below the tops of their ranges;
// the calibration still finds the window height they were made with, and
// the model then plays every note as measured.
TEST(Rescue, CalibratesOnNotesReadAsPlayed) {
    const Geometry built = design();
    const Rescue rescue =
        rescue_prototype(built, played(built, true), drill_set(DrillSetKind::MetricHalf));
    ASSERT_FALSE(rescue.failure) << *rescue.failure;
    EXPECT_NEAR(rescue.calibration, kPlayedWindow, 1e-5);
    for (const NoteReading& reading : rescue.readings)
        EXPECT_NEAR(cents_between(reading.predicted, reading.measured.frequency), 0, 0.5)
            << reading.fingering;
}

// A hole drilled too large makes its note sharp: removal cannot lower it,
// so it is never enlarged, and the maker is told what to do instead.
TEST(Rescue, NeverEnlargesAHoleWhoseNoteIsSharp) {
    const struct {
        std::size_t hole; // from the foot
        double tooLarge;  // mm
    } cases[] = {{3, 1.5}, {5, 1.0}, {1, 2.0}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.hole);
        Geometry built = design();
        built.windowHeight = kDefaultWindowHeight;
        built.holes[row.hole - 1].diameter += row.tooLarge / 1000;
        const Rescue rescue =
            rescue_prototype(built, played(built), drill_set(DrillSetKind::MetricHalf));
        ASSERT_FALSE(rescue.failure) << *rescue.failure;
        for (const RescueStep& step : rescue.steps)
            EXPECT_FALSE(step.kind == RescueStep::Kind::Enlarge && step.hole == row.hole);
        ASSERT_FALSE(rescue.tooSharp.empty());
        const SharpNote& sharp = rescue.tooSharp.front();
        EXPECT_EQ(rescue.readings[sharp.reading].measured.note, row.hole);
        EXPECT_GT(sharp.cents, kInTuneCents);
        EXPECT_NE(sharp.remedy.find(std::to_string(row.hole) + " is too large or too high: tape"),
                  std::string::npos)
            << sharp.remedy;
    }
}

} // namespace
} // namespace sorrel::tuning
