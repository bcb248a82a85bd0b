#pragma once
// The calculator panel: the program's working surface, built from the
// template SORREL as a child of the main window. Its fields are text views
// of `workingCircuit`: a command reads the fields it needs into the record,
// the model computes on the record alone, and the panel shows the record
// again. It keeps no design data of its own; the bank changes only when a
// Calc completes (and on the main window's Prev, Next and Load).

#include "model/circuit_record.h"
#include "model/hole_sizes.h"
#include "ui/template_dialog.h"

#include <array>
#include <cstdint>
#include <string>

namespace sorrel {
struct InputFault;
struct SolveOutcome;
} // namespace sorrel

namespace sorrel::ui {

class CutoffGraph;
class Feedback;
struct HoleColumn;

class CalculatorPanel : public TemplateDialog {
    Q_OBJECT

public:
    static constexpr int kCalcCommand = 1;
    static constexpr int kRefreshCommand = 2028;

    // Builds the panel and shows `state.workingCircuit` in it (init_panel).
    CalculatorPanel(DesignState& state, Feedback& feedback, QWidget* parent);

    // Command 2028: shows the working design's inputs again, and sets the
    // "Auto Recalc" box from AUTO. Results, note names, the geometric
    // correction, the status line and the chart stay as they were.
    void refresh_panel();
    // Command 1: reads every design input, solves, shows the results and the
    // chart; a completed run is stored in the design's bank slot. A design
    // with an input out of range is refused: the status line names the
    // field, which takes the focus, and nothing is shown or stored.
    void calc();
    // Commands 4036 and 4118: the seven frequencies from the first note and
    // the scale steps. A walk off the note table is refused with a message
    // and changes nothing.
    void derive_note_frequencies();
    // Command 4094: the bore diameter into every hole's bore field.
    void transfer_bore();
    // Commands 4100..4105 (up) and 4200..4205 (down) for holes 1..6; posts
    // Calc when "Auto Recalc" is ticked.
    void nudge_hole_diameter(int hole, SizeStep step);
    // The main window after a slot change, and commands 4141 and 4142 once
    // they have read the design inputs: converts the stored lengths when the
    // units change, then shows them with the units' labels.
    void switch_to_english();
    void switch_to_metric();
    // The Scales/Modes menu: writes the steps into their fields and the design.
    void apply_scale_preset(const std::array<int32_t, 6>& steps);

    // Writes hole diameters (holes 1..6, in millimetres) into the design in
    // its entry unit and shows them, as a nudge does, for the next Calc.
    void enter_hole_diameters(const std::array<double, 6>& millimetres);

    // AUTO from the "Auto Recalc" box; returns whether it is ticked.
    bool read_auto_recalc();

    const CutoffGraph& graph() const { return *graph_; }

signals:
    // A Calc has run to the end and shown its results.
    void calc_finished();

protected:
    void handle_command(int command) override;

private:
    CircuitRecord& circuit() { return state_.workingCircuit; }

    void init_panel();
    void name_table_fields();
    void place_graph();

    void read_integer(int id, int32_t& field);
    void read_word(int id, decltype(CircuitRecord::DESC)& field);
    void read_hole_column(const HoleColumn& column);
    void read_design_inputs();

    void show_number(int id, const char* format, double value);
    void show_values(const HoleColumn& column, const NoteArray& values);
    void show_column(NoteArray CircuitRecord::*field);
    void show_design_inputs();
    void show_outcome(const SolveOutcome& outcome);
    void show_refusal(const InputFault& fault);
    void show_finished_results(const SolveOutcome& outcome);
    void show_note_names(const std::array<std::string, kNoteCount>& names);
    void show_spacings();
    void switch_units(int32_t unit);

    DesignState& state_;
    Feedback& feedback_;
    CutoffGraph* graph_;
};

} // namespace sorrel::ui
