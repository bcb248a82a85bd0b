// File > Save against other programs writing the same file, and File > Print
// and Print Drilling Template answered in the print dialog as a user answers
// it: with no printer installed, printing goes to a PDF file read back with
// poppler.

#include "drilling/print_drilling_template.h"
#include "files/design_file.h"
#include "files/load_save_commands.h"
#include "report/print_report.h"
#include "tests/modal_answer.h"
#include "tests/print_to_file.h"
#include "tests/recording_feedback.h"
#include "tests/report_sample.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace sorrel::ui {
namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

class PrintAndSaveTest : public QObject {
    Q_OBJECT

    RecordingFeedback feedback_;
    DesignFileCommands files_;
    DesignState state_ = startup_state();

    // Runs Load or Save with `path` typed into the name box.
    void run(bool save, const std::string& path) {
        answer_next_dialog([path](TemplateDialog& dialog) {
            type_into(dialog, 4158, QString::fromStdString(path));
            press(dialog, kOkCommand);
        });
        if (save)
            files_.save(nullptr, state_, feedback_);
        else
            files_.load(nullptr, state_, feedback_);
    }

private slots:
    // Save asks before replacing a file that changed on disk since it was
    // loaded or saved.
    void saveAsksBeforeReplacingAFileChangedOnDisk() {
        enum Change { None, Edit, Rename };
        const struct {
            bool loadedFirst;
            Change change;
            bool answerYes, asked, replaced;
        } rows[] = {
            {false, None, false, false, true},   {true, None, false, false, true},
            {false, Edit, false, true, false},   {true, Edit, true, true, true},
            {false, Rename, false, true, false}, // another program's atomic save
        };
        for (const auto& row : rows) {
            QTemporaryDir dir;
            const std::string path = dir.filePath(QStringLiteral("tone.srl")).toStdString();
            state_ = startup_state();
            feedback_ = RecordingFeedback{};
            feedback_.answer = row.answerYes ? MessageAnswer::Yes : MessageAnswer::No;
            QVERIFY(write_design_file(path, state_.bank, state_.corrections).written);
            run(!row.loadedFirst, path);
            if (row.change == Edit) {
                std::ofstream(path, std::ios::app) << "; noted by hand\n";
            } else if (row.change == Rename) {
                std::ofstream(path + ".new", std::ios::binary) << contents(path);
                QCOMPARE(std::rename((path + ".new").c_str(), path.c_str()), 0);
            }
            const std::string onDisk = contents(path);
            state_.bank.slot[1].BORE += 0.125f;
            run(true, path);
            QCOMPARE(feedback_.messages.size(), std::size_t(row.asked ? 1 : 0));
            QVERIFY(!row.asked || feedback_.messages[0].buttons == MessageButtons::YesNo);
            QCOMPARE(contents(path),
                     row.replaced ? write_design_text(state_.bank, state_.corrections) : onDisk);
        }
    }

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
        // The page itself is checked word by word where it is printed to a file.
        const QString printed = run_tool(QStringLiteral("pdftotext"),
                                         {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QVERIFY(
            printed.simplified().contains(QString::fromLatin1(kSamplePage[5].data()).simplified()));
    }

    // A destination gone by the time the page is printed is a failure, told
    // with the warning icon.
    void saysWhenTheReportCannotBePrinted() {
        struct FolderRemovedWhilePrinting : RecordingFeedback {
            QString folder;
            void set_wait_cursor(bool waiting) override {
                QDir(folder).removeRecursively();
                RecordingFeedback::set_wait_cursor(waiting);
            }
        } feedback;
        QTemporaryDir dir;
        feedback.folder = dir.filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkdir(feedback.folder));
        const auto shown = answer_print_dialog(feedback.folder + QStringLiteral("/r.pdf"), true);
        print_report(nullptr, report_sample(), feedback);
        QVERIFY(*shown);
        QCOMPARE(feedback.messages.size(), std::size_t{1});
        QCOMPARE(feedback.messages[0].caption, "Sorrel - Print Failed");
        QCOMPARE(feedback.messages[0].buttons, MessageButtons::OkWarning);
    }

    // Only a calculated design is printed, only on Print; the PDF asks
    // viewers for 100 %, as sorrel-cli's does.
    void printsTheDrillingTemplateOnlyOfACalculatedDesign() {
        const struct {
            bool calculated, accept, dialogShown, written;
        } rows[] = {
            {true, true, true, true}, {true, false, true, false}, {false, true, false, false}};
        for (const auto& row : rows) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("template.pdf"));
            const auto shown = answer_print_dialog(path, row.accept);
            CircuitRecord circuit = default_circuit();
            if (row.calculated) {
                circuit.DIST = 282.5f;
                circuit.PM = {0, 43.59f, 65.77f, 84.36f, 106.38f, 127.59f, 149.42f};
            }
            RecordingFeedback feedback;
            print_drilling_template(nullptr, circuit, feedback);
            QCOMPARE(*shown, row.dialogShown);
            QCOMPARE(QFile::exists(path), row.written);
            QCOMPARE(feedback.waitDepth, 0);
            QCOMPARE(feedback.messages.size(), std::size_t(row.calculated ? 0 : 1));
            if (!row.calculated)
                QVERIFY(feedback.messages[0].text.find("no finished Calc") != std::string::npos);
            QFile file(path);
            QVERIFY(!row.written || (file.open(QIODevice::ReadOnly) &&
                                     file.readAll().contains("/PrintScaling /None")));
        }
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::PrintAndSaveTest)
#include "print_and_save_test.moc"
