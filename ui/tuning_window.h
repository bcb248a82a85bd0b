#pragma once
// The Tuning window: how each fingering of the working design will sound,
// predicted by the tuning model from the as-built geometry. The maker edits
// the lengths as drilled, sets the playing conditions, calibrates on one
// measured note, fits the holes to pitch, chooses drills and hands the
// drill sizes back to the calculator panel. Data flows one way: the fields
// are read into a tuning geometry, the model predicts, the table and the
// chart show the prediction.

#include "model/circuit_record.h"
#include "tuning/drill_choice.h"
#include "tuning/geometry.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace sorrel::tuning {
struct FingeringResult;
struct PitchFit;
} // namespace sorrel::tuning

namespace sorrel::ui {

class AsBuiltEditor;
class CalculatorPanel;
class CentsChart;
class Feedback;
class NumberField;

class TuningWindow : public QWidget {
    Q_OBJECT

public:
    // Columns of the fingerings table.
    enum Column { kFingering, kTarget, kPredicted, kCents, kSecond, kStretch, kColumnCount };

    TuningWindow(DesignState& state, CalculatorPanel& panel, Feedback& feedback, QWidget* owner);

    // Takes the working design's last Calc as the design and the as-built
    // values. A design without a finished Calc is refused with a message.
    bool load_design();

private:
    QWidget* build_conditions();
    QWidget* build_calibration();
    QWidget* build_fit_controls();
    QWidget* build_fingerings();
    QPushButton* add_button(const QString& text, const QString& name, void (TuningWindow::*slot)());

    // Reads every field into the as-built geometry and shows its prediction,
    // or says which field holds nothing the model can use.
    void predict_now();
    void show_predictions(const std::vector<tuning::FingeringResult>& results);
    void clear_predictions(const QString& reason);
    void fill_measured_choices();
    void show_calibration_value();
    std::optional<double> hand_reach() const;
    std::optional<std::vector<tuning::Drill>> chosen_drill_set();
    void take_fit(const tuning::PitchFit& fit);

    void reset_to_design();
    void calibrate();
    void add_fingering();
    void fit_to_pitch();
    void choose_drills();
    void apply_drill_sizes();
    void print_template();
    // Whether every field holds what the model can use; says why not otherwise.
    bool fields_ready();

    DesignState& state_;
    CalculatorPanel& panel_;
    Feedback& feedback_;

    CircuitRecord designRecord_; // the working design as its last Calc left it
    int designSlot_ = 0;         // the bank slot it came from
    tuning::Geometry design_;    // as the last Calc gave it
    tuning::Geometry asBuilt_;   // what the fields showed when last read whole
    bool predictable_ = false;   // asBuilt_ holds what every field now shows, and validates
    std::vector<std::string> extraFingerings_;               // the maker's own rows, top hole first
    std::optional<std::vector<tuning::Drill>> chosenDrills_; // per hole of asBuilt_, as chosen

    AsBuiltEditor* editor_;
    NumberField* temperature_;
    QLabel* calibrationLabel_;
    NumberField* calibrationValue_; // window height or added mouthpiece length, mm
    QComboBox* measuredFingering_;
    NumberField* measured_;
    QLineEdit* newFingering_;
    QTableWidget* table_;
    CentsChart* chart_;
    NumberField* handReach_;
    QComboBox* drillSet_;
    QLineEdit* customDrills_;
    QLineEdit* smallestDrill_;
    QLineEdit* largestDrill_;
    QPushButton* applyDrills_;
    QLabel* fitNotes_;
    QLabel* status_;
};

// Opens the Tuning window over `owner`, or brings it forward when it is
// already open; refuses with a message while the working design has no
// finished Calc. A later Calc updates the open window.
void open_tuning_window(QWidget* owner, DesignState& state, CalculatorPanel& panel,
                        Feedback& feedback);

} // namespace sorrel::ui
