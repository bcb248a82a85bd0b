#include "tests/fit_instruments.h"
#include "tuning/drill_choice.h"
#include "tuning/drill_path.h"
#include "tuning/fingering.h"
#include "tuning/pitch_fit.h"
#include "tuning/tuning_model.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace sorrel::tuning {
namespace {

constexpr double kNo = std::numeric_limits<double>::quiet_NaN();

// Three holes of two drills each, worked by hand over all eight chains:
// (1,1,1) ranges 2.0-2.2 (1.1), (0,0,0) 1.0-1.2 (1.2), (0,0,1) 0.5-1.1
// (2.2, the lowest largest ratio of all), (1,1,0) 2.0-5.0, (0,1,*) up to
// 3.0 or 5.0; chains through hole 1's first drill over hole 0's second
// break a limit. Each floor's best: 0.5 gives (0,0,1), 1.0 (0,0,0), 1.1
// to 2.0 (1,1,1), and none reaches 2.1 everywhere.
TEST(DrillPaths, AreTheMostEvenChainsOfTheTable) {
    const RatioTable table = {
        {{1.0}, {2.0}},
        {{1.1, kNo}, {3.0, 2.1}},
        {{1.2, 5.0}, {0.5, 2.2}},
    };
    const std::vector<DrillPath> paths = most_even_paths(table, 5);
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0].drills, (std::vector<std::size_t>{1, 1, 1}));
    EXPECT_NEAR(paths[0].evenness, 1.1, 1e-12);
    EXPECT_EQ(paths[1].drills, (std::vector<std::size_t>{0, 0, 0}));
    EXPECT_NEAR(paths[1].evenness, 1.2, 1e-12);
    EXPECT_EQ(paths[2].drills, (std::vector<std::size_t>{0, 0, 1}));
    EXPECT_NEAR(paths[2].evenness, 2.2, 1e-12);
    EXPECT_EQ(most_even_paths(table, 1).size(), 1u);
    EXPECT_TRUE(most_even_paths({{{1.0}}, {{kNo}}}, 5).empty());
}

FitOptions limited(const std::function<void(FitOptions&)>& limit) {
    FitOptions options;
    limit(options);
    return options;
}

// The note of every default fingering on `fitted`, against its target.
std::vector<double> notes_cents(const Geometry& fitted) {
    std::vector<double> cents;
    const std::vector<Fingering> notes = default_fingerings(fitted.holes.size());
    for (std::size_t k = 0; k < notes.size(); ++k) {
        const FingeringResult note = predict_fingering(fitted, notes[k], fitted.targets[k]);
        cents.push_back(note.first ? 1200 * std::log2(*note.first / fitted.targets[k]) : 1e9);
    }
    return cents;
}

// A fixed hole stays put, at its place or at the one given, and its
// diameter alone brings its note in; every other note is fitted as usual.
TEST(FixedHoles, StayPutWithTheirDiameterFittedToTheirNote) {
    const struct {
        std::size_t hole;
        double at; // m from the foot; 0: where the file has it
        double given;
    } cases[] = {{3, 0.080, 0}, {3, 0, 0.085}, {1, 0.042, 0}, {6, 0.140, 0}, {4, 0.100, 0}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.hole);
        Geometry whistle = test::instrument("d_whistle");
        if (row.given > 0)
            whistle.holes[row.hole - 1].fromFoot = row.given;
        HoleLimits fixed;
        fixed.hole = row.hole;
        fixed.fixed = true;
        if (row.at > 0)
            fixed.at = row.at;
        const PitchFit fit =
            fit_to_pitch(whistle, limited([&](FitOptions& o) { o.holes = {fixed}; }));
        ASSERT_TRUE(fit.geometry) << fit.failure->message;
        EXPECT_NEAR(fit.geometry->holes[row.hole - 1].fromFoot, row.at > 0 ? row.at : row.given,
                    1e-5);
        for (const double cents : notes_cents(*fit.geometry))
            EXPECT_LT(std::abs(cents), 0.1);
    }
}

