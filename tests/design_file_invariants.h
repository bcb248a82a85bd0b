#pragma once
// What reading any bytes must leave true: the reader writes only into the
// forty slots' fields and the corrections, texts stay within their fields,
// and the bore at each hole changes only as the unit switch changes it.
// Shared by the design-file tests and the fuzzer.

#include "files/design_file.h"
#include "model/units.h"

#include <string>
#include <vector>

namespace sorrel {

// The bank followed by a record the reader must never reach.
struct GuardedBank {
    CircuitBank bank;
    CircuitRecord guard;
};

// Every other slot metric, full descriptions and a distinct bore at every
// hole, so that a stray write or a wrong conversion shows.
inline GuardedBank bank_to_read_into() {
    GuardedBank start{startup_state().bank, default_circuit()};
    for (std::size_t i = 0; i < start.bank.slot.size(); ++i) {
        CircuitRecord& slot = start.bank.slot[i];
        slot.UNIT = i % 2 == 0 ? UNIT_METRIC : UNIT_ENGLISH;
        slot.DESC.assign(std::string(FixedText<28>::kMaxLength, 'd'));
        for (std::size_t k = 0; k < slot.BDI.size(); ++k) {
            slot.BDI[k] = static_cast<float>(i) + 0.125f * static_cast<float>(k);
            slot.BDC[k] = -slot.BDI[k];
        }
    }
    return start;
}

template <std::size_t Width> bool within_field(const FixedText<Width>& text) {
    return text.view().size() <= FixedText<Width>::kMaxLength &&
           text.view().find('\n') == std::string_view::npos;
}

// The first rule that reading `before` into `after` broke; empty when none.
inline std::string broken_read_rule(const GuardedBank& before, const GuardedBank& after,
                                    const GlobalCorrections& corrections,
                                    const std::vector<VersionMessage>& messages) {
    if (!(after.guard == before.guard))
        return "the record behind the bank changed";
    if (after.bank.currentIndex != before.bank.currentIndex)
        return "currentIndex changed";
    if (messages.size() > 2 || corrections.ENDCOR == 0.75f || corrections.CHMCOR == 0.75f)
        return "the version rules were not applied";
    for (std::size_t i = 0; i < after.bank.slot.size(); ++i) {
        const CircuitRecord& slot = after.bank.slot[i];
        CircuitRecord expected = before.bank.slot[i];
        if (const auto factor = unit_switch_factor(expected.UNIT, slot.UNIT))
            scale_bore_at_holes(expected, *factor);
        if (slot.BDI != expected.BDI || slot.BDC != expected.BDC)
            return "the bore at the holes of slot " + std::to_string(i) + " changed";
        if (!within_field(slot.FILENAME) || !within_field(slot.DESC) || !within_field(slot.MATL))
            return "a text of slot " + std::to_string(i) + " left its field";
    }
    return {};
}

} // namespace sorrel
