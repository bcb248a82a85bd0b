#pragma once
// The built-in table of first notes: the 61 equal-tempered semitones from A2
// to A7, the "Custom" row and the end marker. Row order and frequencies are
// part of the meaning of stored designs (rows and frequencies are saved).

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace sorrel {

struct NoteEntry {
    const char* name;        // scientific pitch name, at most 3 characters
    float frequency;         // Hz; 9999 on the custom row, -1 on the end marker
    const char* description; // may be empty
};

inline constexpr int kNoteRowCount = 63;
inline constexpr int kCustomNoteRow = 61;
inline constexpr int kEndNoteRow = 62;
inline constexpr int kDefaultNoteRow = 29;          // D5, 587.330 Hz
inline constexpr float kCustomNoteFrequency = 9999; // marks the custom path
inline constexpr float kEndNoteFrequency = -1;

extern const std::array<NoteEntry, kNoteRowCount> NoteTable;

// The line the first-note list shows for a row: "%8.3f - %s : %s".
std::string note_list_text(int row);

// Rows listed in the first-note list: every row before the end marker.
std::vector<int> note_list_rows();

// First row whose frequency equals `frequency` exactly; the end marker never matches.
std::optional<int> find_note_row(float frequency);

// Whether `row` indexes the table.
constexpr bool is_note_row(int row) {
    return row >= 0 && row < kNoteRowCount;
}

} // namespace sorrel
