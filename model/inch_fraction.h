#pragma once
// A length as the nearest 1/64 inch, the finest mark on a maker's rule, with
// how far that mark lies from the true length.

#include <cstdint>
#include <optional>
#include <string>

namespace sorrel {

// The nearest 1/64 inch to a length, in lowest terms: 4 23/64, 5/16, 3.
struct InchFraction {
    bool negative = false;   // the length was below zero (never for a zero result)
    int32_t whole = 0;       // whole inches
    int32_t numerator = 0;   // 0 when the length rounds to whole inches
    int32_t denominator = 1; // 2, 4, ... 64; 1 when the numerator is 0
    double error_mm = 0;     // the fraction minus the true length, mm: a plus
                             // means the mark lies beyond the true length
};

// The largest length, in inches, that nearest_sixty_fourth takes.
inline constexpr double kMaxFractionInches = 1e6;

// The nearest 1/64 inch to `mm` (halves round away from zero). A negative
// length gives the fraction of its size, marked negative. Empty when `mm` is
// not finite or longer than kMaxFractionInches.
std::optional<InchFraction> nearest_sixty_fourth(double mm);

// "4 23/64 in", "5/16 in", "3 in", "0 in", "-1/64 in".
std::string format_inch_fraction(const InchFraction& fraction);

// The error to 0.01 mm with its sign: "+0.02 mm", "-0.13 mm", "+0.00 mm".
std::string format_fraction_error(const InchFraction& fraction);

} // namespace sorrel
