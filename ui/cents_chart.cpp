#include "ui/cents_chart.h"

#include "model/text_format.h"
#include "ui/cents_band.h"
#include "ui/latin1_text.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace sorrel::ui {
namespace {

constexpr int kScaleWidth = 36;  // pixels left of the bars for the cents labels
constexpr int kLabelHeight = 18; // pixels below the bars for the fingerings
constexpr int kMargin = 8;       // pixels above the scale
constexpr int kLabelGap = 6;     // pixels between neighbouring labels
constexpr int kMostLabelLines = 4;
constexpr double kGridCents[] = {-15, -5, 5, 15};
// The scales in cents, the widest reaching past the 200 cents within which
// a resonance is sought; longer bars are cut at the top or bottom.
constexpr double kReaches[] = {30, 60, 120, 240};

} // namespace

CentsChart::CentsChart(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Cents per note"));
    setMinimumHeight(160);
}

QSize CentsChart::sizeHint() const {
    return {480, 200};
}

void CentsChart::show_bars(std::vector<CentsBar> bars) {
    bars_ = std::move(bars);
    double largest = 0;
    for (const CentsBar& bar : bars_)
        largest = std::max(largest, bar.cents ? std::abs(*bar.cents) : 0.0);
    const auto* fits = std::find_if(std::begin(kReaches), std::end(kReaches) - 1,
                                    [largest](double reach) { return largest <= reach; });
    reach_ = *fits;
    QStringList spoken;
    for (const CentsBar& bar : bars_)
        spoken << bar.label + QStringLiteral(" ") +
                      (bar.cents ? to_qstring(format("%+.1f cents", *bar.cents))
                                 : QStringLiteral("none"));
    setAccessibleDescription(spoken.join(QStringLiteral(", ")));
    update();
}

double CentsChart::plot_width() const {
    return width() - kScaleWidth - kMargin;
}

int CentsChart::label_lines() const {
    if (bars_.empty())
        return 1;
    int widest = 0;
    for (const CentsBar& bar : bars_)
        widest = std::max(widest, fontMetrics().horizontalAdvance(bar.label) + kLabelGap);
    const double slot = plot_width() / double(bars_.size());
    return std::clamp(int(std::ceil(widest / slot)), 1, kMostLabelLines);
}

void CentsChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int lines = label_lines();
    const QRectF plot(kScaleWidth, kMargin, plot_width(),
                      height() - kMargin - kLabelHeight * lines);
    const double reach = reach_;
    const auto y_of = [&plot, reach](double cents) {
        const double clipped = std::clamp(cents, -reach, reach);
        return plot.center().y() - clipped / reach * plot.height() / 2;
    };

    painter.setPen(QPen(Qt::lightGray, 1, Qt::DashLine));
    for (const double cents : kGridCents)
        painter.drawLine(QPointF(plot.left(), y_of(cents)), QPointF(plot.right(), y_of(cents)));
    painter.setPen(Qt::black);
    for (const double cents : {-reach, -reach / 2, 0.0, reach / 2, reach})
        painter.drawText(QRectF(0, y_of(cents) - 8, kScaleWidth - 4, 16),
                         Qt::AlignRight | Qt::AlignVCenter, to_qstring(format("%+.0f", cents)));

    if (!bars_.empty()) {
        const double slot = plot.width() / double(bars_.size());
        for (std::size_t i = 0; i < bars_.size(); ++i) {
            const CentsBar& bar = bars_[i];
            const double left = plot.left() + slot * double(i);
            // Labels wider than their bar take turns on the lines below.
            const QRectF labelBox(left - slot * (lines - 1) / 2.0,
                                  plot.bottom() + 2 + kLabelHeight * double(i % std::size_t(lines)),
                                  slot * lines, kLabelHeight - 2);
            painter.setPen(Qt::black);
            painter.drawText(labelBox, Qt::AlignCenter, bar.label);
            if (!bar.cents) {
                painter.drawText(QRectF(left, plot.center().y() - 10, slot, 20), Qt::AlignCenter,
                                 QStringLiteral("?"));
                continue;
            }
            const QRectF barBox(QPointF(left + slot * 0.2, y_of(0)),
                                QPointF(left + slot * 0.8, y_of(*bar.cents)));
            painter.fillRect(barBox.normalized(), band_colour(cents_band(*bar.cents)));
        }
    }
    painter.setPen(Qt::black);
    painter.drawLine(QPointF(plot.left(), y_of(0)), QPointF(plot.right(), y_of(0)));
    painter.drawRect(plot);
}

} // namespace sorrel::ui
