#pragma once
// The program's one top-level window: the menu bar, the calculator panel in
// its client area, and the menu commands. It owns every design the program
// holds; the panel shows the working one.

#include "files/load_save_commands.h"
#include "model/circuit_record.h"

#include <QMainWindow>

#include <memory>

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

private:
    void build_menu_bar();
    void load();
    void save();
    void move_to_slot(SlotStep step);
    void show_current_slot();
    void quit();

    DesignState state_;
    DesignFileCommands designFiles_;
    std::unique_ptr<Feedback> desktopFeedback_;
    Feedback& feedback_;
    CalculatorPanel* panel_ = nullptr;
};

} // namespace sorrel::ui
