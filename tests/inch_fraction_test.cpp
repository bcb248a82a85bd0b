#include "model/inch_fraction.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace sorrel {
namespace {

// A length, the fraction a maker reads for it and the error, worked by hand
// from 1 in = 25.4 mm.
TEST(InchFraction, ReadsTheNearestSixtyFourth) {
    const struct {
        double mm;
        const char* text;
        const char* error;
    } cases[] = {
        {110.728125, "4 23/64 in", "+0.00 mm"}, // exactly 4 + 23/64
        {7.9375, "5/16 in", "+0.00 mm"},        // 20/64 reduced
        {12.7, "1/2 in", "+0.00 mm"},           // 32/64
        {76.35, "3 in", "-0.15 mm"},            // 192.38/64: whole inches
        {25.1, "63/64 in", "-0.10 mm"},         // 63.24/64
        {25.3, "1 in", "+0.10 mm"},             // 63.75/64 rounds past 63/64
        {75.7, "2 63/64 in", "+0.10 mm"},       // 190.74/64
        {0.1, "0 in", "-0.10 mm"},              // 0.25/64: nothing to mark
        {0.2, "1/64 in", "+0.20 mm"},           // 0.504/64: 0.396875 mm
        {-7.9375, "-5/16 in", "+0.00 mm"},      // negative, exact
        {-0.1, "0 in", "+0.10 mm"},             // no "-0 in"
        {300.0, "11 13/16 in", "+0.04 mm"},     // 755.9/64 -> 756/64
    };
    for (const auto& c : cases) {
        const std::optional<InchFraction> fraction = nearest_sixty_fourth(c.mm);
        ASSERT_TRUE(fraction.has_value()) << c.mm;
        EXPECT_EQ(format_inch_fraction(*fraction) + " " + format_fraction_error(*fraction),
                  std::string(c.text) + " " + c.error);
    }
}

TEST(InchFraction, RefusesWhatNoRuleMeasures) {
    for (const double mm :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e9, -1e9})
        EXPECT_FALSE(nearest_sixty_fourth(mm).has_value()) << mm;
}

} // namespace
} // namespace sorrel
