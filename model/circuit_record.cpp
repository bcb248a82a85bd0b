#include "model/circuit_record.h"

#include "model/note_table.h"
#include "model/units.h"

namespace sorrel {
namespace {

constexpr float kSemitoneRatio = 1.0594631f; // twelfth root of two

// Raises a frequency by `step` semitones, clamped to 1..4, one stored
// multiplication per semitone.
float raise_by_semitones(float frequency, int32_t step) {
    float raised = frequency * kSemitoneRatio;
    for (int32_t more = 1; more <= 3; ++more) {
        if (step > more)
            raised = raised * kSemitoneRatio;
    }
    return raised;
}

} // namespace

CircuitRecord default_circuit() {
    CircuitRecord c;
    c.FILENAME.assign("tone.srl");
    c.UNIT = UNIT_ENGLISH;
    c.SPSD = 34500.0f;
    c.BORE = 0.5f;
    c.BRCT = static_cast<float>(0.5 * kCmPerInch);
    c.THIK = 0.03125f;
    c.THCT = static_cast<float>(0.03125 * kCmPerInch);
    c.DIVS = 2;
    c.BDI.fill(0.5f);
    c.SEQ = {2, 2, 1, 2, 2, 2};
    c.GEO = 0.65f;
    c.NOTI = kDefaultNoteRow;
    c.CU.fill(440.0f);
    c.BASE = NoteTable[kDefaultNoteRow].frequency;
    c.EMBH = 0.25f;
    c.EMBV = 0.25f;
    c.FR[0] = c.BASE;
    for (int k = 1; k < kNoteCount; ++k)
        c.FR[k] = raise_by_semitones(c.FR[k - 1], c.SEQ[k - 1]);
    c.DI = {0.0f, 0.203125f, 0.34375f, 0.1875f, 0.234375f, 0.234375f, 0.1875f};
    for (int k = 1; k < kNoteCount; ++k)
        c.DC[k] = static_cast<float>(c.DI[k] * kCmPerInch);
    return c;
}

DesignState startup_state() {
    DesignState state;
    state.workingCircuit = default_circuit();
    state.bank.slot.fill(state.workingCircuit);
    return state;
}

void store_working_circuit(DesignState& state) {
    state.bank.slot[static_cast<std::size_t>(state.bank.currentIndex)] = state.workingCircuit;
}

void select_slot(DesignState& state, SlotStep step) {
    store_working_circuit(state);
    int& index = state.bank.currentIndex;
    if (step == SlotStep::Next)
        index = index == kSlotCount - 1 ? 0 : index + 1;
    else
        index = index == 0 ? kSlotCount - 1 : index - 1;
    state.workingCircuit = state.bank.slot[static_cast<std::size_t>(index)];
}

std::optional<int> normalize_slot_record(CircuitRecord& circuit) {
    if (circuit.DIVS != 2 && circuit.DIVS != 4)
        circuit.DIVS = 2;
    const std::optional<int> row = find_note_row(circuit.BASE);
    if (row)
        circuit.NOTI = *row;
    return row;
}

} // namespace sorrel
