// The names the report gives notes 1 to 6: the note-table row nearest in
// pitch to each frequency, within half a semitone. (Derived designs, whose
// frequencies are their rows' own, print their rows' names as the page test
// of the solved start-up design shows.)

#include "report/report_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace sorrel {
namespace {

// Frequencies `cents` away from a pitch, worked from A4 = 440 Hz: E5 lies
// 7 semitones above it, A2 24 below, A7 36 above.
float shifted(double semitonesFromA4, double cents) {
    return static_cast<float>(440.0 * std::pow(2.0, (semitonesFromA4 * 100 + cents) / 1200));
}

// Row 13 of the page shows note 1 of the first table, row 22 of the second.
std::string names_of_note_one(const CircuitRecord& c) {
    const std::vector<ReportLine> lines = report_lines(c);
    return lines[13].text.substr(0, 4) + "|" + lines[22].text.substr(0, 4);
}

TEST(ReportNoteNames, TypedFrequenciesAreNamedByTheNearestPitch) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float frequency;
        const char* name;
    } cases[] = {
        {659.26f, " E5 "},           {shifted(7, 49), " E5 "},
        {shifted(7, -49), " E5 "},   {shifted(7, 51), " F5 "},
        {shifted(7, -51), "D#5 "},   {shifted(-24, -49), " A2 "},
        {shifted(-24, -51), "    "}, {shifted(36, 49), " A7 "},
        {shifted(36, 51), "    "},   {0.0f, "    "},
        {-659.26f, "    "},          {nan, "    "},
    };
    for (const auto& c : cases) {
        CircuitRecord circuit = default_circuit(); // note rows all 0: never derived
        circuit.FR[1] = c.frequency;
        EXPECT_EQ(names_of_note_one(circuit), std::string(c.name) + "|" + c.name) << c.frequency;
    }
}

} // namespace
} // namespace sorrel
