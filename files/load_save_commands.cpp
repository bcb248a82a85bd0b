#include "files/load_save_commands.h"

#include "files/design_file.h"
#include "files/design_lock.h"
#include "ui/feedback.h"
#include "ui/latin1_text.h"
#include "ui/template_dialog.h"

#include <QFile>

#include <optional>
#include <string>

namespace sorrel::ui {
namespace {

using enum ControlKind;

constexpr int kNameLabel = 4227;
constexpr int kNameEdit = 4158;

constexpr ControlTemplate kSaveControls[] = {
    {kOkCommand, DefaultButton, "OK", 131, 6, 50, 14},
    {kCancelCommand, Button, "Cancel", 131, 23, 50, 14},
    {kNameLabel, Text, "8x3 Filename:", 3, 6, 49, 8},
    {kNameEdit, Edit, "", 14, 18, 79, 10},
    {kNameLabel, Text, "Note:  Tonehole Calculation must be performed prior to Saving.", 6, 45, 156,
     22},
};

constexpr DialogTemplate kSaveTemplate = {"SAVEIT",        "Save File", 187,          66,
                                          "MS Sans Serif", 8,           kSaveControls};

// The Save dialog's first four controls, without the note.
constexpr DialogTemplate kLoadTemplate = {
    "LOADIT", "Load File", 187, 45, "MS Sans Serif", 8, std::span(kSaveControls).first(4)};

// Asks for a file name; empty when the user cancels or leaves the name empty.
class FileNameDialog : public TemplateDialog {
public:
    FileNameDialog(const DialogTemplate& dialog, CircuitRecord& working, QWidget* owner)
        : TemplateDialog(dialog, Placement::Modal, owner), working_(working) {
        set_item_text(kNameEdit, working_.FILENAME.view());
    }

    std::optional<std::string> ask() {
        if (run_modal() != kOkCommand || working_.FILENAME.view().empty())
            return std::nullopt;
        return std::string(working_.FILENAME.view());
    }

protected:
    void handle_command(int command) override {
        if (command == kOkCommand)
            working_.FILENAME.assign(item_text(kNameEdit, kFileNameBuffer));
        if (command == kOkCommand || command == kCancelCommand)
            end(command);
    }

private:
    CircuitRecord& working_;
};

// The record keeps the typed name in Latin-1; the file system and its error
// messages spell names in the locale's encoding. Converting both ways lets a
// typed "Flöte.srl" name the file the user sees under that name.
std::string system_file_name(const std::string& typed) {
    return QFile::encodeName(to_qstring(typed)).toStdString();
}

constexpr const char* kSaveFailed = "Sorrel - Save Failed";
constexpr const char* kNotSaved = "The design file could not be saved:";

void report_failure(Feedback& feedback, const char* caption, const char* what,
                    const std::string& error) {
    feedback.message(caption, std::string(what) + "\r" + to_latin1(QString::fromLocal8Bit(error)),
                     MessageButtons::Ok);
}

} // namespace

void DesignFileCommands::save(QWidget* owner, DesignState& state, Feedback& feedback) {
    const auto name = FileNameDialog(kSaveTemplate, state.workingCircuit, owner).ask();
    if (!name)
        return;
    const std::string path = system_file_name(*name);
    DesignFileLock lock;
    if (const std::string busy = lock.acquire(path); !busy.empty()) {
        report_failure(feedback, kSaveFailed, kNotSaved, busy);
        return;
    }
    if (changed_on_disk(path, lock.stamp()) &&
        feedback.message("Sorrel - File Changed",
                         "The design file has changed on disk since it was loaded or saved:\r" +
                             *name + "\rReplace it with the designs shown here?",
                         MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    const WriteOutcome outcome = write_design_file(path, state.bank, state.corrections);
    if (!outcome.written) {
        report_failure(feedback, kSaveFailed, kNotSaved, outcome.error);
        return;
    }
    knownPath_ = outcome.stamp ? path : std::string();
    knownStamp_ = outcome.stamp.value_or(FileStamp{});
}

bool DesignFileCommands::load(QWidget* owner, DesignState& state, Feedback& feedback) {
    const auto name = FileNameDialog(kLoadTemplate, state.workingCircuit, owner).ask();
    if (!name)
        return false;
    const std::string path = system_file_name(*name);
    const ReadOutcome outcome = read_design_file(path, state.bank, state.corrections);
    if (!outcome.opened) {
        report_failure(feedback, "Sorrel - Load Failed",
                       "The design file could not be read:", outcome.error);
        return false;
    }
    knownPath_ = path;
    knownStamp_ = outcome.stamp;
    for (const VersionMessage& message : outcome.messages)
        feedback.message(message.title, message.text, MessageButtons::Ok);
    return true;
}

bool DesignFileCommands::changed_on_disk(const std::string& path,
                                         const std::optional<FileStamp>& now) const {
    return now && path == knownPath_ && *now != knownStamp_;
}

} // namespace sorrel::ui
