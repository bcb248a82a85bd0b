#include "model/hole_sizes.h"

#include "model/circuit_record.h"

#include <array>
#include <cmath>

namespace sorrel {
namespace {

constexpr float kSameDrill = 0.011904762f; // 1/84 inch: how close counts as the drill itself
constexpr double kLargestMetric = 25;      // mm

// Every 1/64 inch from 3/64 to 7/16, then 15/32 and 1/2.
constexpr std::array<float, 28> kDrillSizes = [] {
    std::array<float, 28> sizes{};
    for (int i = 0; i < 26; ++i)
        sizes[static_cast<std::size_t>(i)] = static_cast<float>((i + 3) / 64.0);
    sizes[26] = 15.0f / 32;
    sizes[27] = 0.5f;
    return sizes;
}();

float drill_size_up(float inches) {
    for (float size : kDrillSizes) {
        if (double(inches) + kSameDrill <= size)
            return size;
    }
    return kDrillSizes.front();
}

float drill_size_down(float inches) {
    for (std::size_t i = 0; i < kDrillSizes.size(); ++i) {
        if (inches <= double(kDrillSizes[i]) + kSameDrill)
            return i == 0 ? kDrillSizes.back() : kDrillSizes[i - 1];
    }
    return kDrillSizes.front();
}

float next_metric_size(float millimetres, SizeStep step) {
    // Compared as a real number, so sizes no integer can hold (and NaN) go round too.
    const double whole = std::trunc(double(millimetres));
    if (step == SizeStep::Up)
        return static_cast<float>(whole < kLargestMetric ? whole + 1 : 0);
    return static_cast<float>(whole >= 1 ? whole - 1 : kLargestMetric);
}

} // namespace

float next_hole_size(float size, int32_t unit, SizeStep step) {
    if (unit != UNIT_ENGLISH)
        return next_metric_size(size, step);
    return step == SizeStep::Up ? drill_size_up(size) : drill_size_down(size);
}

} // namespace sorrel
