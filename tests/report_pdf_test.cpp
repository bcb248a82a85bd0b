// The report of a design with hand-set figures, printed to a PDF and read
// back word by word with poppler's `pdftotext -bbox`.

#include "report/report_page.h"
#include "tests/print_to_file.h"
#include "tests/report_sample.h"

#include <QRectF>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

namespace sorrel {
namespace {

constexpr double kPointsPerUnit = 72.0 / 1000; // one unit is 0.001 inch
constexpr double kMarginPoints = 18;           // a quarter inch round the printable area
constexpr double kLeftPoints = 440 * kPointsPerUnit;
constexpr double kCharacterPoints = 80 * kPointsPerUnit;
constexpr double kCellPoints = 180 * kPointsPerUnit;

// One printed word and its box, in points from the top-left of the paper.
struct Word {
    QString text;
    QRectF box;
};

std::vector<Word> printed_words(const QString& pdfPath) {
    QXmlStreamReader xml(run_tool(QStringLiteral("pdftotext"),
                                  {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")}));
    std::vector<Word> words;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement() || xml.name() != QLatin1String("word"))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const auto at = [&a](const char* name) { return a.value(QLatin1String(name)).toDouble(); };
        const QRectF box(QPointF(at("xMin"), at("yMin")), QPointF(at("xMax"), at("yMax")));
        words.push_back({xml.readElementText(), box});
    }
    return words;
}

} // namespace

class ReportPdfTest : public QObject {
    Q_OBJECT

private slots:
    void everyWordStandsInItsCharacterCell();
};

// Each word must stand within a point of its line's row and of its first
// character's cell, counting from 0.44 inch right of the printable area's
// left edge in cells of 0.08 x 0.18 inch, so that blank-aligned columns line
// up. Put back in the cells they stand in, the words give every line's text,
// a description typed with an accent included. A path that cannot be written
// reports failure.
void ReportPdfTest::everyWordStandsInItsCharacterCell() {
    CircuitRecord circuit = report_sample();
    circuit.DESC.assign("Caf\xe9"); // Latin-1, as the panel stores it
    std::vector<QString> expected;
    for (std::string_view line : kSamplePage)
        expected.push_back(QString::fromLatin1(line.data(), qsizetype(line.size())));
    expected[1] = QStringLiteral("Desc: Caf\u00e9   Material:  Cane");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(print_report_to_pdf(circuit, path).written);
    QVERIFY(!print_report_to_pdf(circuit, dir.filePath(QStringLiteral("none/r.pdf"))).written);
    const std::vector<Word> words = printed_words(path);
    QVERIFY2(!words.empty(), "pdftotext (poppler-utils) found no text");

    const double left = kMarginPoints + kLeftPoints;
    std::vector<QString> shown(expected.size());
    for (const Word& word : words) {
        const QByteArray name = word.text.toUtf8();
        const char* text = name.constData();
        const auto row = std::find_if(kSampleRows.begin(), kSampleRows.end(), [&word](int r) {
            return std::abs(word.box.top() - kMarginPoints - r * kPointsPerUnit) <= 1;
        });
        QVERIFY2(row != kSampleRows.end(), text);
        QVERIFY2(std::abs(word.box.height() - kCellPoints) <= 0.1, text);
        const qsizetype column = std::lround((word.box.left() - left) / kCharacterPoints);
        QVERIFY2(std::abs(word.box.left() - left - column * kCharacterPoints) <= 1, text);
        QVERIFY2(std::abs(word.box.width() - word.text.size() * kCharacterPoints) <= 0.1, text);
        QString& into = shown[std::size_t(row - kSampleRows.begin())];
        into = into.leftJustified(column + word.text.size())
                   .replace(column, word.text.size(), word.text);
    }
    for (std::size_t i = 0; i < expected.size(); ++i)
        QCOMPARE(shown[i], expected[i]);
}

} // namespace sorrel

QTEST_MAIN(sorrel::ReportPdfTest)
#include "report_pdf_test.moc"
