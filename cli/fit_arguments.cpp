#include "cli/fit_arguments.h"

#include "cli/arguments.h"
#include "cli/geometry_source.h"

#include "cli/arguments.h"
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
    "                      [--drill-range MIN:MAX] [--max-spread MM] [--json]\n"
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
    "  --max-spread MM      the hand's reach: the largest distance between the\n"
    "                       centres of neighbouring holes (40 by default)\n"
    "  --json               print the fitted geometry and each hole's details as JSON\n"
    "  -o GEOMETRY_OUT.json write the fitted geometry, which sorrel-cli tune reads\n"
#if SORREL_CLI_PDF
    "  --pdf OUT            draw the fit table into OUT as a one-page PDF\n"
#else
    "  --pdf OUT            not in this build: it was built without Qt\n"
#endif
    "  -h, --help           show this help\n"
    "\n"
    "Exit status: 0 fitted, 1 usage error, 2 a file could not be read or written,\n"
    "3 the fit failed (nothing is written).\n";

namespace {

ParsedFitArguments usage_error(std::string error) {
    return {std::nullopt, std::move(error)};
}

// A whole number or decimal in millimetres above 0: "40" or "37.5".
std::optional<double> millimetres(std::string_view text) {
    double value = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || fault != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

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
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    const std::optional<double> smallest = millimetres(std::string_view(text).substr(0, colon));
    const std::optional<double> largest = millimetres(std::string_view(text).substr(colon + 1));
    if (!smallest || !largest || *smallest > *largest)
        return std::nullopt;
    return tuning::DrillRange{*smallest / 1000, *largest / 1000};
}

} // namespace

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
        } else if (arg == "--max-spread") {
            const std::optional<double> reach = hasValue ? millimetres(args[++i]) : std::nullopt;
            if (!reach)
                return usage_error("--max-spread needs a distance in mm above 0");
            parsed.maxSpread = *reach / 1000;
        } else if (arg == "--json") {
            parsed.json = true;
        } else if (arg == "-o") {
            if (!hasValue)
                return usage_error("-o needs a file name");
            parsed.output = args[++i];
        } else if (arg == "--pdf") {
            if (!kPdfAvailable)
                return usage_error("--pdf is not in this build: it was built without Qt");
            if (!hasValue)
                return usage_error("--pdf needs a file name");
            parsed.pdf = args[++i];
        } else if (arg.starts_with("-")) {
            return usage_error("unknown option for fit: " + quote_for_message(arg));
        } else if (!parsed.input.empty()) {
            return usage_error("only one design or geometry file is taken: " +
                               quote_for_message(arg));
        } else {
            parsed.input = arg;
        }
    }
    if (parsed.input.empty())
        return usage_error("fit needs a design file or a geometry file");
    if (is_geometry_file(parsed.input) && haveSlot)
        return usage_error("--slot picks a design file's slot; a geometry file has none");
    if (range && !parsed.drills)
        return usage_error("--drill-range limits the set that --drills names");
    if (range) {
        parsed.drills = tuning::drills_within(*parsed.drills, *range);
        if (parsed.drills->empty())
            return usage_error("--drill-range leaves no drill of the set");
    }
    return {parsed, {}};
}

} // namespace sorrel
