#include "ui/main_window.h"

#include "drilling/print_drilling_template.h"
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

#include <QHash>
#include <QLabel>
#include <QMenuBar>

#include <algorithm>

namespace sorrel::ui {
namespace {

Feedback& chosen_feedback(Feedback* given, std::unique_ptr<Feedback>& own, QWidget* owner) {
    if (given != nullptr)
        return *given;
    own = std::make_unique<DesktopFeedback>(owner);
    return *own;
}

} // namespace

MainWindow::MainWindow(Feedback* feedback)
    : state_(startup_state()), feedback_(chosen_feedback(feedback, desktopFeedback_, this)) {
    setObjectName(QStringLiteral("MainClass"));
    setWindowTitle(QStringLiteral("Sorrel - Bellbrook"));
    panel_ = new CalculatorPanel(state_, feedback_, this);
    setCentralWidget(panel_);
    build_menu_bar();
    // The window's own size, grown where the desktop's fonts make the panel larger.
    move(1, 1);
    const QSize needed = panel_->size() + QSize(0, menuBar()->sizeHint().height());
    resize(std::max(799, needed.width()), std::max(620, needed.height()));
}

MainWindow::~MainWindow() = default;

void MainWindow::build_menu_bar() {
    QHash<QString, QMenu*> menus;
    for (const MenuItem& item : main_menu_items()) {
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
        print_drilling_template(this, state_.workingCircuit, feedback_);
        break;
    case kBoreShape:
        convert_bore_shape(this);
        break;
    case kTemperature:
        convert_temperature(this);
        break;
    case kDistance:
        convert_distance(this);
        break;
    case kAirDensity:
        calculate_air_density(this);
        break;
    case kDrillSizes:
        show_reference_sheet(this, ReferenceSheet::Drills);
        break;
    case kTubingSizes:
        show_reference_sheet(this, ReferenceSheet::Resources);
        break;
    case kCustomFrequencies:
        edit_custom_frequencies(this, state_.workingCircuit);
        break;
    case kSetup:
        edit_setup(this, state_);
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
    if (!load_command(this, state_, feedback_))
        return;
    panel_->set_checked(panel_id::kAutoRecalc, state_.corrections.AUTO != 0);
    state_.workingCircuit = state_.bank.slot[0];
    state_.bank.currentIndex = 0;
    show_current_slot();
}

void MainWindow::save() {
    panel_->read_auto_recalc();
    save_command(this, state_, feedback_);
    panel_->send_command(CalculatorPanel::kRefreshCommand);
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

void MainWindow::quit() {
    if (feedback_.message("QUIT", "Quit Program", MessageButtons::YesNo) == MessageAnswer::Yes)
        close();
}

} // namespace sorrel::ui
