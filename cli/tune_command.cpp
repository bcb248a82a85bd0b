#include "cli/tune_command.h"

#include "cli/commands.h"
#include "cli/geometry_source.h"
#include "cli/tune_arguments.h"
#include "model/message_quote.h"
#include "model/text_format.h"
#include "tuning/calibration.h"
#include "tuning/fingering.h"
#include "tuning/note_class.h"
#include "tuning/tuning_model.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>
#include <map>

namespace sorrel {
namespace {

using tuning::FingeringResult;
using tuning::Geometry;
using tuning::NoteClass;
using tuning::NoteMatch;

constexpr double kMmPerMetre = 1000;

int fail(int status, const std::string& message) {
    std::cerr << "sorrel-cli: " << message << '\n';
    return status;
}

// What the calibration gave: its source ("not calibrated", "given", "fitted
// to xxxxxx = 587.33 Hz") and how each measured note is met.
struct Calibrated {
    std::string source = "not calibrated";
    int unknowns = 0;
    std::vector<NoteMatch> matches;
};

// The calibration value, where it came from, the blowing level when it was
// fitted, and the temperature.
std::string calibration_line(const Geometry& geometry, const Calibrated& calibrated) {
    const bool closed = geometry.mouth.kind == tuning::MouthKind::Closed;
    const double value = closed ? geometry.mouth.addedLength : geometry.windowHeight;
    const std::string blowing =
        calibrated.unknowns == 2 ? format(", Strouhal number %.3f", geometry.strouhal) : "";
    return format("%s %.2f mm (%s)%s, air at %.1f C\n", closed ? "added length" : "window height",
                  value * kMmPerMetre, calibrated.source.c_str(), blowing.c_str(),
                  geometry.air.temperature);
}

std::string cell(const std::optional<double>& value, const char* pattern) {
    return value ? format(pattern, *value) : format("%s", "-");
}

std::string hertz(const std::optional<double>& value) {
    return value ? format("%.2f", *value) : "not found";
}

// Each class's cents: the results' against their targets, or the measured
// notes' residuals.
std::map<NoteClass, std::vector<double>> target_cents(const std::vector<FingeringResult>& results) {
    std::map<NoteClass, std::vector<double>> cents;
    for (const FingeringResult& result : results)
        if (result.cents)
            cents[tuning::note_class(result.fingering, result.mode)].push_back(*result.cents);
    return cents;
}

std::map<NoteClass, std::vector<double>> measured_cents(const std::vector<NoteMatch>& matches) {
    std::map<NoteClass, std::vector<double>> cents;
    for (const NoteMatch& match : matches)
        cents[tuning::note_class(match.fingering, match.mode)].push_back(match.residual);
    return cents;
}

void print_spreads(const char* against, const std::map<NoteClass, std::vector<double>>& cents) {
    for (const auto& [noteClass, list] : cents) {
        const tuning::Spread spread = tuning::spread(list);
        std::cout << format("%s, from %s: %d note%s, largest %.1f cents, standard deviation "
                            "%.1f cents\n",
                            tuning::class_name(noteClass), against, spread.count,
                            spread.count == 1 ? "" : "s", spread.largest, spread.deviation);
    }
}

void print_table(const Geometry& geometry, const std::vector<FingeringResult>& results,
                 const Calibrated& calibrated) {
    std::cout << format("%-12s %10s %4s %12s %10s %8s %10s %8s\n", "fingering", "target Hz", "mode",
                        "predicted Hz", "played Hz", "cents", "second Hz", "stretch");
    for (const FingeringResult& result : results) {
        std::cout << format("%-12s %10s %4d %12s %10s %8s %10s %8s\n", result.fingering.c_str(),
                            cell(result.target, "%.2f").c_str(), result.mode,
                            hertz(result.first).c_str(), cell(result.played, "%.2f").c_str(),
                            cell(result.cents, "%+.1f").c_str(), hertz(result.second).c_str(),
                            cell(result.octaveStretch, "%+.1f").c_str());
    }
    for (const NoteMatch& match : calibrated.matches)
        std::cout << format("measured %s = %.2f Hz (%s): mode %d, predicted %.2f Hz, %+.1f cents\n",
                            match.fingering.c_str(), match.measured,
                            match.played ? "as played" : "top of range", match.mode,
                            match.predicted, match.residual);
    print_spreads("target", target_cents(results));
    print_spreads("measured", measured_cents(calibrated.matches));
    std::cout << calibration_line(geometry, calibrated);
}

nlohmann::ordered_json rounded(const std::optional<double>& value) {
    if (!value)
        return nullptr;
    return std::round(*value * 100) / 100;
}

nlohmann::ordered_json spreads_json(const std::map<NoteClass, std::vector<double>>& cents) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& [noteClass, values] : cents) {
        const tuning::Spread spread = tuning::spread(values);
        list.push_back({{"class", tuning::class_name(noteClass)},
                        {"notes", spread.count},
                        {"largest_cents", rounded(spread.largest)},
                        {"deviation_cents", rounded(spread.deviation)}});
    }
    return list;
}

