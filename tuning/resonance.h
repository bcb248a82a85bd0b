#pragma once
// Finding resonances: the rising zero of a reactance, or the peak of an
// impedance magnitude, near a target frequency or the lowest one in a range.
// Each search samples in steps of kScanStepCents and refines the bracket it
// found; it never reports a resonance it did not bracket.

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace sorrel::tuning {

inline constexpr double kScanStepCents = 25;
inline constexpr double kSearchCents = 200; // how far from its target a resonance is sought

inline double cents_ratio(double cents) {
    return std::exp2(cents / 1200);
}

// The root of `f` in [lo, hi], where f(lo) and f(hi) differ in sign, to a
// relative tolerance of 1e-13: Brent's method (R. P. Brent, Algorithms for
// Minimization without Derivatives, 1973, ch. 4).
template <class F> double brent_root(F&& f, double lo, double hi, double flo, double fhi) {
    double a = lo, b = hi, fa = flo, fb = fhi;
    double c = a, fc = fa, d = b - a, e = d;
    for (int iteration = 0; iteration < 200; ++iteration) {
        if ((fb > 0) == (fc > 0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::abs(fc) < std::abs(fb)) {
            a = b, b = c, c = a;
            fa = fb, fb = fc, fc = fa;
        }
        const double tolerance =
            2 * std::numeric_limits<double>::epsilon() * std::abs(b) + 1e-13 * std::abs(b);
        const double middle = (c - b) / 2;
        if (std::abs(middle) <= tolerance || fb == 0)
            return b;
        if (std::abs(e) >= tolerance && std::abs(fa) > std::abs(fb)) {
            // Inverse quadratic interpolation, or the secant when only two
            // points differ.
            double p, q;
            const double s = fb / fa;
            if (a == c) {
                p = 2 * middle * s;
                q = 1 - s;
            } else {
                const double r = fb / fc, t = fa / fc;
                p = s * (2 * middle * t * (t - r) - (b - a) * (r - 1));
                q = (t - 1) * (r - 1) * (s - 1);
            }
            if (p > 0)
                q = -q;
            p = std::abs(p);
            if (2 * p < std::min(3 * middle * q - std::abs(tolerance * q), std::abs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = e = middle;
            }
        } else {
            d = e = middle;
        }
        a = b;
        fa = fb;
        b += std::abs(d) > tolerance ? d : (middle > 0 ? tolerance : -tolerance);
        fb = f(b);
    }
    return b;
}

// The maximum of `f` in [lo, hi] by golden-section search, to a relative
// tolerance of 1e-12.
template <class F> double golden_peak(F&& f, double lo, double hi) {
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double x1 = hi - ratio * (hi - lo), x2 = lo + ratio * (hi - lo);
    double f1 = f(x1), f2 = f(x2);
    while (hi - lo > 1e-12 * hi) {
        if (f1 < f2) {
            lo = x1, x1 = x2, f1 = f2;
            x2 = lo + ratio * (hi - lo);
            f2 = f(x2);
        } else {
            hi = x2, x2 = x1, f2 = f1;
            x1 = hi - ratio * (hi - lo);
            f1 = f(x1);
        }
    }
    return (lo + hi) / 2;
}

namespace detail {

inline constexpr int kHalfSteps = static_cast<int>(kSearchCents / kScanStepCents);

// Samples of a function on the grid target × 2^(i·step/1200), |i| ≤ kHalfSteps,
// taken when first needed.
template <class F> class Grid {
public:
    Grid(F& f, double target) : f_(f), target_(target) { taken_.fill(false); }
    double frequency(int i) const { return target_ * cents_ratio(i * kScanStepCents); }
    double value(int i) {
        const auto slot = static_cast<std::size_t>(i + kHalfSteps);
        if (!taken_[slot]) {
            values_[slot] = f_(frequency(i));
            taken_[slot] = true;
        }
        return values_[slot];
    }

private:
    F& f_;
    double target_;
    std::array<double, 2 * kHalfSteps + 1> values_{};
    std::array<bool, 2 * kHalfSteps + 1> taken_{};
};

} // namespace detail

// The rising zero of `reactance` (Hz -> value) within ±kSearchCents of
// `target`, the one nearest the target; empty when there is none.
template <class F> std::optional<double> rising_zero_near(F&& reactance, double target) {
    detail::Grid grid(reactance, target);
    // Intervals [i, i+1] in order of their distance from the target: 0, -1, 1, -2, ...
    for (int step = 0; step < 2 * detail::kHalfSteps; ++step) {
        const int i = step % 2 == 0 ? step / 2 : -(step + 1) / 2;
        const double below = grid.value(i), above = grid.value(i + 1);
        if (below < 0 && above >= 0)
            return brent_root(reactance, grid.frequency(i), grid.frequency(i + 1), below, above);
    }
    return std::nullopt;
}

// The peak of `magnitude` (Hz -> value) within ±kSearchCents of `target`, the
// one nearest the target; empty when there is none.
template <class F> std::optional<double> peak_near(F&& magnitude, double target) {
    detail::Grid grid(magnitude, target);
    for (int step = 0; step < 2 * detail::kHalfSteps - 1; ++step) {
        const int i = step % 2 == 0 ? step / 2 : -(step + 1) / 2;
        const double here = grid.value(i);
        if (here >= grid.value(i - 1) && here >= grid.value(i + 1))
            return golden_peak(magnitude, grid.frequency(i - 1), grid.frequency(i + 1));
    }
    return std::nullopt;
}

// The lowest rising zero of `reactance` between `from` and `to` Hz.
template <class F> std::optional<double> lowest_rising_zero(F&& reactance, double from, double to) {
    double below = reactance(from);
    for (double lo = from; lo < to;) {
        const double hi = lo * cents_ratio(kScanStepCents);
        const double above = reactance(hi);
        if (below < 0 && above >= 0)
            return brent_root(reactance, lo, hi, below, above);
        lo = hi;
        below = above;
    }
    return std::nullopt;
}

// How many times `reactance` rises through zero between `from` and `to` Hz,
// sampled every kCountStepCents: a resonance's rising zero and the falling
// jump above it lie further apart than that.
inline constexpr double kCountStepCents = 50;

template <class F> int rising_zeros_between(F&& reactance, double from, double to) {
    int count = 0;
    double below = reactance(from);
    for (double lo = from; lo < to;) {
        const double hi = std::min(lo * cents_ratio(kCountStepCents), to);
        const double above = reactance(hi);
        count += below < 0 && above >= 0;
        lo = hi;
        below = above;
    }
    return count;
}

// The lowest peak of `magnitude` between `from` and `to` Hz.
template <class F> std::optional<double> lowest_peak(F&& magnitude, double from, double to) {
    const double step = cents_ratio(kScanStepCents);
    double previous = magnitude(from), here = magnitude(from * step);
    for (double f = from * step; f < to; f *= step) {
        const double next = magnitude(f * step);
        if (here >= previous && here >= next)
            return golden_peak(magnitude, f / step, f * step);
        previous = here;
        here = next;
    }
    return std::nullopt;
}

} // namespace sorrel::tuning
