#include "ui/sorrel_template.h"

#include <iterator>
#include <vector>

namespace sorrel::ui {
namespace {

using K = ControlKind;
constexpr int U = kUnnumbered;

constexpr int kFieldHeight = 12; // edits and the rows they stand in
constexpr int kLabelHeight = 8;  // one line of text
constexpr int kLabelDrop = 2;    // a label beside a field sits this much lower
constexpr int kRowPitch = 13;
constexpr int kColumnGap = 2;
constexpr int kBoxMargin = 3; // between a group box's frame and what it holds

// clang-format off
const HoleColumn kHoleTable[] = {
    {"Frequency . (Hz)", U, "Frequency", K::Edit, nullptr,
     {4001, 4002, 4003, 4004, 4005, 4006, 4126}, &CircuitRecord::FR, "%8.3f", 34, true},
    {"Hole Dia. (in)", panel_id::kHoleDiaHeader, "Hole Dia.", K::Edit, nullptr,
     {4009, 4010, 4011, 4012, 4013, 4014, 0}, &CircuitRecord::DI, "%5.3f", 26, true},
    {nullptr, U, "Next size up", K::Button, "u",
     {4105, 4104, 4103, 4102, 4101, 4100, 0}, nullptr, nullptr, 9, true},
    {nullptr, U, "Next size down", K::Button, "d",
     {4205, 4204, 4203, 4202, 4201, 4200, 0}, nullptr, nullptr, 9, true},
    {"Bore Diam (in)", panel_id::kBoreDiamHeader, "Bore Diam.", K::Edit, nullptr,
     {4046, 4047, 4048, 4049, 4068, 4093, 4037}, &CircuitRecord::BDI, "%5.3f", 28, false},
    {"Note Name", U, "Note Name", K::ResultEdit, nullptr,
     {4132, 4133, 4134, 4135, 4136, 4137, 4138}, nullptr, nullptr, 22, false},
    {"Chim. Height", U, "Chim. Height", K::ResultEdit, nullptr,
     {4021, 4022, 4023, 4024, 4025, 4026, 0}, &CircuitRecord::HI, "%5.3f", 24, false},
    {"Nom. Lengths", U, "Nom. Length", K::ResultEdit, nullptr,
     {4027, 4028, 4029, 4030, 4031, 4032, 4033}, &CircuitRecord::NM, "%5.3f", 28, false},
    {"Hole Space", U, "Hole Space", K::ResultEdit, nullptr,
     {4040, 4041, 4042, 4043, 4044, 4045, 0}, &CircuitRecord::HS, "%5.3f", 26, false},
    {"Local Cutoff (hz)", U, "Local Cutoff (hz)", K::ResultEdit, nullptr,
     {4050, 4051, 4052, 4053, 4054, 4055, 0}, &CircuitRecord::LC, "%5.2f", 30, false},
    {"Open Hole Correction", U, "Open Hole Correction", K::ResultEdit, nullptr,
     {4062, 4063, 4064, 4065, 4066, 4067, 4128}, &CircuitRecord::OP, "%5.2f", 34, false},
    {"Closed Hole Corr.", U, "Closed Hole Corr.", K::ResultEdit, nullptr,
     {4069, 4070, 4071, 4072, 4073, 4074, 4129}, &CircuitRecord::CL, "%5.3f", 32, false},
    {"New Hole Positions", U, "New Hole Position", K::ResultEdit, nullptr,
     {4075, 4076, 4077, 4078, 4079, 4080, 4131}, &CircuitRecord::NE, "%6.2f", 30, false},
    {"Cutoff Ratio", U, "Cutoff Ratio", K::ResultEdit, nullptr,
     {4056, 4057, 4058, 4059, 4060, 4061, 0}, &CircuitRecord::RA, "%5.2f", 24, false},
    {"Ratio Deviation", U, "Ratio Deviation", K::ResultEdit, nullptr,
     {4112, 4113, 4114, 4115, 4116, 4117, 0}, &CircuitRecord::DV, "%5.2f", 32, false},
};

const HoleColumn kResultColumns[] = {
    {"Frequency", U, "Result frequency", K::ResultEdit, nullptr,
     {4214, 4215, 4216, 4217, 4218, 4219, 0}, &CircuitRecord::FR, "%8.3f", 34, false},
    {"Hole Pos. (Inches)", U, "Hole Pos. (Inches)", K::ResultEdit, nullptr,
     {4087, 4088, 4089, 4090, 4091, 4092, 0}, &CircuitRecord::PI, "%8.2f", 30, false},
    {"Hole Pos. (mm)", U, "Hole Pos. (mm)", K::ResultEdit, nullptr,
     {4106, 4107, 4108, 4109, 4110, 4111, 0}, &CircuitRecord::PM, "%8.2f", 30, false},
};

const SpacingField kSpacingFields[] = {
    {4098, 3, "5-6", 0},
    {4097, 2, "4-5", 1},
    {4096, 1, "2-3", 3},
    {4095, 0, "1-2", 4},
};

// Title, design identity, first note and scale, sizes: four lines across the top.
const ControlTemplate kTopBand[] = {
    {U, K::Text, "Simple Tonehole Calculator for 6-hole Cylindrical Tinwhistles && Flutes --",
     4, 3, 228, 8},
    {U, K::Text, "by the Sorrel developers", 234, 3, 100, 8},

    {U, K::Text, "Desc:", 4, 17, 20, 8},
    {panel_id::kDescription, K::Edit, "", 25, 15, 70, 12},
    {U, K::Text, "Mat'l:", 101, 17, 20, 8},
    {panel_id::kMaterial, K::Edit, "", 122, 15, 70, 12},
    {U, K::Text, "Index:", 198, 17, 22, 8},
    {panel_id::kIndex, K::ResultEdit, "", 221, 15, 18, 12},
    {U, K::Text, "Entry Units:", 246, 17, 40, 8},
    {panel_id::kEnglish, K::RadioButton, "English", 288, 15, 38, 12},
    {panel_id::kMetric, K::RadioButton, "Metric", 330, 15, 36, 12},

    {U, K::Text, "First Note:", 4, 31, 34, 8},
    {panel_id::kFirstNoteList, K::DropDownList, "", 40, 29, 150, 150},
    {U, K::Text, "Scale Sequence:", 196, 31, 54, 8},
    {4015, K::Edit, "", 251, 29, 10, 12},
    {4016, K::Edit, "", 263, 29, 10, 12},
    {4017, K::Edit, "", 275, 29, 10, 12},
    {4018, K::Edit, "", 287, 29, 10, 12},
    {4019, K::Edit, "", 299, 29, 10, 12},
    {4020, K::Edit, "", 311, 29, 10, 12},
    {panel_id::kCalculateFrequencies, K::Button, "Calculate Frequencies", 326, 29, 80, 13},
    {U, K::Text, "Geo.Correction:", 412, 31, 51, 8},
    {panel_id::kGeoCorrection, K::Edit, "", 464, 29, 28, 12},

    {U, K::Text, "Bore Inside Diameter:", 4, 45, 70, 8},
    {panel_id::kBore, K::Edit, "", 75, 43, 28, 12},
    {panel_id::kBoreUnit, K::Text, "Inches", 105, 45, 24, 8},
    {U, K::Text, "Wall Thickness:", 133, 45, 50, 8},
    {panel_id::kWall, K::Edit, "", 184, 43, 28, 12},
    {panel_id::kWallUnit, K::Text, "Inches", 214, 45, 24, 8},
    {U, K::Text, "Wave Divisor: (2=Flutes, 4=Clarinets)", 246, 45, 122, 8},
    {panel_id::kDivisor, K::Edit, "", 369, 43, 14, 12},

    {U, K::Text, "Emb.Hole Width:", 4, 59, 54, 8},
    {panel_id::kEmbWidth, K::Edit, "", 59, 57, 28, 12},
    {U, K::Text, "Hole Len: (Square):", 92, 59, 62, 8},
    {panel_id::kEmbLength, K::Edit, "", 155, 57, 28, 12},
    {panel_id::kEmbUnit, K::Text, "Inches", 185, 59, 24, 8},
    {panel_id::kTransferBore, K::Button, "Transfer main bore diameter to indiv. toneholes",
     246, 57, 160, 13},
};

// Under the frequency and hole-diameter columns, inside "Adjust Here".
const ControlTemplate kAdjustCommands[] = {
    {panel_id::kCalFreq, K::Button, "Cal Freq", 15, 199, 36, 13},
    {panel_id::kCalc, K::DefaultButton, "Calc", 53, 199, 46, 13},
    {panel_id::kAutoRecalc, K::CheckBox, "Auto Recalc", 15, 214, 70, 10},
};
constexpr int kAdjustBoxBottom = 226;

// The design's overall figures, right of the per-hole table.
const ControlTemplate kOverallFigures[] = {
    {U, K::Text, "Length/Bore Ratio:", 440, 74, 74, 8},
    {panel_id::kLengthBoreRatio, K::ResultEdit, "", 440, 83, 26, 12},
    {U, K::Text, "Emb Area:", 440, 98, 74, 8},
    {panel_id::kEmbArea, K::ResultEdit, "", 440, 107, 26, 12},
    {panel_id::kEmbAreaUnit, K::Text, "(mm)", 468, 109, 20, 8},
    {U, K::Text, "Block to End Length:", 440, 122, 74, 8},
    {panel_id::kBlockToEnd, K::ResultEdit, "", 440, 131, 32, 12},
    {4130, K::Text, "(mm)", 474, 133, 20, 8},
    {U, K::Text, "Avg Cutoff:", 440, 146, 74, 8},
    {panel_id::kAverageCutoff, K::ResultEdit, "", 440, 155, 32, 12},
    {U, K::Text, "Hz", 474, 157, 12, 8},
    {U, K::Text, "Cutoff Ratio Deviation: %", 440, 170, 74, 16},
    {panel_id::kDeviation, K::ResultEdit, "", 440, 187, 26, 12},
    {U, K::Text, "No Iterations:", 440, 202, 74, 8},
    {panel_id::kIterations, K::ResultEdit, "", 440, 211, 16, 12},
    {U, K::Text, "Status:", 440, 226, 74, 8},
    // Four lines, room for a refusal that names its field and the rule.
    {panel_id::kStatus, K::Text, "", 440, 235, 74, 32},
    {U, K::Text,
     "Remember, block to end length is limited accuracy due to fipple design variations.", 440,
     270, 74, 40},
};

const ControlTemplate kGraphFrame = {
    panel_id::kGraphFrame, K::GroupBox,
    "Graph -- Cutoff Frequency vs Frequency (Consistency = Good Sound)", 192, 202, 228, 132};
// clang-format on

// Where each table goes, in dialog units.
struct TablePlace {
    int rowLabelX;
    int rowLabelWidth;
    int left; // of the first column
    int headerY;
    int headerHeight;
    int firstRowY;
};

constexpr TablePlace kHoleTablePlace{4, 7, 15, 81, 24, 106};
constexpr TablePlace kResultsPlace{4, 40, 46, 238, 16, 255};

const int kHoleRowLabelIds[] = {U, U, U, U, U, U, 4035};
const char* const kResultRowLabels[] = {"Top Hole", "5", "4", "3", "2", "Bottom Hole"};

std::vector<int> column_lefts(std::span<const HoleColumn> columns, int left) {
    std::vector<int> lefts;
    int x = left;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        lefts.push_back(x);
        x += columns[i].width + kColumnGap;
        const bool leavesBox =
            columns[i].inAdjustBox && (i + 1 == columns.size() || !columns[i + 1].inAdjustBox);
        if (leavesBox)
            x += 2 * kBoxMargin;
    }
    return lefts;
}

// Each header spans its column and the header-less ones to its right.
void add_headers(std::vector<ControlTemplate>& out, std::span<const HoleColumn> columns,
                 const std::vector<int>& lefts, const TablePlace& place) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].header == nullptr)
            continue;
        std::size_t last = i;
        while (last + 1 < columns.size() && columns[last + 1].header == nullptr)
            ++last;
        const int width = lefts[last] + columns[last].width - lefts[i];
        out.push_back({columns[i].headerId, K::Text, columns[i].header, lefts[i], place.headerY,
                       width, place.headerHeight});
    }
}

