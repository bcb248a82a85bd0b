// The main window driven through its menu commands and dialogs, as a user
// drives it.

#include "model/text_format.h"
#include "tests/modal_answer.h"
#include "tests/recording_feedback.h"
#include "ui/calculator_panel.h"
#include "ui/main_menu.h"
#include "ui/main_window.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace sorrel::ui {

using namespace Qt::StringLiterals;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<RecordingFeedback> feedback_;
    std::unique_ptr<MainWindow> window_;
    QTemporaryDir folder_;

    CalculatorPanel& panel() { return window_->panel(); }
    QString field(int id) { return QString::fromStdString(panel().item_text(id, 64)); }
    std::string path(const char* name) {
        return folder_.filePath(QString::fromLatin1(name)).toStdString();
    }

    // Load or Save with `name` (UTF-8) in the file-name box.
    void file_command(int command, const std::string& name) {
        answer_next_dialog([name](TemplateDialog& dialog) {
            qobject_cast<QLineEdit*>(dialog.control(4158))->setText(QString::fromStdString(name));
            press(dialog, kOkCommand);
        });
        window_->run_command(command);
    }

private slots:
    void init() {
        feedback_ = std::make_unique<RecordingFeedback>();
        window_ = std::make_unique<MainWindow>(feedback_.get());
        window_->show();
    }
    void cleanup() {
        window_.reset();
        feedback_.reset();
    }

    void theWholePanelFitsInTheWindow() {
        QVERIFY(window_->width() >= std::max(799, panel().width()));
        QVERIFY(window_->centralWidget()->height() >= panel().height());
    }

    void prevFromSlotOneWrapsToFortyAndNextComesBackWithoutCalculating() {
        panel().set_checked(4034, false);
        window_->state().bank.slot[39].DIVS = 3;
        window_->run_command(command::kPrevious);
        QCOMPARE(field(4147), QStringLiteral("40"));
        QCOMPARE(field(4144), QStringLiteral("2"));
        window_->run_command(command::kNext);
        QCOMPARE(field(4147), QStringLiteral("1"));
        QCoreApplication::processEvents();
        QCOMPARE(field(4139), QString());
        QCOMPARE(window_->state().corrections.AUTO, 0);
    }

    void autoRecalcCalculatesTheNewSlotAfterTheMove() {
        panel().set_checked(4034, true);
        window_->run_command(command::kNext);
        QCOMPARE(field(4139), QString()); // Calc is posted, not yet run
        QCoreApplication::processEvents();
        QCOMPARE(field(4139), QStringLiteral("7"));
        QCOMPARE(field(4125), QStringLiteral("282.50"));
        QCOMPARE(window_->state().bank.slot[1].DIST, window_->state().workingCircuit.DIST);
    }

    void scalePresetFillsTheStepsOnly() {
        const QString frequencyBefore = field(4001);
        window_->run_command(2024); // Harmonic Minor
        QString steps;
        for (int id = 4015; id <= 4020; ++id)
            steps += field(id);
        QCOMPARE(steps, QStringLiteral("212213"));
        QCOMPARE(field(4001), frequencyBefore);
    }

    void setupOkStoresAndCancelKeeps() {
        answer_next_dialog([](TemplateDialog& dialog) {
            QCOMPARE(QString::fromStdString(dialog.item_text(4210, 20)), QStringLiteral("0.2500"));
            QCOMPARE(QString::fromStdString(dialog.item_text(4211, 20)), QStringLiteral("34500.0"));
            QCOMPARE(QString::fromStdString(dialog.item_text(4212, 20)), QStringLiteral("0.6133"));
            type_into(dialog, 4212, QStringLiteral("0.5"));
            type_into(dialog, 4211, QStringLiteral("fast"));
            press(dialog, kCancelCommand);
        });
        window_->run_command(command::kSetup);
        QCOMPARE(window_->state().corrections.CHMCOR, 0.6133f);

        answer_next_dialog([](TemplateDialog& dialog) {
            type_into(dialog, 4212, QStringLiteral("0.5"));
            type_into(dialog, 4211, QStringLiteral("34300 cm/s"));
            press(dialog, kOkCommand);
        });
        window_->run_command(command::kSetup);
        QCOMPARE(window_->state().corrections.CHMCOR, 0.5f);
        QCOMPARE(window_->state().workingCircuit.SPSD, 34300.0f);
    }

    // A field left as it opened keeps its value, not the value rounded for showing.
    void customFrequenciesOkReadsNineCharactersAndCancelKeeps() {
        window_->state().workingCircuit.CU[6] = 1046.5025f; // shown as 1046.503
        for (const int button : {kCancelCommand, kOkCommand}) {
            answer_next_dialog([button](TemplateDialog& dialog) {
                QCOMPARE(QString::fromStdString(dialog.item_text(4167, 20)), u" 440.000"_s);
                type_into(dialog, 4167, u"12345.6789"_s);
                press(dialog, button);
            });
            window_->run_command(command::kCustomFrequencies);
        }
        // Compared exactly: QCOMPARE's float tolerance would take 12345.6789 too.
        QVERIFY(window_->state().workingCircuit.CU[0] == 12345.678f);
        QVERIFY(window_->state().workingCircuit.CU[6] == 1046.5025f);
    }

    void saveThenLoadRestoresTheBank() {
        panel().set_checked(4034, false);
        panel().send_command(CalculatorPanel::kCalcCommand);
        file_command(command::kSave, path("Fl\xf6te.srl")); // Latin-1, named in UTF-8 on disk
        QVERIFY(feedback_->messages.empty() &&
                QFile::exists(folder_.filePath(u"Fl\u00f6te.srl"_s)));

        window_->run_command(command::kNext);
        panel().switch_to_metric();
        panel().send_command(CalculatorPanel::kCalcCommand); // slot 1 now metric, solved again
        window_->state().bank.slot[5].BORE = 9.0f;
        file_command(command::kLoad, path("Fl\xf6te.srl"));

        const DesignState& state = window_->state();
        QCOMPARE(state.bank.currentIndex, 0);
        QCOMPARE(format("%5.2f", double(state.bank.slot[0].DIST)), std::string("282.50"));
        QCOMPARE(state.bank.slot[5].BORE, 0.5f);
        QCOMPARE(state.bank.slot[1].UNIT, UNIT_ENGLISH); // the file's unit comes back
        QCOMPARE(field(4147), QStringLiteral("1"));
        QCOMPARE(field(4007), QStringLiteral("0.500"));
        QCOMPARE(state.corrections.CHMCOR, 0.61f); // two decimals in the file
    }

    void aFailedSaveSaysWhyAndKeepsTheOldFile() {
        file_command(command::kSave, path("kept.srl"));
        file_command(command::kSave, path("missing-folder/tone.srl"));
        QCOMPARE(feedback_->messages.size(), std::size_t{1});
        QVERIFY(feedback_->messages[0].text.find("missing-folder/tone.srl") != std::string::npos);
        QVERIFY(feedback_->messages[0].text.find("No such file or directory") != std::string::npos);
    }

    void aFailedOrCancelledLoadChangesNothing() {
        window_->state().workingCircuit.BORE = 0.75f; // typed and read, not stored
        file_command(command::kLoad, path("absent.srl"));
        QCOMPARE(feedback_->messages.size(), std::size_t{1});
        QVERIFY(feedback_->messages[0].text.find("absent.srl") != std::string::npos);
        QCOMPARE(window_->state().workingCircuit.BORE, 0.75f);

        answer_next_dialog([](TemplateDialog& dialog) { press(dialog, kCancelCommand); });
        window_->run_command(command::kLoad);
        QCOMPARE(window_->state().workingCircuit.BORE, 0.75f);
    }

    void quitAsksFirst() {
        feedback_->answer = MessageAnswer::No;
        window_->run_command(command::kQuit);
        QCOMPARE(feedback_->messages.back().caption, std::string("QUIT"));
        QCOMPARE(feedback_->messages.back().text, std::string("Quit Program"));
        QVERIFY(window_->isVisible());
        feedback_->answer = MessageAnswer::Yes;
        window_->run_command(command::kQuit);
        QVERIFY(!window_->isVisible());
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::MainWindowTest)
#include "main_window_test.moc"
