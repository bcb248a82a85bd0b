#include "report/report_page.h"

#include "report/report_lines.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace sorrel {
namespace {

constexpr double kThousandthsPerInch = 1000;
constexpr double kCellHeight = 180;    // character cell, 0.001 inch
constexpr double kCharacterWidth = 80; // average character width, 0.001 inch
constexpr int kPdfResolution = 1000;   // one device pixel per 0.001 inch

// Fonts are sized in whole pixels, too coarse for an exact cell on a
// low-resolution device, so the page draws a large font and scales it down.
constexpr int kDrawnPixelSize = 1000;

QFont report_font() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setWeight(QFont::ExtraBold);
    font.setPixelSize(kDrawnPixelSize);
    return font;
}

} // namespace

void paint_report_page(QPainter& painter, const CircuitRecord& circuit) {
    const QPaintDevice& device = *painter.device();
    const double pixelsPerUnitX = device.logicalDpiX() / kThousandthsPerInch;
    const double pixelsPerUnitY = device.logicalDpiY() / kThousandthsPerInch;

    const QFont font = report_font();
    const QFontMetricsF metrics(font, painter.device());
    const double scaleX = kCharacterWidth * pixelsPerUnitX / metrics.averageCharWidth();
    const double scaleY = kCellHeight * pixelsPerUnitY / (metrics.ascent() + metrics.descent());

    painter.save();
    painter.setFont(font);
    for (const ReportLine& line : report_lines(circuit)) {
        painter.save();
        painter.translate(kReportLeft * pixelsPerUnitX, line.row * pixelsPerUnitY);
        painter.scale(scaleX, scaleY);
        // The record's texts hold one Latin-1 byte per character, as the panel
        // stores what the user types.
        const QString text =
            QString::fromLatin1(line.text.data(), static_cast<qsizetype>(line.text.size()));
        painter.drawText(QPointF(0, metrics.ascent()), text);
        painter.restore();
    }
    painter.restore();
}

std::string pdf_page(const QString& title, const std::function<void(QPainter&)>& paint) {
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(title);
        writer.setResolution(kPdfResolution);
        writer.setPageMargins(
            QMarginsF(kPdfMarginInches, kPdfMarginInches, kPdfMarginInches, kPdfMarginInches),
            QPageLayout::Inch);
        QPainter painter(&writer);
        paint(painter);
    } // the document is complete once the painter and the writer are done
    const QByteArray& bytes = pdf.data();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

WriteOutcome write_pdf_page(const QString& path, const QString& title,
                            const std::function<void(QPainter&)>& paint) {
    return write_file_safely(QFile::encodeName(path).toStdString(), pdf_page(title, paint));
}

WriteOutcome print_report_to_pdf(const CircuitRecord& circuit, const QString& path) {
    return write_pdf_page(path, QStringLiteral("Toneholes"),
                          [&circuit](QPainter& painter) { paint_report_page(painter, circuit); });
}

} // namespace sorrel
