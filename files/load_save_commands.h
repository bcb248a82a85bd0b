#pragma once
// File > Load and File > Save: a small dialog asks for the design file's
// name (kept in the working design's FILENAME), typed or chosen with the
// desktop's file chooser, then the bank is read or written. A file that
// cannot be read or written is reported with its reason.

#include "model/circuit_record.h"

#include <optional>
#include <string>

class QWidget;

namespace sorrel::ui {

class Feedback;

// Writes the bank as it stands (not the working design) to the named file.
// Returns the name written, nothing after a Cancel, an empty name or a failure.
std::optional<std::string> save_command(QWidget* owner, DesignState& state, Feedback& feedback);

// Reads the named file into the bank and the corrections. Returns the name
// read; after a Cancel, an empty name or a file that cannot be read, nothing
// but the typed name has changed.
std::optional<std::string> load_command(QWidget* owner, DesignState& state, Feedback& feedback);

} // namespace sorrel::ui
