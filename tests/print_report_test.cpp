// File > Print, answered in the print dialog as a user answers it. With no
// printer installed the dialog offers printing to a PDF file, which is read
// back with poppler.

#include "report/print_report.h"
#include "tests/recording_feedback.h"
#include "tests/report_sample.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
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

// Chooses "Print to File (PDF)", the last destination the dialog lists,
// names the file, then prints or cancels.
void PrintReportTest::printsTheReportOnlyWhenAccepted() {
    QFETCH(bool, accept);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    bool shown = false;
    QTimer::singleShot(0, qApp, [&shown, &path, accept] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        shown = true;
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        if (printers != nullptr && fileName != nullptr) {
            printers->setCurrentIndex(printers->count() - 1);
            fileName->setText(path);
        }
        if (accept)
            dialog->accept(); // takes the chosen destination into the printer
        else
            dialog->reject();
    });
    const CircuitRecord circuit = report_sample();
    RecordingFeedback feedback;
    print_report(nullptr, circuit, feedback);
    QVERIFY(shown);
    QCOMPARE(QFile::exists(path), accept);
    QCOMPARE(feedback.waitDepth, 0);
    QVERIFY(feedback.messages.empty());
    if (!accept)
        return;

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY2(pdftotext.waitForFinished(30000), "pdftotext (poppler-utils) did not run");
    QString expected;
    for (std::string_view line : kSamplePage)
        expected += QString::fromLatin1(line.data(), qsizetype(line.size())) + QLatin1Char('\n');
    QCOMPARE(QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified(),
             expected.simplified());
}

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::PrintReportTest)
#include "print_report_test.moc"
