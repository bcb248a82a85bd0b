#pragma once
// sorrel-cli rescue: plans the correction of a built prototype from the
// notes measured on it, and writes the corrected geometry.

#include <string>
#include <vector>

namespace sorrel {

// Runs `sorrel-cli rescue` on the arguments that follow the word "rescue"
// and returns the exit status: 0 planned, 1 usage, 2 a file, 3 the
// calibration failed.
int rescue_command(const std::vector<std::string>& args);

} // namespace sorrel
