#pragma once
// The command line of `sorrel-cli tune`: which geometry is checked, under
// which air and calibration, with which extra fingerings.

#include <optional>
#include <string>
#include <vector>

namespace sorrel {

// A measured note: the fingering played and the frequency it sounded.
struct MeasuredNote {
    std::string fingering; // "xxxxxx"
    double frequency = 0;  // Hz
};

struct TuneArguments {
    bool help = false;
    std::string file;                   // a design file or a geometry file (*.json)
    std::optional<int> slot;            // the design file's slot; 0 when not given
    std::optional<double> temperature;  // °C, replacing the geometry's
    std::optional<double> windowHeight; // mm, replacing the geometry's
    std::optional<MeasuredNote> measured;
    std::vector<std::string> fingerings; // extra fingerings, after the geometry's own
    bool json = false;
};

struct ParsedTuneArguments {
    std::optional<TuneArguments> arguments; // empty on a usage error
    std::string error;                      // what was wrong, when empty
};

// Parses the arguments that follow "tune".
ParsedTuneArguments parse_tune_arguments(const std::vector<std::string>& args);

// Whether `file` names a geometry file rather than a design file.
bool is_geometry_file(const std::string& file);

extern const char* const kTuneUsage;

} // namespace sorrel
