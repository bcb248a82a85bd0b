#pragma once
// The command line of `sorrel-cli rescue`: the built prototype's geometry
// file, the notes measured on it, the drills at hand and the outputs.

#include "cli/tune_arguments.h"
#include "tuning/drill_choice.h"

#include <optional>
#include <string>
#include <vector>

namespace sorrel {

struct RescueArguments {
    bool help = false;
    std::string input;                     // the geometry file (.json) as built
    std::vector<MeasuredNote> measured;    // as played
    std::vector<MeasuredNote> measuredTop; // tops of the playing ranges
    std::vector<tuning::Drill> drills;     // fractional inch unless --drills names another
    bool json = false;
    std::string output; // -o: the corrected geometry; "-": standard output
};

struct ParsedRescueArguments {
    std::optional<RescueArguments> arguments; // empty on a usage error
    std::string error;
};

// Parses the arguments that follow the word "rescue".
ParsedRescueArguments parse_rescue_arguments(const std::vector<std::string>& args);

extern const char* const kRescueUsage;

} // namespace sorrel
