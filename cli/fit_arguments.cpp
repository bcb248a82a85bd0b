#include "cli/fit_arguments.h"

#include "cli/arguments.h"
#include "cli/geometry_source.h"
#include "model/circuit_record.h"
#include "model/message_quote.h"
#include "model/text_format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace sorrel {

const char* const kFitUsage =
    "Usage: sorrel-cli fit (FILE.srl [--slot N] | GEOMETRY.json) [--drills SET]\n"
    "                      [--drill-range MIN:MAX] [--fix-hole N[=MM]]...\n"
    "                      [--hole-diameter [N=]MIN:MAX]... [--min-gap MM]\n"
    "                      [--max-spread MM] [--max-hand-gap MM] [--json]\n"
    "                      [-o GEOMETRY_OUT.json] [--pdf OUT]\n"
    "\n"
    "  Fits the length and the hole positions so that the tuning model predicts\n"
    "  every default fingering on its target; with --drills it also chooses a\n"
    "  drill for each hole, making the cutoff ratios as even as it can.\n"
    "\n"
    "  --slot N             the design file's slot (0 by default); it needs a Calc\n"
    "  --drills SET         fractional (1/64 in steps), metric (0.1 mm steps),\n"
    "                       metric-half (0.5 mm steps), or a list of diameters in\n"
    "                       mm: 5,5.5,6.35\n"
    "  --drill-range MIN:MAX  only the set's drills from MIN to MAX mm\n"
    "  --fix-hole N[=MM]     hole N (1 nearest the foot) stays where it is, or MM\n"
    "                       from the foot, and its diameter is fitted instead\n"
    "  --hole-diameter [N=]MIN:MAX  hole N's diameter (without N=, every hole's)\n"
    "                       stays from MIN to MAX mm\n"
    "  --min-gap MM         the least wood between neighbouring holes' edges\n"
    "                       (1 by default)\n"
    "  --max-spread MM      one hand's reach: the largest distance between the\n"
    "                       centres of neighbouring holes under one hand (holes\n"
    "                       1-3 and 4-6 of six; 40 by default)\n"
    "  --max-hand-gap MM    the largest distance between the centres of the\n"
    "                       hands' nearest holes (3 and 4 of six; 60 by default)\n"
    "  --json               print the fitted geometry and each hole's details as JSON\n"
    "  -o GEOMETRY_OUT.json write the fitted geometry, which sorrel-cli tune reads\n"
    "                       (- for standard output)\n"
#if SORREL_CLI_PDF
    "  --pdf OUT            draw the fit table into OUT as a one-page PDF (- for\n"
    "                       standard output)\n"
#else
    "  --pdf OUT            not in this build: it was built without Qt\n"
#endif
    "  -h, --help           show this help\n"
    "\n"
    "Exit status: 0 fitted, 1 usage error, 2 a file could not be read or written,\n"
    "3 the fit failed. A run that fails writes nothing.\n";

namespace {

ParsedFitArguments usage_error(std::string error) {
    return {std::nullopt, std::move(error)};
}

// A whole number or decimal in millimetres above 0: "40" or "37.5".
std::optional<double> millimetres(std::string_view text) {
    const std::optional<double> value = parse_whole_number(text);
    if (!value || *value <= 0)
        return std::nullopt;
    return value;
}

// A distance in millimetres of 0 or more: the gap may be none.
std::optional<double> millimetres_or_none(std::string_view text) {
    if (text == "0")
        return 0.0;
    return millimetres(text);
}

// "MIN:MAX" in millimetres, MIN at most MAX, as metres.
std::optional<std::pair<double, double>> span(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::optional<double> smallest = millimetres(text.substr(0, colon));
    const std::optional<double> largest = millimetres(text.substr(colon + 1));
    if (!smallest || !largest || *smallest > *largest)
        return std::nullopt;
    return std::pair{*smallest / 1000, *largest / 1000};
}

// A hole number of the command line, 1 or more: "3".
std::optional<std::size_t> hole_number(std::string_view text) {
    std::size_t number = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || fault != std::errc() || end != text.data() + text.size() || number < 1)
        return std::nullopt;
    return number;
}

