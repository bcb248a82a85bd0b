#include "tests/fit_instruments.h"
#include "tuning/fingering.h"
#include "tuning/geometry_json.h"
#include "tuning/pitch_fit.h"
#include "tuning/tuning_model.h"

#include <cmath>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace sorrel::tuning {
namespace {

// The fitted geometry, written as a geometry file and read back as the tuning
// check reads it, predicts every default note within 0.1 cents; the fit kept
// the diameters, and each hole's cutoff ratio is the calculator's on the
// fitted spacings.
TEST(Fit, RoundTripsWithEveryNoteOnTarget) {
    for (const char* name : {"d_whistle", "d_flute", "three_hole_pipe"}) {
        SCOPED_TRACE(name);
        const Geometry given = test::instrument(name);
        const PitchFit fit = fit_to_pitch(given);
        ASSERT_TRUE(fit.geometry) << fit.failure->message;
        const GeometryRead read = read_geometry_json(write_geometry_json(*fit.geometry));
        ASSERT_TRUE(read.geometry) << read.error;
        const std::vector<Fingering> notes = default_fingerings(given.holes.size());
        for (std::size_t k = 0; k < notes.size(); ++k) {
            const FingeringResult note =
                predict_fingering(*read.geometry, notes[k], given.targets[k]);
            ASSERT_TRUE(note.first) << "note " << k;
            EXPECT_LT(std::abs(1200 * std::log2(*note.first / given.targets[k])), 0.1) << k;
        }
        const std::vector<double> ratios = test::cutoff_ratios(*fit.geometry);
        ASSERT_EQ(fit.holes.size(), given.holes.size());
        for (std::size_t k = 0; k < fit.holes.size(); ++k) {
            EXPECT_EQ(fit.geometry->holes[k].diameter, given.holes[k].diameter) << k;
            EXPECT_LT(std::abs(fit.holes[k].cents), 0.1);
            EXPECT_NEAR(fit.holes[k].cutoffRatio, ratios[k], 1e-9) << "hole " << k + 1;
        }
    }
}

// What cannot be reached is refused whole, naming the hole and what helps.
TEST(Fit, RefusesWhatCannotBeReachedNamingTheHoleAndWhatHelps) {
    using G = Geometry&;
    const std::tuple<void (*)(G), std::size_t, const char*, const char*> cases[] = {
        // A 1 mm top hole cannot raise C#6 even just below the window.
        {[](G g) { g.holes[5].diameter = 0.001; }, 6, "hole 6 would leave the tube",
         "a larger diameter or a lower target"},
        // Note 3 below note 2: hole 3 would have to sit below hole 2.
        {[](G g) { g.targets[3] = 650.0; }, 3, "hole 3 meets hole 2 below it",
         "a smaller diameter, a larger hole 2 or a higher target"},
        // Hole 1 for a note a hair above the bottom note would sit past the foot.
        {[](G g) { g.targets[1] = 588.0; }, 1, "hole 1 would leave the foot",
         "a smaller diameter or a higher target"},
        {[](G g) { g.targets.pop_back(); }, 0,
         "targets_hz: a fit needs one target per default fingering, 7", ""},
    };
    for (const auto& [spoil, hole, says, helps] : cases) {
        Geometry whistle = test::instrument("d_whistle");
        spoil(whistle);
        const PitchFit fit = fit_to_pitch(whistle);
        ASSERT_TRUE(fit.failure) << says;
        EXPECT_TRUE(!fit.geometry && fit.holes.empty() && fit.predictions.empty());
        EXPECT_EQ(fit.failure->hole, hole) << fit.failure->message;
        EXPECT_NE(fit.failure->message.find(says), std::string::npos) << fit.failure->message;
        EXPECT_NE(fit.failure->message.find(helps), std::string::npos) << fit.failure->message;
    }
}

// Warnings beside a successful fit: holes whose edges come within 1 mm, and
// neighbouring centres beyond the reach. Distances worked from the fitted
// centres and diameters here.
TEST(Fit, WarnsOfEveryPairTooCloseOrBeyondReach) {
    const struct {
        double fourthNote; // Hz: note 4's target; 0 keeps it
        double maxSpread;  // m
        bool warns;
    } cases[] = {
        {0, kDefaultMaxSpread, false},
        {812.0, kDefaultMaxSpread, true}, // a quarter tone crowds holes 3 and 4 together
        {0, 0.024, true},
    };
    for (const auto& row : cases) {
        Geometry whistle = test::instrument("d_whistle");
        if (row.fourthNote > 0)
            whistle.targets[4] = row.fourthNote;
        const PitchFit fit = fit_to_pitch(whistle, FitOptions{row.maxSpread});
        ASSERT_TRUE(fit.geometry) << fit.failure->message;
        std::vector<std::string> expected;
        const std::vector<Hole>& holes = fit.geometry->holes;
        for (std::size_t k = 1; k < holes.size(); ++k) {
            const double centres = holes[k].fromFoot - holes[k - 1].fromFoot;
            if (centres - holes[k].diameter / 2 - holes[k - 1].diameter / 2 < 0.001)
                expected.push_back("close " + std::to_string(k));
            if (centres > row.maxSpread)
                expected.push_back("reach " + std::to_string(k));
        }
        std::vector<std::string> got;
        for (const FitWarning& warning : fit.warnings) {
            const std::string lower = std::to_string(warning.lowerHole);
            got.push_back((warning.kind == FitWarning::Kind::TooClose ? "close " : "reach ") +
                          lower);
            const std::string pair =
                "holes " + lower + " and " + std::to_string(warning.lowerHole + 1);
            EXPECT_EQ(warning.message.rfind(pair, 0), 0u) << warning.message;
        }
        EXPECT_EQ(got, expected);
        EXPECT_EQ(!expected.empty(), row.warns) << row.fourthNote << " " << row.maxSpread;
    }
}

} // namespace
} // namespace sorrel::tuning
