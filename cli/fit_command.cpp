#include "cli/fit_command.h"

#include "cli/bank_file.h"
#include "cli/commands.h"
#include "cli/fit_arguments.h"
#include "files/design_file.h"
#include "model/inch_fraction.h"
#include "tuning/design_geometry.h"
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

// The record keeps one Latin-1 byte per character; the page reads UTF-8.
std::string utf8_from_latin1(std::string_view text) {
    std::string utf8;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            utf8 += ch;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

// The geometry the arguments name, and a title for its page; empty after
// telling why on stderr.
std::optional<tuning::Geometry> read_input(const FitArguments& args, std::string& title) {
    if (args.geometryFile) {
        tuning::GeometryRead read = tuning::read_geometry_file(args.input);
        if (!read.geometry)
            std::cerr << "sorrel-cli: " << args.input << ": " << read.error << '\n';
        title = args.input;
        return read.geometry;
    }
    const std::optional<DesignState> state = read_bank(args.input);
    if (!state)
        return std::nullopt;
    const CircuitRecord& slot = state->bank.slot[static_cast<std::size_t>(args.slot)];
    tuning::DesignGeometry design = tuning::geometry_from_design(slot);
    if (!design.geometry)
        std::cerr << "sorrel-cli: " << args.input << ", slot " << args.slot << ": " << design.error
                  << '\n';
    title = utf8_from_latin1(slot.DESC.view());
    return design.geometry;
}

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

// Writes the geometry file as a design file is saved: beside, then renamed
// over, so a failed write leaves no half-written file.
bool write_text(const std::string& path, const std::string& text) {
    if (const int error = replace_file(path, text + '\n'); error != 0) {
        std::cerr << "sorrel-cli: cannot write " << path << ": "
                  << std::generic_category().message(error) << '\n';
        return false;
    }
    return true;
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
    std::string title;
    const std::optional<tuning::Geometry> geometry = read_input(args, title);
    if (!geometry)
        return kExitFileError;

    const tuning::FitOptions options{args.maxSpread};
    const tuning::PitchFit fit = args.drills
                                     ? tuning::choose_drills(*geometry, *args.drills, options)
                                     : tuning::fit_to_pitch(*geometry, options);
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
        return fit_pdf_command(fit, title, args.pdf);
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
