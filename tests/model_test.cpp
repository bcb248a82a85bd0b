#include "model/circuit_record.h"
#include "model/hole_sizes.h"
#include "model/note_frequencies.h"
#include "model/note_table.h"
#include "model/scale_presets.h"
#include "model/text_format.h"
#include "model/units.h"

#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

namespace sorrel {
namespace {

// Row r is r semitones above A2 = 110 Hz; names run A, A#, B, then C starts
// the next octave number.
TEST(NoteTable, RowsAreEqualTemperedSemitonesFromA2ToA7) {
    const char* const names[] = {"A", "A#", "B", "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#"};
    for (int row = 0; row <= 60; ++row) {
        const NoteEntry& note = NoteTable[static_cast<std::size_t>(row)];
        const int octave = 2 + (row + 9) / 12;
        EXPECT_EQ(std::string(note.name), names[row % 12] + std::to_string(octave)) << row;
        EXPECT_NEAR(note.frequency, 110 * std::pow(2.0, row / 12.0), 0.0025) << row;
    }
    EXPECT_EQ(note_list_rows().size(), 62u);
    EXPECT_EQ(note_list_rows().back(), kCustomNoteRow);
    // clang-format off
    const std::pair<int, const char*> lines[] = {
        {0, " 110.000 - A2 : A2 Earthquake Flue"}, {1, " 116.541 - A#2 : "},
        {29, " 587.330 - D5 : High-D Whistle/Flute"}, {61, "9999.000 - X : Custom"}};
    // clang-format on
    for (const auto& [row, text] : lines)
        EXPECT_EQ(note_list_text(row), text);
    EXPECT_EQ(find_note_row(587.33f), 29);
    EXPECT_EQ(find_note_row(9999.0f), 61);
    EXPECT_EQ(find_note_row(-1.0f), std::nullopt);
    EXPECT_EQ(find_note_row(587.3f), std::nullopt);
}

std::string joined_names(const NoteDerivation& derived) {
    std::string names;
    for (const std::string& name : derived.names)
        names += name + " ";
    return names;
}

// Walks from a first row by the steps; the table's last row (the end
// marker, row 62) may be reached, row 63 and row -1 may not.
TEST(NoteFrequencies, WalkTheTableUpToItsLastRow) {
    // The names, or how the refusal begins.
    const std::tuple<int, std::array<int32_t, 6>, std::string> walks[] = {
        {29, {2, 2, 1, 2, 2, 2}, "D5 E5 F#5 G5 A5 B5 C#6 "},
        {21, {3, 2, 2, 1, 2, 2}, "F#4 A4 B4 C#5 D5 E5 F#5 "},
        {43, {2, 1, 2, 2, 1, 3}, "E6 F#6 G6 A6 B6 C7 D#7 "},
        {56, {1, 1, 1, 1, 1, 1}, "F7 F#7 G7 G#7 A7 X END "},
        {57, {1, 1, 1, 1, 1, 1}, "Note 7 of the scale"},
        {55, {2, 2, 1, 2, 2, 2}, "Note 6 of the scale"},
        {0, {-1, 0, 0, 0, 0, 0}, "Note 2 of the scale"},
        {1, {-1, -1, 0, 0, 0, 0}, "Note 3 of the scale"},
    };
    for (const auto& [first, steps, names] : walks) {
        CircuitRecord c = default_circuit();
        c.SEQ = steps;
        const CircuitRecord before = c;
        const NoteDerivation derived = derive_note_frequencies(c, first);
        if (derived.refused) {
            EXPECT_EQ(derived.error.substr(0, names.size()), names) << first;
            EXPECT_EQ(c, before);
            continue;
        }
        EXPECT_EQ(joined_names(derived), names) << first;
        EXPECT_EQ(c.BASE, NoteTable[static_cast<std::size_t>(first)].frequency);
        for (int n = 0, row = first; n < kNoteCount; row += n < 6 ? steps[n] : 0, ++n) {
            EXPECT_EQ(c.SEQI[n], row) << first;
            EXPECT_EQ(c.FR[n], NoteTable[static_cast<std::size_t>(row)].frequency);
        }
    }
    CircuitRecord c = default_circuit();
    EXPECT_TRUE(derive_note_frequencies(c, -1).refused);
    EXPECT_TRUE(derive_note_frequencies(c, kEndNoteRow).refused);
}

TEST(NoteFrequencies, CustomRowTakesTheCustomFrequencies) {
    CircuitRecord c = default_circuit();
    const auto rowsBefore = c.SEQI;
    c.CU[6] = 1046.503f;
    const NoteDerivation derived = derive_note_frequencies(c, kCustomNoteRow);
    EXPECT_EQ(joined_names(derived), "CUS1 CUS2 CUS3 CUS4 CUS5 CUS6 CUS7 ");
    EXPECT_EQ(c.FR, (NoteArray{440, 440, 440, 440, 440, 440, 1046.503f}));
    EXPECT_EQ(c.BASE, 9999.0f);
    EXPECT_EQ(c.SEQI, rowsBefore);
}

// The modes' semitone steps as music theory gives them.
TEST(ScalePresets, EachModeHasItsSteps) {
    const ScalePreset expected[] = {
        {"Major Scale", 2010, {2, 2, 1, 2, 2, 2}},   {"Harmonic Minor", 2024, {2, 1, 2, 2, 1, 3}},
        {"Natural Minor", 2012, {2, 1, 2, 2, 1, 2}}, {"Melodic Minor", 2013, {2, 1, 2, 2, 2, 2}},
        {"Ahava Raba", 2014, {1, 3, 1, 2, 1, 2}},    {"6 Hole Native Am", 2015, {3, 2, 2, 1, 2, 2}},
    };
    for (std::size_t i = 0; i < kScalePresets.size(); ++i) {
        EXPECT_STREQ(kScalePresets[i].menuText, expected[i].menuText);
        EXPECT_EQ(kScalePresets[i].command, expected[i].command) << expected[i].menuText;
        EXPECT_EQ(kScalePresets[i].steps, expected[i].steps) << expected[i].menuText;
    }
}

// Back to inches the switch multiplies by 0.03937, which makers' files
// carry: 25.4 mm come back as 0.999998 inch, not 1.
TEST(Units, SwitchConvertsEveryEntryLength) {
    EXPECT_EQ(unit_switch_factor(UNIT_ENGLISH, UNIT_METRIC), 25.4f);
    EXPECT_EQ(unit_switch_factor(UNIT_METRIC, UNIT_METRIC), std::nullopt);
    CircuitRecord c = default_circuit();
    c.BORE = c.THIK = c.EMBH = c.EMBV = 25.4f;
    c.DI.fill(25.4f);
    c.BDI.fill(25.4f);
    c.SP.fill(25.4f);
    scale_entry_lengths(c, *unit_switch_factor(UNIT_METRIC, UNIT_ENGLISH));
    for (float length :
         {c.BORE, c.THIK, c.EMBH, c.EMBV, c.DI[1], c.DI[6], c.BDI[0], c.BDI[6], c.SP[0], c.SP[3]})
        EXPECT_EQ(format("%8.6f", double(length)), "0.999998");
    EXPECT_EQ(c.DI[0], 25.4f); // no hole 0
    EXPECT_EQ(entry_to_cm(25.4f, UNIT_METRIC), 2.54f);
    EXPECT_EQ(entry_to_cm(1.0f, UNIT_ENGLISH), 2.54f);
}

// Inch sizes step through 3/64 .. 7/16 by 1/64, then 15/32 and 1/2; a size
// within 1/84 inch of a drill counts as that drill (0.1935 as 13/64 going
// up, as 3/16 going down). Millimetres step whole
// sizes 0..25. Both go round at the ends.
TEST(HoleSizes, NudgesStepToTheNeighbouringDrill) {
    using enum SizeStep;
    const int32_t in = UNIT_ENGLISH, mm = UNIT_METRIC;
    // clang-format off
    const std::tuple<float, int32_t, SizeStep, float> nudges[] = { // size, unit, step: size
        {0.1875f, in, Up, 13 / 64.0f}, {0.1875f, in, Down, 11 / 64.0f},
        {0.1935f, in, Up, 14 / 64.0f}, {0.1935f, in, Down, 11 / 64.0f},
        {0.19f, in, Up, 13 / 64.0f},   {0.19f, in, Down, 11 / 64.0f},
        {0.4375f, in, Up, 15 / 32.0f}, {0.46875f, in, Up, 0.5f},
        {0.5f, in, Down, 15 / 32.0f},  {0.5f, in, Up, 3 / 64.0f},
        {3 / 64.0f, in, Down, 0.5f},   {7.9f, mm, Up, 8},
        {7.9f, mm, Down, 6},           {24.5f, mm, Up, 25},
        {25, mm, Up, 0},               {0.5f, mm, Down, 25},
    };
    // clang-format on
    for (const auto& [size, unit, step, expected] : nudges)
        EXPECT_EQ(next_hole_size(size, unit, step), expected)
            << size << (step == Up ? " up" : " down") << " unit " << unit;
}

TEST(Bank, SlotStepsGoRoundAtBothEnds) {
    DesignState state = startup_state();
    state.workingCircuit.BORE = 0.75f;
    select_slot(state, SlotStep::Previous);
    EXPECT_EQ(state.bank.currentIndex, 39);
    EXPECT_EQ(state.bank.slot[0].BORE, 0.75f);
    EXPECT_EQ(state.workingCircuit.BORE, 0.5f);
    state.workingCircuit.BORE = 0.625f;
    select_slot(state, SlotStep::Next);
    EXPECT_EQ(state.bank.currentIndex, 0);
    EXPECT_EQ(state.bank.slot[39].BORE, 0.625f);
    EXPECT_EQ(state.workingCircuit.BORE, 0.75f);
}

TEST(Bank, NormalizingASlotSettlesDivisorAndFirstNote) {
    CircuitRecord c = default_circuit();
    c.DIVS = 3;
    c.BASE = NoteTable[40].frequency;
    EXPECT_EQ(normalize_slot_record(c), 40);
    EXPECT_EQ(c.DIVS, 2);
    EXPECT_EQ(c.NOTI, 40);
    c.DIVS = 4;
    c.BASE = 441.0f; // matches no row: the first note stays
    EXPECT_EQ(normalize_slot_record(c), std::nullopt);
    EXPECT_EQ(c.DIVS, 4);
    EXPECT_EQ(c.NOTI, 40);
}

} // namespace
} // namespace sorrel
