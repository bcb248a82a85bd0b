#pragma once
// The tuning window's bar chart: each fingering's deviation from its target
// in cents, bars up for sharp and down for flat about a zero line, coloured
// as the fingerings table colours the figures.

#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

namespace sorrel::ui {

// One bar of the chart.
struct CentsBar {
    QString label;               // the fingering, "xxxooo"
    std::optional<double> cents; // empty: no target or no resonance found
};

// Bars of cents per fingering, on the smallest of a few fixed scales that
// holds them all, so that a close tuning still shows its differences.
class CentsChart : public QWidget {
    Q_OBJECT

public:
    explicit CentsChart(QWidget* parent);

    void show_bars(std::vector<CentsBar> bars);
    const std::vector<CentsBar>& bars() const { return bars_; }

    QSize sizeHint() const override;
    // How many lines the fingerings below the bars take so that none runs
    // into its neighbour: one while each fits under its bar.
    int label_lines() const;
    double plot_width() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<CentsBar> bars_;
    double reach_ = 30; // cents at the top and bottom of the scale
};

} // namespace sorrel::ui
