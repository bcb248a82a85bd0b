#pragma once
// File > Load and File > Save: a small dialog asks for the design file's
// name (kept in the working design's FILENAME), typed or chosen with the
// desktop's file chooser, then the bank is read or written. A file that
// cannot be read or written is reported with its reason.

#include "files/file_stamp.h"
#include "model/circuit_record.h"

#include <optional>
#include <string>

class QWidget;

namespace sorrel::ui {

class Feedback;

// The Load and Save commands of one window, which remember the version of
// the file last loaded or saved, so that a Save does not silently replace
// what another program wrote there since.
class DesignFileCommands {
public:
    // Writes the bank as it stands (not the working design) to the named
    // file, holding the file's lock while it checks and replaces it. When
    // the file is the one last loaded or saved and has changed on disk since,
    // the user is asked before it is replaced. Returns the name written,
    // nothing after a Cancel, an empty name, a refusal or a failure.
    std::optional<std::string> save(QWidget* owner, DesignState& state, Feedback& feedback);

    // Reads the named file into the bank and the corrections. Returns the
    // name read; after a Cancel, an empty name or a file that cannot be read,
    // nothing but the typed name has changed.
    std::optional<std::string> load(QWidget* owner, DesignState& state, Feedback& feedback);

private:
    // Whether the file the lock holds at `path` differs from its version
    // last loaded or saved here.
    bool changed_on_disk(const std::string& path, const std::optional<FileStamp>& now) const;

    std::string knownPath_; // the file last loaded or saved, as the system names it
    FileStamp knownStamp_;  // its version then
};

} // namespace sorrel::ui
