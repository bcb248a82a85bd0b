#include "drilling/circuit_plan.h"

#include "model/inch_fraction.h"
#include "model/note_table.h"
#include "model/text_format.h"
#include "model/units.h"
#include "tuning/design_geometry.h"
#include "tuning/size_limits.h"

#include <cmath>
#include <utility>
#include <vector>

namespace sorrel {
namespace {

// Entry sizes within this much of a 64th of an inch were typed as one.
constexpr double kSixtyFourthTolerance = 1e-5; // inch

double entry_to_mm(float length, int32_t unit) {
    return unit == UNIT_ENGLISH ? double(length) * kMmPerInch : double(length);
}

bool positive(double value) {
    return std::isfinite(value) && value > 0;
}

std::string first_note(const CircuitRecord& circuit) {
    if (circuit.BASE != kCustomNoteFrequency && is_note_row(circuit.NOTI))
        if (const NoteEntry& row = NoteTable[static_cast<std::size_t>(circuit.NOTI)];
            row.frequency == circuit.BASE)
            return format("%s %.2f Hz", row.name, double(row.frequency));
    return format("custom %.2f Hz", double(circuit.FR[0]));
}

// A window opens at the block face, where the body is cut to length, and
// runs towards the foot; a round embouchure hole is centred on the length's
// top, the tube running on to the cork; a closed mouthpiece fits over the
// cut top and shows no opening.
void add_mouth(DrillingPlan& plan, const CircuitRecord& circuit) {
    const double along = entry_to_mm(circuit.EMBH, circuit.UNIT);
    const double across = entry_to_mm(circuit.EMBV, circuit.UNIT);
    const tuning::MouthKind kind = tuning::mouth_kind(circuit);
    if (kind == tuning::MouthKind::Closed) {
        plan.cut_at_top = true;
        plan.top_name = "mouthpiece";
        return;
    }
    if (kind == tuning::MouthKind::Embouchure) {
        plan.top_name = "embouchure centre";
        if (positive(across))
            plan.mouth = MouthOutline{plan.length_mm, across, across, true, "embouchure hole"};
        return;
    }
    plan.cut_at_top = true;
    plan.top_name = "block";
    if (positive(along) && positive(across))
        plan.mouth = MouthOutline{plan.length_mm - along / 2, along, across, false, "window"};
}

// A size no instrument has, which the template would spend pages on or draw
// as nonsense.
std::optional<std::string> oversize(const CircuitRecord& circuit) {
    if (circuit.DIST > kLongestTubeMm)
        return format("the block-to-end length %.6g mm is over %.0f mm: no instrument is that long",
                      double(circuit.DIST), kLongestTubeMm);
    std::vector<std::pair<std::string, float>> widths = {
        {"the window or embouchure's length", circuit.EMBH},
        {"the window or embouchure's width", circuit.EMBV}};
    for (int hole = 1; hole < kNoteCount; ++hole)
        widths.push_back(
            {format("hole %d's diameter", hole), circuit.DI[static_cast<std::size_t>(hole)]});
    for (const auto& [name, width] : widths)
        if (entry_to_mm(width, circuit.UNIT) > kWidestBoreMm)
            return format("%s %.6g mm is over %.0f mm: no instrument is that wide", name.c_str(),
                          entry_to_mm(width, circuit.UNIT), kWidestBoreMm);
    return std::nullopt;
}

std::optional<std::string> refusal(const CircuitRecord& circuit) {
    if (!positive(circuit.DIST))
        return format("the design has no finished Calc: its block-to-end length is %.2f mm; "
                      "calculate it first",
                      double(circuit.DIST));
    for (int hole = 1; hole < kNoteCount; ++hole) {
        const float position = circuit.PM[static_cast<std::size_t>(hole)];
        const float below = hole == 1 ? 0.0f : circuit.PM[static_cast<std::size_t>(hole - 1)];
        if (!positive(position) || position <= below || position >= circuit.DIST)
            return format("the design has no finished Calc: hole %d at %.2f mm is not between "
                          "hole %d and the top; calculate it first",
                          hole, double(position), hole - 1);
        if (!positive(circuit.DI[static_cast<std::size_t>(hole)]))
            return format("hole %d has no diameter", hole);
    }
    return oversize(circuit);
}

} // namespace

std::string drill_label(float size, int32_t unit) {
    if (unit != UNIT_ENGLISH) {
        std::string text = format("%.2f", double(size));
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
        return text + " mm";
    }
    const double sixtyFourths = double(size) * 64;
    if (std::fabs(sixtyFourths - std::round(sixtyFourths)) < kSixtyFourthTolerance * 64)
        if (const std::optional<InchFraction> fraction = nearest_sixty_fourth(size * kMmPerInch))
            return format_inch_fraction(*fraction);
    return format("%.3f in", double(size));
}

CircuitPlan plan_from_circuit(const CircuitRecord& circuit, const std::string& date) {
    if (const std::optional<std::string> why = refusal(circuit))
        return {std::nullopt, *why};
    DrillingPlan plan;
    plan.length_mm = circuit.DIST;
    for (int hole = 1; hole < kNoteCount; ++hole) {
        const auto k = static_cast<std::size_t>(hole);
        plan.holes.push_back({hole, circuit.PM[k], entry_to_mm(circuit.DI[k], circuit.UNIT),
                              drill_label(circuit.DI[k], circuit.UNIT)});
    }
    add_mouth(plan, circuit);
    plan.description = latin1_to_utf8(circuit.DESC.view());
    plan.material = latin1_to_utf8(circuit.MATL.view());
    plan.first_note = first_note(circuit);
    plan.date = date;
    plan.positions = "the calculator's design";
    return {plan, {}};
}

} // namespace sorrel
