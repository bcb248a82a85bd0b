#pragma once
// The design file: a line-oriented text file holding the whole bank and the
// global corrections. Written files are byte-exact (7 header lines, 40
// sections of 166 lines, "[EOF]"); the reader takes them back by key prefix.

#include "model/circuit_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace sorrel {

// A message the reader's version rules raise, for the caller to show.
struct VersionMessage {
    std::string text;
    std::string title;
};

struct ReadOutcome {
    bool opened = false;   // false: nothing was read or changed
    std::string error;     // why the file could not be read, when not opened
    std::vector<VersionMessage> messages; // in the order they are to be shown
};

struct WriteOutcome {
    bool written = false; // false: the previous file, if any, is untouched
    std::string error;    // why, when not written
};

// The bytes of a design file for `bank` and `corrections`.
std::string write_design_text(const CircuitBank& bank, const GlobalCorrections& corrections);

// Writes the file beside its target and renames it over the target, so a
// failed save never destroys the previous file.
WriteOutcome write_design_file(const std::string& path, const CircuitBank& bank,
                               const GlobalCorrections& corrections);

// Applies the lines of `bytes` to `bank` and `corrections`, then the version
// rules. Fields the text does not set keep their values. Any bytes are safe.
std::vector<VersionMessage> read_design_text(std::string_view bytes, CircuitBank& bank,
                                             GlobalCorrections& corrections);

// Reads the named file as `read_design_text` does.
ReadOutcome read_design_file(const std::string& path, CircuitBank& bank,
                             GlobalCorrections& corrections);

} // namespace sorrel
