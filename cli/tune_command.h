#pragma once
// `sorrel-cli tune`: the tuning check of a finished instrument.

#include <string>
#include <vector>

namespace sorrel {

// Runs "tune" with the arguments that follow it; returns the exit status.
int tune_command(const std::vector<std::string>& args);

} // namespace sorrel