void add_row(std::vector<ControlTemplate>& out, std::span<const HoleColumn> columns,
             const std::vector<int>& lefts, const TablePlace& place, std::size_t row,
             ControlTemplate label) {
    const int y = place.firstRowY + static_cast<int>(row) * kRowPitch;
    label.x = place.rowLabelX;
    label.y = y + kLabelDrop;
    label.width = place.rowLabelWidth;
    label.height = kLabelHeight;
    out.push_back(label);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int id = columns[i].ids[row];
        if (id != 0)
            out.push_back({id, columns[i].kind, columns[i].controlText, lefts[i], y,
                           columns[i].width, kFieldHeight});
    }
}

void add_hole_table(std::vector<ControlTemplate>& out) {
    const std::span<const HoleColumn> columns = hole_table();
    const std::vector<int> lefts = column_lefts(columns, kHoleTablePlace.left);
    int boxRight = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].inAdjustBox)
            boxRight = lefts[i] + columns[i].width + kBoxMargin;
    }
    const int boxLeft = kHoleTablePlace.left - kBoxMargin;
    const int boxTop = kHoleTablePlace.headerY - 9;
    out.push_back({U, K::GroupBox, "Adjust Here", boxLeft, boxTop, boxRight - boxLeft,
                   kAdjustBoxBottom - boxTop});
    add_headers(out, columns, lefts, kHoleTablePlace);
    for (std::size_t row = 0; row < kNoteCount; ++row)
        add_row(out, columns, lefts, kHoleTablePlace, row,
                {kHoleRowLabelIds[row], K::Text, kRowLabels[row], 0, 0, 0, 0});
}

