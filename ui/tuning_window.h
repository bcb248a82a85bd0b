#pragma once
// The Tuning window: how each fingering of the working design will sound,
// predicted by the tuning model from the as-built geometry. The maker edits
// the lengths as drilled, sets the playing conditions, calibrates on the
// notes measured, fits the holes to pitch, chooses drills and hands the
// drill sizes back to the calculator panel. The tuning session holds and
// decides; the window reads its fields into the session and shows it.

#include "model/circuit_record.h"
#include "tuning/tuning_session.h"

#include <QWidget>

#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QTableWidgetItem;

namespace sorrel::ui {

class AsBuiltEditor;
class CalculatorPanel;
class CentsChart;
class Feedback;
class NumberField;
class SpokenLabel;

class TuningWindow : public QWidget {
    Q_OBJECT

public:
    // Columns of the fingerings table.
    enum Column {
        kFingering,
        kTarget,
        kMeasured,
        kPredicted, // the top of the note's range
        kPlayed,
        kResidual,
        kCents,
        kSecond,
        kStretch,
        kColumnCount
    };

    TuningWindow(DesignState& state, CalculatorPanel& panel, Feedback& feedback, QWidget* owner);

    // Takes the working design's last Calc. A design without a finished Calc
    // is refused with a message; one that would replace the maker's as-built
    // values waits for the maker's choice.
    bool load_design();

    // The fit applied to the working design's slot, while the design still
    // has its drills.
    std::optional<tuning::AppliedFit> applied_fit() const;

    // Sized to its contents, but never beyond the screen's free area: there
    // it scrolls.
    void fit_to_screen();

private:
    QWidget* build_design_notice();
    QWidget* build_conditions();
    QWidget* build_calibration();
    QWidget* build_fit_controls();
    QWidget* build_fingerings();
    QWidget* build_bottom_row();
    QPushButton* add_button(const QString& text, const QString& name, void (TuningWindow::*slot)());

    void show_session();
    // Reads every field into the session and shows its prediction, or says
    // which field holds nothing the model can use.
    void predict_now();
    void show_predictions(const std::vector<tuning::FingeringResult>& results);
    void clear_predictions(const QString& reason);
    // A Measured cell typed into: kept by the session, or refused and put back.
    void take_measured(QTableWidgetItem* item);
    void show_residuals();
    std::optional<double> hand_reach() const;
    std::optional<std::vector<tuning::Drill>> chosen_drill_set();
    bool take_fit(const tuning::PitchFit& fit);

    void take_new_design();
    void keep_as_built();
    void reset_to_design();
    void calibrate();
    void add_fingering();
    void remove_fingering();
    void fit_to_pitch();
    void choose_drills();
    void apply_drill_sizes();
    void print_template();
    // Whether every field holds what the model can use; says why not otherwise.
    bool fields_ready();

    DesignState& state_;
    CalculatorPanel& panel_;
    Feedback& feedback_;
    tuning::TuningSession session_;

    QWidget* designNotice_;
    SpokenLabel* noticeText_;
    QScrollArea* scroller_;
    AsBuiltEditor* editor_;
    NumberField* temperature_;
    QLabel* calibrationLabel_;
    NumberField* calibrationValue_; // window height or added mouthpiece length, mm
    SpokenLabel* calibrationSource_;
    QComboBox* measuredAs_; // as played, or the top of the range
    QLineEdit* newFingering_;
    NumberField* newTarget_;
    QTableWidget* table_;
    CentsChart* chart_;
    NumberField* handReach_;
    QComboBox* drillSet_;
    QLineEdit* customDrills_;
    QLineEdit* smallestDrill_;
    QLineEdit* largestDrill_;
    QPushButton* applyDrills_;
    SpokenLabel* cutoffs_;
    SpokenLabel* fitNotes_;
    SpokenLabel* status_;
};

// Opens the Tuning window over `owner`, or brings it forward when it is
// already open; refuses with a message while the working design has no
// finished Calc. A later Calc is offered to the open window.
void open_tuning_window(QWidget* owner, DesignState& state, CalculatorPanel& panel,
                        Feedback& feedback);

// File > Print Drilling Template...: the working design's template; when the
// Tuning window applied a fit to this slot and the design still has its
// drills, the maker chooses the fitted positions or the calculator's.
void print_working_template(QWidget* owner, const DesignState& state, Feedback& feedback);

} // namespace sorrel::ui
