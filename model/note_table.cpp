#include "model/note_table.h"

#include "model/text_format.h"

namespace sorrel {

const std::array<NoteEntry, kNoteRowCount> NoteTable = {{
    {"A2", 110.000f, "A2 Earthquake Flue"},                        // 0
    {"A#2", 116.541f, ""},                                         // 1
    {"B2", 123.471f, "120 Hz - twice 60 Hz AC Transformer in US"}, // 2
    {"C3", 130.813f, "Bass-C Whistle/Flute"},                      // 3
    {"C#3", 138.591f, ""},                                         // 4
    {"D3", 146.832f, "Bass-D Whistle/Flute"},                      // 5
    {"D#3", 155.564f, ""},                                         // 6
    {"E3", 164.814f, "Bass-E Whistle/Flute"},                      // 7
    {"F3", 174.614f, "Bass-F Whistle/Flute"},                      // 8
    {"F#3", 184.997f, ""},                                         // 9
    {"G3", 195.998f, "Bass-G Whistle/Flute"},                      // 10
    {"G#3", 207.652f, ""},                                         // 11
    {"A3", 220.000f, "Bass-A or Low-Low-A Whistle/Flute"},         // 12
    {"A#3", 233.082f, "Low Bb"},                                   // 13
    {"B3", 246.942f, "Low-B Whistle/Flute"},                       // 14
    {"C4", 261.626f, "Low-C Whistle/Flute"},                       // 15
    {"C#4", 277.183f, ""},                                         // 16
    {"D4", 293.665f, "Low-D Whistle/Flute"},                       // 17
    {"D#4", 311.127f, ""},                                         // 18
    {"E4", 329.628f, "Low-E Whistle/Flute"},                       // 19
    {"F4", 349.228f, "Low-F Whistle/Flute"},                       // 20
    {"F#4", 369.995f, "F# Native Flute"},                          // 21
    {"G4", 391.996f, "Low-G Whistle/Flute"},                       // 22
    {"G#4", 415.305f, ""},                                         // 23
    {"A4", 440.000f, "A-440 Mid-A Whistle/Flute"},                 // 24
    {"A#4", 466.164f, "A#/Bb"},                                    // 25
    {"B4", 493.884f, "High-B Whistle/Flute"},                      // 26
    {"C5", 523.251f, "High-C Whistle/Flute"},                      // 27
    {"C#5", 554.366f, ""},                                         // 28
    {"D5", 587.330f, "High-D Whistle/Flute"},                      // 29
    {"D#5", 622.254f, ""},                                         // 30
    {"E5", 659.255f, "High-E Whistle/Flute"},                      // 31
    {"F5", 698.457f, "High-F Whistle/Flute"},                      // 32
    {"F#5", 739.991f, ""},                                         // 33
    {"G5", 783.991f, "High-G Whistle/Flute"},                      // 34
    {"G#5", 830.610f, ""},                                         // 35
    {"A5", 880.000f, "Tiny-A Whistle/Flute"},                      // 36
    {"A#5", 932.328f, ""},                                         // 37
    {"B5", 987.767f, "Tiny-B Whistle/Flute"},                      // 38
    {"C6", 1046.503f, "Tiny-C Whistle/Flute"},                     // 39
    {"C#6", 1108.731f, ""},                                        // 40
    {"D6", 1174.660f, "Tiny-D Whistle/Flute"},                     // 41
    {"D#6", 1244.509f, ""},                                        // 42
    {"E6", 1318.511f, ""},                                         // 43
    {"F6", 1396.914f, ""},                                         // 44
    {"F#6", 1479.979f, ""},                                        // 45
    {"G6", 1567.983f, ""},                                         // 46
    {"G#6", 1661.220f, ""},                                        // 47
    {"A6", 1760.000f, ""},                                         // 48
    {"A#6", 1864.656f, ""},                                        // 49
    {"B6", 1975.534f, ""},                                         // 50
    {"C7", 2093.006f, ""},                                         // 51
    {"C#7", 2217.462f, ""},                                        // 52
    {"D7", 2349.319f, "Hurt your ears Whistle/Flute"},             // 53
    {"D#7", 2489.017f, ""},                                        // 54
    {"E7", 2637.022f, ""},                                         // 55
    {"F7", 2793.827f, ""},                                         // 56
    {"F#7", 2959.957f, ""},                                        // 57
    {"G7", 3135.965f, ""},                                         // 58
    {"G#7", 3322.439f, ""},                                        // 59
    {"A7", 3520.000f, "Dogs can hear it Whistle/Flute"},           // 60
    {"X", 9999.000f, "Custom"},                                    // 61
    {"END", -1.000f, ""},                                          // 62
}};

std::string note_list_text(int row) {
    const NoteEntry& note = NoteTable.at(static_cast<std::size_t>(row));
    return format("%8.3f - %s : %s", static_cast<double>(note.frequency), note.name,
                  note.description);
}

std::vector<int> note_list_rows() {
    std::vector<int> rows{0};
    for (int row = 1; NoteTable[static_cast<std::size_t>(row)].frequency != kEndNoteFrequency;
         ++row)
        rows.push_back(row);
    return rows;
}

std::optional<int> find_note_row(float frequency) {
    for (int row = 0; NoteTable[static_cast<std::size_t>(row)].frequency != kEndNoteFrequency;
         ++row) {
        if (NoteTable[static_cast<std::size_t>(row)].frequency == frequency)
            return row;
    }
    return std::nullopt;
}

} // namespace sorrel
