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
    void printsTheReportOnlyWhenAccepted() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        for (const bool accept : {false, true}) {
            const auto shown = answer_print_dialog(path, accept);
            RecordingFeedback feedback;
            print_report(nullptr, report_sample(), feedback);
            QVERIFY(*shown && feedback.messages.empty() && feedback.waitDepth == 0);
            QCOMPARE(QFile::exists(path), accept);
        }
        const QString printed = run_tool(QStringLiteral("pdftotext"),
                                         {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QString expected;
        for (std::string_view line : kSamplePage)
            expected += QString::fromLatin1(line.data(), qsizetype(line.size())) + u'\n';
        QCOMPARE(printed.simplified(), expected.simplified());
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::PrintReportTest)
#include "print_report_test.moc"
