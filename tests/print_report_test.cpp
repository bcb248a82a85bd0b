// File > Print, answered in the print dialog as a user answers it. With no
// printer installed the dialog offers printing to a PDF file, which is read
// back with poppler.

#include "report/print_report.h"
#include "tests/print_to_file.h"
#include "tests/recording_feedback.h"
#include "tests/report_sample.h"

#include <QTemporaryDir>
#include <QtTest>

namespace sorrel::ui {

class PrintReportTest : public QObject {
    Q_OBJECT

private slots:
    void printsTheReportOnlyWhenAccepted_data();
    void printsTheReportOnlyWhenAccepted();
};

void PrintReportTest::printsTheReportOnlyWhenAccepted_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("Print") << true;
    QTest::newRow("Cancel") << false;
}

void PrintReportTest::printsTheReportOnlyWhenAccepted() {
    QFETCH(bool, accept);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    const auto shown = answer_print_dialog(path, accept);
    const CircuitRecord circuit = report_sample();
    RecordingFeedback feedback;
    print_report(nullptr, circuit, feedback);
    QVERIFY(*shown);
    QCOMPARE(QFile::exists(path), accept);
    QCOMPARE(feedback.waitDepth, 0);
    QVERIFY(feedback.messages.empty());
    if (!accept)
        return;

    const QString printed = run_tool(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QString expected;
    for (std::string_view line : kSamplePage)
        expected += QString::fromLatin1(line.data(), qsizetype(line.size())) + QLatin1Char('\n');
    QCOMPARE(printed.simplified(), expected.simplified());
}

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::PrintReportTest)
#include "print_report_test.moc"
