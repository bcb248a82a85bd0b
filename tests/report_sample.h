#pragma once
// A design with hand-set figures, one recognisable value in every field the
// report prints (tests/data/report_sample.srl), and the page a maker expects
// for it (report_sample.txt), worked by hand from the report's layout.

#include "files/design_file.h"

#include <array>
#include <fstream>
#include <string>
#include <vector>

namespace sorrel {

inline CircuitRecord report_sample() {
    DesignState state = startup_state();
    read_design_file(SORREL_TEST_DATA "/report_sample.srl", state.bank, state.corrections);
    return state.bank.slot[0];
}

inline const std::vector<std::string> kSamplePage = [] {
    std::vector<std::string> lines;
    std::ifstream in(SORREL_TEST_DATA "/report_sample.txt");
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}();

// Thousandths of an inch from the top: 200 to the next line, 400 over a
// blank line, 300 between the second and third spacing.
inline constexpr std::array<int, 27> kSampleRows = {
    250,  650,  1050, 1250, 1650, 1850, 2250, 2450, 2650, 2850, 3050, 3250, 3450, 3650,
    3850, 4250, 4450, 4650, 4850, 5050, 5250, 5450, 5650, 6050, 6250, 6550, 6750};

} // namespace sorrel
