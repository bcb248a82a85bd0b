#include "drilling/template_painter.h"

#include "drilling/pdf_print_scaling.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace sorrel {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72;
constexpr int kPdfResolution = 1000; // device pixels per inch
constexpr double kDashMm = 3;
constexpr double kGapMm = 2;

// Converts the layout's millimetres to the device's pixels.
class SheetScale {
public:
    explicit SheetScale(const QPaintDevice& device)
        : x_(device.logicalDpiX() / kMmPerInch), y_(device.logicalDpiY() / kMmPerInch) {}
    QPointF point(PagePoint p) const { return {p.x_mm * x_, p.y_mm * y_}; }
    double length(double mm) const { return mm * y_; }

private:
    double x_;
    double y_;
};

QPen pen_for(const PageLine& line, const SheetScale& scale) {
    const double width = scale.length(line.width_mm);
    QPen pen(Qt::black, width, Qt::SolidLine, Qt::FlatCap);
    if (line.dashed)
        pen.setDashPattern({scale.length(kDashMm) / width, scale.length(kGapMm) / width});
    return pen;
}

void draw_text(QPainter& painter, const PageText& text, const SheetScale& scale) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(text.size_mm / kMmPerInch * kPointsPerInch);
    font.setBold(text.bold);
    // Unshaped text keeps "fi" two letters, so the page's words can be
    // searched and copied as they read.
    font.setStyleStrategy(QFont::PreferNoShaping);
    painter.setFont(font);
    const QString words =
        QString::fromUtf8(text.text.data(), static_cast<qsizetype>(text.text.size()));
    QPointF at = scale.point(text.baseline);
    const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(words);
    if (text.align == TextAlign::Centre)
        at.rx() -= width / 2;
    else if (text.align == TextAlign::Right)
        at.rx() -= width;
    painter.drawText(at, words);
}

void paint_page(QPainter& painter, const TemplatePage& page, double paperWidth) {
    const SheetScale scale(*painter.device());
    const QRectF strip(scale.point({0, page.strip_top_mm}),
                       scale.point({paperWidth, page.strip_bottom_mm}));
    painter.setBrush(Qt::NoBrush);
    for (const PageLine& line : page.lines) {
        painter.setClipRect(strip);
        painter.setClipping(line.clipped);
        painter.setPen(pen_for(line, scale));
        painter.drawLine(scale.point(line.from), scale.point(line.to));
    }
    painter.setClipRect(strip);
    painter.setPen(QPen(Qt::black, scale.length(0.2)));
    for (const PageCircle& circle : page.circles) {
        const double radius = scale.length(circle.diameter_mm / 2);
        painter.drawEllipse(scale.point(circle.centre), radius, radius);
    }
    painter.setClipping(false);
    painter.setPen(Qt::black);
    for (const PageText& text : page.texts)
        draw_text(painter, text, scale);
}

} // namespace

void paint_template(QPainter& painter, QPagedPaintDevice& device, const TemplateLayout& layout) {
    for (std::size_t index = 0; index < layout.pages.size(); ++index) {
        if (index > 0)
            device.newPage();
        paint_page(painter, layout.pages[index], layout.paper.width_mm);
    }
}

QString write_template_pdf(const TemplateLayout& layout, const QString& path) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setTitle(QStringLiteral("Drilling template"));
        writer.setCreator(QStringLiteral("Sorrel"));
        writer.setPageSize(QPageSize(QSizeF(layout.paper.width_mm, layout.paper.height_mm),
                                     QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        QPainter painter;
        if (!painter.begin(&writer))
            return QStringLiteral("the PDF could not be drawn");
        paint_template(painter, writer, layout);
        painter.end();
    }
    const QByteArray drawn = buffer.data();
    const std::optional<std::string> unscaled = with_print_scaling_none(
        std::string_view(drawn.constData(), static_cast<std::size_t>(drawn.size())));
    if (!unscaled)
        return QStringLiteral("the PDF could not be marked for printing at 100 %");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(unscaled->data(), static_cast<qint64>(unscaled->size())) !=
            static_cast<qint64>(unscaled->size()) ||
        !file.commit())
        return path + QStringLiteral(": ") + file.errorString();
    return {};
}

} // namespace sorrel
