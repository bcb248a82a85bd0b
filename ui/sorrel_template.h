#pragma once
// The calculator panel's template SORREL and its control numbers. The
// per-hole table and the results block are generated from column tables:
// one header and one control per row, rows top-down from hole 6.

#include "model/circuit_record.h"
#include "ui/dialog_template.h"

#include <array>
#include <span>

namespace sorrel::ui {

// Control numbers the panel's commands and the main window address.
namespace panel_id {
inline constexpr int kCalc = 1;
inline constexpr int kFirstNoteList = 2027;
inline constexpr int kBore = 4007;
inline constexpr int kWall = 4008;
inline constexpr int kFirstScaleStep = 4015; // steps 1..6 are 4015..4020
inline constexpr int kAutoRecalc = 4034;
inline constexpr int kCalFreq = 4036;
inline constexpr int kGeoCorrection = 4038;
inline constexpr int kTransferBore = 4094;
inline constexpr int kNudgeUpHole1 = 4100;   // holes 1..6 are 4100..4105
inline constexpr int kNudgeDownHole1 = 4200; // holes 1..6 are 4200..4205
inline constexpr int kCalculateFrequencies = 4118;
inline constexpr int kDeviation = 4119;
inline constexpr int kAverageCutoff = 4120;
inline constexpr int kLengthBoreRatio = 4121;
inline constexpr int kEmbArea = 4122;
inline constexpr int kEmbLength = 4123;
inline constexpr int kEmbAreaUnit = 4124;
inline constexpr int kBlockToEnd = 4125;
inline constexpr int kBoreDiamHeader = 4127;
inline constexpr int kIterations = 4139;
inline constexpr int kEmbUnit = 4140;
inline constexpr int kEnglish = 4141;
inline constexpr int kMetric = 4142;
inline constexpr int kStatus = 4143;
inline constexpr int kDivisor = 4144;
inline constexpr int kDescription = 4145;
inline constexpr int kMaterial = 4146;
inline constexpr int kIndex = 4147;
inline constexpr int kEmbWidth = 4148;
inline constexpr int kBoreUnit = 4206;
inline constexpr int kWallUnit = 4207;
inline constexpr int kHoleDiaHeader = 4208;
inline constexpr int kBetweenCentersLabel = 4209;
// The frame of the cutoff chart. No command uses it; the number lets the
// panel keep the frame around the chart, which sits at fixed pixels.
inline constexpr int kGraphFrame = 4300;
} // namespace panel_id

// A column of the per-hole table or of the results block.
struct HoleColumn {
    const char* header;              // nullptr: the header on the left spans this column too
    int headerId;                    // kUnnumbered unless a command relabels the header
    const char* spokenName;          // what a screen reader says before ", hole 6"
    ControlKind kind;                // Edit, ResultEdit, or Button for the nudges
    const char* controlText;         // a button's text
    std::array<int, kNoteCount> ids; // rows 6..1, then B; 0 where the row has no control
    NoteArray CircuitRecord::*field; // nullptr where no record field is shown
    const char* format;
    int width;        // dialog units
    bool inAdjustBox; // framed by "Adjust Here" with the commands that change it
};

// Note number and label of each row, top-down: holes 6..1, then the bottom note.
inline constexpr std::array<int, kNoteCount> kRowNotes = {6, 5, 4, 3, 2, 1, 0};
inline constexpr std::array<const char*, kNoteCount> kRowLabels = {"6", "5", "4", "3",
                                                                   "2", "1", "B"};

// The per-hole table, left to right.
std::span<const HoleColumn> hole_table();
// The results block's columns (rows 6..1; none has a "B" row).
std::span<const HoleColumn> result_columns();

// The between-centres spacings, shown between the rows of the holes they separate.
struct SpacingField {
    int id;
    int element;       // of SP
    const char* holes; // "5-6"
    int rowAbove;      // row of the results block the field follows
};
std::span<const SpacingField> spacing_fields();

// The template, 518 by 342 dialog units, "Tahoma" 8.
const DialogTemplate& sorrel_template();

} // namespace sorrel::ui
