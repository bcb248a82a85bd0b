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
        {[](G g) { g.targets[3] = 650.0; }, 3, "hole 3 meets hole 2 below it (1.0 mm of wood",
         "a smaller diameter, a larger hole 2, a smaller gap or a higher target"},
        // A quarter tone above note 3 would crowd hole 4 within 1 mm of hole 3.
        {[](G g) { g.targets[4] = 812.0; }, 4, "hole 4 meets hole 3 below it (1.0 mm of wood",
         "a smaller gap"},
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

// Warnings beside a successful fit: neighbouring centres beyond one hand's
// reach within holes 1-3 and within 4-6, or beyond the hands' gap between
// holes 3 and 4. Distances worked from the fitted centres here.
TEST(Fit, WarnsOfNeighboursBeyondTheReachOfTheirHand) {
    const struct {
        double maxSpread, maxHandGap; // m
        const char* pairs;            // the lower holes of the pairs warned of
    } cases[] = {
        // The fitted whistle's neighbours lie 25.3, 12.2, 26.4 (between the
        // hands), 17.4 and 20.5 mm apart.
        {kDefaultMaxSpread, kDefaultMaxHandGap, ""},
        {0.024, kDefaultMaxHandGap, "1"},
        {0.020, kDefaultMaxHandGap, "15"},
        {kDefaultMaxSpread, 0.026, "3"},
        {0.017, 0.030, "145"},
    };
    const Geometry whistle = test::instrument("d_whistle");
    for (const auto& row : cases) {
        SCOPED_TRACE(row.pairs);
        FitOptions options;
        options.maxSpread = row.maxSpread;
        options.maxHandGap = row.maxHandGap;
        const PitchFit fit = fit_to_pitch(whistle, options);
        ASSERT_TRUE(fit.geometry) << fit.failure->message;
        std::string warned;
        for (const FitWarning& warning : fit.warnings) {
            warned += std::to_string(warning.lowerHole);
            const std::vector<Hole>& holes = fit.geometry->holes;
            EXPECT_NEAR(warning.distance,
                        holes[warning.lowerHole].fromFoot - holes[warning.lowerHole - 1].fromFoot,
                        1e-12);
        }
        EXPECT_EQ(warned, row.pairs);
    }
}

} // namespace
} // namespace sorrel::tuning
