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
    void saveAsksBeforeReplacingAFileChangedOnDisk_data() {
        QTest::addColumn<bool>("loadedFirst");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("saved, unchanged") << false << "none" << false << false << true;
        QTest::newRow("loaded, unchanged") << true << "none" << false << false << true;
        QTest::newRow("saved, edited, kept") << false << "edit" << false << true << false;
        QTest::newRow("loaded, edited, replaced") << true << "edit" << true << true << true;
        QTest::newRow("saved, renamed over, kept") << false << "rename" << false << true << false;
    }

    void saveAsksBeforeReplacingAFileChangedOnDisk() {
        QFETCH(bool, loadedFirst);
        QFETCH(QString, change);
        QFETCH(bool, answerYes);
        QFETCH(bool, asked);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("tone.srl")).toStdString();
        feedback_ = RecordingFeedback{};
        feedback_.answer = answerYes ? MessageAnswer::Yes : MessageAnswer::No;
        QVERIFY(write_design_file(path, state_.bank, state_.corrections).written);
        run(!loadedFirst, path);
        if (change == QStringLiteral("edit")) {
            std::ofstream(path, std::ios::app) << "; noted by hand\n";
        } else if (change == QStringLiteral("rename")) {
            std::ofstream(path + ".new", std::ios::binary) << contents(path);
            QCOMPARE(std::rename((path + ".new").c_str(), path.c_str()), 0);
        }
        const std::string onDisk = contents(path);
        state_.bank.slot[1].BORE += 0.125f;

        run(true, path);

        QCOMPARE(feedback_.messages.size(), std::size_t(asked ? 1 : 0));
        if (asked)
            QCOMPARE(feedback_.messages[0].buttons, MessageButtons::YesNo);
        QCOMPARE(contents(path) == write_design_text(state_.bank, state_.corrections), replaced);
        QCOMPARE(contents(path) == onDisk, !replaced);
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::LoadSaveTest)
#include "load_save_test.moc"
