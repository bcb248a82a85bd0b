#include "ui/calculator_panel.h"

#include "model/input_check.h"
#include "model/note_frequencies.h"
#include "model/note_table.h"
#include "model/text_format.h"
#include "model/tonehole_solver.h"
#include "model/units.h"
#include "ui/cutoff_graph.h"
#include "ui/feedback.h"
#include "ui/latin1_text.h"
#include "ui/sorrel_template.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

namespace sorrel::ui {

using namespace panel_id;

namespace {

constexpr int kBottomNoteName = 4138;     // note n's name is in 4138 - n
constexpr char kLengthFormat[] = "%5.3f"; // entry lengths and the geometric correction

constexpr char kPlainStatus[] = "  ";
constexpr char kNativeFluteStatus[] = "Native Flute";
constexpr char kMathErrorStatus[] = "### Math Error ###";
constexpr char kMathErrorCaption[] = "Sorrel - Math Error";
constexpr char kMathErrorText[] = "A math error occurred that would otherwise have\rcrashed the "
                                  "program, please adjust your numbers and try again";
constexpr char kDerivationCaption[] = "Sorrel - Note Frequencies";
constexpr char kInvalidInputCaption[] = "Sorrel - Invalid Input";

// A single design input, and the control that shows it; the values the panel
// does not show are named by where the user edits them.
struct SingleInput {
    const char* key;
    int id;           // 0: not on the panel
    const char* name; // for those not on the panel
};
constexpr SingleInput kSingleInputs[] = {
    {"BORE", kBore, nullptr},
    {"THIK", kWall, nullptr},
    {"EMBV", kEmbWidth, nullptr},
    {"EMBH", kEmbLength, nullptr},
    {"SPSD", 0, "Speed of Sound (Setup)"},
    {"EMBCOR", 0, "Emb Correction (Setup)"},
    {"CHMCOR", 0, "Tonehole Efficiency (Setup)"},
    {"ENDCOR", 0, "End correction (design file)"},
};

// A per-note design input, "DI06", and the column of the per-hole table that shows it.
struct NoteInput {
    const char* prefix;
    NoteArray CircuitRecord::*field;
};
constexpr NoteInput kNoteInputs[] = {
    {"FR", &CircuitRecord::FR},
    {"DI", &CircuitRecord::DI},
    {"BDI", &CircuitRecord::BDI},
};

// The labels that name the entry unit.
struct UnitLabels {
    const char* length;
    const char* holeDiameter;
    const char* boreDiameter;
    const char* betweenCenters;
};
constexpr UnitLabels kEnglishLabels{"Inches", "Hole Dia. (in)", "Bore Diam. (in)",
                                    "Space between Centers (inch)"};
constexpr UnitLabels kMetricLabels{"mm", "Hole Dia. (mm)", "Bore Diam. (mm)",
                                   "Space between Centers (mm)"};
constexpr char kEmbAreaUnitLabel[] = "(mm)"; // the same in both systems

const HoleColumn& column_of(std::span<const HoleColumn> columns, NoteArray CircuitRecord::*field) {
    return *std::find_if(columns.begin(), columns.end(),
                         [field](const HoleColumn& column) { return column.field == field; });
}

void name_controls(TemplateDialog& panel, std::span<const HoleColumn> columns) {
    for (const HoleColumn& column : columns) {
        for (std::size_t row = 0; row < kNoteCount; ++row) {
            if (QWidget* control = panel.control(column.ids[row]))
                control->setAccessibleName(
                    to_qstring(std::string(column.spokenName) + ", hole " + kRowLabels[row]));
        }
    }
}

// The control that shows the input a refusal names, or 0.
int control_of(const InputFault& fault) {
    for (const SingleInput& input : kSingleInputs) {
        if (fault.key == input.key)
            return input.id;
    }
    for (const NoteInput& input : kNoteInputs) {
        if (fault.key == format("%s%02d", input.prefix, fault.element))
            return column_of(hole_table(), input.field)
                .ids[static_cast<std::size_t>(kNoteCount - 1 - fault.element)];
    }
    return 0;
}

const char* off_panel_name(const InputFault& fault) {
    for (const SingleInput& input : kSingleInputs) {
        if (fault.key == input.key && input.name != nullptr)
            return input.name;
    }
    return nullptr;
}

} // namespace

CalculatorPanel::CalculatorPanel(DesignState& state, Feedback& feedback, QWidget* parent)
    : TemplateDialog(sorrel_template(), Placement::Child, parent), state_(state),
      feedback_(feedback), graph_(new CutoffGraph(this)) {
    name_table_fields();
    place_graph();
    init_panel();
}

void CalculatorPanel::handle_command(int command) {
    if (command >= kNudgeUpHole1 && command < kNudgeUpHole1 + 6) {
        nudge_hole_diameter(command - kNudgeUpHole1 + 1, SizeStep::Up);
        return;
    }
    if (command >= kNudgeDownHole1 && command < kNudgeDownHole1 + 6) {
        nudge_hole_diameter(command - kNudgeDownHole1 + 1, SizeStep::Down);
        return;
    }
    switch (command) {
    case kCalcCommand:
        calc();
        break;
    case kRefreshCommand:
        refresh_panel();
        break;
    case kCalFreq:
    case kCalculateFrequencies:
        derive_note_frequencies();
        break;
    case kTransferBore:
        transfer_bore();
        break;
    case kEnglish:
        read_design_inputs(); // what was typed is converted, not lost
        switch_to_english();
        break;
    case kMetric:
        read_design_inputs();
        switch_to_metric();
        break;
    default: // clicks on other controls start nothing
        break;
    }
}

void CalculatorPanel::name_table_fields() {
    setAccessibleName(QStringLiteral("Simple Tonehole Calculator"));
    // An editable list would otherwise be spoken by its current line.
    auto* firstNote = static_cast<QComboBox*>(control(kFirstNoteList));
    firstNote->setAccessibleName(QStringLiteral("First Note"));
    firstNote->lineEdit()->setAccessibleName(QStringLiteral("First Note"));
    name_controls(*this, hole_table());
    name_controls(*this, result_columns());
    for (const SpacingField& spacing : spacing_fields())
        control(spacing.id)
            ->setAccessibleName(to_qstring(std::string("Between Centers, holes ") + spacing.holes));
    for (int step = 0; step < 6; ++step)
        control(kFirstScaleStep + step)
            ->setAccessibleName(to_qstring(format("Scale Sequence, step %d", step + 1)));
}

// The chart sits at fixed panel pixels whatever the dialog font makes of the
// template; its frame follows it.
void CalculatorPanel::place_graph() {
    const QRect plot = CutoffGraph::plot_area();
    control(kGraphFrame)->setGeometry(plot.adjusted(-14, -22, 14, 12));
}

void CalculatorPanel::init_panel() {
    const CircuitRecord& c = circuit();
    set_item_text(kDivisor, format("%01d", c.DIVS));
    for (int row : note_list_rows())
        add_list_line(kFirstNoteList, note_list_text(row));
    select_list_position(kFirstNoteList, c.NOTI);
    show_design_inputs();
    select_radio(kEnglish);
}

void CalculatorPanel::refresh_panel() {
    const CircuitRecord& c = circuit();
    select_list_position(kFirstNoteList, c.NOTI);
    show_design_inputs();
    set_item_text(kDivisor, format("%1d", c.DIVS));
    set_checked(kAutoRecalc, state_.corrections.AUTO != 0);
}

bool CalculatorPanel::read_auto_recalc() {
    state_.corrections.AUTO = is_checked(kAutoRecalc) ? 1 : 0;
    return state_.corrections.AUTO != 0;
}

void CalculatorPanel::calc() {
    read_auto_recalc();
    read_design_inputs();
    show_outcome(run_calc(state_));
}

void CalculatorPanel::derive_note_frequencies() {
    read_auto_recalc();
    CircuitRecord derived = circuit();
    const int firstRow = selected_list_position(kFirstNoteList);
    read_integer(kDivisor, derived.DIVS);
    read_number(kGeoCorrection, kLengthFormat, derived.GEO);
    for (std::size_t step = 0; step < derived.SEQ.size(); ++step)
        read_integer(kFirstScaleStep + static_cast<int>(step), derived.SEQ[step]);
    const NoteDerivation result = sorrel::derive_note_frequencies(derived, firstRow);
    if (result.refused) {
        feedback_.message(kDerivationCaption, result.error, MessageButtons::OkWarning);
        return;
    }
    circuit() = derived;
    const CircuitRecord& c = circuit();
    set_item_text(kDivisor, format("%1d", c.DIVS));
    show_note_names(result.names);
    show_number(kGeoCorrection, kLengthFormat, c.GEO);
    show_column(&CircuitRecord::FR);
    set_item_text(kDescription, c.DESC.view());
    set_item_text(kMaterial, c.MATL.view());
    set_item_text(kIndex, format("%d", state_.bank.currentIndex + 1));
}

void CalculatorPanel::transfer_bore() {
    CircuitRecord& c = circuit();
    read_number(kBore, kLengthFormat, c.BORE);
    c.BDI.fill(c.BORE);
    show_column(&CircuitRecord::BDI);
}

void CalculatorPanel::nudge_hole_diameter(int hole, SizeStep step) {
    CircuitRecord& c = circuit();
    const int id =
        column_of(hole_table(), &CircuitRecord::DI).ids[static_cast<std::size_t>(6 - hole)];
    float& diameter = c.DI[static_cast<std::size_t>(hole)];
    read_number(id, kLengthFormat, diameter);
    diameter = next_hole_size(diameter, c.UNIT, step);
    show_number(id, kLengthFormat, diameter);
    if (read_auto_recalc())
        post_command(kCalcCommand);
}

void CalculatorPanel::enter_hole_diameters(const std::array<double, 6>& millimetres) {
    CircuitRecord& c = circuit();
    for (std::size_t hole = 1; hole <= millimetres.size(); ++hole) {
        const double mm = millimetres[hole - 1];
        c.DI[hole] = static_cast<float>(c.UNIT == UNIT_METRIC ? mm : mm / kMmPerInch);
    }
    show_column(&CircuitRecord::DI);
}

void CalculatorPanel::switch_to_english() {
    switch_units(UNIT_ENGLISH);
}

void CalculatorPanel::switch_to_metric() {
    switch_units(UNIT_METRIC);
}

void CalculatorPanel::switch_units(int32_t unit) {
    CircuitRecord& c = circuit();
    if (const auto factor = unit_switch_factor(c.UNIT, unit))
        scale_entry_lengths(c, *factor);
    show_number(kEmbArea, "%5.2f", c.THLN);
    show_number(kBlockToEnd, "%5.2f", c.DIST);
    show_number(kBore, kLengthFormat, c.BORE);
    show_number(kGeoCorrection, kLengthFormat, c.GEO);
    show_number(kWall, kLengthFormat, c.THIK);
    show_number(kEmbLength, kLengthFormat, c.EMBH);
    show_number(kEmbWidth, kLengthFormat, c.EMBV);
    show_column(&CircuitRecord::DI);
    show_spacings();
    show_column(&CircuitRecord::BDI);
    select_radio(unit == UNIT_METRIC ? kMetric : kEnglish);
    c.UNIT = unit;
    const UnitLabels& labels = unit == UNIT_METRIC ? kMetricLabels : kEnglishLabels;
    for (int id : {kBoreUnit, kWallUnit, kEmbUnit})
        set_item_text(id, labels.length);
    set_item_text(kHoleDiaHeader, labels.holeDiameter);
    set_item_text(kBoreDiamHeader, labels.boreDiameter);
    set_item_text(kBetweenCentersLabel, labels.betweenCenters);
    set_item_text(kEmbAreaUnit, kEmbAreaUnitLabel);
}

void CalculatorPanel::apply_scale_preset(const std::array<int32_t, 6>& steps) {
    for (std::size_t step = 0; step < steps.size(); ++step)
        set_item_text(kFirstScaleStep + static_cast<int>(step), format("%01d", steps[step]));
    circuit().SEQ = steps;
}

void CalculatorPanel::read_integer(int id, int32_t& field) {
    if (const auto value = read_int_field(item_text(id, kNumberBuffer)))
        field = *value;
}

void CalculatorPanel::read_word(int id, decltype(CircuitRecord::DESC)& field) {
    if (const auto word = read_word_field(item_text(id, kWordBuffer)))
        field.assign(*word);
}

void CalculatorPanel::read_hole_column(const HoleColumn& column) {
    NoteArray& values = circuit().*column.field;
    for (std::size_t row = 0; row < kNoteCount; ++row) {
        if (column.ids[row] != 0)
            read_number(column.ids[row], column.format,
                        values[static_cast<std::size_t>(kRowNotes[row])]);
    }
}

// Moves every design input Calc uses from its field into the record.
void CalculatorPanel::read_design_inputs() {
    CircuitRecord& c = circuit();
    read_word(kDescription, c.DESC);
    read_word(kMaterial, c.MATL);
    read_number(kGeoCorrection, kLengthFormat, c.GEO);
    read_hole_column(column_of(hole_table(), &CircuitRecord::FR));
    read_hole_column(column_of(hole_table(), &CircuitRecord::DI));
    read_number(kBore, kLengthFormat, c.BORE);
    read_hole_column(column_of(hole_table(), &CircuitRecord::BDI));
    read_number(kWall, kLengthFormat, c.THIK);
    read_integer(kDivisor, c.DIVS);
    read_number(kEmbLength, kLengthFormat, c.EMBH);
    read_number(kEmbWidth, kLengthFormat, c.EMBV);
}

void CalculatorPanel::show_number(int id, const char* format, double value) {
    set_item_text(id, sorrel::format(format, value));
}

void CalculatorPanel::show_values(const HoleColumn& column, const NoteArray& values) {
    for (std::size_t row = 0; row < kNoteCount; ++row) {
        if (column.ids[row] != 0)
            show_number(column.ids[row], column.format,
                        values[static_cast<std::size_t>(kRowNotes[row])]);
    }
}

void CalculatorPanel::show_column(NoteArray CircuitRecord::*field) {
    show_values(column_of(hole_table(), field), circuit().*field);
}

void CalculatorPanel::show_design_inputs() {
    const CircuitRecord& c = circuit();
    show_number(kBore, kLengthFormat, c.BORE);
    show_number(kWall, kLengthFormat, c.THIK);
    for (std::size_t step = 0; step < c.SEQ.size(); ++step)
        set_item_text(kFirstScaleStep + static_cast<int>(step), format("%01d", c.SEQ[step]));
    show_number(kEmbLength, kLengthFormat, c.EMBH);
    show_number(kEmbWidth, kLengthFormat, c.EMBV);
    show_column(&CircuitRecord::FR);
    show_column(&CircuitRecord::DI);
    show_column(&CircuitRecord::BDI);
    set_item_text(kDescription, c.DESC.view());
    set_item_text(kMaterial, c.MATL.view());
    set_item_text(kIndex, format("%d", state_.bank.currentIndex + 1));
}

// Shows what the run computed: on a math error, the figures up to the stop.
void CalculatorPanel::show_outcome(const SolveOutcome& outcome) {
    if (outcome.invalidInput) {
        show_refusal(*outcome.invalidInput);
        return;
    }
    const CircuitRecord& c = circuit();
    set_item_text(kStatus, outcome.nativeFlute ? kNativeFluteStatus : kPlainStatus);
    if (outcome.reached >= SolveStage::ChimneyHeights)
        show_column(&CircuitRecord::HI);
    if (outcome.reached >= SolveStage::NominalLengths) {
        set_item_text(kDivisor, format("%1d", c.DIVS));
        show_column(&CircuitRecord::NM);
    }
    if (outcome.reached >= SolveStage::FirstSpacings)
        show_column(&CircuitRecord::HS);
    if (outcome.reached >= SolveStage::ClosedCorrections)
        show_column(&CircuitRecord::CL);
    if (outcome.passes > 0) {
        show_values(column_of(hole_table(), &CircuitRecord::LC), outcome.shownLC);
        show_column(&CircuitRecord::OP);
        show_column(&CircuitRecord::NE);
    }
    if (outcome.mathError) {
        set_item_text(kStatus, kMathErrorStatus);
        feedback_.message(kMathErrorCaption, kMathErrorText, MessageButtons::OkWarning);
        return;
    }
    show_finished_results(outcome);
}

// Names the input in the status line and a message, then puts the cursor in
// its field, its text selected for retyping. Nothing else changes.
void CalculatorPanel::show_refusal(const InputFault& fault) {
    const int id = control_of(fault);
    auto* field = qobject_cast<QLineEdit*>(control(id));
    std::string said = input_rule_text(fault.rule);
    if (field != nullptr)
        said = to_latin1(field->accessibleName()) + ": " + said;
    else if (const char* name = off_panel_name(fault))
        said = std::string(name) + ": " + said;
    set_item_text(kStatus, said);
    feedback_.message(kInvalidInputCaption, said, MessageButtons::OkWarning);
    if (field != nullptr) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }
}

