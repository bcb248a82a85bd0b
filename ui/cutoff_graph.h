#pragma once
// The cutoff chart on the calculator panel: each hole's local cutoff against
// its note's frequency, drawn at fixed pixels of the panel. It shows the last
// successful calculation and keeps showing it through repaints.

#include "model/circuit_record.h"
#include "model/cutoff_graph_geometry.h"

#include <QWidget>

#include <optional>

namespace sorrel::ui {

class CutoffGraph : public QWidget {
    Q_OBJECT

public:
    // The chart's origin in panel pixels; the plot area starts 50 pixels
    // further right and down.
    static constexpr PixelPoint kOrigin{300, 300};

    explicit CutoffGraph(QWidget* panel);

    // Charts the figures of a calculation that has just finished.
    void draw(const CircuitRecord& circuit);

    bool has_chart() const { return chart_.has_value(); }

    // The plot area in panel pixels.
    static QRect plot_area();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<CutoffGraphGeometry> chart_;
};

} // namespace sorrel::ui
