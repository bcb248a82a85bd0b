// Drilling templates written to PDF and measured back with poppler: the
// strokes from `pdftocairo -svg`, the words from `pdftotext`. Marks must lie
// within 0.1 mm of the plan once the sheets are glued mark on mark.

#include "drilling/template_painter.h"
#include "tests/print_to_file.h"

#include <QFile>
#include <QPolygonF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

namespace sorrel {
namespace {

constexpr double kMmPerPoint = 25.4 / 72;
constexpr double kTolerance = 0.1; // mm on paper

// One stroked path of a page, in mm from the sheet's top-left corner.
struct Stroke {
    std::vector<QPointF> points; // every point of the path, control points included
    double width_mm = 0;
    bool dashed = false;
    bool curved = false;
    QRectF bounds() const {
        return QPolygonF(QList<QPointF>(points.begin(), points.end())).boundingRect();
    }
    bool horizontal() const { return !curved && bounds().height() < 1e-6; }
    bool vertical() const { return !curved && bounds().width() < 1e-6; }
};

// The stroked paths of one page, from cairo's SVG, where each path carries
// its pen in its style and its coordinates in a scaling matrix.
std::vector<Stroke> page_strokes(const QString& pdf, int page, const QString& folder) {
    const QString svg = folder + QStringLiteral("/page.svg");
    const QString number = QString::number(page);
    run_tool(QStringLiteral("pdftocairo"), {QStringLiteral("-svg"), QStringLiteral("-f"), number,
                                            QStringLiteral("-l"), number, pdf, svg});
    QFile file(svg);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression pathPattern(
        QStringLiteral("<path style=\"([^\"]*stroke-width:([0-9.]+)[^\"]*)\" d=\"([^\"]*)\" "
                       "transform=\"matrix\\(([^)]*)\\)\""));
    static const QRegularExpression numberPattern(QStringLiteral("-?[0-9.]+"));
    std::vector<Stroke> strokes;
    for (const QRegularExpressionMatch& match : pathPattern.globalMatch(text)) {
        const QStringList matrix = match.captured(4).split(QLatin1Char(','));
        const double sx = matrix[0].toDouble();
        const double sy = matrix[3].toDouble();
        const double tx = matrix[4].toDouble();
        const double ty = matrix[5].toDouble();
        Stroke stroke;
        stroke.width_mm = match.captured(2).toDouble() * sx * kMmPerPoint;
        stroke.dashed = match.captured(1).contains(QStringLiteral("stroke-dasharray"));
        stroke.curved = match.captured(3).contains(QLatin1Char('C'));
        std::vector<double> values;
        for (const QRegularExpressionMatch& n : numberPattern.globalMatch(match.captured(3)))
            values.push_back(n.captured(0).toDouble());
        for (std::size_t i = 0; i + 1 < values.size(); i += 2)
            stroke.points.emplace_back((values[i] * sx + tx) * kMmPerPoint,
                                       (values[i + 1] * sy + ty) * kMmPerPoint);
        if (!stroke.points.empty())
            strokes.push_back(stroke);
    }
    return strokes;
}

double foot_row(const std::vector<Stroke>& strokes) {
    for (const Stroke& s : strokes)
        if (s.horizontal() && std::fabs(s.width_mm - 1.0) < 0.05)
            return s.points.front().y();
    return std::nan("");
}

std::vector<double> glue_rows(const std::vector<Stroke>& strokes) {
    std::vector<double> rows;
    for (const Stroke& s : strokes)
        if (s.dashed && s.horizontal())
            rows.push_back(s.points.front().y());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

class TemplatePdfTest : public QObject {
    Q_OBJECT

private slots:
    void holesStandAtTheirDistanceFromTheFoot_data();
    void holesStandAtTheirDistanceFromTheFoot();
};

void TemplatePdfTest::holesStandAtTheirDistanceFromTheFoot_data() {
    QTest::addColumn<double>("length");
    QTest::addColumn<QList<double>>("centres");
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("pages");
    QTest::newRow("one A4 sheet") << 200.0 << QList<double>{30.0, 55.5, 80.25, 104.8, 130.1, 151.7}
                                  << int(Paper::A4) << 1;
    QTest::newRow("three Letter sheets")
        << 560.0 << QList<double>{40.0, 130.35, 209.9, 231.6, 400.05, 517.2} << int(Paper::Letter)
        << 3;
    QTest::newRow("three A4 sheets")
        << 600.0 << QList<double>{12.5, 225.0, 228.0, 441.3, 450.0, 580.75} << int(Paper::A4) << 3;
}

// Measures each circle from the foot line, carried from sheet to sheet by
// the glue marks as the maker lays one on the other; checks every sheet's
// rulers and page line on the way.
void TemplatePdfTest::holesStandAtTheirDistanceFromTheFoot() {
    QFETCH(double, length);
    QFETCH(QList<double>, centres);
    QFETCH(int, paper);
    QFETCH(int, pages);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("template.pdf"));
    // Hole n of the plan is drilled 2 + n mm, so its circle names it.
    DrillingPlan plan;
    plan.length_mm = length;
    plan.top_name = "block";
    plan.cut_at_top = true;
    plan.description = "Test";
    for (qsizetype k = 0; k < centres.size(); ++k)
        plan.holes.push_back({int(k) + 1, centres[k], 3.0 + double(k), "x"});
    QCOMPARE(write_template_pdf(lay_out_template(plan, Paper(paper)), pdf), QString());
    // Poppler reads the appended update that asks viewers to print at 100 %
    // without having to repair the document.
    QString errors;
    const QString info = run_tool(QStringLiteral("pdfinfo"), {pdf}, &errors);
    static const QRegularExpression pageCount(QStringLiteral("Pages:\\s+(\\d+)"));
    QCOMPARE(pageCount.match(info).captured(1).toInt(), pages);
    QCOMPARE(errors, QString());
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const qsizetype catalog = bytes.lastIndexOf("/Type /Catalog");
    QVERIFY(catalog > bytes.indexOf("%%EOF"));
    QVERIFY(bytes.indexOf("/ViewerPreferences << /PrintScaling /None >>", catalog) > catalog);

    std::vector<bool> found(static_cast<std::size_t>(centres.size()), false);
    double base = 0;               // strip position of `baseRow`, mm from the foot
    double baseRow = std::nan(""); // row of the foot line, then of each lower glue mark
    for (int page = 1; page <= pages; ++page) {
        const std::vector<Stroke> strokes = page_strokes(pdf, page, folder.path());
        // The rulers' spines: 100 mm and 4 in, at full scale.
        const auto spines = [&strokes](double length) {
            return std::count_if(strokes.begin(), strokes.end(), [length](const Stroke& s) {
                return s.vertical() && std::fabs(s.bounds().height() - length) < kTolerance;
            });
        };
        QCOMPARE(spines(100.0), 1);
        QCOMPARE(spines(4 * 25.4), 1);
        const QString number = QString::number(page);
        const QString words = run_tool(
            QStringLiteral("pdftotext"),
            {QStringLiteral("-f"), number, QStringLiteral("-l"), number, pdf, QStringLiteral("-")});
        QVERIFY(words.contains(QStringLiteral("Print at 100 %, no fit to page")));
        QVERIFY2(words.contains(page == 1 ? QString::asprintf("Page 1 of %d", pages)
                                          : QString::asprintf("Page %d of %d, glue to the mark on "
                                                              "page %d",
                                                              page, pages, page - 1)),
                 qPrintable(words));
        const std::vector<double> marks = glue_rows(strokes);
        QCOMPARE(int(marks.size()), pages == 1 ? 0 : page == 1 || page == pages ? 1 : 2);
        baseRow = page == 1 ? foot_row(strokes) : marks.back();
        QVERIFY(std::isfinite(baseRow));
        for (const Stroke& s : strokes) {
            if (!s.curved)
                continue;
            const QRectF box = s.bounds();
            const qsizetype k = std::lround(box.width() - 3.0);
            QVERIFY2(k >= 0 && k < centres.size(), qPrintable(QString::number(box.width())));
            QVERIFY(std::fabs(box.width() - (3.0 + double(k))) < kTolerance);
            QVERIFY(std::fabs(box.height() - box.width()) < kTolerance);
            const double measured = base + baseRow - box.center().y();
            QVERIFY2(std::fabs(measured - centres[k]) < kTolerance,
                     qPrintable(QString::asprintf("hole %d on page %d at %.3f mm", int(k) + 1, page,
                                                  measured)));
            found[static_cast<std::size_t>(k)] = true;
        }
        if (page < pages)
            base += baseRow - marks.front();
    }
    QVERIFY(std::all_of(found.begin(), found.end(), [](bool f) { return f; }));
}

} // namespace sorrel

QTEST_MAIN(sorrel::TemplatePdfTest)
#include "template_pdf_test.moc"
