#pragma once
// Where the cutoff chart's lines fall, in pixels of the calculator panel:
// each hole's local cutoff (up) against its note's frequency (across), six
// points joined in hole order over a plot area with grid lines at fixed
// frequencies.

#include "model/circuit_record.h"

#include <vector>

namespace sorrel {

inline constexpr int kPlotInset = 50;     // plot area's offset from the chart origin, both ways
inline constexpr int kPlotWidth = 370;    // pixels
inline constexpr int kPlotHeight = 180;   // pixels
inline constexpr int kTickHalfLength = 5; // the vertical tick through each point

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct PixelLine {
    PixelPoint from;
    PixelPoint to;
    bool operator==(const PixelLine&) const = default;
};

// What one axis spans: the values' extent widened by a tenth of each end.
struct AxisRange {
    float lo = 0;
    float hi = 0;
    float span = 0;
};

AxisRange frequency_axis(const NoteArray& FR); // holes 1..6
AxisRange cutoff_axis(const NoteArray& LC);    // holes 1..6

struct CutoffGraphGeometry {
    PixelPoint plotTopLeft;           // the plot area is kPlotWidth × kPlotHeight from here
    std::vector<PixelPoint> points;   // holes 1..6; none when an axis has no usable span
    std::vector<PixelLine> gridLines; // vertical lines first, each strictly inside the plot area
};

// The chart of holes 1..6 with its origin at `origin`. A span of zero, or a
// frequency or cutoff that is not a finite number, leaves the plot area empty.
CutoffGraphGeometry cutoff_graph_geometry(const NoteArray& FR, const NoteArray& LC,
                                          PixelPoint origin);

} // namespace sorrel
