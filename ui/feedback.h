#pragma once
// What the program tells the user besides its fields: message boxes, the
// system beep and the wait cursor. Windows and dialogs reach them through
// this interface so that tests can see what the user would have seen.

#include <string_view>

class QWidget;

namespace sorrel::ui {

enum class MessageButtons {
    Ok,                // a notice, with the information icon
    OkWarning,         // a failure or a refusal, with the warning icon
    YesNo,             // a question, with the question-mark icon
    SaveDiscardCancel, // unsaved work, with the question-mark icon
};

enum class MessageAnswer { Ok, Yes, No, Save, Discard, Cancel };

class Feedback {
public:
    virtual ~Feedback() = default;

    // Shows a modal message and returns the button pressed. A carriage
    // return in the text starts a new line.
    virtual MessageAnswer message(std::string_view caption, std::string_view text,
                                  MessageButtons buttons) = 0;
    virtual void beep() = 0;
    virtual void set_wait_cursor(bool waiting) = 0;
};

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    explicit WaitCursor(Feedback& feedback) : feedback_(feedback) {
        feedback_.set_wait_cursor(true);
    }
    ~WaitCursor() { feedback_.set_wait_cursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Feedback& feedback_;
};

// The desktop's message boxes, beep and cursor, message boxes owned by `owner`.
class DesktopFeedback : public Feedback {
public:
    explicit DesktopFeedback(QWidget* owner) : owner_(owner) {}

    MessageAnswer message(std::string_view caption, std::string_view text,
                          MessageButtons buttons) override;
    void beep() override;
    void set_wait_cursor(bool waiting) override;

private:
    QWidget* owner_;
};

} // namespace sorrel::ui
