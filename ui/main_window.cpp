#include "ui/main_window.h"

#include "files/load_save_commands.h"
#include "model/scale_presets.h"
#include "model/text_format.h"
#include "report/print_report.h"
#include "ui/calculator_panel.h"
#include "ui/feedback.h"
#include "ui/latin1_text.h"
#include "ui/main_menu.h"
#include "ui/settings_dialogs.h"
#include "ui/sorrel_template.h"
#include "ui/tuning_window.h"
#include "utilities/reference_sheet_dialog.h"
#include "utilities/reference_sheets.h"
#include "utilities/workshop_calculators.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>

#include <algorithm>

namespace sorrel::ui {
namespace {

Feedback& chosen_feedback(Feedback* given, std::unique_ptr<Feedback>& own, QWidget* owner) {
    if (given != nullptr)
        return *given;
    own = std::make_unique<DesktopFeedback>(owner);
    return *own;
}

constexpr char kTitle[] = "Sorrel - Bellbrook";

} // namespace

MainWindow::MainWindow(Feedback* feedback)
    : state_(startup_state()), fileSlots_(state_.bank.slot), fileCorrections_(state_.corrections),
      feedback_(chosen_feedback(feedback, desktopFeedback_, this)) {
    setObjectName(QStringLiteral("MainClass"));
    setWindowTitle(to_qstring(kTitle));
    panel_ = new CalculatorPanel(state_, feedback_, this);
    auto* scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidget(panel_);
    setCentralWidget(scroller);
    build_menu_bar();
    fit_to_screen();
}

MainWindow::~MainWindow() = default;

void MainWindow::build_menu_bar() {
    QHash<QString, QMenu*> menus;
    for (const MenuItem& item : main_menu_items()) {
        if (item.menu == nullptr && item.text == nullptr) {
            menuBar()->addSeparator()->setObjectName(QString::number(item.command));
            continue;
        }
        if (item.menu == nullptr) {
            QAction* action = menuBar()->addAction(to_qstring(item.text));
            action->setObjectName(QString::number(item.command));
            connect(action, &QAction::triggered, this, [this, item] { run_command(item.command); });
            continue;
        }
        QMenu*& menu = menus[to_qstring(item.menu)];
        if (menu == nullptr)
            menu = menuBar()->addMenu(to_qstring(item.menu));
        if (item.text == nullptr) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(to_qstring(item.text));
        action->setObjectName(QString::number(item.command));
        action->setShortcut(item.shortcut);
        connect(action, &QAction::triggered, this, [this, item] { run_command(item.command); });
    }
    auto* version = new QLabel(to_qstring(kVersionText), menuBar());
    version->setObjectName(QString::number(command::kVersion));
    version->setContentsMargins(8, 0, 8, 0);
    menuBar()->setCornerWidget(version, Qt::TopRightCorner);
}

// The window's own size, grown where the desktop's fonts make the panel
// larger, but never beyond the screen's free area: there the panel scrolls.
void MainWindow::fit_to_screen() {
    const QSize needed = panel_->size() + QSize(0, menuBar()->sizeHint().height());
    QSize size(std::max(799, needed.width()), std::max(620, needed.height()));
    QPoint corner(1, 1);
    if (const QScreen* shown = screen()) {
        const QRect free = shown->availableGeometry();
        corner += free.topLeft();
        size = size.boundedTo(free.size() - QSize(1, 1));
    }
    move(corner);
    resize(size);
}

void MainWindow::run_command(int command) {
    using namespace command;
    for (const ScalePreset& preset : kScalePresets) {
        if (command == preset.command) {
            panel_->apply_scale_preset(preset.steps);
            return;
        }
    }
    switch (command) {
    case kLoad:
        load();
        break;
    case kSave:
        save();
        break;
    case kPrint:
        print_report(this, state_.workingCircuit, feedback_);
        break;
    case kPrintDrillingTemplate:
        print_working_template(this, state_, feedback_);
        break;
    case kBoreShape:
        convert_bore_shape(this, feedback_);
        break;
    case kTemperature:
        convert_temperature(this, feedback_);
        break;
    case kDistance:
        convert_distance(this, feedback_);
        break;
    case kAirDensity:
        calculate_air_density(this, feedback_);
        break;
    case kDrillSizes:
        show_reference_sheet(this, ReferenceSheet::Drills);
        break;
    case kTubingSizes:
        show_reference_sheet(this, ReferenceSheet::Resources);
        break;
    case kCustomFrequencies:
        edit_custom_frequencies(this, state_.workingCircuit, feedback_);
        break;
    case kSetup:
        edit_setup(this, state_, feedback_);
        break;
    case kTuning:
        open_tuning_window(this, state_, *panel_, feedback_);
        break;
    case kPrevious:
        move_to_slot(SlotStep::Previous);
        break;
    case kNext:
        move_to_slot(SlotStep::Next);
        break;
    case kQuit:
        quit();
        break;
    case kAbout:
        feedback_.message(kAboutCaption, about_text(), MessageButtons::Ok);
        break;
    default:
        break;
    }
}

void MainWindow::load() {
    const auto name = designFiles_.load(this, state_, feedback_);
    if (!name)
        return;
    remember_file(*name);
    panel_->set_checked(panel_id::kAutoRecalc, state_.corrections.AUTO != 0);
    state_.workingCircuit = state_.bank.slot[0];
    state_.bank.currentIndex = 0;
    show_current_slot();
}

// Returns whether the bank was written.
bool MainWindow::save() {
    panel_->read_auto_recalc();
    const auto name = designFiles_.save(this, state_, feedback_);
    if (name)
        remember_file(*name);
    panel_->send_command(CalculatorPanel::kRefreshCommand);
    return name.has_value();
}

// The title names the file, and what it holds becomes the saved state.
void MainWindow::remember_file(const std::string& name) {
    fileSlots_ = state_.bank.slot;
    fileCorrections_ = state_.corrections;
    const QString fileName = QFileInfo(to_qstring(name)).fileName();
    setWindowTitle(fileName + QStringLiteral(" - ") + to_qstring(kTitle));
}

bool MainWindow::has_unsaved_changes() const {
    return state_.bank.slot != fileSlots_ || !(state_.corrections == fileCorrections_);
}

// Asks whether to save the designs before they are lost; Save runs the Save
// command. Returns whether the window may close.
bool MainWindow::settle_unsaved_changes() {
    const std::string question =
        "Save changes to " + std::string(state_.workingCircuit.FILENAME.view()) + "?";
    switch (feedback_.message("Sorrel", question, MessageButtons::SaveDiscardCancel)) {
    case MessageAnswer::Save:
        return save();
    case MessageAnswer::Discard:
        return true;
    default:
        return false;
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeSettled_ || !has_unsaved_changes() || settle_unsaved_changes())
        event->accept();
    else
        event->ignore();
}

void MainWindow::move_to_slot(SlotStep step) {
    panel_->read_auto_recalc();
    select_slot(state_, step);
    show_current_slot();
    if (panel_->read_auto_recalc())
        panel_->post_command(CalculatorPanel::kCalcCommand);
}

// Brings the panel in line with a working design just taken from a slot.
void MainWindow::show_current_slot() {
    CircuitRecord& working = state_.workingCircuit;
    // The refresh selects NOTI in the first-note list, found again from BASE here.
    normalize_slot_record(working);
    panel_->send_command(CalculatorPanel::kRefreshCommand);
    if (working.UNIT == UNIT_METRIC)
        panel_->switch_to_metric();
    else
        panel_->switch_to_english();
    panel_->set_item_text(panel_id::kDivisor, format("%01d", working.DIVS));
}

// With unsaved designs the save question takes the place of the Yes/No one.
void MainWindow::quit() {
    const bool mayClose = has_unsaved_changes()
                              ? settle_unsaved_changes()
                              : feedback_.message("QUIT", "Quit Program", MessageButtons::YesNo) ==
                                    MessageAnswer::Yes;
    if (!mayClose)
        return;
    closeSettled_ = true;
    close();
}

} // namespace sorrel::ui
