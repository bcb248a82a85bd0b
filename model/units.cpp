#include "model/units.h"

namespace sorrel {

float entry_to_cm(float length, int32_t unit) {
    if (unit == UNIT_ENGLISH)
        return static_cast<float>(length * kCmPerInch);
    return static_cast<float>(length / kMmPerCm);
}

std::optional<float> unit_switch_factor(int32_t from, int32_t to) {
    if (from == UNIT_ENGLISH && to == UNIT_METRIC)
        return kSwitchToMm;
    if (from == UNIT_METRIC && to == UNIT_ENGLISH)
        return kSwitchToIn;
    return std::nullopt;
}

void scale_bore_at_holes(CircuitRecord& circuit, float factor) {
    for (float& bore : circuit.BDI)
        bore = bore * factor;
}

void scale_entry_lengths(CircuitRecord& circuit, float factor) {
    for (float* length : {&circuit.BORE, &circuit.THIK, &circuit.EMBH, &circuit.EMBV})
        *length = *length * factor;
    for (int k = 1; k < kNoteCount; ++k)
        circuit.DI[k] = circuit.DI[k] * factor;
    scale_bore_at_holes(circuit, factor);
    for (float& spacing : circuit.SP)
        spacing = spacing * factor;
}

} // namespace sorrel
