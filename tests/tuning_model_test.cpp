// The tuning model on whole instruments: air, fingerings, the refusal of
// geometry it cannot compute from, resonances and calibration.

#include "tuning/calibration.h"
#include "tuning/geometry_json.h"
#include "tuning/note_class.h"
#include "tuning/tuning_model.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <numbers>
#include <tuple>

namespace {

using namespace sorrel::tuning;

// The measured high-D whistle, without its measurements.
Geometry whistle() {
    std::ifstream in(SORREL_TEST_DATA "/tuning/high_d_whistle.json");
    return *read_geometry_json(nlohmann::json::parse(in)["geometry"].dump()).geometry;
}

Fingering fingering(const std::string& text, std::size_t holes = 6) {
    std::string error;
    return *parse_fingering(text, holes, error);
}

double first_resonance(const Geometry& g, const std::string& text) {
    return *predict_fingering(g, fingering(text, g.holes.size()), std::nullopt).first;
}

TEST(Air, BreathAndDryAirMatchTheirKnownValues) {
    const AirProperties breath = air_properties(Air{});
    EXPECT_NEAR(breath.speedOfSound, 345.6, 0.05);
    EXPECT_NEAR(breath.density, 1.180, 0.0005);
    const AirProperties dry = air_properties(Air{20, 0, 0, 101325});
    EXPECT_NEAR(dry.speedOfSound, 343.2, 0.1); // dry air at 20 °C
    EXPECT_NEAR(dry.density, 1.204, 0.001);
    EXPECT_NEAR(dry.viscosity, 1.846e-5 * (1 - 0.0025 * 6.85), 1e-10);
}

TEST(Fingerings, ReadAsAChartReadsThemAndTheScaleOpensFromTheFoot) {
    EXPECT_EQ(fingering("xxoxoo").open, (std::vector<bool>{false, false, true, false, true, true}));
    std::string scale;
    for (const Fingering& f : default_fingerings(3))
        scale += fingering_text(f) + " ";
    EXPECT_EQ(scale, "xxx xxo xoo ooo ");
    // clang-format off
    const std::pair<const char*, const char*> bad[] = {{"", "empty"}, {"xxoxo", "names 5 holes"},
        {"xxoxoO", "x (closed) and o (open)"}, {"xxoxoox", "names 7 holes"}};
    // clang-format on
    for (const auto& [text, message] : bad) {
        std::string error;
        EXPECT_FALSE(parse_fingering(text, 6, error)) << text;
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
}

TEST(Geometry, RefusedNamingTheField) {
    using G = Geometry&;
    // clang-format off
    const std::pair<void (*)(G), const char*> cases[] = {
        {[](G g) { g.holes[5].fromFoot = 3e-3; }, "holes[5].from_foot_mm"},   // below the foot
        {[](G g) { g.holes[0].fromFoot = 0.2635; }, "holes[0].from_foot_mm"}, // in the window
        {[](G g) { g.holes[2].fromFoot = 0.1222; }, "holes[2].from_foot_mm"}, // overlapping
        {[](G g) { g.holes[1].diameter = 12.5e-3; }, "holes[1].diameter_mm"},
        {[](G g) { g.holes[3].diameter = 0; }, "holes[3].diameter_mm"},
        {[](G g) { g.holes[4].wall = -1e-3; }, "holes[4].wall_mm"},
        {[](G g) { g.length = std::nan(""); }, "length_mm"},
        {[](G g) { g.boreDiameter = INFINITY; }, "bore_mm"},
        {[](G g) { g.wall = 0; }, "wall_mm"},
        {[](G g) { g.boreProfile = {{0.1, 0.012}, {0.05, 0.012}}; }, "bore_profile_mm[1][0]"},
        {[](G g) { g.mouth.windowWidth = 0; }, "mouth.window_width_mm"},
        {[](G g) { g.air.temperature = NAN; }, "temperature_c"},
        {[](G g) { g.targets = {587.33, 659.26}; }, "targets_hz"},
        {[](G g) { g.extraFingerings = {"xxxxxx", ""}; }, "fingerings[1]"},
    };
    // clang-format on
    ASSERT_FALSE(validate(whistle()));
    for (const auto& [spoil, field] : cases) {
        Geometry g = whistle();
        spoil(g);
        const std::optional<GeometryFault> fault = validate(g);
        ASSERT_TRUE(fault) << field;
        EXPECT_EQ(fault->field, field) << fault->message;
    }
}

// A hole at the very foot barely adds to an open end; the same hole half
// way up shortens the tube by far more.
TEST(Resonances, AHoleOpenedAtTheFootChangesLittle) {
    Geometry bare = whistle();
    bare.holes.clear();
    const double without = first_resonance(bare, "");
    Geometry holed = bare;
    holed.holes = {{1.6e-3, 3e-3, std::nullopt}};
    const double atFoot = cents_between(first_resonance(holed, "o"), without);
    EXPECT_GT(atFoot, 0);
    EXPECT_LT(atFoot, 5);
    holed.holes[0].fromFoot = 0.12;
    EXPECT_GT(cents_between(first_resonance(holed, "o"), without), 100);
}

// A resonance counts only within 200 cents of its target.
TEST(Resonances, FarFromTheTargetAreNotFound) {
    const double bottom = first_resonance(whistle(), "xxxxxx");
    for (const double away : {190, -190, 210, -210, 600}) {
        const double target = bottom * std::exp2(away / 1200);
        const FingeringResult result = predict_fingering(whistle(), fingering("xxxxxx"), target);
        EXPECT_EQ(result.first.has_value(), std::abs(away) < 200) << away;
    }
}

// A closed cylinder sounds a quarter wave and overblows a twelfth.
TEST(Resonances, AClosedMouthpieceSoundsAQuarterWave) {
    Geometry reed = whistle();
    reed.holes.clear();
    reed.mouth = Mouth();
    reed.mouth.kind = MouthKind::Closed;
    const FingeringResult result = predict_fingering(reed, Fingering{}, std::nullopt);
    ASSERT_TRUE(result.first && result.second);
    // The lossless quarter wave, lowered by Keefe's first-order loss.
    const double quarter = 345.6 / (4 * (reed.length + 0.6133 * 6e-3));
    const double viscousRadius =
        6e-3 * std::sqrt(1.180 * 2 * std::numbers::pi * quarter / 1.851e-5);
    EXPECT_NEAR(cents_between(*result.first, quarter), -1200 * std::log2(1 + 1.045 / viscousRadius),
                3);
    EXPECT_NEAR(*result.octaveStretch, 0, 25);
    // Its note is the lowest resonance, even with a target near the twelfth.
    EXPECT_FALSE(predict_fingering(reed, Fingering{}, 3 * *result.first).first);
    EXPECT_EQ(predict_fingering(reed, Fingering{}, *result.first * 1.1).first, result.first);
}

// Calibrating on a prediction gives back the value it was made with: a
// fipple's window height, a closed mouthpiece's added length (m).
TEST(Calibrating, GivesBackTheValueOfThePrediction) {
    using enum MouthKind;
    const std::tuple<MouthKind, const char*, double> cases[] = {
        {Fipple, "xxxxxx", 3.2e-3}, {Fipple, "xxoooo", 1.1e-3}, {Closed, "xxxxxx", 12e-3}};
    for (const auto& [kind, text, value] : cases) {
        Geometry truth = whistle();
        truth.mouth.kind = kind;
        double& fitted = kind == Closed ? truth.mouth.addedLength : truth.windowHeight;
        fitted = value;
        const double measured = first_resonance(truth, text);
        fitted = 4e-3;
        const Calibration fit = calibrate(truth, fingering(text), measured);
        ASSERT_TRUE(fit.geometry) << fit.error;
        EXPECT_NEAR(fit.value, value, 1e-7) << text;
        EXPECT_NEAR(cents_between(first_resonance(*fit.geometry, text), measured), 0, 0.01);
    }
}

// Refused: a note no window height reaches, and the bottom note overblown,
// which a window height would match with the second register.
TEST(Calibrating, RefusesNotesNoFirstRegisterMatches) {
    const std::optional<double> overblown =
        predict_fingering(whistle(), fingering("xxxxxx"), std::nullopt).second;
    ASSERT_TRUE(overblown);
    const std::pair<double, const char*> cases[] = {
        {700, "no window height from 0 to 20 mm brings xxxxxx"},
        {*overblown, " Hz is not the first register of xxxxxx; was the note overblown"}};
    for (const auto& [measured, says] : cases) {
        const Calibration fit = calibrate(whistle(), fingering("xxxxxx"), measured);
        EXPECT_FALSE(fit.geometry) << measured;
        EXPECT_NE(fit.error.find(says), std::string::npos) << fit.error;
    }
}

// Notes measured on an instrument made with a known window height and
// blowing level give them back: from one note the window height alone, from
// the bare tube's two registers as played both.
TEST(Calibrating, SeveralNotesGiveBackTheMouthAndTheBlowingLevel) {
    Geometry truth = whistle();
    truth.windowHeight = 3.4e-3;
    truth.strouhal = 0.27;
    Geometry bare = truth;
    bare.holes.clear();
    const FingeringResult tube = predict_fingering(bare, Fingering{}, std::nullopt);
    ASSERT_TRUE(tube.played && tube.secondPlayed);
    const FingeringResult bottom = predict_fingering(truth, fingering("xxxxxx"), std::nullopt);
    // clang-format off
    const std::tuple<Geometry, std::vector<MeasuredPitch>, int> cases[] = {
        {truth, {{fingering("xxxxxx"), *bottom.first, false}}, 1},
        {bare, {{Fingering{}, *tube.played, true}, {Fingering{}, *tube.secondPlayed, true}}, 2},
    };
    // clang-format on
    for (const auto& [made, measured, unknowns] : cases) {
        Geometry start = made;
        start.windowHeight = 1e-3;
        start.strouhal = kDefaultStrouhal;
        const NotesCalibration fit = calibrate_notes(start, measured);
        ASSERT_TRUE(fit.geometry) << fit.error;
        EXPECT_EQ(fit.unknowns, unknowns);
        EXPECT_NEAR(fit.geometry->windowHeight, 3.4e-3, 2e-6);
        EXPECT_NEAR(fit.geometry->strouhal, unknowns == 2 ? 0.27 : kDefaultStrouhal, 1e-4);
        for (std::size_t i = 0; i < measured.size(); ++i) {
            EXPECT_EQ(fit.matches[i].mode, static_cast<int>(i) + 1);
            EXPECT_NEAR(fit.matches[i].residual, 0, 0.01);
        }
    }
}

TEST(NoteClasses, FollowTheFingeringAndTheMode) {
    using enum NoteClass;
    const std::tuple<const char*, int, NoteClass> cases[] = {
        {"xxxxxx", 1, FirstRegister},  {"xxxooo", 1, FirstRegister},  {"oooooo", 1, FirstRegister},
        {"xxxxxo", 2, SecondRegister}, {"xxxxxx", 4, SecondRegister}, {"oxxooo", 1, CrossOrVented},
        {"oxxxxx", 2, CrossOrVented},  {"xxxxox", 1, CrossOrVented}};
    for (const auto& [text, mode, expected] : cases)
        EXPECT_EQ(note_class(text, mode), expected) << text << " mode " << mode;
    const Spread s = spread({3, -5, 1, 5});
    EXPECT_EQ(s.count, 4);
    EXPECT_DOUBLE_EQ(s.largest, 5);
    EXPECT_DOUBLE_EQ(s.deviation, std::sqrt((4.0 + 36 + 0 + 16) / 4)); // about the mean, 1
}

} // namespace
