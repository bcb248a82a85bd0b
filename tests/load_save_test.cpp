// The desktop Save against other programs writing the same file: it asks
// before replacing a file that changed on disk since it was loaded or saved.

#include "files/design_file.h"
#include "files/load_save_commands.h"
#include "tests/modal_answer.h"
#include "tests/recording_feedback.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace sorrel::ui {

class LoadSaveTest : public QObject {
    Q_OBJECT

private:
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

    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    RecordingFeedback feedback_;
    DesignFileCommands files_;
    DesignState state_ = startup_state();

private slots:
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
            QCOMPARE(contents(path) == write_design_text(state_.bank, state_.corrections),
                     row.replaced);
            QCOMPARE(contents(path) == onDisk, !row.replaced);
        }
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::LoadSaveTest)
#include "load_save_test.moc"
