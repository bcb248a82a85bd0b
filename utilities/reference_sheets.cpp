#include "utilities/reference_sheets.h"

namespace sorrel {
namespace {

// Every line but the last is padded with blanks to 14 characters.
const std::array<std::string_view, kDrillSheetLineCount> kDrillSheetLines = {
    " 0.063   1/16 ", " 0.078   5/64 ", " 0.094   3/32 ", " 0.109   7/64 ", " 0.125   1/8  ",
    " 0.141   9/64 ", " 0.156   5/32 ", " 0.172  11/64 ", " 0.188   3/16 ", " 0.203  13/64 ",
    " 0.219   7/32 ", " 0.234  15/64 ", " 0.250   1/4  ", " 0.266  17/64 ", " 0.281   9/32 ",
    " 0.313   5/16 ", " 0.344  11/32 ", " 0.375   3/8  ", " 0.391  25/64 ", " 0.406  13/32 ",
    " 0.438   7/16 ", " 0.469  15/32 ", " 0.500   1/2",
};

// In every aluminium row ID = OD - 2 x wall.
const TubingSheet kTubingSheet = {
    "AL Tubing 6061-T6 - from metal stockists",
    "OD\tOD\tWall\tID\tflute?\tfor",
    {
        " 5/8\t0.625\t0.065\t0.495\t\t",
        " 3/4\t0.750\t0.058\t0.634\t\t",
        " 3/4\t0.750\t0.065\t0.620\t\t",
        " 7/8\t0.875\t0.049\t0.777\t\t",
        " 7/8\t0.875\t0.058\t0.759\tyes\t3/4\"",
        "1    \t1.000\t0.058\t0.884\t?\t7/8\"",
        "1    \t1.000\t0.065\t0.870\tyes\t",
        "1 1/8\t1.125\t0.058\t1.009\tyes\t1\"",
        "1 1/4\t1.250\t0.058\t1.134\tyes\t1 1/8\"",
        "1 3/8\t1.375\t0.058\t1.259\t\t1 1/4\"",
    },
    {
        "Drawn round tube is sold by metal",
        "stockists in random or cut lengths.",
        "Order by outside diameter and wall;",
        "the bore is the ID column.",
    },
    "Copper and PVC",
    {
        "1/2\"  Copper Type L",
        "3/4\"  Copper Type M",
        "1/2\"  Sched.40 PVC  Bore = 0.622  Thickness = 0.109",
        "3/4\"  Sched 40 PVC  Bore = 0.824  Thickness = 0.113",
        "1\"  Sched 40 PVC  Bore =   Thickness = ",
        "1 1/4\"  Sched 40 PVC  Bore =   Thickness = ",
        "1 1/2\"  Sched 40 PVC  Bore = 1.600  Thickness = ",
    },
    "Brass Tubing - hobby and model shops",
    "Sizes that slide one inside the next.",
};

constexpr std::string_view kAboutText = "Sorrel - Tonehole calculator for whistles and flutes\r"
                                        "Version 3.3\r"
                                        "\r"
                                        "Written by the Sorrel developers.\r"
                                        "\r"
                                        "Free to use, copy and share.\r"
                                        "\r"
                                        "Enjoy!\r";

} // namespace

const std::array<std::string_view, kDrillSheetLineCount>& drill_sheet_lines() {
    return kDrillSheetLines;
}

const TubingSheet& tubing_sheet() {
    return kTubingSheet;
}

std::string_view about_text() {
    return kAboutText;
}

} // namespace sorrel
