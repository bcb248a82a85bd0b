#include "ui/cutoff_graph.h"

#include "model/text_format.h"
#include "ui/latin1_text.h"

#include <QPainter>
#include <QPen>

namespace sorrel::ui {
namespace {

constexpr int kReach = 8; // pixels the ticks and the outline reach beyond the plot area

const QColor kPlotFill(192, 192, 192); // the light-grey stock brush
const QColor kGridColour(255, 0, 0);

QPoint to_qpoint(PixelPoint point) {
    return {point.x, point.y};
}

// What a screen reader offers for the picture: the figure the chart is
// there to show, each hole's cutoff ratio.
std::string ratios_text(const CircuitRecord& circuit) {
    std::string text = "Cutoff ratio";
    for (int hole = 1; hole < kNoteCount; ++hole)
        text += format("%s hole %d: %.2f", hole == 1 ? "," : ";", hole,
                       double(circuit.RA[static_cast<std::size_t>(hole)]));
    return text;
}

} // namespace

CutoffGraph::CutoffGraph(QWidget* panel) : QWidget(panel) {
    setGeometry(plot_area().adjusted(-kReach, -kReach, kReach, kReach));
    setAccessibleName(QStringLiteral("Cutoff frequency against note frequency"));
}

QRect CutoffGraph::plot_area() {
    return {kOrigin.x + kPlotInset, kOrigin.y + kPlotInset, kPlotWidth, kPlotHeight};
}

void CutoffGraph::draw(const CircuitRecord& circuit) {
    chart_ = cutoff_graph_geometry(circuit.FR, circuit.LC, kOrigin);
    setAccessibleDescription(to_qstring(ratios_text(circuit)));
    update();
}

void CutoffGraph::paintEvent(QPaintEvent*) {
    if (!chart_)
        return;
    QPainter painter(this);
    painter.translate(-pos()); // the chart is laid out in panel pixels
    const QPen outline(Qt::black, 2, Qt::SolidLine);
    painter.setPen(outline);
    painter.setBrush(kPlotFill);
    const QRect plot = plot_area();
    painter.drawRect(QRectF(plot.x(), plot.y(), plot.width(), plot.height()));
    // Figures far from the others map outside the plot area; the curve
    // stops at its edge rather than run over the panel.
    painter.setClipRect(plot);

    const std::vector<PixelPoint>& points = chart_->points;
    for (std::size_t j = 0; j < points.size(); ++j) {
        const QPoint point = to_qpoint(points[j]);
        if (j > 0)
            painter.drawLine(to_qpoint(points[j - 1]), point);
        painter.drawLine(point - QPoint(0, kTickHalfLength), point + QPoint(0, kTickHalfLength));
    }

    painter.setPen(QPen(kGridColour, 1, Qt::DashLine));
    for (const PixelLine& line : chart_->gridLines)
        painter.drawLine(to_qpoint(line.from), to_qpoint(line.to));
}

} // namespace sorrel::ui
