// The main window driven through its menu commands and dialogs, as a user
// drives it.

#include "tests/modal_answer.h"
#include "tests/recording_feedback.h"
#include "ui/application_identity.h"
#include "ui/calculator_panel.h"
#include "ui/main_menu.h"
#include "ui/main_window.h"
#include "ui/sorrel_template.h"
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

#include <algorithm>
#include <memory>

namespace sorrel::ui {

using namespace Qt::StringLiterals;
using namespace panel_id;

namespace {

constexpr int kNameEdit = 4158;
constexpr int kBrowse = 4159;

// How the user leaves the program.
enum class Leaving { QuitMenu, CloseBox };

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingFeedback> feedback_;
    std::unique_ptr<MainWindow> window_;
    QTemporaryDir folder_;

    CalculatorPanel& panel() { return window_->panel(); }
    DesignState& state() { return window_->state(); }
    QString field(int id) { return QString::fromStdString(panel().item_text(id, 64)); }

    // Load or Save with `name` in the file-name box.
    void file_command(int command, const QString& name) {
        answer_next_dialog([name](TemplateDialog& dialog) {
            qobject_cast<QLineEdit*>(dialog.control(kNameEdit))->setText(name);
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

    // The window starts within the screen's free area, smaller than the
    // panel, which it scrolls. No menu-bar entry is read out as a blank;
    // nothing is appended to the titles the program gives its windows.
    void theWindowFitsTheScreenAndReadsAsGiven() {
        const QSize free = window_->screen()->availableGeometry().size();
        QVERIFY(window_->width() < free.width() && window_->height() < free.height());
        auto* scroller = qobject_cast<QScrollArea*>(window_->centralWidget());
        window_->resize(400, 300);
        QCoreApplication::processEvents();
        QVERIFY(scroller->widget() == &panel() && scroller->verticalScrollBar()->maximum() > 0);

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
                for (const QLabel* label : dialog.findChildren<QLabel*>())
                    shown = shown || label->text().contains(drillLine);
            });
            window_->run_command(entry);
            QCOMPARE(shown, drills);
        }
    }

    // Setup's Tab runs top to bottom and its speed of sound shows its unit;
    // OK stores, Cancel keeps.
    void setupOkStoresAndCancelKeeps() {
        for (const int button : {kCancelCommand, kOkCommand}) {
            answer_next_dialog([button](TemplateDialog& dialog) {
                dialog.control(4210)->setFocus();
                for (int next : {4211, 4212}) {
                    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
                    QCOMPARE(dialog.focusWidget(), dialog.control(next));
                }
                const QRect speed = dialog.control(4211)->geometry();
                QVERIFY(std::ranges::any_of(dialog.findChildren<QLabel*>(), [&](QLabel* l) {
                    return l->text() == u"cm/s"_s && l->x() >= speed.right() &&
                           l->y() < speed.bottom() && l->geometry().bottom() > speed.top();
                }));
                type_into(dialog, 4212, u"0.5"_s);
                type_into(dialog, 4211, u"34300 cm/s"_s);
                press(dialog, button);
            });
            window_->run_command(command::kSetup);
            QCOMPARE(state().corrections.CHMCOR, button == kOkCommand ? 0.5f : 0.6133f);
        }
        QCOMPARE(state().workingCircuit.SPSD, 34300.0f);
    }

    // A field left as it opened keeps its value, not the value rounded for showing.
    void customFrequenciesOkReadsNineCharactersAndCancelKeeps() {
        // The float nearest 1046.5025 is 1046.50244: shown as 1046.502.
        state().workingCircuit.CU[6] = 1046.5025f;
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
        QVERIFY(state().workingCircuit.CU[0] == 12345.678f);
        QVERIFY(state().workingCircuit.CU[6] == 1046.5025f);
    }

    void saveThenLoadRestoresTheBank() {
        panel().set_checked(kAutoRecalc, false);
        panel().send_command(CalculatorPanel::kCalcCommand);
        const QString file = folder_.filePath(u"Fl\u00f6te.srl"_s); // named in UTF-8 on disk
        file_command(command::kSave, file);
        QVERIFY(feedback_->messages.empty() && QFile::exists(file));

        window_->run_command(command::kNext);
        panel().switch_to_metric();
        panel().send_command(CalculatorPanel::kCalcCommand); // slot 2 now metric, solved again
        state().bank.slot[5].BORE = 9.0f;
        file_command(command::kLoad, file);

        QCOMPARE(state().bank.currentIndex, 0);
        QCOMPARE(state().bank.slot[5].BORE, 0.5f);
        QCOMPARE(state().bank.slot[1].UNIT, UNIT_ENGLISH); // the file's unit comes back
        QCOMPARE(field(kIndex), u"1"_s);
        QCOMPARE(field(4007), u"0.500"_s);
        QCOMPARE(state().corrections.CHMCOR, 0.61f); // two decimals in the file
    }