// The spacings' column follows the result columns; each spacing sits
// half a row below the upper hole it belongs to.
void add_results_block(std::vector<ControlTemplate>& out) {
    const std::span<const HoleColumn> columns = result_columns();
    const std::vector<int> lefts = column_lefts(columns, kResultsPlace.left);
    const int spacingLeft = lefts.back() + columns.back().width + kColumnGap;
    constexpr int kSpacingWidth = 30;
    out.push_back({U, K::Text, "Results", kResultsPlace.rowLabelX, kResultsPlace.headerY - 10, 40,
                   kLabelHeight});
    add_headers(out, columns, lefts, kResultsPlace);
    out.push_back({panel_id::kBetweenCentersLabel, K::Text, "Between Centers (inch)", spacingLeft,
                   kResultsPlace.headerY - 10, kSpacingWidth, 4 * kLabelHeight});
    for (std::size_t row = 0; row < std::size(kResultRowLabels); ++row) {
        add_row(out, columns, lefts, kResultsPlace, row,
                {U, K::Text, kResultRowLabels[row], 0, 0, 0, 0});
        for (const SpacingField& spacing : spacing_fields()) {
            if (spacing.rowAbove != static_cast<int>(row))
                continue;
            const int y =
                kResultsPlace.firstRowY + spacing.rowAbove * kRowPitch + kRowPitch / 2 + 1;
            out.push_back(
                {spacing.id, K::ResultEdit, "", spacingLeft, y, kSpacingWidth, kFieldHeight});
        }
    }
}

std::vector<ControlTemplate> panel_controls() {
    std::vector<ControlTemplate> controls(std::begin(kTopBand), std::end(kTopBand));
    add_hole_table(controls);
    controls.insert(controls.end(), std::begin(kAdjustCommands), std::end(kAdjustCommands));
    controls.insert(controls.end(), std::begin(kOverallFigures), std::end(kOverallFigures));
    add_results_block(controls);
    controls.push_back(kGraphFrame);
    return controls;
}

} // namespace

std::span<const HoleColumn> hole_table() {
    return kHoleTable;
}

std::span<const HoleColumn> result_columns() {
    return kResultColumns;
}

std::span<const SpacingField> spacing_fields() {
    return kSpacingFields;
}

const DialogTemplate& sorrel_template() {
    static const std::vector<ControlTemplate> controls = panel_controls();
    static const DialogTemplate dialog{"SORREL", "", 518, 342, "Tahoma", 8, controls};
    return dialog;
}

} // namespace sorrel::ui
