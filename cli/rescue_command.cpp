#include "cli/rescue_command.h"

#include "cli/commands.h"
#include "cli/geometry_source.h"
#include "cli/output_check.h"
#include "cli/output_files.h"
#include "cli/rescue_arguments.h"
#include "model/message_quote.h"
#include "model/text_format.h"
#include "tuning/fingering.h"
#include "tuning/geometry_json.h"
#include "tuning/rescue.h"

#include <nlohmann/json.hpp>

#include <iostream>

namespace sorrel {
namespace {

using tuning::RescueStep;

constexpr double kMm = 1000; // mm per metre

// The default fingering `text` names on `holes` holes: its note number.
std::optional<std::size_t> note_of(const std::string& text, std::size_t holes) {
    const std::vector<tuning::Fingering> notes = tuning::default_fingerings(holes);
    for (std::size_t k = 0; k < notes.size(); ++k)
        if (tuning::fingering_text(notes[k]) == text)
            return k;
    return std::nullopt;
}

// The measured notes as the rescue takes them; empty with the reason on
// stderr when a fingering is not one of the scale's.
std::optional<std::vector<tuning::PrototypeNote>> measured_pitches(const RescueArguments& args,
                                                                   std::size_t holes) {
    std::vector<tuning::PrototypeNote> pitches;
    for (const bool top : {false, true})
        for (const MeasuredNote& note : top ? args.measuredTop : args.measured) {
            const std::optional<std::size_t> number = note_of(note.fingering, holes);
            if (!number) {
                std::cerr << "sorrel-cli: " << (top ? "--measured-top" : "--measured") << ": "
                          << quote_for_message(note.fingering) << " is not one of the scale's "
                          << holes + 1
                          << " fingerings (xx...x, then the holes opened from the foot up)\n";
                return std::nullopt;
            }
            pitches.push_back({*number, !top, note.frequency});
        }
    return pitches;
}

std::string reading_name(const tuning::NoteReading& reading) {
    return reading.fingering + (reading.secondRegister ? " (2nd)" : "");
}

std::string step_text(const RescueStep& step) {
    if (step.kind == RescueStep::Kind::TrimFoot)
        return format("Trim %.1f mm off the foot, to a length of %.1f mm",
                      (step.before - step.after) * kMm, step.after * kMm);
    return format("Enlarge hole %zu from %.2f mm to %.2f mm (%s)", step.hole, step.before * kMm,
                  step.after * kMm, step.drill.c_str());
}

std::string cents_text(const tuning::Rescue& rescue, const std::vector<double>& cents) {
    std::string text;
    for (std::size_t n = 0; n < cents.size(); ++n)
        text += format("%s%s %+.1f", n == 0 ? "" : ", ", reading_name(rescue.readings[n]).c_str(),
                       cents[n]);
    return text;
}

void print_plan(const tuning::Rescue& rescue, const std::vector<RescueStep>& steps) {
    if (steps.empty())
        std::cout << "  Nothing to remove: no flat note comes nearer with a larger drill or a "
                     "trim.\n";
    for (std::size_t i = 0; i < steps.size(); ++i)
        std::cout << format("  %zu. %s\n     then: %s\n", i + 1, step_text(steps[i]).c_str(),
                            cents_text(rescue, steps[i].cents).c_str());
}

void print_rescue(const tuning::Rescue& rescue) {
    const bool closed = rescue.calibrated.mouth.kind == tuning::MouthKind::Closed;
    std::cout << format("Calibrated on %zu measured notes: %s %.2f mm\n\n", rescue.readings.size(),
                        closed ? "added length" : "window height", rescue.calibration * kMm);
    std::cout << "Fingering     Target Hz  Measured Hz  Predicted Hz    Cents\n";
    for (const tuning::NoteReading& reading : rescue.readings)
        std::cout << format("%-12s %10.2f %12.2f %13.2f %+8.1f\n", reading_name(reading).c_str(),
                            reading.target, reading.measured.frequency, reading.predicted,
                            reading.cents);
    std::cout << "\nPlan, removing material only, in this order (cents against target):\n";
    print_plan(rescue, rescue.steps);
    std::cout << format("After the plan the worst note is %.1f cents off.\n", rescue.worstCents);
    for (const tuning::SharpNote& sharp : rescue.tooSharp)
        std::cout << format("Too sharp for removal: %s, %+.1f cents: %s.\n",
                            reading_name(rescue.readings[sharp.reading]).c_str(), sharp.cents,
                            sharp.remedy.c_str());
    if (const std::optional<tuning::Compromise>& offset = rescue.compromise) {
        std::cout << format("\nA compromise does better: aim every note %.1f cents sharp, then "
                            "pull the tuning slide (or the joint) out %.1f mm to bring all of "
                            "them down together; the worst note is then %.1f cents off:\n",
                            offset->offsetCents, offset->slide * kMm, offset->worstCents);
        print_plan(rescue, offset->steps);
    }
}

nlohmann::ordered_json steps_json(const std::vector<RescueStep>& steps) {
    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    for (const RescueStep& step : steps) {
        const bool trim = step.kind == RescueStep::Kind::TrimFoot;
        json.push_back(
            {{"action", trim ? "trim_foot" : "enlarge_hole"},
             {"hole", trim ? nlohmann::ordered_json() : nlohmann::ordered_json(step.hole)},
             {"drill", trim ? nlohmann::ordered_json() : nlohmann::ordered_json(step.drill)},
             {"before_mm", step.before * kMm},
             {"after_mm", step.after * kMm},
             {"cents", step.cents}});
    }
    return json;
}

std::string rescue_json(const tuning::Rescue& rescue) {
    nlohmann::ordered_json json;
    json["calibration_mm"] = rescue.calibration * kMm;
    json["notes"] = nlohmann::ordered_json::array();
    for (const tuning::NoteReading& reading : rescue.readings)
        json["notes"].push_back({{"fingering", reading.fingering},
                                 {"register", reading.secondRegister ? 2 : 1},
                                 {"as_played", reading.measured.played},
                                 {"target_hz", reading.target},
                                 {"measured_hz", reading.measured.frequency},
                                 {"predicted_hz", reading.predicted},
                                 {"cents", reading.cents}});
    json["steps"] = steps_json(rescue.steps);
    json["worst_cents"] = rescue.worstCents;
    json["too_sharp"] = nlohmann::ordered_json::array();
    for (const tuning::SharpNote& sharp : rescue.tooSharp)
        json["too_sharp"].push_back({{"fingering", rescue.readings[sharp.reading].fingering},
                                     {"cents", sharp.cents},
                                     {"remedy", sharp.remedy}});
    if (rescue.compromise)
        json["compromise"] = {{"offset_cents", rescue.compromise->offsetCents},
                              {"slide_mm", rescue.compromise->slide * kMm},
                              {"worst_cents", rescue.compromise->worstCents},
                              {"steps", steps_json(rescue.compromise->steps)}};
    else
        json["compromise"] = nullptr;
    return json.dump(2);
}

} // namespace

int rescue_command(const std::vector<std::string>& arguments) {
    const ParsedRescueArguments parsed = parse_rescue_arguments(arguments);
    if (!parsed.arguments) {
        std::cerr << "sorrel-cli: " << parsed.error << "\n\n" << kRescueUsage;
        return kExitUsage;
    }
    const RescueArguments& args = *parsed.arguments;
    if (args.help) {
        std::cout << kRescueUsage;
        return kExitDone;
    }
    if (output_is_input(args.input, "-o", args.output))
        return kExitUsage;
    const std::optional<LoadedGeometry> loaded = load_geometry(args.input, 0);
    if (!loaded)
        return kExitFileError;
    if (loaded->geometry.targets.size() != loaded->geometry.holes.size() + 1) {
        std::cerr << "sorrel-cli: " << args.input
                  << ": targets_hz: the rescue needs one target per default fingering\n";
        return kExitFileError;
    }
    const std::optional<std::vector<tuning::PrototypeNote>> pitches =
        measured_pitches(args, loaded->geometry.holes.size());
    if (!pitches)
        return kExitUsage;
    const tuning::Rescue rescue = tuning::rescue_prototype(loaded->geometry, *pitches, args.drills);
    if (rescue.failure) {
        std::cerr << "sorrel-cli: " << *rescue.failure << '\n';
        return kExitSlotStopped;
    }
    std::vector<OutputFile> outputs;
    if (!args.output.empty())
        outputs.push_back({args.output, tuning::write_geometry_json(*rescue.corrected) + '\n'});
    if (!write_outputs(outputs))
        return kExitFileError;
    if (args.output == "-")
        return kExitDone;
    if (args.json) {
        std::cout << rescue_json(rescue) << '\n';
    } else {
        print_rescue(rescue);
    }
    return kExitDone;
}

} // namespace sorrel
