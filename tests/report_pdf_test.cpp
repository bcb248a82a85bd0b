#include "model/tonehole_solver.h"
#include "report/report_lines.h"
#include "report/report_page.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace sorrel {
namespace {

constexpr double kPointsPerInch = 72;
constexpr double kPointsPerUnit = kPointsPerInch / 1000; // one unit is 0.001 inch
constexpr double kMarginPoints = kPdfMarginInches * kPointsPerInch;
constexpr double kCharacterPoints = 80 * kPointsPerUnit;
constexpr double kCellPoints = 180 * kPointsPerUnit;

// One word of `pdftotext -bbox`, in points from the top-left of the paper.
struct Word {
    QString text;
    double xMin;
    double yMin;
    double xMax;
    double yMax;
};

QString run_pdftotext(const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (program.isEmpty()) {
        qWarning("pdftotext not found: run scripts/setup.sh (poppler-utils)");
        return {};
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

std::vector<Word> parse_words(const QString& bboxXhtml) {
    std::vector<Word> words;
    QXmlStreamReader xml(bboxXhtml);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement() || xml.name() != QLatin1String("word"))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const auto number = [&a](const char* name) {
            return a.value(QLatin1String(name)).toDouble();
        };
        const double xMin = number("xMin");
        const double yMin = number("yMin");
        const double xMax = number("xMax");
        const double yMax = number("yMax");
        words.push_back({xml.readElementText(), xMin, yMin, xMax, yMax});
    }
    return words;
}

// Words whose tops are within a point of each other stand on one line, read
// left to right (pdftotext lists them in its own reading order).
std::vector<std::vector<Word>> group_lines(std::vector<Word> words) {
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
        return std::pair(std::lround(a.yMin), a.xMin) < std::pair(std::lround(b.yMin), b.xMin);
    });
    std::vector<std::vector<Word>> lines;
    for (const Word& word : words) {
        if (lines.empty() || std::abs(lines.back().front().yMin - word.yMin) > 1)
            lines.emplace_back();
        lines.back().push_back(word);
    }
    return lines;
}

QString simplified(const std::string& text) {
    return QString::fromStdString(text).simplified();
}

} // namespace

// The start-up design, solved, printed to a PDF and read back with poppler.
class ReportPdfTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void textHasEveryLineInOrder();
    void linesStandAtTheirRowsInTheCell();
    void wordsStandOnTheCharacterGrid();
    void unwritablePathReportsFailure();

private:
    QTemporaryDir dir_;
    std::vector<ReportLine> expected_;
    QString pdfPath_;
    std::vector<std::vector<Word>> printed_;
};

void ReportPdfTest::initTestCase() {
    QVERIFY(dir_.isValid());
    DesignState state = startup_state();
    QVERIFY(!run_calc(state).mathError);
    expected_ = report_lines(state.workingCircuit);
    QCOMPARE(expected_.size(), std::size_t(kReportLineCount));

    pdfPath_ = dir_.filePath(QStringLiteral("report.pdf"));
    QVERIFY(print_report_to_pdf(state.workingCircuit, pdfPath_));
    const QString bbox = run_pdftotext({QStringLiteral("-bbox"), pdfPath_, QStringLiteral("-")});
    QVERIFY(!bbox.isEmpty());
    printed_ = group_lines(parse_words(bbox));
    QCOMPARE(printed_.size(), expected_.size());
}

void ReportPdfTest::textHasEveryLineInOrder() {
    const QString layout =
        run_pdftotext({QStringLiteral("-layout"), pdfPath_, QStringLiteral("-")});
    QStringList shown;
    for (const QString& line : layout.split(QLatin1Char('\n'))) {
        if (!line.simplified().isEmpty())
            shown.append(line.simplified());
    }
    QCOMPARE(shown.size(), qsizetype(expected_.size()));
    for (std::size_t i = 0; i < expected_.size(); ++i)
        QCOMPARE(shown[qsizetype(i)], simplified(expected_[i].text));
}

void ReportPdfTest::linesStandAtTheirRowsInTheCell() {
    for (std::size_t i = 0; i < expected_.size(); ++i) {
        const Word& first = printed_[i].front();
        const double expectedTop = kMarginPoints + expected_[i].row * kPointsPerUnit;
        QVERIFY2(std::abs(first.yMin - expectedTop) <= 1, expected_[i].text.c_str());
        QVERIFY2(std::abs(first.yMax - first.yMin - kCellPoints) <= 0.1, expected_[i].text.c_str());
    }
}

// Each word starts where its first character's cell is, counting from
// 0.44 inch right of the printable area's left edge, so blank-aligned columns
// line up.
void ReportPdfTest::wordsStandOnTheCharacterGrid() {
    const double left = kMarginPoints + kReportLeft * kPointsPerUnit;
    for (std::size_t i = 0; i < expected_.size(); ++i) {
        const QString text = QString::fromStdString(expected_[i].text);
        qsizetype column = 0;
        for (const Word& word : printed_[i]) {
            column = text.indexOf(word.text, column);
            QVERIFY2(column >= 0, qPrintable(word.text));
            const double expectedLeft = left + double(column) * kCharacterPoints;
            QVERIFY2(std::abs(word.xMin - expectedLeft) <= 1, qPrintable(word.text));
            const double expectedWidth = double(word.text.size()) * kCharacterPoints;
            QVERIFY2(std::abs(word.xMax - word.xMin - expectedWidth) <= 0.1, qPrintable(word.text));
            column += word.text.size();
        }
    }
}

void ReportPdfTest::unwritablePathReportsFailure() {
    const QString path = dir_.filePath(QStringLiteral("no-such-folder/report.pdf"));
    QVERIFY(!print_report_to_pdf(default_circuit(), path));
    QVERIFY(!QFile::exists(path));
}

} // namespace sorrel

QTEST_MAIN(sorrel::ReportPdfTest)
#include "report_pdf_test.moc"
