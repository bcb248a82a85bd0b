#include "cli/tune_command.h"

#include "cli/commands.h"
#include "cli/geometry_source.h"
#include "cli/tune_arguments.h"
#include "model/message_quote.h"
#include "model/text_format.h"
#include "tuning/fingering.h"
#include "tuning/tuning_model.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>

namespace sorrel {
namespace {

using tuning::FingeringResult;
using tuning::Geometry;

constexpr double kMmPerMetre = 1000;

int fail(int status, const std::string& message) {
    std::cerr << "sorrel-cli: " << message << '\n';
    return status;
}

// The calibration value, where it came from ("not calibrated", "given" or "fitted to
// xxxxxx = 587.33 Hz") and the temperature.
std::string calibration_line(const Geometry& geometry, const std::string& source) {
    const bool closed = geometry.mouth.kind == tuning::MouthKind::Closed;
    const double value = closed ? geometry.mouth.addedLength : geometry.windowHeight;
    return format("%s %.2f mm (%s), air at %.1f C\n", closed ? "added length" : "window height",
                  value * kMmPerMetre, source.c_str(), geometry.air.temperature);
}

std::string cell(const std::optional<double>& value, const char* pattern) {
    return value ? format(pattern, *value) : format("%s", "-");
}

void print_table(const Geometry& geometry, const std::vector<FingeringResult>& results,
                 const std::string& source) {
    std::cout << format("%-12s %10s %12s %8s %10s %8s\n", "fingering", "target Hz", "predicted Hz",
                        "cents", "second Hz", "stretch");
    for (const FingeringResult& result : results) {
        std::cout << format("%-12s %10s %12s %8s %10s %8s\n", result.fingering.c_str(),
                            cell(result.target, "%.2f").c_str(),
                            result.first ? format("%.2f", *result.first).c_str() : "not found",
                            cell(result.cents, "%+.1f").c_str(),
                            result.second ? format("%.2f", *result.second).c_str() : "not found",
                            cell(result.octaveStretch, "%+.1f").c_str());
    }
    std::cout << calibration_line(geometry, source);
}

nlohmann::ordered_json rounded(const std::optional<double>& value) {
    if (!value)
        return nullptr;
    return std::round(*value * 100) / 100;
}

void print_json(const Geometry& geometry, const std::vector<FingeringResult>& results) {
    nlohmann::ordered_json out;
    if (geometry.mouth.kind == tuning::MouthKind::Closed)
        out["added_length_mm"] = rounded(geometry.mouth.addedLength * kMmPerMetre);
    else
        out["window_height_mm"] = rounded(geometry.windowHeight * kMmPerMetre);
    out["temperature_c"] = geometry.air.temperature;
    out["fingerings"] = nlohmann::ordered_json::array();
    for (const FingeringResult& result : results) {
        nlohmann::ordered_json row;
        row["fingering"] = result.fingering;
        row["target_hz"] = rounded(result.target);
        row["resonance_hz"] = {rounded(result.first), rounded(result.second)};
        row["cents"] = rounded(result.cents);
        row["octave_stretch_cents"] = rounded(result.octaveStretch);
        out["fingerings"].push_back(row);
    }
    std::cout << out.dump(2) << '\n';
}

} // namespace

int tune_command(const std::vector<std::string>& args) {
    const ParsedTuneArguments parsed = parse_tune_arguments(args);
    if (!parsed.arguments) {
        std::cerr << "sorrel-cli: " << parsed.error << "\n\n" << kTuneUsage;
        return kExitUsage;
    }
    const TuneArguments& options = *parsed.arguments;
    if (options.help) {
        std::cout << kTuneUsage;
        return kExitDone;
    }
    const std::optional<LoadedGeometry> loaded =
        load_geometry(options.file, options.slot.value_or(0));
    if (!loaded)
        return kExitFileError;
    std::optional<Geometry> geometry = loaded->geometry;

    std::string source = "not calibrated";
    if (options.temperature)
        geometry->air.temperature = *options.temperature;
    if (options.windowHeight) {
        if (geometry->mouth.kind == tuning::MouthKind::Closed)
            return fail(kExitUsage, "--window-height: a closed mouthpiece has no window");
        geometry->windowHeight = *options.windowHeight / kMmPerMetre;
        source = "given";
    }
    for (const std::string& fingering : options.fingerings) {
        std::string error;
        if (!tuning::parse_fingering(fingering, geometry->holes.size(), error))
            return fail(kExitUsage, "--fingering " + quote_for_message(fingering) + ": " + error);
        geometry->extraFingerings.push_back(fingering);
    }
    if (const auto fault = tuning::validate(*geometry))
        return fail(kExitUsage, "with the options given, " + tuning::describe(*fault));

    if (options.measured) {
        std::string error;
        const std::optional<tuning::Fingering> fingering =
            tuning::parse_fingering(options.measured->fingering, geometry->holes.size(), error);
        if (!fingering)
            return fail(kExitUsage, "--measured: " + error);
        const tuning::Calibration calibration =
            tuning::calibrate(*geometry, *fingering, options.measured->frequency);
        if (!calibration.geometry)
            return fail(kExitSlotStopped, "--measured: " + calibration.error);
        geometry = calibration.geometry;
        source = format("fitted to %s = %.2f Hz", options.measured->fingering.c_str(),
                        options.measured->frequency);
    }

    const std::vector<FingeringResult> results = tuning::predict(*geometry);
    if (options.json)
        print_json(*geometry, results);
    else
        print_table(*geometry, results, source);
    return tuning::all_found(results) ? kExitDone : kExitSlotStopped;
}

} // namespace sorrel
