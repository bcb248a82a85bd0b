#include "tests/fit_instruments.h"
#include "tuning/air.h"
#include "tuning/fingering.h"
#include "tuning/geometry_json.h"
#include "tuning/pitch_fit.h"
#include "tuning/tuning_model.h"

#include <cmath>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

namespace sorrel::tuning {
namespace {

struct InstrumentCase {
    const char* name;
    Geometry geometry;
};

class FitRoundTrip : public ::testing::TestWithParam<InstrumentCase> {};

// The fitted geometry, written as a geometry file and read back as the tuning
// check reads it, predicts every default note within 0.1 cents; the fit kept
// the diameters and put the holes in order from the foot up.
TEST_P(FitRoundTrip, TheTuningCheckFindsEveryNoteOnTarget) {
    const Geometry& given = GetParam().geometry;
    const PitchFit fit = fit_to_pitch(given);
    ASSERT_FALSE(fit.failure) << fit.failure->message;
    ASSERT_TRUE(fit.geometry);
    const GeometryRead read = read_geometry_json(write_geometry_json(*fit.geometry));
    ASSERT_TRUE(read.geometry) << read.error;

    const std::vector<Fingering> notes = default_fingerings(given.holes.size());
    for (std::size_t k = 0; k < notes.size(); ++k) {
        const FingeringResult note = predict_fingering(*read.geometry, notes[k], given.targets[k]);
        ASSERT_TRUE(note.first) << "note " << k;
        EXPECT_LT(std::abs(1200 * std::log2(*note.first / given.targets[k])), 0.1) << "note " << k;
    }
    ASSERT_EQ(fit.holes.size(), given.holes.size());
    for (std::size_t k = 0; k < fit.holes.size(); ++k) {
        EXPECT_EQ(fit.holes[k].number, k + 1);
        EXPECT_EQ(fit.holes[k].diameter, given.holes[k].diameter) << "hole " << k + 1;
        EXPECT_EQ(fit.geometry->holes[k].diameter, given.holes[k].diameter);
        EXPECT_LT(std::abs(fit.holes[k].cents), 0.1);
        if (k > 0) {
            EXPECT_GT(fit.holes[k].fromFoot, fit.holes[k - 1].fromFoot);
        }
    }
    EXPECT_LT(fit.geometry->holes.back().fromFoot, fit.geometry->length);
}

// A fit depends on the diameters, not on where the holes were: starting
// from holes 8 mm higher and a tube 15 mm longer ends at the same places.
TEST_P(FitRoundTrip, EndsAtTheSamePlacesFromAnotherStart) {
    Geometry moved = GetParam().geometry;
    moved.length += 0.015;
    for (Hole& hole : moved.holes)
        hole.fromFoot += 0.008;
    const PitchFit first = fit_to_pitch(GetParam().geometry);
    const PitchFit second = fit_to_pitch(moved);
    ASSERT_TRUE(first.geometry && second.geometry);
    EXPECT_NEAR(first.geometry->length, second.geometry->length, 20e-6);
    for (std::size_t k = 0; k < first.holes.size(); ++k)
        EXPECT_NEAR(first.holes[k].fromFoot, second.holes[k].fromFoot, 20e-6) << "hole " << k + 1;
}

INSTANTIATE_TEST_SUITE_P(Instruments, FitRoundTrip,
                         ::testing::Values(InstrumentCase{"whistle", test::d_whistle()},
                                           InstrumentCase{"flute", test::d_flute()},
                                           InstrumentCase{"pipe", test::three_hole_pipe()}),
                         [](const auto& info) { return std::string(info.param.name); });

// Cross-fingerings are predicted on the fitted geometry, not fitted: the
// prediction equals the tuning check's on the fitted geometry.
TEST(Fit, PredictsCrossFingeringsOnTheFittedGeometry) {
    Geometry whistle = test::d_whistle();
    whistle.extraFingerings = {"xoxxxx", "xxxoxo"};
    const PitchFit fit = fit_to_pitch(whistle);
    ASSERT_TRUE(fit.geometry);
    ASSERT_EQ(fit.predictions.size(), 9u);
    for (std::size_t i = 0; i < 2; ++i) {
        std::string error;
        const std::optional<Fingering> cross =
            parse_fingering(whistle.extraFingerings[i], 6, error);
        const FingeringResult expected = predict_fingering(*fit.geometry, *cross, std::nullopt);
        EXPECT_EQ(fit.predictions[7 + i].fingering, whistle.extraFingerings[i]);
        ASSERT_TRUE(expected.first && fit.predictions[7 + i].first);
        EXPECT_NEAR(*fit.predictions[7 + i].first, *expected.first, 1e-6);
    }
}

// What cannot be reached is refused whole, naming the hole and what helps.
struct UnreachableCase {
    const char* name;
    std::size_t hole;        // the hole (from the foot) whose diameter or target is changed
    double diameter;         // m; 0 keeps the diameter
    double target;           // Hz; 0 keeps the target
    std::size_t failingHole; // the hole the failure names
    const char* says;        // part of the message
    const char* helps;       // what would help
};

class Unreachable : public ::testing::TestWithParam<UnreachableCase> {};

TEST_P(Unreachable, FitsNothingAndSaysWhichHoleAndWhatHelps) {
    const UnreachableCase& row = GetParam();
    Geometry whistle = test::d_whistle();
    if (row.diameter > 0)
        whistle.holes[row.hole - 1].diameter = row.diameter;
    if (row.target > 0)
        whistle.targets[row.hole] = row.target;
    const PitchFit fit = fit_to_pitch(whistle);
    ASSERT_TRUE(fit.failure);
    EXPECT_FALSE(fit.geometry);
    EXPECT_TRUE(fit.holes.empty());
    EXPECT_TRUE(fit.predictions.empty());
    EXPECT_EQ(fit.failure->hole, row.failingHole) << fit.failure->message;
    EXPECT_NE(fit.failure->message.find(row.says), std::string::npos) << fit.failure->message;
    EXPECT_NE(fit.failure->message.find(row.helps), std::string::npos) << fit.failure->message;
}

INSTANTIATE_TEST_SUITE_P(
    Targets, Unreachable,
    ::testing::Values(
        // A 1 mm top hole cannot raise C#6 even just below the window.
        UnreachableCase{"TinyTopHole", 6, 0.001, 0, 6, "hole 6 would leave the tube",
                        "a larger diameter or a lower target"},
        // The top note a fifth above the sixth cannot be reached by hole 6.
        UnreachableCase{"TopNoteTooHigh", 6, 0, 1661.22, 6, "hole 6 would leave the tube",
                        "a larger diameter or a lower target"},
        // Note 3 below note 2: hole 3 would have to sit below hole 2.
        UnreachableCase{"NoteBelowTheOneUnder", 3, 0, 650.0, 3, "hole 3 meets hole 2 below it",
                        "a smaller diameter, a larger hole 2 or a higher target"},
        // Hole 1 for a note a hair above the bottom note would sit past the foot.
        UnreachableCase{"FirstNoteAtTheBottom", 1, 0, 588.0, 1, "hole 1 would leave the foot",
                        "a smaller diameter or a higher target"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Fit, RefusesAGeometryWithoutATargetForEveryNote) {
    Geometry whistle = test::d_whistle();
    whistle.targets.pop_back();
    const PitchFit fit = fit_to_pitch(whistle);
    ASSERT_TRUE(fit.failure);
    EXPECT_FALSE(fit.geometry);
    EXPECT_EQ(fit.failure->message, "targets_hz: a fit needs one target per default fingering, 7");
}

// The calculator's local cutoff fc = c (d/D) / (2π √(h s)), h = 0.6133 d + t,
// over the note: worked here for a whistle whose holes are where the fit
// put them, s from the centres (the foot end below hole 1).
TEST(Fit, CutoffRatiosAreTheCalculatorsOnTheFittedSpacings) {
    const PitchFit fit = fit_to_pitch(test::d_whistle());
    ASSERT_TRUE(fit.geometry);
    const double c = air_properties(fit.geometry->air).speedOfSound;
    double below = 0;
    double smallest = 1e9;
    double largest = 0;
    for (const FittedHole& hole : fit.holes) {
        const double h = 0.6133 * hole.diameter + 0.0008;
        const double s = hole.fromFoot - below;
        const double ratio = c * hole.diameter / 0.012 / (2 * std::numbers::pi * std::sqrt(h * s)) /
                             test::kD5Scale[hole.number];
        EXPECT_NEAR(hole.cutoffRatio, ratio, 1e-9) << "hole " << hole.number;
        smallest = std::min(smallest, ratio);
        largest = std::max(largest, ratio);
        below = hole.fromFoot;
    }
    EXPECT_NEAR(fit.ratioSpread, (largest / smallest - 1) * 100, 1e-6);
}

// Warnings beside a successful fit: holes whose edges come within 1 mm, and
// neighbouring centres beyond the reach. Distances worked from the fitted
// centres and diameters here.
struct WarningCase {
    const char* name;
    double fourthNote; // Hz: note 4's target; 0 keeps it
    double maxSpread;  // m
};

class Warnings : public ::testing::TestWithParam<WarningCase> {};

TEST_P(Warnings, NameEveryPairTooCloseOrBeyondReach) {
    const WarningCase& row = GetParam();
    Geometry whistle = test::d_whistle();
    if (row.fourthNote > 0)
        whistle.targets[4] = row.fourthNote;
    const PitchFit fit = fit_to_pitch(whistle, FitOptions{row.maxSpread});
    ASSERT_TRUE(fit.geometry) << fit.failure->message;
    std::vector<std::string> expected;
    const std::vector<Hole>& holes = fit.geometry->holes;
    for (std::size_t k = 1; k < holes.size(); ++k) {
        const double centres = holes[k].fromFoot - holes[k - 1].fromFoot;
        const double edges = centres - holes[k].diameter / 2 - holes[k - 1].diameter / 2;
        if (edges < 0.001)
            expected.push_back("close " + std::to_string(k));
        if (centres > row.maxSpread)
            expected.push_back("reach " + std::to_string(k));
    }
    std::vector<std::string> got;
    for (const FitWarning& warning : fit.warnings) {
        got.push_back((warning.kind == FitWarning::Kind::TooClose ? "close " : "reach ") +
                      std::to_string(warning.lowerHole));
        const std::string pair = "holes " + std::to_string(warning.lowerHole) + " and " +
                                 std::to_string(warning.lowerHole + 1);
        EXPECT_EQ(warning.message.rfind(pair, 0), 0u) << warning.message;
    }
    EXPECT_EQ(got, expected);
    EXPECT_FALSE(expected.empty()) << "the case must raise a warning";
}

INSTANTIATE_TEST_SUITE_P(Cases, Warnings,
                         // A quarter tone between notes 3 and 4 crowds holes 3 and 4 together.
                         ::testing::Values(WarningCase{"QuarterToneCrowds", 812.0,
                                                       kDefaultMaxSpread},
                                           WarningCase{"ShortReach", 0, 0.024}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Fit, NoWarningsForAWhistleWithinReach) {
    const PitchFit fit = fit_to_pitch(test::d_whistle());
    ASSERT_TRUE(fit.geometry);
    EXPECT_TRUE(fit.warnings.empty()) << fit.warnings.front().message;
}

} // namespace
} // namespace sorrel::tuning
