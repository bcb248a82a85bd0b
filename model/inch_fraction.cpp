#include "model/inch_fraction.h"

#include "model/text_format.h"

#include <cmath>
#include <numeric>

namespace sorrel {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr int32_t kSixtyFourths = 64;

} // namespace

std::optional<InchFraction> nearest_sixty_fourth(double mm) {
    if (!std::isfinite(mm) || std::fabs(mm) > kMaxFractionInches * kMmPerInch)
        return std::nullopt;
    const double steps = std::round(std::fabs(mm) / kMmPerInch * kSixtyFourths);
    const auto count = static_cast<int64_t>(steps);
    InchFraction fraction;
    fraction.negative = mm < 0 && count > 0;
    fraction.whole = static_cast<int32_t>(count / kSixtyFourths);
    const auto rest = static_cast<int32_t>(count % kSixtyFourths);
    const int32_t common = std::gcd(rest, kSixtyFourths); // 64 when rest is 0
    fraction.numerator = rest / common;
    fraction.denominator = rest == 0 ? 1 : kSixtyFourths / common;
    const double fractionMm = steps * kMmPerInch / kSixtyFourths;
    fraction.error_mm = (mm < 0 ? -fractionMm : fractionMm) - mm;
    return fraction;
}

std::string format_inch_fraction(const InchFraction& fraction) {
    const char* sign = fraction.negative ? "-" : "";
    if (fraction.numerator == 0)
        return format("%s%d in", sign, static_cast<int>(fraction.whole));
    if (fraction.whole == 0)
        return format("%s%d/%d in", sign, static_cast<int>(fraction.numerator),
                      static_cast<int>(fraction.denominator));
    return format("%s%d %d/%d in", sign, static_cast<int>(fraction.whole),
                  static_cast<int>(fraction.numerator), static_cast<int>(fraction.denominator));
}

std::string format_fraction_error(const InchFraction& fraction) {
    // Rounded first, so an error a hair below zero shows "+0.00", not "-0.00".
    const double hundredths = std::round(fraction.error_mm * 100) + 0.0;
    return format("%+.2f mm", hundredths / 100);
}

} // namespace sorrel
