#include "tests/fit_instruments.h"
#include "tuning/drill_choice.h"
#include "tuning/pitch_fit.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace sorrel::tuning {
namespace {

// The drill sets, counted and named by hand: 64 sixty-fourths up to an inch,
// 241 tenths and 49 halves of a millimetre from 1 to 25 mm.
TEST(DrillSets, HoldTheirStepsAndNameThemAsTheWorkshopDoes) {
    const std::vector<Drill> fractional = drill_set(DrillSetKind::FractionalInch);
    ASSERT_EQ(fractional.size(), 64u);
    EXPECT_EQ(fractional[0].label, "1/64 in");
    EXPECT_EQ(fractional[17].label, "9/32 in");
    EXPECT_DOUBLE_EQ(fractional[17].diameter, 18 * 25.4e-3 / 64);
    EXPECT_EQ(fractional[63].label, "1 in");

    const std::vector<Drill> metric = drill_set(DrillSetKind::Metric);
    ASSERT_EQ(metric.size(), 241u);
    EXPECT_EQ(metric[65].label, "7.5 mm");
    EXPECT_NEAR(metric[65].diameter, 7.5e-3, 1e-12);
    EXPECT_EQ(metric[240].label, "25.0 mm");

    std::string labels;
    for (const Drill& drill : drill_set(DrillSetKind::MetricHalf, {5e-3, 7.5e-3}))
        labels += drill.label + ", ";
    EXPECT_EQ(labels, "5.0 mm, 5.5 mm, 6.0 mm, 6.5 mm, 7.0 mm, 7.5 mm, ");
}

TEST(DrillLists, ReadSortedDistinctDiametersOrRefuse) {
    // clang-format off
    const std::pair<const char*, std::vector<double>> cases[] = { // {}: refused
        {"6.35, 5,5.5", {5, 5.5, 6.35}}, {"7,7, 6", {6, 7}}, {"4.5", {4.5}}, {"5,,6", {}},
        {"5,six", {}}, {"5,-1", {}}, {"5,0", {}}, {"5mm", {}}, {"", {}}};
    // clang-format on
    for (const auto& [text, mm] : cases) {
        std::string error;
        const std::optional<std::vector<Drill>> drills = parse_drill_list(text, error);
        ASSERT_EQ(drills.has_value(), !mm.empty()) << text;
        EXPECT_TRUE(drills || error.find("is not a diameter in mm above 0") != std::string::npos)
            << error;
        for (std::size_t i = 0; drills && i < mm.size(); ++i)
            EXPECT_NEAR(drills->at(i).diameter, mm[i] / 1000, 1e-12) << text;
        EXPECT_TRUE(!drills || drills->size() == mm.size()) << text;
    }
}

FitOptions within_reach(double reach) {
    FitOptions options;
    options.maxSpread = reach;
    return options;
}

// Every choice of the set, refitted, checked against the limits and ranked
// by the largest cutoff ratio over the smallest, worked here from the
// calculator's definition.
struct BruteForce {
    std::vector<std::string> labels;
    double evenness = 1e9;
};

bool within_limits(const Geometry& fitted, double reach) {
    for (std::size_t k = 0; k < fitted.holes.size(); ++k)
        if (fitted.holes[k].diameter > 0.8 * fitted.boreDiameter ||
            (k > 0 && fitted.holes[k].fromFoot - fitted.holes[k - 1].fromFoot > reach))
            return false;
    return true;
}

BruteForce brute_force(const Geometry& given, const std::vector<Drill>& drills, double reach) {
    BruteForce best;
    const std::size_t holes = given.holes.size();
    std::vector<std::size_t> pick(holes, 0);
    while (true) {
        Geometry drilled = given;
        for (std::size_t k = 0; k < holes; ++k)
            drilled.holes[k].diameter = drills[pick[k]].diameter;
        const PitchFit fit = fit_to_pitch(drilled);
        if (fit.geometry && within_limits(*fit.geometry, reach)) {
            const std::vector<double> ratios = test::cutoff_ratios(*fit.geometry);
            const auto [least, most] = std::minmax_element(ratios.begin(), ratios.end());
            const double evenness = *most / *least;
            if (evenness < best.evenness) {
                best.evenness = evenness;
                best.labels.clear();
                for (std::size_t k = 0; k < holes; ++k)
                    best.labels.push_back(drills[pick[k]].label);
            }
        }
        std::size_t k = 0;
        while (k < holes && ++pick[k] == drills.size())
            pick[k++] = 0;
        if (k == holes)
            return best;
    }
}

TEST(DrillChoice, FindsWhatBruteForceFinds) {
    const std::tuple<Geometry, std::vector<double>, double> cases[] = {
        // drills mm, reach m
        {test::instrument("three_hole_pipe"), {4.5, 5.5, 6.5, 7.5}, 0.040},
        // 9.5 mm is over 0.8 of the bore.
        {test::instrument("three_hole_pipe"), {5.0, 7.0, 9.5}, 0.040},
        // A short reach rules out the smallest holes high up the tube.
        {test::instrument("three_hole_pipe"), {4.0, 5.0, 6.0, 7.0}, 0.027},
        {test::instrument("d_whistle"), {6.0, 7.5}, 0.040},
    };
    for (const auto& [geometry, drillsMm, reach] : cases) {
        std::vector<Drill> drills;
        for (const double mm : drillsMm)
            drills.push_back({mm / 1000, std::to_string(mm)});
        const BruteForce expected = brute_force(geometry, drills, reach);
        ASSERT_FALSE(expected.labels.empty()) << "the case must leave a choice";
        const PitchFit chosen = choose_drills(geometry, drills, within_reach(reach));
        ASSERT_TRUE(chosen.geometry) << chosen.failure->message;
        std::vector<std::string> labels;
        for (const FittedHole& hole : chosen.holes) {
            labels.push_back(hole.drill);
            EXPECT_LT(std::abs(hole.cents), 0.1) << "refitted for the drill, hole " << hole.number;
        }
        EXPECT_EQ(labels, expected.labels);
        // Two fits of the same drills agree within the fit's 0.1 cents, which
        // moves a spread by a few thousandths of a per cent.
        EXPECT_NEAR(chosen.ratioSpread, (expected.evenness - 1) * 100, 0.005);
    }
}

// No choice within reach; nothing narrow enough for the 11 mm bore.
TEST(DrillChoice, RefusesASetWithNoChoiceWithinTheLimits) {
    const std::tuple<std::vector<Drill>, double, std::size_t, const char*> cases[] = {
        {{{0.005, "5 mm"}, {0.006, "6 mm"}}, 0.010, 0, "hand reach"},
        {{{0.0095, "9.5 mm"}, {0.010, "10 mm"}}, kDefaultMaxSpread, 1, "at most 8.8 mm"},
    };
    for (const auto& [drills, reach, hole, says] : cases) {
        const PitchFit chosen =
            choose_drills(test::instrument("three_hole_pipe"), drills, within_reach(reach));
        ASSERT_TRUE(chosen.failure) << says;
        EXPECT_FALSE(chosen.geometry);
        EXPECT_EQ(chosen.failure->hole, hole);
        EXPECT_NE(chosen.failure->message.find(says), std::string::npos) << chosen.failure->message;
    }
}

} // namespace
} // namespace sorrel::tuning