void CalculatorPanel::show_finished_results(const SolveOutcome& outcome) {
    const CircuitRecord& c = circuit();
    set_item_text(kIterations, format("%d", outcome.passes));
    show_column(&CircuitRecord::RA);
    show_number(kAverageCutoff, "%5.2f", c.AVCU);
    show_column(&CircuitRecord::DV);
    show_number(kDeviation, "%5.2f", outcome.deviationPercent);
    if (c.UNIT == UNIT_ENGLISH)
        feedback_.beep();
    show_number(kEmbArea, "%5.2f", c.THLN);
    show_number(kBlockToEnd, "%5.2f", c.DIST);
    show_number(kLengthBoreRatio, "%5.2f", c.LBRA);
    for (const HoleColumn& column : result_columns())
        show_values(column, c.*column.field);
    show_spacings();
    graph_->draw(c);
    emit calc_finished();
}

void CalculatorPanel::show_spacings() {
    for (const SpacingField& spacing : spacing_fields())
        show_number(spacing.id, "%8.2f", circuit().SP[static_cast<std::size_t>(spacing.element)]);
}

void CalculatorPanel::show_note_names(const std::array<std::string, kNoteCount>& names) {
    for (int note = 0; note < kNoteCount; ++note)
        set_item_text(kBottomNoteName - note, names[static_cast<std::size_t>(note)]);
}

} // namespace sorrel::ui
