#pragma once
// The seven target frequencies of a design, from its first note and scale
// steps walked through the note table, or from its custom frequencies.

#include "model/circuit_record.h"

#include <array>
#include <string>

namespace sorrel {

struct NoteDerivation {
    bool refused = false;                      // the walk left the note table; nothing changed
    std::string error;                         // why it was refused
    std::array<std::string, kNoteCount> names; // name shown for each note, bottom note first
};

// Sets `NOTI`, `BASE` and `FR` from note-table row `firstRow` and the steps
// `SEQ`, and `SEQI` on the table path; takes `CU` as the frequencies when the
// row is the custom row. A walk that would leave the table changes nothing.
NoteDerivation derive_note_frequencies(CircuitRecord& circuit, int firstRow);

} // namespace sorrel