    // With designs changed since the file was loaded or saved, Quit and the
    // close box offer to save them; otherwise Quit asks Yes/No and the close
    // box closes.
    void leavingKeepsUnsavedDesignsUnlessTold() {
        const char* save = "Save changes to tone.srl?";
        const struct {
            Leaving how;
            bool calculated;
            MessageAnswer answer;
            int saveDialogButton; // 0: no Save dialog
            const char* asked;    // the question, "" for none
            bool closed;
        } cases[] = {
            {Leaving::CloseBox, false, MessageAnswer::Cancel, 0, "", true},
            {Leaving::QuitMenu, false, MessageAnswer::No, 0, "Quit Program", false},
            {Leaving::CloseBox, true, MessageAnswer::Cancel, 0, save, false},
            {Leaving::QuitMenu, true, MessageAnswer::Discard, 0, save, true},
            {Leaving::CloseBox, true, MessageAnswer::Save, kOkCommand, save, true},
            {Leaving::QuitMenu, true, MessageAnswer::Save, kCancelCommand, save, false},
        };
        QDir::setCurrent(folder_.path()); // where the Save dialog's "tone.srl" goes
        for (const auto& c : cases) {
            init();
            QFile::remove(u"tone.srl"_s);
            if (c.calculated)
                panel().send_command(CalculatorPanel::kCalcCommand);
            feedback_->answer = c.answer;
            if (c.saveDialogButton != 0)
                answer_next_dialog([&c](TemplateDialog& d) { press(d, c.saveDialogButton); });
            if (c.how == Leaving::QuitMenu)
                window_->run_command(command::kQuit);
            else
                window_->close();
            QCOMPARE(!window_->isVisible(), c.closed);
            QCOMPARE(feedback_->messages.empty() ? "" : feedback_->messages[0].text,
                     std::string(c.asked));
            QCOMPARE(QFile::exists(u"tone.srl"_s), c.saveDialogButton == kOkCommand);
        }
    }

    // The name field has the focus, its text selected; Browse puts the chosen
    // path in it; the title names the file. A path Latin-1 cannot spell is
    // refused with the reason, and the typed name stays.
    void fileDialogsTakeATypedOrChosenName() {
        // A full path longer than the 63 characters the record keeps.
        const QString folder = folder_.filePath(u"a-folder-name-long-enough-to-pass-63"_s);
        QVERIFY(QDir().mkpath(folder));
        file_command(command::kSave, folder + u"/old.srl"_s); // for Load to find
        const struct {
            int command;
            QString file;
            bool taken;
        } cases[] = {{command::kSave, u"new.srl"_s, true},
                     {command::kLoad, u"old.srl"_s, true},
                     {command::kSave, u"\u0436.srl"_s, false}};
        for (const auto& [command, file, taken] : cases) {
            init();
            const QString chosen = folder + u"/"_s + file;
            state().workingCircuit.FILENAME.assign("tone.srl");
            QStringList filters;
            QString opened; // the chooser starts in the typed name's folder
            const QString typed = folder + u"/typed.srl"_s;
            answer_next_dialog([&](TemplateDialog& dialog) {
                auto* name = qobject_cast<QLineEdit*>(dialog.control(kNameEdit));
                QCOMPARE(dialog.focusWidget(), name);
                QCOMPARE(name->selectedText(), u"tone.srl"_s);
                name->setText(typed);
                QTimer::singleShot(0, qApp, [&] {
                    auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                    QVERIFY(chooser != nullptr);
                    filters = chooser->nameFilters();
                    opened = chooser->directory().absolutePath();
                    chooser->selectFile(chosen);
                    QMetaObject::invokeMethod(chooser, "accept");
                });
                press(dialog, kBrowse);
                QCOMPARE(name->text(), taken ? chosen : typed);
                press(dialog, taken ? kOkCommand : kCancelCommand);
            });
            window_->run_command(command);
            QCOMPARE(filters, (QStringList{u"Design files (*.srl)"_s, u"All files (*)"_s}));
            QCOMPARE(opened, folder);
            QCOMPARE(QFile::exists(chosen), taken);
            if (taken) {
                QCOMPARE(window_->windowTitle(), file + u" - Sorrel - Bellbrook"_s);
                QVERIFY(feedback_->messages.empty());
            } else {
                QCOMPARE(feedback_->messages.size(), std::size_t{1});
                QCOMPARE(feedback_->messages[0].text,
                         "Sorrel cannot use this path; its characters go beyond Latin-1:\r" +
                             folder.toStdString() + "/?.srl");
            }
        }
    }

    // A value out of range keeps the dialog open, names the field and stores nothing.
    void settingsDialogsRefuseValuesOutOfRange() {
        const struct {
            int command, field;
            const char* typed;
            const char* message;
        } cases[] = {
            {command::kCustomFrequencies, 4167, "0", "Base Freq: must be a number above 0"},
            {command::kCustomFrequencies, 4001, "inf", "6th Freq: must be a number above 0"},
            {command::kSetup, 4211, "0", "Speed of Sound, cm/s: must be a number above 0"},
        };
        for (const auto& c : cases) {
            init();
            const DesignState before = state();
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
            QVERIFY(state().workingCircuit == before.workingCircuit &&
                    state().corrections == before.corrections);
        }
    }

    // Messages carry the icon of their kind and return the button pressed.
    void messageBoxesShowTheirKindsIcon() {
        const struct {
            MessageButtons buttons;
            QMessageBox::Icon icon;
            QMessageBox::StandardButton pressed;
            MessageAnswer answer;
        } cases[] = {
            {MessageButtons::OkWarning, QMessageBox::Warning, QMessageBox::Ok, MessageAnswer::Ok},
            {MessageButtons::SaveDiscardCancel, QMessageBox::Question, QMessageBox::Discard,
             MessageAnswer::Discard},
        };
        DesktopFeedback desktop(nullptr);
        for (const auto& c : cases) {
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
