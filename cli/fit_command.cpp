#include "cli/fit_command.h"

#include "cli/commands.h"
#include "cli/fit_arguments.h"
#include "cli/geometry_source.h"
#include "cli/output_check.h"
#include "cli/output_files.h"
#include "model/inch_fraction.h"
#include "tuning/drill_choice.h"
#include "tuning/fit_constraints_json.h"
#include "tuning/fit_table.h"
#include "tuning/geometry_json.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include <unistd.h>

namespace sorrel {
namespace {

constexpr double kMmPerMetre = 1000;
constexpr int kExitFitFailed = 3; // the code a stopped slot or an unfound note gives

nlohmann::ordered_json hole_json(const tuning::FittedHole& hole) {
    const double mm = hole.fromFoot * kMmPerMetre;
    const std::optional<InchFraction> fraction = nearest_sixty_fourth(mm);
    nlohmann::ordered_json json = {
        {"hole", hole.number},
        {"drill",
         hole.drill.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(hole.drill)},
        {"diameter_mm", hole.diameter * kMmPerMetre},
        {"from_foot_mm", mm},
        {"from_foot_in", mm / 25.4},
        {"from_foot_fraction", fraction ? format_inch_fraction(*fraction) : ""},
        {"fraction_error_mm", fraction ? fraction->error_mm : 0.0},
        {"target_hz", hole.target},
        {"predicted_hz", hole.predicted},
        {"cents", hole.cents},
        {"cutoff_ratio", hole.cutoffRatio},
    };
    return json;
}

std::string fit_json_text(const tuning::PitchFit& fit) {
    nlohmann::ordered_json json;
    json["geometry"] = nlohmann::ordered_json::parse(tuning::write_geometry_json(*fit.geometry));
    json["holes"] = nlohmann::ordered_json::array();
    for (const tuning::FittedHole& hole : fit.holes)
        json["holes"].push_back(hole_json(hole));
    json["cross_fingerings"] = nlohmann::ordered_json::array();
    for (std::size_t i = fit.holes.size() + 1; i < fit.predictions.size(); ++i) {
        const tuning::FingeringResult& cross = fit.predictions[i];
        json["cross_fingerings"].push_back(
            {{"fingering", cross.fingering},
             {"resonance_hz",
              cross.first ? nlohmann::ordered_json(*cross.first) : nlohmann::ordered_json()}});
    }
    json["ratio_spread_percent"] = fit.ratioSpread;
    json["warnings"] = nlohmann::ordered_json::array();
    for (const tuning::FitWarning& warning : fit.warnings)
        json["warnings"].push_back(warning.message);
    return json.dump(2);
}

// A drill choice may take a second or two: someone watching a terminal is
// told what it does and how far it has come, on one line; a script reading
// standard error sees nothing of it.
tuning::PitchFit choose_drills_telling(const tuning::Geometry& geometry,
                                       const std::vector<tuning::Drill>& drills,
                                       tuning::FitOptions options) {
    if (!::isatty(STDERR_FILENO))
        return tuning::choose_drills(geometry, drills, options);
    options.progress = [](double done) {
        std::fprintf(stderr, "\rsorrel-cli: choosing drills: %3d %%",
                     static_cast<int>(100 * done + 0.5));
    };
    tuning::PitchFit fit = tuning::choose_drills(geometry, drills, options);
    std::fputc('\n', stderr);
    return fit;
}

// The limits of the fit: a geometry file's constraints under the command
// line's; empty with the reason on stderr when the file's are wrong.
std::optional<tuning::FitOptions> fit_limits(const FitArguments& args) {
    tuning::FitOptions fromFile;
    if (is_geometry_file(args.input)) {
        std::ifstream in(args.input, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        std::string error;
        const std::optional<tuning::FitOptions> read = tuning::read_fit_constraints(text, error);
        if (!read) {
            std::cerr << "sorrel-cli: " << args.input << ": " << error << '\n';
            return std::nullopt;
        }
        fromFile = *read;
    }
    return with_command_line_limits(args, fromFile);
}

} // namespace

int fit_command(const std::vector<std::string>& arguments) {
    const ParsedFitArguments parsed = parse_fit_arguments(arguments);
    if (!parsed.arguments) {
        std::cerr << "sorrel-cli: " << parsed.error << "\n\n" << kFitUsage;
        return kExitUsage;
    }
    const FitArguments& args = *parsed.arguments;
    if (args.help) {
        std::cout << kFitUsage;
        return kExitDone;
    }
    if (output_is_input(args.input, "-o", args.output) ||
        output_is_input(args.input, "--pdf", args.pdf))
        return kExitUsage;
    const std::optional<LoadedGeometry> loaded = load_geometry(args.input, args.slot);
    if (!loaded)
        return kExitFileError;
    const tuning::Geometry& geometry = loaded->geometry;
    const std::optional<tuning::FitOptions> options = fit_limits(args);
    if (!options)
        return kExitFileError;

    const tuning::PitchFit fit = args.drills
                                     ? choose_drills_telling(geometry, *args.drills, *options)
                                     : tuning::fit_to_pitch(geometry, *options);
    if (fit.failure) {
        std::cerr << "sorrel-cli: the fit failed: " << fit.failure->message << '\n';
        return kExitFitFailed;
    }
    // Every output is made before any is written, so a run that fails
    // writes nothing.
    std::vector<OutputFile> outputs;
    if (!args.output.empty())
        outputs.push_back({args.output, tuning::write_geometry_json(*fit.geometry) + '\n'});
#if SORREL_CLI_PDF
    if (!args.pdf.empty())
        outputs.push_back({args.pdf, fit_pdf_bytes(fit, loaded->title)});
#endif
    if (!write_outputs(outputs))
        return kExitFileError;
    // As report --pdf: the page is the output, and so is an output sent to
    // standard output.
    if (!args.pdf.empty() || args.output == "-")
        return kExitDone;
    if (args.json) {
        std::cout << fit_json_text(fit) << '\n';
    } else {
        for (const std::string& line : tuning::fit_table_lines(fit))
            std::cout << line << '\n';
    }
    return kExitDone;
}

} // namespace sorrel
