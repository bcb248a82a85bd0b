// The tuning session: what the Tuning window keeps and decides, driven as
// the window drives it.

#include "tests/calculated_design.h"
#include "tuning/tuning_session.h"

#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

namespace sorrel::tuning {
namespace {

constexpr double kMetresPerInch = 0.0254;

TuningSession session_on(const CircuitRecord& design, int slot = 0) {
    TuningSession session;
    std::string error;
    EXPECT_EQ(session.offer_design(design, slot, error), DesignOffer::Shown) << error;
    EXPECT_FALSE(session.take_as_built(session.as_built()).has_value());
    return session;
}

// The maker types hole 3 at `mm`.
std::optional<std::string> move_hole_3(TuningSession& session, double mm) {
    Geometry edited = session.as_built();
    edited.holes[2].fromFoot = mm / 1000;
    return session.take_as_built(edited);
}

TEST(TuningSession, ANewCalcWaitsWhileTheMakerHasEditedTheHoles) {
    CircuitRecord moved = calculated_design();
    moved.PM[3] = 86.0f;
    // edited by the maker?, then the choice: 0 none, 1 take the new design, 2 keep as built
    const std::tuple<bool, int, DesignOffer, double> rows[] = {
        {false, 0, DesignOffer::Shown, 86.0},
        {true, 0, DesignOffer::Waiting, 90.0},
        {true, 1, DesignOffer::Waiting, 86.0},
        {true, 2, DesignOffer::Waiting, 90.0},
    };
    for (const auto& [edited, choice, offer, hole3] : rows) {
        TuningSession session = session_on(calculated_design());
        if (edited) {
            ASSERT_FALSE(move_hole_3(session, 90.0));
        }
        std::string error;
        EXPECT_EQ(session.offer_design(moved, 0, error), offer);
        if (choice == 1)
            session.take_waiting_design();
        if (choice == 2)
            session.keep_as_built();
        EXPECT_NEAR(session.as_built().holes[2].fromFoot, hole3 / 1000, 1e-7) << choice;
        EXPECT_EQ(session.design_waiting(), offer == DesignOffer::Waiting && choice == 0);
        const double designHole3 = offer == DesignOffer::Shown || choice ? 86.0 : 84.36;
        EXPECT_NEAR(session.design().holes[2].fromFoot, designHole3 / 1000, 1e-7);
    }
    // The same Calc again leaves the edits as they are.
    TuningSession session = session_on(calculated_design());
    ASSERT_FALSE(move_hole_3(session, 90.0));
    std::string error;
    EXPECT_EQ(session.offer_design(calculated_design(), 0, error), DesignOffer::Shown);
    EXPECT_NEAR(session.as_built().holes[2].fromFoot, 0.090, 1e-9);
}

TEST(TuningSession, AHoleCannotPassItsNeighbour) {
    // Hole 3 between hole 2 (65.77 mm) and hole 4 (106.38 mm).
    const std::tuple<double, const char*> rows[] = {{100.0, nullptr},
                                                    {106.38, "Holes 3 and 4"},
                                                    {110.0, "Holes 3 and 4"},
                                                    {65.0, "Holes 2 and 3"},
                                                    {75.0, nullptr}};
    for (const auto& [mm, refusal] : rows) {
        TuningSession session = session_on(calculated_design());
        const auto refused = move_hole_3(session, mm);
        EXPECT_EQ(refused.has_value(), refusal != nullptr) << mm;
        if (refusal) {
            EXPECT_EQ(refused->rfind(refusal, 0), 0u) << *refused;
        }
        EXPECT_EQ(session.predictable(), refusal == nullptr);
    }
    // Onto hole 4's very place.
    TuningSession session = session_on(calculated_design());
    Geometry edited = session.as_built();
    edited.holes[2].fromFoot = edited.holes[3].fromFoot;
    EXPECT_EQ(session.take_as_built(edited).value_or("").rfind("Holes 3 and 4", 0), 0u);
}

TEST(TuningSession, RefusalsUseTheWindowsLabels) {
    const std::tuple<const char*, const char*> rows[] = {
        {"holes[5].from_foot_mm", "Hole 6, from foot"},
        {"holes[0].diameter_mm", "Hole 1, diameter"},
        {"temperature_c", "Air temperature"},
        {"length_mm", "Length, top to foot"},
        {"mouth.window_height_mm", "Window height"},
        {"holes[2].wall_mm", "holes[2].wall_mm"},
        {"holes[x].diameter_mm", "holes[x].diameter_mm"}};
    for (const auto& [field, label] : rows)
        EXPECT_EQ(field_label(field), label);
}

TEST(TuningSession, ACalibrationBelongsToItsSlot) {
    TuningSession session = session_on(calculated_design(), 0);
    const double bottom = *session.predict()[0].first;
    session.set_measured_as_played(false);
    ASSERT_FALSE(session.set_measured("xxxxxx", bottom * std::exp2(-10.0 / 1200)));
    ASSERT_FALSE(session.calibrate());
    const double calibrated = session.calibration_value();
    EXPECT_GT(calibrated, kDefaultWindowHeight);
    EXPECT_NE(session.calibration_source().find("slot 1 on xxxxxx"), std::string::npos);
    // Slots 2 and 1 in turn: a window height is no other slot's.
    for (const auto& [slot, height] :
         {std::pair{1, kDefaultWindowHeight}, std::pair{0, calibrated}}) {
        std::string error;
        session.offer_design(calculated_design(), slot, error);
        EXPECT_EQ(session.calibration_value(), height) << slot;
        EXPECT_EQ(session.as_built().windowHeight, height) << slot;
    }
    EXPECT_EQ(session.set_measured("xxxxxo", -1),
              "Fingering xxxxxo, Measured: enter the frequency in Hz above 0, or leave it empty");
}

// Two rows measured as played on an instrument of a known window height and
// blowing level give both back, the residuals near zero; a row cleared
// leaves one unknown, and none leaves nothing to fit on.
TEST(TuningSession, CalibratingOnEveryMeasuredRowFindsTheMouthAndTheBlowingLevel) {
    TuningSession session = session_on(calculated_design());
    Geometry played = session.as_built();
    played.windowHeight = 4e-3;
    played.strouhal = 0.3;
    ASSERT_FALSE(session.take_as_built(played));
    const std::vector<FingeringResult> heard = session.predict();
    Geometry start = session.as_built();
    start.windowHeight = kDefaultWindowHeight;
    start.strouhal = kDefaultStrouhal;
    ASSERT_FALSE(session.take_as_built(start));
    for (const int row : {0, 4})
        ASSERT_FALSE(session.set_measured(heard[row].fingering, *heard[row].played));
    ASSERT_FALSE(session.calibrate());
    EXPECT_NEAR(session.as_built().windowHeight, 4e-3, 1e-6);
    EXPECT_NEAR(session.as_built().strouhal, 0.3, 1e-3);
    EXPECT_EQ(session.calibration_source(), "Calibrated for slot 1 on 2 measured notes");
    for (const int row : {0, 4})
        EXPECT_NEAR(session.residual(heard[row].fingering)->residual, 0, 0.05) << row;
    EXPECT_FALSE(session.residual(heard[1].fingering));
    ASSERT_FALSE(session.set_measured(heard[4].fingering, std::nullopt));
    EXPECT_FALSE(session.residual(heard[0].fingering)); // the measurements changed
    const double level = session.as_built().strouhal;
    ASSERT_FALSE(session.calibrate());
    EXPECT_EQ(session.as_built().strouhal, level); // one note: the mouth alone
    ASSERT_FALSE(session.set_measured(heard[0].fingering, std::nullopt));
    EXPECT_TRUE(session.calibrate().has_value());
}

TEST(TuningSession, CustomRowsAreUniqueRemovableAndMayHaveATarget) {
    TuningSession session = session_on(calculated_design());
    const std::tuple<const char*, std::optional<double>, bool> rows[] = {
        {"xoxxxx", std::nullopt, true}, {"xoxxxx", 600.0, false}, {"xxxxxx", std::nullopt, false},
        {"xxoq", std::nullopt, false},  {"oxxxxx", 0.0, false},   {"oxxxxx", 622.25, true}};
    for (const auto& [fingering, target, accepted] : rows)
        EXPECT_EQ(!session.add_custom(fingering, target), accepted) << fingering;
    std::vector<FingeringResult> results = session.predict();
    ASSERT_EQ(results.size(), 9u);
    EXPECT_FALSE(results[7].target.has_value());
    EXPECT_EQ(results[8].target, 622.25);
    EXPECT_NEAR(*results[8].cents, 1200 * std::log2(*results[8].first / 622.25), 1e-9);
    session.remove_custom(0);
    results = session.predict();
    ASSERT_EQ(results.size(), 8u);
    EXPECT_EQ(results[7].fingering, "oxxxxx");
}

TEST(TuningSession, AnAppliedFitIsTheSlotsWhileItsDrillsAreTheDesigns) {
    TuningSession session = session_on(calculated_design());
    EXPECT_EQ(session.positions_source(), "the calculator's design");
    const std::vector<Drill> drills = drill_set(DrillSetKind::FractionalInch, {0, 1});
    session.take_fit(choose_drills(session.as_built(), drills, {}));
    ASSERT_TRUE(session.chosen_drills().has_value());
    EXPECT_EQ(session.positions_source(), "fitted to pitch");
    CircuitRecord applied = calculated_design();
    const std::vector<double> sizes = session.apply_drills();
    ASSERT_EQ(sizes.size(), 6u);
    for (std::size_t k = 0; k < 6; ++k)
        applied.DI[k + 1] = float(sizes[k] / 25.4);
    CircuitRecord otherDrill = applied;
    otherDrill.DI[2] += 1.0f / 64;
    const std::tuple<const CircuitRecord*, int, bool> rows[] = {
        {&applied, 0, true}, {&applied, 1, false}, {&otherDrill, 0, false}};
    for (const auto& [record, slot, found] : rows)
        EXPECT_EQ(session.applied_fit(*record, slot).has_value(), found) << slot;
    const AppliedFit fit = *session.applied_fit(applied, 0);
    EXPECT_NEAR(fit.geometry.holes[1].diameter, applied.DI[2] * kMetresPerInch, 1e-7);
    ASSERT_FALSE(move_hole_3(session, fit.geometry.holes[2].fromFoot * 1000 + 1));
    EXPECT_EQ(session.positions_source(), "as built");
}

TEST(TuningSession, TheRatioSpreadIsTheLargestOverTheSmallest) {
    const std::pair<std::vector<double>, double> rows[] = {
        {{0.5, 0.6, 0.55}, 20.0}, {{0.8}, 0.0}, {std::vector<double>{}, 0.0}, {{1.2, 0.4}, 200.0}};
    for (const auto& [ratios, spread] : rows)
        EXPECT_NEAR(ratio_spread(ratios), spread, 1e-9);
}

} // namespace
} // namespace sorrel::tuning
