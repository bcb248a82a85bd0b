#pragma once
// A dialog built from a template, with its controls addressed by number and
// one handler that receives every command: a click on a button sends the
// button's number, Enter presses the default button (command 1), Escape and
// the close box send command 2. The handler decides what a command does;
// a dialog that ignores command 2 stays open.

#include "ui/dialog_template.h"
#include "ui/dialog_units.h"

#include <QDialog>
#include <QHash>

#include <cstddef>
#include <string>
#include <string_view>

class QButtonGroup;

namespace sorrel::ui {

inline constexpr int kOkCommand = 1;
inline constexpr int kCancelCommand = 2;

// Sizes of the buffers a control's text is read into: at most one character
// less is read.
inline constexpr std::size_t kNumberBuffer = 10;
inline constexpr std::size_t kWordBuffer = 20;
inline constexpr std::size_t kFileNameBuffer = 64;

class TemplateDialog : public QDialog {
    Q_OBJECT

public:
    enum class Placement {
        Child, // a modeless part of its parent's client area, at its top-left corner
        Modal, // a window of its own over its owner, run with run_modal()
    };

    TemplateDialog(const DialogTemplate& dialog, Placement placement, QWidget* parent);

    // Control access by number. A number the template does not hold reads as
    // empty, unticked or -1, and changing it does nothing.
    std::string item_text(int id,
                          std::size_t bufferSize) const; // at most bufferSize - 1 characters
    void set_item_text(int id, std::string_view text);
    bool is_checked(int id) const;
    void set_checked(int id, bool checked);
    void select_radio(int id); // clears the other radio buttons
    void add_list_line(int id, std::string_view line);
    void select_list_position(int id, int position); // an invalid position clears the selection
    int selected_list_position(int id) const;        // -1 when nothing is selected
    QWidget* control(int id) const;                  // the first control with that number

    // Reads a numeric field into `value`. A text that does not begin with a
    // number leaves it alone, and so does one still showing `value` as
    // `shownFormat` wrote it: taking back the rounded text would quietly
    // change the value (a 13/64 drill would become 0.203).
    void read_number(int id, const char* shownFormat, float& value) const;

    // Runs the command now and returns when the handler has.
    void send_command(int command);
    // Runs the command once the current one has returned to the event loop.
    void post_command(int command);

    // Shows a Modal dialog and returns the result end() was given.
    int run_modal();
    void end(int result);

    const DialogUnitScale& unit_scale() const { return scale_; }

    // Escape and the close box: command 2 for the handler to decide.
    void reject() override;

protected:
    virtual void handle_command(int command) = 0;

private:
    void keep_default_button();
    void build_control(const ControlTemplate& item, QWidget*& lastText);
    QWidget* create_widget(const ControlTemplate& item);
    void place(QWidget* widget, const ControlTemplate& item);
    void dispatch_clicks(QWidget* widget, int id);

    DialogUnitScale scale_;
    QHash<int, QWidget*> controls_;
    QButtonGroup* radioGroup_ = nullptr;
};

} // namespace sorrel::ui
