#pragma once
// The program's one top-level window: the menu bar, the calculator panel in
// its client area (scrolled when the window is smaller), and the menu
// commands. It owns every design the program holds; the panel shows the
// working one. Closing it with designs not yet saved asks first.

#include "files/load_save_commands.h"
#include "model/circuit_record.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <string>

namespace sorrel::ui {

class CalculatorPanel;
class Feedback;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Message boxes, beeps and the wait cursor go to `feedback`, or to the
    // desktop's when none is given.
    explicit MainWindow(Feedback* feedback = nullptr);
    ~MainWindow() override;

    // Runs a menu command as choosing its menu item does.
    void run_command(int command);

    DesignState& state() { return state_; }
    CalculatorPanel& panel() { return *panel_; }

    // Whether the bank or the corrections differ from the file last loaded
    // or saved (at start-up, from the designs the program started with).
    bool has_unsaved_changes() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_menu_bar();
    void fit_to_screen();
    void load();
    bool save();
    void move_to_slot(SlotStep step);
    void show_current_slot();
    void quit();
    bool settle_unsaved_changes();
    void remember_file(const std::string& name);

    DesignState state_;
    DesignFileCommands designFiles_;
    // What the file last loaded or saved holds.
    std::array<CircuitRecord, kSlotCount> fileSlots_;
    GlobalCorrections fileCorrections_;
    bool closeSettled_ = false; // Quit has asked already
    std::unique_ptr<Feedback> desktopFeedback_;
    Feedback& feedback_;
    CalculatorPanel* panel_ = nullptr;
};

} // namespace sorrel::ui
