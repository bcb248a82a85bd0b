#pragma once
// Reading and writing the whole bank for the command-line tool, with every
// message the reader raises and every failure told on stderr.

#include "model/circuit_record.h"

#include <optional>
#include <string>

namespace sorrel {

// The start-up state with the file read into it, as Load reads one; empty
// when the file could not be read.
std::optional<DesignState> read_bank(const std::string& path);

// Whether the bank and corrections of `state` were written to `path`.
bool write_bank(const std::string& path, const DesignState& state);

} // namespace sorrel
