#include "model/cutoff_graph_geometry.h"

#include <array>
#include <cmath>
#include <optional>

namespace sorrel {
namespace {

constexpr float kLowestCutoffStart = 999999.875f;
constexpr float kLowestFrequencyStart = 100000000.0f;
constexpr double kFarOff = 1e6; // pixels; a point this far out has nothing to show

constexpr std::array<float, 9> kCutoffGrid = {250,  500,  1000, 1500, 2000,
                                              2500, 3000, 3500, 4000}; // Hz

AxisRange widened_range(const NoteArray& values, float lo) {
    float hi = 0;
    for (int j = 1; j < kNoteCount; ++j) {
        const float value = values[static_cast<std::size_t>(j)];
        if (value > hi)
            hi = value;
        if (value < lo)
            lo = value;
    }
    lo = static_cast<float>(lo - 0.1 * lo);
    hi = static_cast<float>(hi + 0.1 * hi);
    return {lo, hi, hi - lo};
}

bool is_usable(const AxisRange& range) {
    return std::isfinite(range.span) && range.span > 0;
}

// trunc((value - lo) / span × length), when that is a pixel offset at all.
std::optional<int> axis_offset(float value, const AxisRange& range, int length) {
    const double offset = std::trunc((double(value) - range.lo) / range.span * length);
    if (!std::isfinite(offset) || std::fabs(offset) > kFarOff)
        return std::nullopt;
    return static_cast<int>(offset);
}

std::optional<PixelPoint> plot_point(float frequency, float cutoff, const AxisRange& x,
                                     const AxisRange& y, PixelPoint topLeft) {
    const std::optional<int> across = axis_offset(frequency, x, kPlotWidth);
    const std::optional<int> up = axis_offset(cutoff, y, kPlotHeight);
    if (!across || !up)
        return std::nullopt;
    return PixelPoint{topLeft.x + *across, topLeft.y + kPlotHeight - *up};
}

void add_grid(CutoffGraphGeometry& chart, const AxisRange& x, const AxisRange& y) {
    const PixelPoint tl = chart.plotTopLeft;
    for (int step = 1; step <= 15; ++step) {
        const std::optional<int> u = axis_offset(static_cast<float>(step * 250), x, kPlotWidth);
        if (u && *u > 0 && *u < kPlotWidth)
            chart.gridLines.push_back({{tl.x + *u, tl.y}, {tl.x + *u, tl.y + kPlotHeight}});
    }
    for (float cutoff : kCutoffGrid) {
        const std::optional<int> up = axis_offset(cutoff, y, kPlotHeight);
        if (!up)
            continue;
        const int v = kPlotHeight - *up;
        if (v > 0 && v < kPlotHeight)
            chart.gridLines.push_back({{tl.x, tl.y + v}, {tl.x + kPlotWidth, tl.y + v}});
    }
}

} // namespace

AxisRange frequency_axis(const NoteArray& FR) {
    return widened_range(FR, kLowestFrequencyStart);
}

AxisRange cutoff_axis(const NoteArray& LC) {
    return widened_range(LC, kLowestCutoffStart);
}

CutoffGraphGeometry cutoff_graph_geometry(const NoteArray& FR, const NoteArray& LC,
                                          PixelPoint origin) {
    CutoffGraphGeometry chart;
    chart.plotTopLeft = {origin.x + kPlotInset, origin.y + kPlotInset};
    const AxisRange x = frequency_axis(FR);
    const AxisRange y = cutoff_axis(LC);
    if (!is_usable(x) || !is_usable(y))
        return chart;
    for (int j = 1; j < kNoteCount; ++j) {
        const std::size_t at = static_cast<std::size_t>(j);
        const std::optional<PixelPoint> point = plot_point(FR[at], LC[at], x, y, chart.plotTopLeft);
        if (!point) {
            chart.points.clear();
            return chart;
        }
        chart.points.push_back(*point);
    }
    add_grid(chart, x, y);
    return chart;
}

} // namespace sorrel
