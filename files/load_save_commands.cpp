#include "files/load_save_commands.h"

#include "files/design_file.h"
#include "files/design_lock.h"
#include "ui/feedback.h"
#include "ui/latin1_text.h"
#include "ui/template_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include <optional>
#include <string>

namespace sorrel::ui {
namespace {

using enum ControlKind;

constexpr int kNameLabel = 4227;
constexpr int kNameEdit = 4158;
constexpr int kBrowse = 4159;
// A name typed or chosen is used whole: a full path may be long.
constexpr std::size_t kPathBuffer = 4096;

constexpr ControlTemplate kSaveControls[] = {
    {kOkCommand, DefaultButton, "OK", 131, 6, 50, 14},
    {kCancelCommand, Button, "Cancel", 131, 23, 50, 14},
    {kNameLabel, Text, "8x3 Filename:", 3, 6, 49, 8},
    {kNameEdit, Edit, "", 14, 18, 79, 10},
    {kBrowse, Button, "&Browse...", 14, 30, 50, 12},
    {kNameLabel, Text, "Note:  Tonehole Calculation must be performed prior to Saving.", 6, 45, 156,
     22},
};

constexpr DialogTemplate kSaveTemplate = {"SAVEIT",        "Save File", 187,          66,
                                          "MS Sans Serif", 8,           kSaveControls};

// The Save dialog's controls, without the note.
constexpr DialogTemplate kLoadTemplate = {
    "LOADIT", "Load File", 187, 45, "MS Sans Serif", 8, std::span(kSaveControls).first(5)};

enum class FileUse { Read, Write };

// Asks for a file name; empty when the user cancels or leaves the name empty.
// It opens with the name selected, so typing replaces it and Enter takes it.
class FileNameDialog : public TemplateDialog {
public:
    FileNameDialog(const DialogTemplate& dialog, FileUse use, CircuitRecord& working,
                   Feedback& feedback, QWidget* owner)
        : TemplateDialog(dialog, Placement::Modal, owner), use_(use), working_(working),
          feedback_(feedback) {
        set_item_text(kNameEdit, working_.FILENAME.view());
        auto* name = static_cast<QLineEdit*>(control(kNameEdit));
        name->setAccessibleName(QStringLiteral("File name"));
        name->setFocus(Qt::OtherFocusReason);
        name->selectAll();
    }

    std::optional<std::string> ask() {
        if (run_modal() != kOkCommand || name_.empty())
            return std::nullopt;
        return name_;
    }

protected:
    void handle_command(int command) override {
        if (command == kBrowse)
            browse();
        if (command == kOkCommand)
            take_name();
        if (command == kOkCommand || command == kCancelCommand)
            end(command);
    }

private:
    // The record keeps at most 63 characters: a longer path is used whole,
    // and the record keeps the file's own name rather than a cut path.
    void take_name() {
        name_ = item_text(kNameEdit, kPathBuffer);
        const bool fits = name_.size() <= decltype(CircuitRecord::FILENAME)::kMaxLength;
        working_.FILENAME.assign(fits ? name_ : to_latin1(QFileInfo(to_qstring(name_)).fileName()));
    }

    // The desktop's file chooser; the chosen path replaces the typed name.
    void browse() {
        const QString filter = QStringLiteral("Design files (*.srl);;All files (*)");
        const QString start = to_qstring(item_text(kNameEdit, kPathBuffer));
        const QString chosen =
            use_ == FileUse::Read
                ? QFileDialog::getOpenFileName(this, windowTitle(), start, filter)
                : QFileDialog::getSaveFileName(this, windowTitle(), start, filter);
        if (chosen.isEmpty())
            return;
        // Names travel in Latin-1: a path that cannot be spelt so would name another file.
        if (to_qstring(to_latin1(chosen)) != chosen) {
            feedback_.message(to_latin1(windowTitle()),
                              "Sorrel cannot use this path; its characters go beyond Latin-1:\r" +
                                  to_latin1(chosen),
                              MessageButtons::OkWarning);
            return;
        }
        set_item_text(kNameEdit, to_latin1(chosen));
        control(kNameEdit)->setFocus(Qt::OtherFocusReason);
    }

    FileUse use_;
    CircuitRecord& working_;
    Feedback& feedback_;
    std::string name_;
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
                     MessageButtons::OkWarning);
}

} // namespace

std::optional<std::string> DesignFileCommands::save(QWidget* owner, DesignState& state,
                                                    Feedback& feedback) {
    const auto name =
        FileNameDialog(kSaveTemplate, FileUse::Write, state.workingCircuit, feedback, owner).ask();
    if (!name)
        return std::nullopt;
    const std::string path = system_file_name(*name);
    DesignFileLock lock;
    if (const std::string busy = lock.acquire(path); !busy.empty()) {
        report_failure(feedback, kSaveFailed, kNotSaved, busy);
        return std::nullopt;
    }
    if (changed_on_disk(path, lock.stamp()) &&
        feedback.message("Sorrel - File Changed",
                         "The design file has changed on disk since it was loaded or saved:\r" +
                             *name + "\rReplace it with the designs shown here?",
                         MessageButtons::YesNo) != MessageAnswer::Yes)
        return std::nullopt;
    const WriteOutcome outcome = write_design_file(path, state.bank, state.corrections);
    if (!outcome.written) {
        report_failure(feedback, kSaveFailed, kNotSaved, outcome.error);
        return std::nullopt;
    }
    knownPath_ = outcome.stamp ? path : std::string();
    knownStamp_ = outcome.stamp.value_or(FileStamp{});
    return name;
}

std::optional<std::string> DesignFileCommands::load(QWidget* owner, DesignState& state,
                                                    Feedback& feedback) {
    const auto name =
        FileNameDialog(kLoadTemplate, FileUse::Read, state.workingCircuit, feedback, owner).ask();
    if (!name)
        return std::nullopt;
    const std::string path = system_file_name(*name);
    const ReadOutcome outcome = read_design_file(path, state.bank, state.corrections);
    if (!outcome.opened) {
        report_failure(feedback, "Sorrel - Load Failed",
                       "The design file could not be read:", outcome.error);
        return std::nullopt;
    }
    knownPath_ = path;
    knownStamp_ = outcome.stamp;
    for (const VersionMessage& message : outcome.messages)
        feedback.message(message.title, message.text, MessageButtons::Ok);
    return name;
}

bool DesignFileCommands::changed_on_disk(const std::string& path,
                                         const std::optional<FileStamp>& now) const {
    return now && path == knownPath_ && *now != knownStamp_;
}

} // namespace sorrel::ui
