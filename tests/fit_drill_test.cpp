#include "tests/fit_instruments.h"
#include "tuning/air.h"
#include "tuning/drill_choice.h"
#include "tuning/fingering.h"
#include "tuning/tuning_model.h"

#include <cmath>
#include <numbers>
#include <string>

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

    const std::vector<Drill> half = drill_set(DrillSetKind::MetricHalf, {5e-3, 7.5e-3});
    std::vector<std::string> labels;
    for (const Drill& drill : half)
        labels.push_back(drill.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"5.0 mm", "5.5 mm", "6.0 mm", "6.5 mm", "7.0 mm",
                                                "7.5 mm"}));
}

struct ListCase {
    const char* text;
    std::vector<double> mm; // empty: refused
};

class DrillLists : public ::testing::TestWithParam<ListCase> {};

TEST_P(DrillLists, ReadSortedDistinctDiametersOrRefuse) {
    std::string error;
    const std::optional<std::vector<Drill>> drills = parse_drill_list(GetParam().text, error);
    if (GetParam().mm.empty()) {
        EXPECT_FALSE(drills);
        EXPECT_NE(error.find("is not a diameter in mm above 0"), std::string::npos) << error;
        return;
    }
    ASSERT_TRUE(drills) << error;
    ASSERT_EQ(drills->size(), GetParam().mm.size());
    for (std::size_t i = 0; i < drills->size(); ++i)
        EXPECT_NEAR((*drills)[i].diameter, GetParam().mm[i] / 1000, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Texts, DrillLists,
                         ::testing::Values(ListCase{"6.35, 5,5.5", {5, 5.5, 6.35}},
                                           ListCase{"7,7, 6", {6, 7}}, ListCase{"4.5", {4.5}},
                                           ListCase{"5,,6", {}}, ListCase{"5,six", {}},
                                           ListCase{"5,-1", {}}, ListCase{"5,0", {}},
                                           ListCase{"5mm", {}}, ListCase{"", {}}));

// Every choice of the set, refitted, checked against the limits and ranked
// by the largest cutoff ratio over the smallest, worked here from the
// calculator's definition.
struct BruteForce {
    std::vector<std::string> labels;
    double evenness = 1e9;
};

double evenness_of(const Geometry& fitted) {
    const double c = air_properties(fitted.air).speedOfSound;
    double below = 0;
    double smallest = 1e9;
    double largest = 0;
    for (std::size_t k = 0; k < fitted.holes.size(); ++k) {
        const Hole& hole = fitted.holes[k];
        const double h = 0.6133 * hole.diameter + fitted.wall;
        const double cutoff = c * hole.diameter / fitted.boreDiameter /
                              (2 * std::numbers::pi * std::sqrt(h * (hole.fromFoot - below)));
        const double ratio = cutoff / fitted.targets[k + 1];
        smallest = std::min(smallest, ratio);
        largest = std::max(largest, ratio);
        below = hole.fromFoot;
    }
    return largest / smallest;
}

bool within_limits(const Geometry& fitted, double reach) {
    for (std::size_t k = 0; k < fitted.holes.size(); ++k) {
        if (fitted.holes[k].diameter > 0.8 * fitted.boreDiameter)
            return false;
        if (k > 0 && fitted.holes[k].fromFoot - fitted.holes[k - 1].fromFoot > reach)
            return false;
    }
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
            const double evenness = evenness_of(*fit.geometry);
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

struct ChoiceCase {
    const char* name;
    Geometry geometry;
    std::vector<double> drillsMm;
    double reach; // m
};

class DrillChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(DrillChoice, FindsWhatBruteForceFinds) {
    const ChoiceCase& row = GetParam();
    std::vector<Drill> drills;
    for (const double mm : row.drillsMm)
        drills.push_back({mm / 1000, std::to_string(mm)});
    const BruteForce expected = brute_force(row.geometry, drills, row.reach);
    ASSERT_FALSE(expected.labels.empty()) << "the case must leave a choice";

    const PitchFit chosen = choose_drills(row.geometry, drills, FitOptions{row.reach});
    ASSERT_TRUE(chosen.geometry) << chosen.failure->message;
    std::vector<std::string> labels;
    for (const FittedHole& hole : chosen.holes)
        labels.push_back(hole.drill);
    EXPECT_EQ(labels, expected.labels);
    EXPECT_NEAR(chosen.ratioSpread, (expected.evenness - 1) * 100, 1e-4);
    // The positions are refitted for the drills chosen.
    for (const FittedHole& hole : chosen.holes)
        EXPECT_LT(std::abs(hole.cents), 0.1) << "hole " << hole.number;
}

INSTANTIATE_TEST_SUITE_P(
    SmallSets, DrillChoice,
    ::testing::Values(
        ChoiceCase{"PipeFourDrills", test::three_hole_pipe(), {4.5, 5.5, 6.5, 7.5}, 0.040},
        // 9.5 mm is beyond 0.8 of the 11 mm bore.
        ChoiceCase{"PipeWithATooWideDrill", test::three_hole_pipe(), {5.0, 7.0, 9.5}, 0.040},
        // A short reach rules out the smallest holes high up the tube.
        ChoiceCase{"PipeShortReach", test::three_hole_pipe(), {4.0, 5.0, 6.0, 7.0}, 0.027},
        ChoiceCase{"WhistleTwoDrills", test::d_whistle(), {6.0, 7.5}, 0.040}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrillChoice, RefusesWhenNoChoiceStaysWithinReach) {
    const std::vector<Drill> drills{{0.005, "5 mm"}, {0.006, "6 mm"}};
    const PitchFit chosen = choose_drills(test::three_hole_pipe(), drills, FitOptions{0.010});
    ASSERT_TRUE(chosen.failure);
    EXPECT_FALSE(chosen.geometry);
    EXPECT_EQ(chosen.failure->hole, 0u);
    EXPECT_NE(chosen.failure->message.find("hand reach"), std::string::npos);
}

TEST(DrillChoice, RefusesASetWithNothingNarrowEnoughForTheBore) {
    const std::vector<Drill> drills{{0.0095, "9.5 mm"}, {0.010, "10 mm"}};
    const PitchFit chosen = choose_drills(test::three_hole_pipe(), drills);
    ASSERT_TRUE(chosen.failure);
    EXPECT_EQ(chosen.failure->hole, 1u);
    EXPECT_NE(chosen.failure->message.find("at most 8.8 mm"), std::string::npos)
        << chosen.failure->message;
}

} // namespace
} // namespace sorrel::tuning
