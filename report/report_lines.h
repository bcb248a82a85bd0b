#pragma once
// The text of the one-page report of a design: 27 lines, each at its row
// position in thousandths of an inch from the top of the printable area.

#include "model/circuit_record.h"

#include <string>
#include <vector>

namespace sorrel {

struct ReportLine {
    int row;          // distance from the top of the printable area, 0.001 inch
    std::string text; // at most kReportLineMax characters
};

inline constexpr int kReportLineCount = 27;
inline constexpr std::size_t kReportLineMax = 99;
inline constexpr int kReportLeft = 440; // every line starts 0.44 inch from the left

// The page of `circuit`, top to bottom, as stored: nothing is recalculated.
// The first note is named by its row `NOTI`; notes 1 to 6 by the table row
// nearest in pitch to their frequency (blank beyond 50 cents). Note rows
// outside the note table (a hand-edited file) print no name or description,
// and the first note's frequency is then `BASE`.
std::vector<ReportLine> report_lines(const CircuitRecord& circuit);

} // namespace sorrel
