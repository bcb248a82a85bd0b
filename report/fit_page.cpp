#include "report/fit_page.h"

#include "report/report_page.h"
#include "tuning/fit_table.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace sorrel {
namespace {

constexpr double kThousandthsPerInch = 1000;
constexpr double kCellHeight = 180;    // character cell, 0.001 inch, as on the report
constexpr double kCharacterWidth = 70; // narrower than the report's 80: the table is wider
constexpr double kLeft = 250;          // left edge of the text, 0.001 inch
constexpr double kTop = 250;           // the title's cell, 0.001 inch
constexpr int kDrawnPixelSize = 1000;  // drawn large and scaled down, as the report is

QFont table_font() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setWeight(QFont::Bold);
    font.setPixelSize(kDrawnPixelSize);
    return font;
}

} // namespace

void paint_fit_page(QPainter& painter, const tuning::PitchFit& fit, const QString& title) {
    const QPaintDevice& device = *painter.device();
    const double pixelsPerUnitX = device.logicalDpiX() / kThousandthsPerInch;
    const double pixelsPerUnitY = device.logicalDpiY() / kThousandthsPerInch;
    const QFont font = table_font();
    const QFontMetricsF metrics(font, painter.device());
    const double scaleX = kCharacterWidth * pixelsPerUnitX / metrics.averageCharWidth();
    const double scaleY = kCellHeight * pixelsPerUnitY / (metrics.ascent() + metrics.descent());

    QStringList lines{QStringLiteral("Fit to pitch: ") + title, QString()};
    for (const std::string& line : tuning::fit_table_lines(fit))
        lines.append(QString::fromStdString(line));

    painter.save();
    painter.setFont(font);
    double row = kTop;
    for (const QString& line : lines) {
        painter.save();
        painter.translate(kLeft * pixelsPerUnitX, row * pixelsPerUnitY);
        painter.scale(scaleX, scaleY);
        painter.drawText(QPointF(0, metrics.ascent()), line);
        painter.restore();
        row += kCellHeight;
    }
    painter.restore();
}

std::string fit_pdf(const tuning::PitchFit& fit, const QString& title) {
    return pdf_page(QStringLiteral("Fit to pitch"),
                    [&](QPainter& painter) { paint_fit_page(painter, fit, title); });
}

WriteOutcome print_fit_to_pdf(const tuning::PitchFit& fit, const QString& title,
                              const QString& path) {
    return write_pdf_page(path, QStringLiteral("Fit to pitch"),
                          [&](QPainter& painter) { paint_fit_page(painter, fit, title); });
}

} // namespace sorrel
