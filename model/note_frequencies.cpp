#include "model/note_frequencies.h"

#include "model/note_table.h"
#include "model/text_format.h"

namespace sorrel {
namespace {

NoteDerivation refuse(std::string error) {
    NoteDerivation result;
    result.refused = true;
    result.error = std::move(error);
    return result;
}

// The rows of the seven notes, or the first note that falls off the table.
struct Walk {
    std::array<int, kNoteCount> rows{};
    int offNote = -1; // note number that left the table, -1 when none did
};

Walk walk_the_table(int firstRow, const std::array<int32_t, 6>& steps) {
    Walk walk;
    long long row = firstRow;
    walk.rows[0] = firstRow;
    for (int n = 1; n < kNoteCount; ++n) {
        row += steps[static_cast<std::size_t>(n - 1)];
        if (row < 0 || row >= kNoteRowCount) {
            walk.offNote = n;
            return walk;
        }
        walk.rows[static_cast<std::size_t>(n)] = static_cast<int>(row);
    }
    return walk;
}

} // namespace

NoteDerivation derive_note_frequencies(CircuitRecord& circuit, int firstRow) {
    if (!is_note_row(firstRow) || firstRow == kEndNoteRow)
        return refuse(format("No first note is selected (row %d).", firstRow));
    const NoteEntry& first = NoteTable[static_cast<std::size_t>(firstRow)];
    NoteDerivation result;
    if (first.frequency == kCustomNoteFrequency) {
        circuit.NOTI = firstRow;
        circuit.BASE = first.frequency;
        circuit.FR = circuit.CU;
        for (int n = 0; n < kNoteCount; ++n)
            result.names[static_cast<std::size_t>(n)] = format("CUS%d", n + 1);
        return result;
    }
    const Walk walk = walk_the_table(firstRow, circuit.SEQ);
    if (walk.offNote >= 0) {
        return refuse(format("Note %d of the scale falls outside the note table "
                             "(A2 to A7). Choose a lower first note or smaller steps.",
                             walk.offNote + 1));
    }
    circuit.NOTI = firstRow;
    circuit.BASE = first.frequency;
    for (int n = 0; n < kNoteCount; ++n) {
        const std::size_t at = static_cast<std::size_t>(n);
        const NoteEntry& note = NoteTable[static_cast<std::size_t>(walk.rows[at])];
        circuit.SEQI[at] = walk.rows[at];
        circuit.FR[at] = note.frequency;
        result.names[at] = note.name;
    }
    return result;
}

} // namespace sorrel
