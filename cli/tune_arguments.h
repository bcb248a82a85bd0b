#pragma once
// The command line of `sorrel-cli tune`: which geometry is checked, under
// which air and calibration, with which extra fingerings.

#include <optional>
#include <string>
#include <vector>

namespace sorrel {

// A fingering and a frequency: a measured note, or a note to predict.
struct MeasuredNote {
    std::string fingering; // "xxxxxx"
    double frequency = 0;  // Hz
    bool played = true;    // measured as played (a tuner), or the top of the note's range
};

struct TuneArguments {
    bool help = false;
    std::string file;                    // a design file or a geometry file (*.json)
    std::optional<int> slot;             // the design file's slot; 0 when not given
    std::optional<double> temperature;   // °C, replacing the geometry's
    std::optional<double> windowHeight;  // mm, replacing the geometry's
    std::vector<MeasuredNote> measured;  // every --measured and --measured-top, in order
    std::vector<std::string> fingerings; // extra fingerings, after the geometry's own
    std::vector<MeasuredNote> notes;     // notes to predict, after the geometry's own
    bool json = false;
};

struct ParsedTuneArguments {
    std::optional<TuneArguments> arguments; // empty on a usage error
    std::string error;                      // what was wrong, when empty
};

// Parses the arguments that follow "tune".
ParsedTuneArguments parse_tune_arguments(const std::vector<std::string>& args);

extern const char* const kTuneUsage;

// "FINGERING=HZ", the frequency above 0; empty when the text is not that.
std::optional<MeasuredNote> measured_note(const std::string& text);

} // namespace sorrel