void print_json(const Geometry& geometry, const std::vector<FingeringResult>& results,
                const Calibrated& calibrated) {
    nlohmann::ordered_json out;
    if (geometry.mouth.kind == tuning::MouthKind::Closed)
        out["added_length_mm"] = rounded(geometry.mouth.addedLength * kMmPerMetre);
    else
        out["window_height_mm"] = rounded(geometry.windowHeight * kMmPerMetre);
    out["strouhal"] = std::round(geometry.strouhal * 1000) / 1000;
    out["temperature_c"] = geometry.air.temperature;
    out["fingerings"] = nlohmann::ordered_json::array();
    for (const FingeringResult& result : results) {
        nlohmann::ordered_json row;
        row["fingering"] = result.fingering;
        row["target_hz"] = rounded(result.target);
        row["mode"] = result.mode;
        row["top_hz"] = rounded(result.first);
        row["played_hz"] = rounded(result.played);
        row["resonance_hz"] = {rounded(result.first), rounded(result.second)};
        row["second_played_hz"] = rounded(result.secondPlayed);
        row["cents"] = rounded(result.cents);
        row["octave_stretch_cents"] = rounded(result.octaveStretch);
        out["fingerings"].push_back(row);
    }
    out["measured"] = nlohmann::ordered_json::array();
    for (const NoteMatch& match : calibrated.matches)
        out["measured"].push_back({{"fingering", match.fingering},
                                   {"measured_hz", match.measured},
                                   {"as", match.played ? "played" : "top"},
                                   {"mode", match.mode},
                                   {"predicted_hz", rounded(match.predicted)},
                                   {"residual_cents", rounded(match.residual)}});
    out["classes_from_target"] = spreads_json(target_cents(results));
    out["classes_from_measured"] = spreads_json(measured_cents(calibrated.matches));
    std::cout << out.dump(2) << '\n';
}

// The measured notes with their fingerings read, or empty with `error` set.
std::optional<std::vector<tuning::MeasuredPitch>>
measured_pitches(const std::vector<MeasuredNote>& measured, std::size_t holeCount,
                 std::string& error) {
    std::vector<tuning::MeasuredPitch> pitches;
    for (const MeasuredNote& note : measured) {
        const auto fingering = tuning::parse_fingering(note.fingering, holeCount, error);
        if (!fingering) {
            error = (note.played ? "--measured: " : "--measured-top: ") + error;
            return std::nullopt;
        }
        pitches.push_back({*fingering, note.frequency, note.played});
    }
    return pitches;
}

// "fitted to xxxxxx = 587.33 Hz", or to how many notes.
std::string fitted_source(const std::vector<MeasuredNote>& measured) {
    if (measured.size() == 1)
        return format("fitted to %s = %.2f Hz", measured[0].fingering.c_str(),
                      measured[0].frequency);
    return format("fitted to %zu measured notes", measured.size());
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
    Geometry geometry = loaded->geometry;

    Calibrated calibrated;
    if (options.temperature)
        geometry.air.temperature = *options.temperature;
    if (options.windowHeight) {
        if (geometry.mouth.kind == tuning::MouthKind::Closed)
            return fail(kExitUsage, "--window-height: a closed mouthpiece has no window");
        geometry.windowHeight = *options.windowHeight / kMmPerMetre;
        calibrated.source = "given";
    }
    for (const std::string& fingering : options.fingerings) {
        std::string error;
        if (!tuning::parse_fingering(fingering, geometry.holes.size(), error))
            return fail(kExitUsage, "--fingering " + quote_for_message(fingering) + ": " + error);
        geometry.extraFingerings.push_back(fingering);
    }
    for (const MeasuredNote& note : options.notes) {
        std::string error;
        if (!tuning::parse_fingering(note.fingering, geometry.holes.size(), error))
            return fail(kExitUsage, "--note " + quote_for_message(note.fingering) + ": " + error);
        geometry.notes.push_back({note.fingering, note.frequency});
    }
    if (const auto fault = tuning::validate(geometry))
        return fail(kExitUsage, "with the options given, " + tuning::describe(*fault));

    if (!options.measured.empty()) {
        std::string error;
        const auto pitches = measured_pitches(options.measured, geometry.holes.size(), error);
        if (!pitches)
            return fail(kExitUsage, error);
        const tuning::NotesCalibration fitted = tuning::calibrate_notes(geometry, *pitches);
        if (!fitted.geometry)
            return fail(kExitSlotStopped, "--measured: " + fitted.error);
        geometry = *fitted.geometry;
        calibrated = {fitted_source(options.measured), fitted.unknowns, fitted.matches};
    }

    const std::vector<FingeringResult> results = tuning::predict(geometry);
    if (options.json)
        print_json(geometry, results, calibrated);
    else
        print_table(geometry, results, calibrated);
    return tuning::all_found(results) ? kExitDone : kExitSlotStopped;
}

} // namespace sorrel
