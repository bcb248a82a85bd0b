#include "cli/bank_file.h"
#include "cli/commands.h"
#include "model/note_frequencies.h"
#include "model/text_format.h"
#include "model/tonehole_solver.h"

#include <iostream>

namespace sorrel {
namespace {

// Makes slot `index` the working design as a slot change does. Design files
// carry no bore sizes at the holes, so the bore is taken as cylindrical, as
// the panel's transfer button would make it.
void take_slot(DesignState& state, int index) {
    state.bank.currentIndex = index;
    state.workingCircuit = state.bank.slot[static_cast<std::size_t>(index)];
    normalize_slot_record(state.workingCircuit);
    state.workingCircuit.BDI.fill(state.workingCircuit.BORE);
}

// Tells that slot `index` was not calculated and keeps what it held: what
// stopped it on stdout, the reason on stderr. Returns false.
bool report_failure(int index, const char* stopped, const std::string& reason) {
    std::cerr << format("sorrel-cli: slot %d: ", index) << reason
              << "; the slot keeps its previous contents\n";
    std::cout << format("slot %d: %s\n", index, stopped);
    return false;
}

// Calculates one slot, storing it when the calculation finishes, and tells
// the outcome. Returns whether it finished.
bool calculate_slot(DesignState& state, int index, bool derive) {
    take_slot(state, index);
    CircuitRecord& working = state.workingCircuit;
    if (derive) {
        const NoteDerivation derived = derive_note_frequencies(working, working.NOTI);
        if (derived.refused)
            return report_failure(index, "off the note table", derived.error);
    }
    const SolveOutcome outcome = run_calc(state);
    if (outcome.mathError)
        return report_failure(index, "math error", "a zero hole spacing stopped the calculation");
    std::cout << format("slot %d: %d passes, block to end %5.2f mm, deviation %5.2f %%\n", index,
                        outcome.passes, double(working.DIST), double(outcome.deviationPercent));
    return true;
}

std::vector<int> every_slot() {
    std::vector<int> slots(kSlotCount);
    for (int index = 0; index < kSlotCount; ++index)
        slots[static_cast<std::size_t>(index)] = index;
    return slots;
}

} // namespace

int calc_command(const CliArguments& args) {
    std::optional<DesignState> state = read_bank(args.file);
    if (!state)
        return kExitFileError;
    bool allFinished = true;
    for (int index : args.slots.empty() ? every_slot() : args.slots)
        allFinished = calculate_slot(*state, index, args.derive) && allFinished;
    if (!write_bank(args.output.empty() ? args.file : args.output, *state))
        return kExitFileError;
    return allFinished ? kExitDone : kExitSlotStopped;
}

} // namespace sorrel