// The entry of hole `number` in `holes`, added when missing.
tuning::HoleLimits& entry_for(std::vector<tuning::HoleLimits>& holes, std::size_t number) {
    for (tuning::HoleLimits& limits : holes)
        if (limits.hole == number)
            return limits;
    tuning::HoleLimits& added = holes.emplace_back();
    added.hole = number;
    return added;
}

// --fix-hole N[=MM]: empty when the text is neither.
bool read_fixed_hole(std::string_view text, std::vector<tuning::HoleLimits>& holes) {
    const std::size_t equals = text.find('=');
    const std::optional<std::size_t> number = hole_number(text.substr(0, equals));
    std::optional<double> at;
    if (equals != std::string_view::npos) {
        at = millimetres(text.substr(equals + 1));
        if (!at)
            return false;
    }
    if (!number || entry_for(holes, *number).fixed)
        return false;
    tuning::HoleLimits& limits = entry_for(holes, *number);
    limits.fixed = true;
    if (at)
        limits.at = *at / 1000;
    return true;
}

// --hole-diameter N=MIN:MAX for one hole, MIN:MAX for every hole.
bool read_diameter_range(std::string_view text, FitArguments& parsed) {
    const std::size_t equals = text.find('=');
    const std::optional<std::pair<double, double>> range =
        span(equals == std::string_view::npos ? text : text.substr(equals + 1));
    if (!range)
        return false;
    if (equals == std::string_view::npos) {
        if (parsed.holeDiameters)
            return false;
        parsed.holeDiameters = range;
        return true;
    }
    const std::optional<std::size_t> number = hole_number(text.substr(0, equals));
    if (!number || std::isfinite(entry_for(parsed.holes, *number).maxDiameter))
        return false;
    tuning::HoleLimits& limits = entry_for(parsed.holes, *number);
    limits.minDiameter = range->first;
    limits.maxDiameter = range->second;
    return true;
}

// An output's name: "-" is standard output, an empty name a mistake.
std::optional<std::string> output_name(const std::vector<std::string>& args, std::size_t at) {
    if (at >= args.size() || args[at].empty())
        return std::nullopt;
    return args[at];
}

} // namespace

std::optional<std::vector<tuning::Drill>> drills_named(const std::string& name,
                                                       std::string& error) {
    using tuning::DrillSetKind;
    if (name == "fractional")
        return tuning::drill_set(DrillSetKind::FractionalInch);
    if (name == "metric")
        return tuning::drill_set(DrillSetKind::Metric);
    if (name == "metric-half")
        return tuning::drill_set(DrillSetKind::MetricHalf);
    return tuning::parse_drill_list(name, error);
}

std::optional<tuning::DrillRange> drill_range(const std::string& text) {
    const std::optional<std::pair<double, double>> range = span(text);
    if (!range)
        return std::nullopt;
    return tuning::DrillRange{range->first, range->second};
}

