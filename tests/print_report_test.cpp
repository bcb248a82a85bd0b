// File > Print, answered in the print dialog as a user answers it. With no
// printer installed the dialog offers printing to a PDF file, which is read
// back with poppler.

#include "model/tonehole_solver.h"
#include "recording_feedback.h"
#include "report/print_report.h"
#include "report/report_lines.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace sorrel::ui {
namespace {

// Counts every time the wait cursor is shown, not only the ones still showing.
class PrintFeedback : public RecordingFeedback {
public:
    void set_wait_cursor(bool waiting) override {
        RecordingFeedback::set_wait_cursor(waiting);
        waitsShown += waiting ? 1 : 0;
    }
    int waitsShown = 0;
};

// Runs `answer` on the print dialog once it shows; it must accept or
// reject it, and a dialog left open is rejected.
void answer_print_dialog(std::function<void(QPrintDialog&)> answer, bool& shown) {
    QTimer::singleShot(0, qApp, [&shown, answer = std::move(answer)] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        shown = true;
        answer(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

// Chooses "Print to File (PDF)", the last destination the dialog lists, and
// types the file's name.
void choose_file(QPrintDialog& dialog, const QString& path) {
    auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
    auto* fileName = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    QVERIFY(printers != nullptr && fileName != nullptr);
    printers->setCurrentIndex(printers->count() - 1);
    QCOMPARE(printers->currentText(), QStringLiteral("Print to File (PDF)"));
    fileName->setText(path);
}

QString run_tool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class PrintReportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void dialogOffersNoPageRangeOrSelection();
    void cancelPrintsNothing();
    void printingToFileWritesTheReportPage();

private:
    QTemporaryDir dir_;
    DesignState state_ = startup_state();
};

void PrintReportTest::initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(!run_calc(state_).mathError);
}

void PrintReportTest::dialogOffersNoPageRangeOrSelection() {
    PrintFeedback feedback;
    bool shown = false;
    answer_print_dialog(
        [](QPrintDialog& dialog) {
            QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintPageRange));
            QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintSelection));
            QVERIFY(!dialog.testOption(QAbstractPrintDialog::PrintCurrentPage));
            QCOMPARE(dialog.printer()->docName(), QStringLiteral("Toneholes"));
        },
        shown);
    print_report(nullptr, state_.workingCircuit, feedback);
    QVERIFY(shown);
}

void PrintReportTest::cancelPrintsNothing() {
    const QString path = dir_.filePath(QStringLiteral("cancelled.pdf"));
    PrintFeedback feedback;
    bool shown = false;
    answer_print_dialog(
        [&path](QPrintDialog& dialog) {
            choose_file(dialog, path);
            dialog.reject();
        },
        shown);
    print_report(nullptr, state_.workingCircuit, feedback);
    QVERIFY(shown);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(feedback.waitsShown, 0);
    QVERIFY(feedback.messages.empty());
}

void PrintReportTest::printingToFileWritesTheReportPage() {
    const QString path = dir_.filePath(QStringLiteral("printed.pdf"));
    PrintFeedback feedback;
    bool shown = false;
    answer_print_dialog(
        [&path](QPrintDialog& dialog) {
            choose_file(dialog, path);
            dialog.accept();
        },
        shown);
    print_report(nullptr, state_.workingCircuit, feedback);
    QVERIFY(shown);
    QCOMPARE(feedback.waitsShown, 1);
    QCOMPARE(feedback.waitDepth, 0);
    QVERIFY(feedback.messages.empty());

    const QString text = run_tool(QStringLiteral("pdftotext"),
                                  {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) found no text");
    QStringList printed;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.simplified().isEmpty())
            printed.append(line.simplified());
    }
    QStringList expected;
    for (const ReportLine& line : report_lines(state_.workingCircuit))
        expected.append(QString::fromStdString(line.text).simplified());
    QCOMPARE(printed, expected);

    const QString info = run_tool(QStringLiteral("pdfinfo"), {path});
    const auto entry = [&info](const char* key) {
        const QRegularExpression line(QStringLiteral("^%1: *(.*)$").arg(QLatin1String(key)),
                                      QRegularExpression::MultilineOption);
        return line.match(info).captured(1);
    };
    QCOMPARE(entry("Pages"), QStringLiteral("1"));
    QCOMPARE(entry("Title"), QStringLiteral("Toneholes"));
}

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::PrintReportTest)
#include "print_report_test.moc"
