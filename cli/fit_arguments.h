#pragma once
// The command line of `sorrel-cli fit`: which geometry is fitted (a design
// slot or a geometry file), with which drills, reach and outputs.

#include "tuning/drill_choice.h"
#include "tuning/pitch_fit.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sorrel {

struct FitArguments {
    bool help = false;
    std::string input;                                // a design file, or a geometry file (.json)
    int slot = 0;                                     // the design file's slot
    std::optional<std::vector<tuning::Drill>> drills; // empty: keep the diameters given
    // The limits the command line gives, over the geometry file's own.
    std::optional<double> maxSpread, maxHandGap, minGap;    // m
    std::optional<std::pair<double, double>> holeDiameters; // every hole, m
    std::vector<tuning::HoleLimits> holes;                  // one entry per hole named
    bool json = false;
    std::string output; // -o: where the fitted geometry goes; "-": standard output
    std::string pdf;    // --pdf: where the printed table goes; "-": standard output
};

struct ParsedFitArguments {
    std::optional<FitArguments> arguments; // empty on a usage error
    std::string error;                     // what was wrong, when empty
};

// Parses the arguments that follow the word "fit".
ParsedFitArguments parse_fit_arguments(const std::vector<std::string>& args);

// `fromFile` (a geometry file's constraints, or the defaults) with every
// limit of `args` put over it; a hole the command line names takes its
// limits from the command line alone.
tuning::FitOptions with_command_line_limits(const FitArguments& args, tuning::FitOptions fromFile);

extern const char* const kFitUsage;

// The drills --drills names: fractional, metric, metric-half or a list of
// diameters in mm; empty with `error` set when the list is wrong.
std::optional<std::vector<tuning::Drill>> drills_named(const std::string& name, std::string& error);

// --drill-range MIN:MAX in mm, MIN at most MAX.
std::optional<tuning::DrillRange> drill_range(const std::string& text);

} // namespace sorrel
