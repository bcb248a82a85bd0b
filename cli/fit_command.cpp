#include "cli/fit_command.h"

#include "cli/commands.h"
#include "cli/fit_arguments.h"
#include "cli/geometry_source.h"
#include "cli/output_check.h"
#include "files/safe_write.h"
#include "model/inch_fraction.h"
#include "tuning/drill_choice.h"
#include "tuning/fit_table.h"
#include "tuning/geometry_json.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <system_error>

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

// Writes the geometry file whole or not at all, as every file is written.
bool write_text(const std::string& path, const std::string& text) {
    const WriteOutcome outcome = write_file_safely(path, text + '\n');
    if (!outcome.written)
        std::cerr << "sorrel-cli: cannot write " << outcome.error << '\n';
    return outcome.written;
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

    const tuning::FitOptions options{args.maxSpread};
    const tuning::PitchFit fit = args.drills
                                     ? tuning::choose_drills(geometry, *args.drills, options)
                                     : tuning::fit_to_pitch(geometry, options);
    if (fit.failure) {
        std::cerr << "sorrel-cli: the fit failed: " << fit.failure->message << '\n';
        return kExitFitFailed;
    }
    if (!args.output.empty() &&
        !write_text(args.output, tuning::write_geometry_json(*fit.geometry)))
        return kExitFileError;
#if SORREL_CLI_PDF
    // As report --pdf: the page is the output.
    if (!args.pdf.empty())
        return fit_pdf_command(fit, loaded->title, args.pdf);
#endif
    if (args.json) {
        std::cout << fit_json_text(fit) << '\n';
    } else {
        for (const std::string& line : tuning::fit_table_lines(fit))
            std::cout << line << '\n';
    }
    return kExitDone;
}

} // namespace sorrel
