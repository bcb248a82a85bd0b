#include "cli/bank_file.h"
#include "cli/commands.h"
#include "cli/output_check.h"
#include "files/design_file.h"
#include "files/design_lock.h"
#include "model/input_check.h"
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

// Tells on `progress` that slot `index` was not calculated and keeps what it
// held: what stopped it, and the reason on stderr. Returns false.
bool report_failure(std::ostream& progress, int index, const std::string& stopped,
                    const std::string& reason) {
    std::cerr << format("sorrel-cli: slot %d: ", index) << reason
              << "; the slot keeps its previous contents\n";
    progress << format("slot %d: ", index) << stopped << '\n';
    return false;
}

// Calculates one slot, storing it when the calculation finishes, and tells
// the outcome on `progress`. Returns whether it finished.
bool calculate_slot(DesignState& state, int index, bool derive, std::ostream& progress) {
    take_slot(state, index);
    CircuitRecord& working = state.workingCircuit;
    if (derive) {
        const NoteDerivation derived = derive_note_frequencies(working, working.NOTI);
        if (derived.refused)
            return report_failure(progress, index, "off the note table", derived.error);
    }
    const SolveOutcome outcome = run_calc(state);
    if (outcome.invalidInput) {
        const std::string fault = "invalid input: " + describe_input_fault(*outcome.invalidInput);
        return report_failure(progress, index, fault, fault);
    }
    if (outcome.mathError)
        return report_failure(progress, index, "math error",
                              "a zero hole spacing stopped the calculation");
    progress << format("slot %d: %d passes, block to end %5.2f mm, deviation %5.2f %%\n", index,
                       outcome.passes, double(working.DIST), double(outcome.deviationPercent));
    return true;
}

// Whether the calculated bank replaces the file it was read from: an -o
// naming the file read writes in place, as no -o does.
bool writes_in_place(const CliArguments& args) {
    return args.output.empty() || same_file(args.file, args.output);
}

std::vector<int> every_slot() {
    std::vector<int> slots(kSlotCount);
    for (int index = 0; index < kSlotCount; ++index)
        slots[static_cast<std::size_t>(index)] = index;
    return slots;
}

} // namespace

// Writing in place, the file stays locked from its read to the rename of its
// replacement, so a second calc on it waits and then reads this one's work.
// With the bank on standard output ("-o -"), the slot lines go to stderr.
int calc_command(const CliArguments& args) {
    DesignFileLock lock;
    if (writes_in_place(args)) {
        if (const std::string busy = lock.acquire(args.file); !busy.empty()) {
            std::cerr << "sorrel-cli: cannot write " << busy << '\n';
            return kExitFileError;
        }
    }
    std::optional<DesignState> state = read_bank(args.file);
    if (!state)
        return kExitFileError;
    const bool toStandardOutput = args.output == "-";
    std::ostream& progress = toStandardOutput ? std::cerr : std::cout;
    bool allFinished = true;
    for (int index : args.slots.empty() ? every_slot() : args.slots)
        allFinished = calculate_slot(*state, index, args.derive, progress) && allFinished;
    if (toStandardOutput)
        std::cout << write_design_text(state->bank, state->corrections);
    else if (!write_bank(args.output.empty() ? args.file : args.output, *state))
        return kExitFileError;
    return allFinished ? kExitDone : kExitSlotStopped;
}

} // namespace sorrel
