#pragma once
// Feedback for GUI tests: records the message boxes and beeps the user
// would have met instead of showing them, so no test waits on a modal box.

#include "ui/feedback.h"

#include <string>
#include <vector>

namespace sorrel::ui {

struct RecordedMessage {
    std::string caption;
    std::string text;
    MessageButtons buttons;
};

class RecordingFeedback : public Feedback {
public:
    MessageAnswer message(std::string_view caption, std::string_view text,
                          MessageButtons buttons) override {
        messages.push_back({std::string(caption), std::string(text), buttons});
        const bool notice = buttons == MessageButtons::Ok || buttons == MessageButtons::OkWarning;
        return notice ? MessageAnswer::Ok : answer;
    }
    void beep() override { ++beeps; }
    void set_wait_cursor(bool waiting) override { waitDepth += waiting ? 1 : -1; }

    std::vector<RecordedMessage> messages;
    int beeps = 0;
    int waitDepth = 0;
    MessageAnswer answer = MessageAnswer::Yes; // what a question is answered with
};

} // namespace sorrel::ui
