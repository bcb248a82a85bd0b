// The main window driven through its menu commands and dialogs, as a user
// drives it.

#include "model/text_format.h"
#include "tests/modal_answer.h"
#include "tests/recording_feedback.h"
#include "ui/application_identity.h"
#include "ui/calculator_panel.h"
#include "ui/main_menu.h"
#include "ui/main_window.h"
#include "utilities/reference_sheets.h"

#include <QAccessible>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace sorrel::ui {

using namespace Qt::StringLiterals;

namespace {

constexpr int kNameEdit = 4158;
constexpr int kBrowse = 4159;

// How the user leaves the program.
enum class Leaving { QuitMenu, CloseBox };

} // namespace

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
            qobject_cast<QLineEdit*>(dialog.control(kNameEdit))
                ->setText(QString::fromStdString(name));
            press(dialog, kOkCommand);
        });
        window_->run_command(command);
    }

    void calc() { panel().send_command(CalculatorPanel::kCalcCommand); }

    bool leave(Leaving how) {
        if (how == Leaving::QuitMenu)
            window_->run_command(command::kQuit);
        else
            window_->close();
        return !window_->isVisible();
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

    // The window starts within the screen's free area; a window smaller than
    // the panel scrolls it.
    void theWindowFitsTheScreenAndScrollsThePanel() {
        const QRect free = window_->screen()->availableGeometry();
        const int wanted =
            std::max(620, panel().height() + window_->menuBar()->sizeHint().height());
        QCOMPARE(window_->size(), QSize(std::min(std::max(799, panel().width()), free.width() - 1),
                                        std::min(wanted, free.height() - 1)));
        auto* scroller = qobject_cast<QScrollArea*>(window_->centralWidget());
        QVERIFY(scroller != nullptr && scroller->widget() == &panel());
        window_->resize(400, 300);
        QCoreApplication::processEvents();
        QCOMPARE(scroller->horizontalScrollBar()->maximum(),
                 panel().width() - scroller->viewport()->width());
        QVERIFY(scroller->verticalScrollBar()->maximum() > 0);
    }

    // No menu-bar entry is read out as a blank; nothing is appended to the
    // titles the program gives its windows.
    void menuBarAndTitlesReadAsGiven() {
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window_->menuBar());
        for (int i = 0; i < bar->childCount(); ++i)
            QVERIFY(bar->child(i)->role() == QAccessible::Separator ||
                    !bar->child(i)->text(QAccessible::Name).trimmed().isEmpty());
        identify_application();
        QCOMPARE(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    }

    // Drill Sizes and Tubing Sizes each open their own sheet.
    void helpEntriesOpenTheirOwnSheets() {
        const std::string_view first = drill_sheet_lines().front();
        const QString drillLine = QString::fromLatin1(first.data(), qsizetype(first.size()));
        for (const auto& [entry, drills] :
             {std::pair{command::kDrillSizes, true}, std::pair{command::kTubingSizes, false}}) {
            bool shown = false;
            answer_next_dialog([&drillLine, &shown](TemplateDialog& dialog) {
                QStringList texts;
                for (const QLabel* label : dialog.findChildren<QLabel*>())
                    texts << label->text();
                shown = texts.join(u'\n').contains(drillLine);
            });
            window_->run_command(entry);
            QCOMPARE(shown, drills);
        }
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
            // Tab runs top to bottom; the speed of sound shows its unit beside it.
            dialog.control(4210)->setFocus();
            for (int next : {4211, 4212}) {
                QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
                QCOMPARE(dialog.focusWidget(), dialog.control(next));
            }
            const QRect speed = dialog.control(4211)->geometry();
            QVERIFY(std::ranges::any_of(dialog.findChildren<QLabel*>(), [&speed](QLabel* l) {
                return l->text() == u"cm/s"_s && l->x() >= speed.right() &&
                       l->geometry().top() < speed.bottom() && l->geometry().bottom() > speed.top();
            }));
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
        // The float nearest 1046.5025 is 1046.50244: shown as 1046.502.
        window_->state().workingCircuit.CU[6] = 1046.5025f;
        for (const int button : {kCancelCommand, kOkCommand}) {
            answer_next_dialog([button](TemplateDialog& dialog) {
                QCOMPARE(QString::fromStdString(dialog.item_text(4167, 20)), u" 440.000"_s);
                QCOMPARE(QString::fromStdString(dialog.item_text(4001, 20)), u"1046.502"_s);
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
        QCOMPARE(window_->windowTitle(), u"Fl\u00f6te.srl - Sorrel - Bellbrook"_s);
        QVERIFY(!window_->has_unsaved_changes());
    }

    void aFailedSaveSaysWhyAndKeepsTheOldFile() {
        file_command(command::kSave, path("kept.srl"));
        file_command(command::kSave, path("missing-folder/tone.srl"));
        QCOMPARE(feedback_->messages.size(), std::size_t{1});
        QVERIFY(feedback_->messages[0].text.find("missing-folder/tone.srl") != std::string::npos);
        QVERIFY(feedback_->messages[0].text.find("No such file or directory") != std::string::npos);
        QCOMPARE(feedback_->messages[0].buttons, MessageButtons::OkWarning);
    }

    void aFailedOrCancelledLoadChangesNothing() {
        window_->state().workingCircuit.BORE = 0.75f; // typed and read, not stored
        file_command(command::kLoad, path("absent.srl"));
        QCOMPARE(feedback_->messages.size(), std::size_t{1});
        QVERIFY(feedback_->messages[0].text.find("absent.srl") != std::string::npos);
        QCOMPARE(feedback_->messages[0].buttons, MessageButtons::OkWarning);
        QCOMPARE(window_->state().workingCircuit.BORE, 0.75f);

        answer_next_dialog([](TemplateDialog& dialog) { press(dialog, kCancelCommand); });
        window_->run_command(command::kLoad);
        QCOMPARE(window_->state().workingCircuit.BORE, 0.75f);
    }

    // With designs changed since the file was loaded or saved, Quit and the
    // close box offer to save them; otherwise Quit asks Yes/No and the close
    // box closes.
    void leavingKeepsUnsavedDesignsUnlessTold() {
        struct Case {
            Leaving how;
            bool calculated;
            MessageAnswer answer;
            int saveDialogButton; // 0: no Save dialog
            const char* asked;    // the question, "" for none
            bool closed;
        };
        const char* save = "Save changes to tone.srl?";
        const Case cases[] = {
            {Leaving::CloseBox, false, MessageAnswer::Cancel, 0, "", true},
            {Leaving::QuitMenu, false, MessageAnswer::No, 0, "Quit Program", false},
            {Leaving::CloseBox, true, MessageAnswer::Cancel, 0, save, false},
            {Leaving::QuitMenu, true, MessageAnswer::Discard, 0, save, true},
            {Leaving::CloseBox, true, MessageAnswer::Save, kOkCommand, save, true},
            {Leaving::QuitMenu, true, MessageAnswer::Save, kCancelCommand, save, false},
        };
        QDir::setCurrent(folder_.path()); // where the Save dialog's "tone.srl" goes
        for (const Case& c : cases) {
            init();
            QFile::remove(u"tone.srl"_s);
            if (c.calculated)
                calc();
            feedback_->answer = c.answer;
            if (c.saveDialogButton != 0)
                answer_next_dialog([&c](TemplateDialog& d) { press(d, c.saveDialogButton); });
            QCOMPARE(leave(c.how), c.closed);
            const std::string asked =
                feedback_->messages.empty() ? "" : feedback_->messages[0].text;
            QCOMPARE(asked, std::string(c.asked));
            QCOMPARE(QFile::exists(u"tone.srl"_s), c.saveDialogButton == kOkCommand);
        }
    }

    // The name field has the focus, its text selected; Browse puts the chosen
    // path in it; the title names the file.
    void fileDialogsTakeATypedOrChosenName_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("file");
        QTest::newRow("Save") << command::kSave << u"new.srl"_s;
        QTest::newRow("Load") << command::kLoad << u"old.srl"_s;
    }

    void fileDialogsTakeATypedOrChosenName() {
        QFETCH(int, command);
        QFETCH(QString, file);
        // A full path longer than the 63 characters the record keeps.
        const QString folder = folder_.filePath(u"a-folder-name-long-enough-to-pass-63"_s);
        const QString chosen = folder + u"/"_s + file;
        QVERIFY(QDir().mkpath(folder));
        file_command(command::kSave, (folder + u"/old.srl"_s).toStdString()); // for Load to find
        window_->state().workingCircuit.FILENAME.assign("tone.srl");
        QStringList filters;
        answer_next_dialog([&](TemplateDialog& dialog) {
            auto* name = qobject_cast<QLineEdit*>(dialog.control(kNameEdit));
            QCOMPARE(dialog.focusWidget(), name);
            QCOMPARE(name->selectedText(), u"tone.srl"_s);
            QTimer::singleShot(0, qApp, [&] {
                auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(chooser != nullptr);
                filters = chooser->nameFilters();
                chooser->selectFile(chosen);
                QMetaObject::invokeMethod(chooser, "accept");
            });
            press(dialog, kBrowse);
            QCOMPARE(name->text(), chosen);
            press(dialog, kOkCommand);
        });
        window_->run_command(command);
        QCOMPARE(filters, (QStringList{u"Design files (*.srl)"_s, u"All files (*)"_s}));
        QCOMPARE(window_->windowTitle(), file + u" - Sorrel - Bellbrook"_s);
        QVERIFY(QFile::exists(chosen));
        QVERIFY(feedback_->messages.empty());
    }

    // A value out of range keeps the dialog open, names the field and stores nothing.
    void settingsDialogsRefuseValuesOutOfRange() {
        struct Case {
            int command, field;
            const char* typed;
            const char* message;
        };
        const Case cases[] = {
            {command::kCustomFrequencies, 4167, "0", "Base Freq: must be a number above 0"},
            {command::kCustomFrequencies, 4001, "inf", "6th Freq: must be a number above 0"},
            {command::kSetup, 4212, "-0.1", "Tonehole Efficiency: must be a number of 0 or more"},
            {command::kSetup, 4211, "0", "Speed of Sound, cm/s: must be a number above 0"},
        };
        for (const Case& c : cases) {
            init();
            const DesignState before = window_->state();
            answer_next_dialog([&c](TemplateDialog& dialog) {
                type_into(dialog, c.field, QString::fromLatin1(c.typed));
                press(dialog, kOkCommand);
                QVERIFY(dialog.isVisible());
                QCOMPARE(dialog.focusWidget(), dialog.control(c.field));
                press(dialog, kCancelCommand);
            });
            window_->run_command(c.command);
            QCOMPARE(feedback_->messages.size(), std::size_t{1});
            QCOMPARE(feedback_->messages[0].text, std::string(c.message));
            QCOMPARE(feedback_->messages[0].buttons, MessageButtons::OkWarning);
            QVERIFY(window_->state().workingCircuit == before.workingCircuit &&
                    window_->state().corrections == before.corrections);
        }
    }

    // Messages carry the icon of their kind and return the button pressed.
    void messageBoxesShowTheirKindsIcon() {
        struct Case {
            MessageButtons buttons;
            QMessageBox::Icon icon;
            QMessageBox::StandardButton pressed;
            MessageAnswer answer;
        };
        const Case cases[] = {
            {MessageButtons::OkWarning, QMessageBox::Warning, QMessageBox::Ok, MessageAnswer::Ok},
            {MessageButtons::YesNo, QMessageBox::Question, QMessageBox::No, MessageAnswer::No},
            {MessageButtons::SaveDiscardCancel, QMessageBox::Question, QMessageBox::Discard,
             MessageAnswer::Discard},
        };
        DesktopFeedback desktop(nullptr);
        for (const Case& c : cases) {
            QMessageBox::Icon shown = QMessageBox::NoIcon;
            QTimer::singleShot(0, qApp, [&c, &shown] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                shown = box->icon();
                box->button(c.pressed)->click();
            });
            QCOMPARE(desktop.message("Caption", "Text", c.buttons), c.answer);
            QCOMPARE(shown, c.icon);
        }
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::MainWindowTest)
#include "main_window_test.moc"