ParsedFitArguments parse_fit_arguments(const std::vector<std::string>& args) {
    FitArguments parsed;
    bool haveSlot = false;
    std::optional<tuning::DrillRange> range;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "-h" || arg == "--help") {
            FitArguments help;
            help.help = true;
            return {help, {}};
        } else if (arg == "--slot") {
            const std::optional<int> slot = hasValue ? parse_slot_number(args[++i]) : std::nullopt;
            if (!slot)
                return usage_error("--slot needs a slot number from 0 to 39");
            parsed.slot = *slot;
            haveSlot = true;
        } else if (arg == "--drills") {
            if (!hasValue)
                return usage_error("--drills needs fractional, metric, metric-half or a list");
            std::string error;
            parsed.drills = drills_named(args[++i], error);
            if (!parsed.drills)
                return usage_error("--drills: " + error);
        } else if (arg == "--drill-range") {
            range = hasValue ? drill_range(args[++i]) : std::nullopt;
            if (!range)
                return usage_error("--drill-range needs MIN:MAX in mm, MIN at most MAX");
        } else if (arg == "--max-spread" || arg == "--max-hand-gap") {
            const std::optional<double> reach = hasValue ? millimetres(args[++i]) : std::nullopt;
            if (!reach)
                return usage_error(arg + " needs a distance in mm above 0");
            (arg == "--max-spread" ? parsed.maxSpread : parsed.maxHandGap) = *reach / 1000;
        } else if (arg == "--min-gap") {
            const std::optional<double> gap =
                hasValue ? millimetres_or_none(args[++i]) : std::nullopt;
            if (!gap)
                return usage_error("--min-gap needs a distance in mm, 0 or more");
            parsed.minGap = *gap / 1000;
        } else if (arg == "--fix-hole") {
            if (!hasValue || !read_fixed_hole(args[++i], parsed.holes))
                return usage_error("--fix-hole needs N or N=MM (a hole fixed once), e.g. 3=80.5");
        } else if (arg == "--hole-diameter") {
            if (!hasValue || !read_diameter_range(args[++i], parsed))
                return usage_error("--hole-diameter needs N=MIN:MAX or MIN:MAX in mm, MIN at "
                                   "most MAX, each hole once");
        } else if (arg == "--json") {
            parsed.json = true;
        } else if (arg == "-o") {
            const std::optional<std::string> output = output_name(args, ++i);
            if (!output)
                return usage_error("-o needs a file name, or - for standard output");
            parsed.output = *output;
        } else if (arg == "--pdf") {
            if (!kPdfAvailable)
                return usage_error("--pdf is not in this build: it was built without Qt");
            const std::optional<std::string> pdf = output_name(args, ++i);
            if (!pdf)
                return usage_error("--pdf needs a file name, or - for standard output");
            parsed.pdf = *pdf;
        } else if (arg.starts_with("-")) {
            return usage_error("unknown option for fit: " + quote_for_message(arg));
        } else if (!parsed.input.empty()) {
            return usage_error("only one design or geometry file is taken: " +
                               quote_for_message(arg));
        } else if (arg.empty()) {
            return usage_error("the design or geometry file's name is empty");
        } else {
            parsed.input = arg;
        }
    }
    if (parsed.input.empty())
        return usage_error("fit needs a design file or a geometry file");
    if (is_geometry_file(parsed.input) && haveSlot)
        return usage_error("--slot picks a design file's slot; a geometry file has none");
    if (parsed.output == "-" && (parsed.pdf == "-" || parsed.json))
        return usage_error("-o - takes standard output; --pdf - and --json cannot share it");
    if (parsed.pdf == "-" && parsed.json)
        return usage_error("--pdf - takes standard output; --json cannot share it");
    if (range && !parsed.drills)
        return usage_error("--drill-range limits the set that --drills names");
    if (range) {
        parsed.drills = tuning::drills_within(*parsed.drills, *range);
        if (parsed.drills->empty())
            return usage_error("--drill-range leaves no drill of the set");
    }
    return {parsed, {}};
}

tuning::FitOptions with_command_line_limits(const FitArguments& args, tuning::FitOptions fromFile) {
    fromFile.maxSpread = args.maxSpread.value_or(fromFile.maxSpread);
    fromFile.maxHandGap = args.maxHandGap.value_or(fromFile.maxHandGap);
    fromFile.minGap = args.minGap.value_or(fromFile.minGap);
    if (args.holeDiameters) {
        fromFile.minDiameter = args.holeDiameters->first;
        fromFile.maxDiameter = args.holeDiameters->second;
    }
    for (const tuning::HoleLimits& limits : args.holes) {
        std::erase_if(fromFile.holes,
                      [&](const tuning::HoleLimits& own) { return own.hole == limits.hole; });
        fromFile.holes.push_back(limits);
    }
    return fromFile;
}

} // namespace sorrel
