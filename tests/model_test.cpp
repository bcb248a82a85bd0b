#include "model/circuit_record.h"
#include "model/note_frequencies.h"
#include "model/note_table.h"
#include "model/text_format.h"

#include <gtest/gtest.h>

namespace sorrel {
namespace {

TEST(NoteTable, ListsOneLinePerRowBeforeTheEndMarker) {
    const std::vector<int> rows = note_list_rows();
    ASSERT_EQ(rows.size(), 62u);
    for (std::size_t position = 0; position < rows.size(); ++position)
        EXPECT_EQ(rows[position], static_cast<int>(position));
    EXPECT_EQ(note_list_text(0), " 110.000 - A2 : A2 Earthquake Flue");
    EXPECT_EQ(note_list_text(1), " 116.541 - A#2 : ");
    EXPECT_EQ(note_list_text(29), " 587.330 - D5 : High-D Whistle/Flute");
    EXPECT_EQ(note_list_text(61), "9999.000 - X : Custom");
}

TEST(NoteTable, FindsRowsByExactFrequency) {
    EXPECT_EQ(find_note_row(587.33f), 29);
    EXPECT_EQ(find_note_row(9999.0f), 61);
    EXPECT_EQ(find_note_row(-1.0f), std::nullopt);
    EXPECT_EQ(find_note_row(587.3f), std::nullopt);
    // A frequency written with six decimals reads back to the same row.
    const std::string written = format("%f", double(NoteTable[45].frequency));
    EXPECT_EQ(find_note_row(*parse_float(written)), 45);
}

TEST(NoteTable, RowsAreRisingSemitones) {
    for (int row = 0; row + 12 <= 60; ++row) {
        const double octave = NoteTable[static_cast<std::size_t>(row + 12)].frequency;
        EXPECT_NEAR(octave, 2.0 * NoteTable[static_cast<std::size_t>(row)].frequency, 0.004);
    }
    for (int row = 1; row <= kCustomNoteRow; ++row)
        EXPECT_LT(NoteTable[static_cast<std::size_t>(row - 1)].frequency,
                  NoteTable[static_cast<std::size_t>(row)].frequency);
}

TEST(DefaultCircuit, RaisesEachNoteBySemitoneRatios) {
    std::string frequencies;
    for (float f : default_circuit().FR)
        frequencies += format("%8.3f", double(f));
    EXPECT_EQ(frequencies, " 587.330 659.256 739.990 783.992 880.001 987.7681108.732");
}

TEST(Bank, StepsWithWrapAroundAndStoresTheWorkingDesign) {
    DesignState state = startup_state();
    state.workingCircuit.BORE = 0.75f;
    select_slot(state, SlotStep::Previous);
    EXPECT_EQ(state.bank.currentIndex, 39);
    EXPECT_EQ(state.bank.slot[0].BORE, 0.75f);
    EXPECT_EQ(state.workingCircuit.BORE, 0.5f);
    select_slot(state, SlotStep::Next);
    EXPECT_EQ(state.bank.currentIndex, 0);
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

std::string joined_names(const NoteDerivation& derived) {
    std::string names;
    for (const std::string& name : derived.names)
        names += name + " ";
    return names;
}

TEST(NoteFrequencies, WalkTheTableFromTheFirstNote) {
    CircuitRecord c = default_circuit();
    const NoteDerivation derived = derive_note_frequencies(c, 29);
    ASSERT_FALSE(derived.refused);
    EXPECT_EQ(joined_names(derived), "D5 E5 F#5 G5 A5 B5 C#6 ");
    EXPECT_EQ(c.SEQI, (std::array<int32_t, 7>{29, 31, 33, 34, 36, 38, 40}));
    EXPECT_EQ(format("%8.3f|%8.3f", double(c.FR[1]), double(c.FR[6])), " 659.255|1108.731");

    c.SEQ = {3, 2, 2, 1, 2, 2};
    EXPECT_EQ(joined_names(derive_note_frequencies(c, 21)), "F#4 A4 B4 C#5 D5 E5 F#5 ");
    EXPECT_EQ(c.BASE, NoteTable[21].frequency);
    // A walk may end on the custom row and on the end marker.
    c.SEQ = {1, 1, 1, 1, 1, 1};
    EXPECT_EQ(derive_note_frequencies(c, 56).names[5], "X");
    EXPECT_EQ(c.FR[6], -1.0f);
}

TEST(NoteFrequencies, CustomRowTakesTheCustomFrequencies) {
    CircuitRecord c = default_circuit();
    const auto rowsBefore = c.SEQI;
    c.CU[6] = 1046.503f;
    const NoteDerivation derived = derive_note_frequencies(c, kCustomNoteRow);
    EXPECT_EQ(joined_names(derived), "CUS1 CUS2 CUS3 CUS4 CUS5 CUS6 CUS7 ");
    EXPECT_EQ(c.FR[0], 440.0f);
    EXPECT_EQ(c.FR[6], 1046.503f);
    EXPECT_EQ(c.BASE, 9999.0f);
    EXPECT_EQ(c.SEQI, rowsBefore);
}

TEST(NoteFrequencies, WalkOffTheTableIsRefusedAndChangesNothing) {
    CircuitRecord c = default_circuit();
    c.SEQ = {2, 2, 1, 2, 2, 2};
    const CircuitRecord before = c;
    const NoteDerivation high = derive_note_frequencies(c, 57);
    EXPECT_TRUE(high.refused);
    EXPECT_NE(high.error.find("outside the note table"), std::string::npos);
    EXPECT_EQ(c, before);

    c.SEQ = {-1, 0, 0, 0, 0, 0};
    EXPECT_TRUE(derive_note_frequencies(c, 0).refused);
    EXPECT_TRUE(derive_note_frequencies(c, -1).refused);
}

} // namespace
} // namespace sorrel
