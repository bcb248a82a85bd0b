#pragma once
// The fixed texts of the Help menu's reference sheets (fractional drill
// sizes, tubing sizes) and of the About box. The sheets' dialog templates
// place these texts; nothing here is computed.

#include <array>
#include <string_view>

namespace sorrel {

inline constexpr std::size_t kDrillSheetLineCount = 23;

// " 0.063   1/16 " down to " 0.500   1/2": decimal inches and the fraction,
// aligned on the slash.
const std::array<std::string_view, kDrillSheetLineCount>& drill_sheet_lines();

// The tubing sheet's three framed groups. Table lines separate their cells
// with tab characters.
struct TubingSheet {
    std::string_view aluminiumTitle;
    std::string_view aluminiumHeader;
    std::array<std::string_view, 10> aluminiumRows; // OD, OD in, wall, ID, flute?, for
    std::array<std::string_view, 4> aluminiumNotes; // below the rows
    std::string_view copperPvcTitle;
    std::array<std::string_view, 7> copperPvcLines; // two copper, then five PVC
    std::string_view brassTitle;
    std::string_view brassLine;
};

const TubingSheet& tubing_sheet();

inline constexpr std::string_view kAboutCaption = "SORREL";

// Lines separated by single carriage returns, the last one followed by one.
std::string_view about_text();

} // namespace sorrel
