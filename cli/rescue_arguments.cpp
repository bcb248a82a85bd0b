#include "cli/rescue_arguments.h"

#include "cli/fit_arguments.h"
#include "cli/geometry_source.h"
#include "model/message_quote.h"

namespace sorrel {

const char* const kRescueUsage =
    "Usage: sorrel-cli rescue GEOMETRY.json (--measured FING=HZ... | --measured-top FING=HZ...)\n"
    "                         [--drills SET] [--drill-range MIN:MAX] [--json]\n"
    "                         [-o GEOMETRY_OUT.json]\n"
    "\n"
    "  Plans the correction of a built prototype that plays out of tune. The\n"
    "  model is calibrated on the measured notes; the plan only removes\n"
    "  material: it enlarges holes to larger drills of the set (raising the\n"
    "  notes they vent) and trims the foot (raising the notes it ends), in the\n"
    "  order to do them, with every note's predicted cents after each step.\n"
    "  Notes too sharp for removal are named with what to do instead.\n"
    "\n"
    "  --measured FING=HZ...      notes played on the prototype, as a tuner reads\n"
    "                             them, in either register; default fingerings\n"
    "                             (xxxxxx, xxxxxo, ...)\n"
    "  --measured-top FING=HZ...  the tops of the notes' playing ranges, just\n"
    "                             before each breaks to the next register\n"
    "  --drills SET               fractional (1/64 in steps, the default), metric,\n"
    "                             metric-half, or a list of diameters in mm\n"
    "  --drill-range MIN:MAX      only the set's drills from MIN to MAX mm\n"
    "  --json                     print the plan as JSON\n"
    "  -o GEOMETRY_OUT.json       write the corrected geometry, which tune and\n"
    "                             template read (- for standard output)\n"
    "  -h, --help                 show this help\n"
    "\n"
    "Exit status: 0 planned, 1 usage error, 2 a file could not be read or written,\n"
    "3 the calibration failed. A run that fails writes nothing.\n";

namespace {

ParsedRescueArguments usage_error(std::string error) {
    return {std::nullopt, std::move(error)};
}

// The FING=HZ words after --measured or --measured-top, at least one.
bool read_notes(const std::vector<std::string>& args, std::size_t& i,
                std::vector<MeasuredNote>& notes) {
    const std::size_t first = i + 1;
    while (i + 1 < args.size() && !args[i + 1].starts_with("-") &&
           args[i + 1].find('=') != std::string::npos) {
        const std::optional<MeasuredNote> note = measured_note(args[++i]);
        if (!note)
            return false;
        notes.push_back(*note);
    }
    return i >= first;
}

} // namespace

ParsedRescueArguments parse_rescue_arguments(const std::vector<std::string>& args) {
    RescueArguments parsed;
    parsed.drills = tuning::drill_set(tuning::DrillSetKind::FractionalInch);
    std::optional<tuning::DrillRange> range;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "-h" || arg == "--help") {
            RescueArguments help;
            help.help = true;
            return {help, {}};
        } else if (arg == "--measured" || arg == "--measured-top") {
            if (!read_notes(args, i, arg == "--measured" ? parsed.measured : parsed.measuredTop))
                return usage_error(arg + " needs FINGERING=HZ, e.g. xxxxxx=587.3");
        } else if (arg == "--drills") {
            std::string error;
            std::optional<std::vector<tuning::Drill>> drills =
                hasValue ? drills_named(args[++i], error) : std::nullopt;
            if (!drills)
                return usage_error("--drills needs fractional, metric, metric-half or a list" +
                                   (error.empty() ? std::string() : ": " + error));
            parsed.drills = std::move(*drills);
        } else if (arg == "--drill-range") {
            range = hasValue ? drill_range(args[++i]) : std::nullopt;
            if (!range)
                return usage_error("--drill-range needs MIN:MAX in mm, MIN at most MAX");
        } else if (arg == "--json") {
            parsed.json = true;
        } else if (arg == "-o") {
            if (!hasValue || args[++i].empty())
                return usage_error("-o needs a file name, or - for standard output");
            parsed.output = args[i];
        } else if (arg.starts_with("-")) {
            return usage_error("unknown option for rescue: " + quote_for_message(arg));
        } else if (!parsed.input.empty()) {
            return usage_error("only one geometry file is taken: " + quote_for_message(arg));
        } else {
            parsed.input = arg;
        }
    }
    if (parsed.input.empty() || !is_geometry_file(parsed.input))
        return usage_error("rescue needs a geometry file (.json) of the prototype as built");
    if (parsed.measured.empty() && parsed.measuredTop.empty())
        return usage_error(
            "rescue needs the notes measured on the prototype: --measured or --measured-top");
    if (parsed.output == "-" && parsed.json)
        return usage_error("-o - takes standard output; --json cannot share it");
    if (range) {
        parsed.drills = tuning::drills_within(parsed.drills, *range);
        if (parsed.drills.empty())
            return usage_error("--drill-range leaves no drill of the set");
    }
    return {parsed, {}};
}

} // namespace sorrel
