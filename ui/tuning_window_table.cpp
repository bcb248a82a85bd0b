// The Tuning window's fingerings table: each row's prediction, measurement
// and residual, filled from the tuning session.

#include "model/text_format.h"
#include "ui/cents_band.h"
#include "ui/cents_chart.h"
#include "ui/latin1_text.h"
#include "ui/spoken_label.h"
#include "ui/tuning_window.h"

#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include <cmath>

namespace sorrel::ui {
namespace {

QString hertz_text(const std::optional<double>& hertz) {
    return hertz ? to_qstring(format("%.2f", *hertz)) : QStringLiteral("not found");
}

// Signed cents to one decimal; a figure that rounds to zero shows no sign.
QString cents_text(const std::optional<double>& cents) {
    if (!cents)
        return QStringLiteral("not found");
    if (std::abs(*cents) < 0.05)
        return QStringLiteral("0.0");
    return to_qstring(format("%+.1f", *cents));
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

void TuningWindow::show_predictions(const std::vector<tuning::FingeringResult>& results) {
    // The second register of a closed mouthpiece is a twelfth above the first.
    const bool closed = session_.as_built().mouth.kind == tuning::MouthKind::Closed;
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Fingering"), QStringLiteral("Target\n(Hz)"),
         QStringLiteral("Measured\n(Hz)"), QStringLiteral("Top of\nrange (Hz)"),
         QStringLiteral("As played\n(Hz)"), QStringLiteral("Residual\n(cents)"),
         QStringLiteral("Cents"),
         closed ? QStringLiteral("Twelfth\n(Hz)") : QStringLiteral("Second\nregister (Hz)"),
         closed ? QStringLiteral("Twelfth\nstretch (cents)")
                : QStringLiteral("Octave\nstretch (cents)")});
    const QSignalBlocker filling(table_); // the Measured cells are the session's already
    table_->setRowCount(int(results.size()));
    std::vector<CentsBar> bars;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const tuning::FingeringResult& result = results[i];
        const int row = int(i);
        auto* fingering = cell(to_qstring(result.fingering));
        fingering->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        fingering->setFont(QFont(QStringLiteral("monospace")));
        table_->setItem(row, kFingering, fingering);
        table_->setItem(row, kTarget,
                        cell(result.target ? to_qstring(format("%.2f", *result.target))
                                           : QStringLiteral("none")));
        const auto measured = session_.measured(result.fingering);
        auto* typed = cell(measured ? to_qstring(format("%.2f", *measured)) : QString());
        typed->setFlags(typed->flags() | Qt::ItemIsEditable);
        table_->setItem(row, kMeasured, typed);
        table_->setItem(row, kPredicted, cell(hertz_text(result.first)));
        table_->setItem(row, kPlayed, cell(hertz_text(result.played)));
        table_->setItem(row, kResidual, cell(QString()));
        auto* cents = cell(result.target ? cents_text(result.cents) : QStringLiteral("none"));
        if (result.cents)
            cents->setBackground(band_background(cents_band(*result.cents)));
        table_->setItem(row, kCents, cents);
        table_->setItem(row, kSecond, cell(hertz_text(result.second)));
        table_->setItem(row, kStretch, cell(cents_text(result.octaveStretch)));
        bars.push_back({to_qstring(result.fingering), result.cents});
    }
    show_residuals();
    chart_->show_bars(std::move(bars));
}

void TuningWindow::show_residuals() {
    for (int row = 0; row < table_->rowCount(); ++row) {
        QTableWidgetItem* shown = table_->item(row, kResidual);
        const auto match = session_.residual(to_latin1(table_->item(row, kFingering)->text()));
        if (shown != nullptr)
            shown->setText(match ? cents_text(match->residual) : QString());
    }
}

void TuningWindow::clear_predictions(const QString& reason) {
    session_.refuse_fields();
    for (int row = 0; row < table_->rowCount(); ++row) {
        for (int column = kMeasured + 1; column < kColumnCount; ++column)
            table_->setItem(row, column, cell(QStringLiteral("-")));
    }
    chart_->show_bars({});
    applyDrills_->setEnabled(false);
    cutoffs_->say(QString());
    status_->say(reason);
}

} // namespace sorrel::ui