// The limits hold in every result, of the fit and of the drill choice.
TEST(FitLimits, HoldInEveryResult) {
    const struct {
        const char* what;
        bool drills;
        std::function<void(FitOptions&)> limit;
    } cases[] = {
        {"2 mm gap", false, [](FitOptions& o) { o.minGap = 0.002; }},
        {"2 mm gap, drills", true, [](FitOptions& o) { o.minGap = 0.002; }},
        {"all 5.5-7 mm, drills", true,
         [](FitOptions& o) {
             o.minDiameter = 0.0055;
             o.maxDiameter = 0.007;
         }},
        {"hole 2 at most 6 mm, drills", true,
         [](FitOptions& o) {
             o.holes = {{2, false, std::nullopt, 0, 0.006}};
         }},
        {"hole 5 fixed at 122 mm, 7-8 mm", false,
         [](FitOptions& o) {
             o.holes = {{5, true, 0.122, 0.007, 0.008}};
         }},
    };
    const std::vector<Drill> drills = drill_set(DrillSetKind::MetricHalf, {0.004, 0.009});
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const FitOptions options = limited(row.limit);
        const Geometry whistle = test::instrument("d_whistle");
        const PitchFit fit =
            row.drills ? choose_drills(whistle, drills, options) : fit_to_pitch(whistle, options);
        ASSERT_TRUE(fit.geometry) << fit.failure->message;
        const std::vector<Hole>& holes = fit.geometry->holes;
        for (std::size_t k = 0; k < holes.size(); ++k) {
            double smallest = options.minDiameter, largest = options.maxDiameter;
            for (const HoleLimits& own : options.holes)
                if (own.hole == k + 1) {
                    smallest = std::max(smallest, own.minDiameter);
                    largest = std::min(largest, own.maxDiameter);
                }
            EXPECT_GE(holes[k].diameter, smallest - 1e-12) << "hole " << k + 1;
            EXPECT_LE(holes[k].diameter, largest + 1e-12) << "hole " << k + 1;
            if (k > 0) {
                EXPECT_GE(holes[k].fromFoot - holes[k - 1].fromFoot -
                              (holes[k].diameter + holes[k - 1].diameter) / 2,
                          options.minGap - 1e-9)
                    << "holes " << k << " and " << k + 1;
            }
        }
        for (const double cents : notes_cents(*fit.geometry))
            EXPECT_LT(std::abs(cents), 0.1);
    }
}

// A limit that leaves a note out of reach names the hole, the limit and
// what would help; nothing is fitted.
TEST(FitLimits, ThatLeaveANoteOutOfReachAreNamed) {
    const struct {
        std::function<void(FitOptions&)> limit;
        std::size_t hole;
        const char* says;
    } cases[] = {
        // Hole 2 sits near 65.4 mm, hole 3 near 77.6 mm: hole 3 at 60 mm
        // leaves hole 2 no room; hole 6 at 180 mm (near 142 mm) is too high
        // for its note even at its narrowest, hole 2 at 50 mm too low even
        // at its widest.
        {[](FitOptions& o) {
             o.holes = {{3, true, 0.060, 0.004, 0.009}};
         },
         3, "hole 3, fixed at 60.0 mm from the foot, has no room"},
        {[](FitOptions& o) {
             o.holes = {{6, true, 0.180, 0.004, 0.008}};
         },
         6, "hole 6, fixed at 180.0 mm from the foot, sounds its note (oooooo)"},
        {[](FitOptions& o) {
             o.holes = {{2, true, 0.050, 0.004, 0.008}};
         },
         2, "cents flat even 8.00 mm wide"},
        {[](FitOptions& o) { o.minGap = 0.015; }, 3, "(15.0 mm of wood kept"},
        {[](FitOptions& o) {
             o.holes = {{2, false, std::nullopt, 0.008, 0.009}};
         },
         2, "hole 2: its diameter 7.0 mm lies outside its range 8.0 mm to 9.0 mm"},
        {[](FitOptions& o) {
             o.holes = {{7, true, std::nullopt, 0, 1}};
         },
         7, "hole 7: the instrument has holes 1 to 6"},
        {[](FitOptions& o) {
             o.holes = {{2, true, 0.060, 0.005, 0.008}, {3, true, 0.065, 0.005, 0.008}};
         },
         3, "holes 2 and 3 are both fixed"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.says);
        const PitchFit fit = fit_to_pitch(test::instrument("d_whistle"), limited(row.limit));
        ASSERT_TRUE(fit.failure);
        EXPECT_FALSE(fit.geometry);
        EXPECT_EQ(fit.failure->hole, row.hole) << fit.failure->message;
        EXPECT_NE(fit.failure->message.find(row.says), std::string::npos) << fit.failure->message;
        EXPECT_NE(fit.failure->message.find("would help"), std::string::npos)
            << fit.failure->message;
    }
}

// The drill choice tells its progress, rising to the whole, and stops when
// asked, with nothing chosen.
TEST(DrillChoiceProgress, RisesToTheWholeAndStopsWhenCancelled) {
    const std::vector<Drill> drills = drill_set(DrillSetKind::MetricHalf, {0.004, 0.009});
    std::vector<double> told;
    std::atomic<bool> cancel = false;
    FitOptions options;
    options.progress = [&](double done) { told.push_back(done); };
    options.cancel = &cancel;
    ASSERT_TRUE(choose_drills(test::instrument("d_whistle"), drills, options).geometry);
    ASSERT_GE(told.size(), 7u); // each hole of the first round, then the end
    EXPECT_EQ(told.front(), 0);
    EXPECT_EQ(told.back(), 1);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    options.progress = [&](double) { cancel = true; };
    const PitchFit stopped = choose_drills(test::instrument("d_whistle"), drills, options);
    ASSERT_TRUE(stopped.failure);
    EXPECT_FALSE(stopped.geometry);
    EXPECT_EQ(stopped.failure->message, "the drill choice was stopped before it finished");
}

} // namespace
} // namespace sorrel::tuning
