#include "tuning/fit_table.h"

#include "model/inch_fraction.h"
#include "model/text_format.h"
#include "tuning/fingering.h"

namespace sorrel::tuning {
namespace {

constexpr double kMmPerMetre = 1000;
constexpr double kMmPerInch = 25.4;

// "11 1/8 in (+0.22 mm)", or "-" for a length no rule marks.
std::string sixty_fourths(double mm) {
    const std::optional<InchFraction> fraction = nearest_sixty_fourth(mm);
    if (!fraction)
        return "-";
    return format_inch_fraction(*fraction) + " (" + format_fraction_error(*fraction) + ")";
}

std::string hole_line(const FittedHole& hole) {
    const double mm = hole.fromFoot * kMmPerMetre;
    return format("%4zu  %-9s %7.2f %9.2f %7.3f  %-22s %9.2f %9.2f %+7.2f %7.3f", hole.number,
                  hole.drill.empty() ? "-" : hole.drill.c_str(), hole.diameter * kMmPerMetre, mm,
                  mm / kMmPerInch, sixty_fourths(mm).c_str(), hole.target, hole.predicted,
                  hole.cents, hole.cutoffRatio);
}

} // namespace

std::vector<std::string> fit_table_lines(const PitchFit& fit) {
    std::vector<std::string> lines;
    const double length = fit.geometry->length * kMmPerMetre;
    lines.push_back(format("Length, top to foot: %.2f mm = %.3f in, nearest %s", length,
                           length / kMmPerInch, sixty_fourths(length).c_str()));
    if (!fit.predictions.empty() && fit.predictions[0].first)
        lines.push_back(format("Bottom note: target %.2f Hz, predicted %.2f Hz, %+.2f cents",
                               fit.predictions[0].target.value_or(0), *fit.predictions[0].first,
                               fit.predictions[0].cents.value_or(0)));
    lines.push_back("");
    lines.push_back("Hole  Drill     Diam mm  From foot: mm      in  nearest 1/64 in"
                    "         Target Hz  Pred. Hz   Cents  Cutoff");
    for (auto hole = fit.holes.rbegin(); hole != fit.holes.rend(); ++hole)
        lines.push_back(hole_line(*hole));
    lines.push_back("");
    lines.push_back(
        format("Cutoff ratios: the largest is %.1f %% above the smallest", fit.ratioSpread));
    const std::size_t defaults = fit.holes.size() + 1;
    for (std::size_t i = defaults; i < fit.predictions.size(); ++i) {
        const FingeringResult& cross = fit.predictions[i];
        lines.push_back(
            cross.first
                ? format("Cross-fingering %s: %.2f Hz", cross.fingering.c_str(), *cross.first)
                : format("Cross-fingering %s: no resonance found", cross.fingering.c_str()));
    }
    for (const FitWarning& warning : fit.warnings)
        lines.push_back("Warning: " + warning.message);
    return lines;
}

} // namespace sorrel::tuning
