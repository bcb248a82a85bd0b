#pragma once
// The command line of `sorrel-cli fit`: which geometry is fitted (a design
// slot or a geometry file), with which drills, reach and outputs.

#include "tuning/drill_choice.h"
#include "tuning/pitch_fit.h"

#include <optional>
#include <string>
#include <vector>

namespace sorrel {

struct FitArguments {
    bool help = false;
    std::string input;                                // a design file, or a geometry file (.json)
    bool geometryFile = false;                        // `input` is a geometry file
    int slot = 0;                                     // the design file's slot
    std::optional<std::vector<tuning::Drill>> drills; // empty: keep the diameters given
    double maxSpread = tuning::kDefaultMaxSpread;     // m
    bool json = false;
    std::string output; // -o: where the fitted geometry goes
    std::string pdf;    // --pdf: where the printed table goes
};

struct ParsedFitArguments {
    std::optional<FitArguments> arguments; // empty on a usage error
    std::string error;                     // what was wrong, when empty
};

// Parses the arguments that follow the word "fit".
ParsedFitArguments parse_fit_arguments(const std::vector<std::string>& args);

extern const char* const kFitUsage;

} // namespace sorrel
