#include "ui/tuning_window.h"

#include "model/text_format.h"
#include "tuning/fingering.h"
#include "tuning/pitch_fit.h"
#include "tuning/tuning_model.h"
#include "ui/as_built_editor.h"
#include "ui/calculator_panel.h"
#include "ui/feedback.h"
#include "ui/latin1_text.h"
#include "ui/number_field.h"
#include "ui/spoken_label.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace sorrel::ui {
namespace {

constexpr char kCaption[] = "Sorrel - Tuning";
constexpr double kMmPerMetre = 1000;
constexpr int kDesignHoles = 6; // the calculator's holes, DI[1..6]

// Drill sets in the order the choice lists them; the custom list comes last.
constexpr std::array<tuning::DrillSetKind, 3> kStandardSets = {tuning::DrillSetKind::FractionalInch,
                                                               tuning::DrillSetKind::Metric,
                                                               tuning::DrillSetKind::MetricHalf};

// A millimetre limit typed in a drill-range field: none when the field is
// empty, empty when it holds no number.
std::optional<double> range_limit(const QLineEdit& field, double none, bool& readable) {
    const std::string text = to_latin1(field.text().trimmed());
    if (text.empty())
        return none;
    const auto mm = parse_whole_number(text);
    readable = readable && mm.has_value();
    return mm ? std::optional<double>(*mm / kMmPerMetre) : std::nullopt;
}

bool closed_mouth(const tuning::Geometry& geometry) {
    return geometry.mouth.kind == tuning::MouthKind::Closed;
}

} // namespace

bool TuningWindow::load_design() {
    std::string error;
    switch (session_.offer_design(state_.workingCircuit, state_.bank.currentIndex, error)) {
    case tuning::DesignOffer::Refused:
        feedback_.message(kCaption, error, MessageButtons::OkWarning);
        return false;
    case tuning::DesignOffer::Waiting:
        noticeText_->say(QStringLiteral("A Calc changed the design of slot %1. Your as-built "
                                        "values are kept until you choose:")
                             .arg(state_.bank.currentIndex + 1));
        designNotice_->show();
        return true;
    case tuning::DesignOffer::Shown:
        break;
    }
    show_session();
    return true;
}

void TuningWindow::show_session() {
    designNotice_->hide();
    const std::string description(session_.design_record().DESC.view());
    setWindowTitle(
        QStringLiteral("%1: %2slot %3")
            .arg(QString::fromLatin1(kCaption),
                 description.empty() ? QString() : to_qstring(description) + QStringLiteral(", "))
            .arg(session_.slot() + 1));
    const tuning::Geometry& shown = session_.as_built();
    temperature_->show_value(shown.air.temperature);
    const QString name = closed_mouth(shown) ? QStringLiteral("Added mouthp&iece length (mm)")
                                             : QStringLiteral("W&indow height (mm)");
    calibrationLabel_->setText(name);
    calibrationValue_->setAccessibleName(QString(name).remove(u'&'));
    calibrationValue_->show_value(session_.calibration_value() * kMmPerMetre);
    editor_->show_geometry(shown);
    measuredAs_->setCurrentIndex(session_.measured_as_played() ? 0 : 1);
    fitNotes_->say(QString());
    predict_now();
}

void TuningWindow::take_new_design() {
    session_.take_waiting_design();
    show_session();
}

void TuningWindow::keep_as_built() {
    session_.keep_as_built();
    show_session();
}

void TuningWindow::predict_now() {
    tuning::Geometry edited = session_.as_built();
    if (const auto unread = editor_->read_into(edited)) {
        clear_predictions(to_qstring(*unread) + QStringLiteral(": not a number"));
        return;
    }
    const auto temperature = temperature_->value();
    const auto calibration = calibrationValue_->value();
    if (!temperature || !calibration) {
        const QString unread = !temperature           ? QStringLiteral("Air temperature")
                               : closed_mouth(edited) ? QStringLiteral("Added mouthpiece length")
                                                      : QStringLiteral("Window height");
        clear_predictions(unread + QStringLiteral(": not a number"));
        return;
    }
    edited.air.temperature = *temperature;
    (closed_mouth(edited) ? edited.mouth.addedLength : edited.windowHeight) =
        *calibration / kMmPerMetre;
    if (const auto refused = session_.take_as_built(edited)) {
        clear_predictions(to_qstring(*refused));
        return;
    }
    applyDrills_->setEnabled(session_.chosen_drills().has_value());
    calibrationSource_->say(to_qstring(session_.calibration_source()));
    cutoffs_->say(to_qstring(tuning::cutoff_text(session_.as_built())));
    const std::vector<tuning::FingeringResult> results = session_.predict();
    show_predictions(results);
    status_->say(tuning::all_found(results)
                     ? QString()
                     : QStringLiteral("Some resonances lie beyond 200 cents of their "
                                      "targets: not found."));
}

void TuningWindow::take_measured(QTableWidgetItem* item) {
    if (item->column() != kMeasured)
        return;
    const std::string fingering = to_latin1(table_->item(item->row(), kFingering)->text());
    const std::string text = to_latin1(item->text().trimmed());
    // A text that is not one number is refused as a frequency that is none.
    const auto hertz =
        text.empty() ? std::nullopt : std::optional(parse_whole_number(text).value_or(NAN));
    if (const auto refused = session_.set_measured(fingering, hertz)) {
        const auto kept = session_.measured(fingering);
        const QSignalBlocker restoring(table_);
        item->setText(kept ? to_qstring(format("%.2f", *kept)) : QString());
        feedback_.message(kCaption, *refused, MessageButtons::OkWarning);
    }
    show_residuals();
}

void TuningWindow::reset_to_design() {
    session_.reset_to_design();
    editor_->show_geometry(session_.as_built());
    fitNotes_->say(QString());
    predict_now();
}

void TuningWindow::calibrate() {
    if (!fields_ready())
        return;
    session_.set_measured_as_played(measuredAs_->currentIndex() == 0);
    if (const auto refused = session_.calibrate()) {
        feedback_.message(kCaption, *refused, MessageButtons::OkWarning);
        return;
    }
    calibrationValue_->show_value(session_.calibration_value() * kMmPerMetre);
    predict_now();
}

void TuningWindow::add_fingering() {
    const bool noTarget = newTarget_->text().trimmed().isEmpty();
    const auto target = noTarget ? std::optional<double>() : newTarget_->value();
    if (!noTarget && !target) {
        feedback_.message(kCaption, "Target: enter a frequency in Hz above 0, or leave it empty",
                          MessageButtons::OkWarning);
        return;
    }
    if (const auto refused =
            session_.add_custom(to_latin1(newFingering_->text().trimmed()), target)) {
        feedback_.message(kCaption, *refused, MessageButtons::OkWarning);
        return;
    }
    newFingering_->clear();
    newTarget_->clear();
    predict_now();
}

void TuningWindow::remove_fingering() {
    const std::size_t custom = session_.custom_fingerings().size();
    const int first = table_->rowCount() - int(custom);
    const int row = table_->currentRow();
    if (row < first || row < 0) {
        feedback_.message(kCaption, "Select one of your own fingerings to remove it.",
                          MessageButtons::OkWarning);
        return;
    }
    session_.remove_custom(std::size_t(row - first));
    predict_now();
}

std::optional<double> TuningWindow::hand_reach() const {
    const auto reach = handReach_->value();
    if (reach && *reach > 0)
        return *reach / kMmPerMetre;
    feedback_.message(kCaption, "Hand reach: enter the largest centre distance in mm",
                      MessageButtons::OkWarning);
    return std::nullopt;
}

bool TuningWindow::take_fit(const tuning::PitchFit& fit) {
    if (!fit.geometry) {
        feedback_.message(kCaption,
                          fit.failure ? fit.failure->message : std::string("Nothing fits."),
                          MessageButtons::OkWarning);
        return false;
    }
    session_.take_fit(fit);
    editor_->show_geometry(session_.as_built());
    QStringList notes;
    for (const tuning::FitWarning& warning : fit.warnings)
        notes << to_qstring(warning.message);
    fitNotes_->say(notes.join(QStringLiteral("\n")));
    predict_now();
    return session_.predictable();
}

void TuningWindow::fit_to_pitch() {
    const auto reach = hand_reach();
    if (!reach || !fields_ready())
        return;
    take_fit(tuning::fit_to_pitch(session_.as_built(), {*reach}));
}

std::optional<std::vector<tuning::Drill>> TuningWindow::chosen_drill_set() {
    bool readable = true;
    const auto smallest = range_limit(*smallestDrill_, 0, readable);
    const auto largest =
        range_limit(*largestDrill_, std::numeric_limits<double>::infinity(), readable);
    if (!readable) {
        feedback_.message(kCaption, "Drills from: enter millimetres, or leave the field empty",
                          MessageButtons::OkWarning);
        return std::nullopt;
    }
    const tuning::DrillRange range{*smallest, *largest};
    const auto set = std::size_t(drillSet_->currentIndex());
    if (set < kStandardSets.size())
        return tuning::drill_set(kStandardSets[set], range);
    std::string error;
    const auto list = tuning::parse_drill_list(to_latin1(customDrills_->text()), error);
    if (!list) {
        feedback_.message(kCaption, "My own drills: " + error, MessageButtons::OkWarning);
        return std::nullopt;
    }
    return tuning::drills_within(*list, range);
}

void TuningWindow::choose_drills() {
    const auto reach = hand_reach();
    const auto drills = reach ? chosen_drill_set() : std::nullopt;
    if (!drills || !fields_ready())
        return;
    if (drills->empty()) {
        feedback_.message(kCaption, "The drill set holds no drill in that range.",
                          MessageButtons::OkWarning);
        return;
    }
    // The drills are worth their trouble when they make the holes more even
    // than a fit of the holes as they are.
    tuning::PitchFit fit, asTheyAre;
    {
        const WaitCursor waiting(feedback_);
        asTheyAre = tuning::fit_to_pitch(session_.as_built(), {*reach});
        fit = tuning::choose_drills(session_.as_built(), *drills, {*reach});
    }
    if (!take_fit(fit))
        return;
    QStringList notes;
    for (const tuning::FittedHole& hole : fit.holes)
        notes << QStringLiteral("hole %1: %2").arg(hole.number).arg(to_qstring(hole.drill));
    QString text = QStringLiteral("Drills: ") + notes.join(QStringLiteral(", "));
    // The spread is shown to a tenth of a per cent: less than that is no gain.
    if (asTheyAre.geometry && fit.ratioSpread > asTheyAre.ratioSpread - 0.05)
        text += to_qstring(format("\nThese drills cannot make the holes more even within the "
                                  "hand reach: the cutoff ratios spread %.1f %% against %.1f %% "
                                  "with the diameters as they were.",
                                  fit.ratioSpread, asTheyAre.ratioSpread));
    if (!fitNotes_->text().isEmpty())
        text += QStringLiteral("\n") + fitNotes_->text();
    fitNotes_->say(text);
}

void TuningWindow::apply_drill_sizes() {
    if (!session_.chosen_drills() || session_.as_built().holes.size() != kDesignHoles)
        return;
    // Prev, Next and Load change the panel's design without a Calc: the
    // drills belong to the design this window shows, not to another.
    const CircuitRecord& working = state_.workingCircuit;
    const CircuitRecord& shown = session_.design_record();
    if (state_.bank.currentIndex != session_.slot() || working.PM != shown.PM ||
        working.DIST != shown.DIST) {
        feedback_.message(kCaption,
                          "The panel shows another design now: Calc it to tune it, or go back "
                          "to the design of this window.",
                          MessageButtons::OkWarning);
        return;
    }
    const std::vector<double> sizes = session_.apply_drills();
    std::array<double, kDesignHoles> millimetres{};
    std::copy(sizes.begin(), sizes.end(), millimetres.begin());
    panel_.enter_hole_diameters(millimetres);
    status_->say(
        QStringLiteral("The drill sizes are in the calculator's hole fields: Calc takes them."));
}

bool TuningWindow::fields_ready() {
    if (!session_.predictable())
        feedback_.message(kCaption, "Correct the fields first: " + to_latin1(status_->text()),
                          MessageButtons::OkWarning);
    return session_.predictable();
}

std::optional<tuning::AppliedFit> TuningWindow::applied_fit() const {
    return session_.applied_fit(state_.workingCircuit, state_.bank.currentIndex);
}

void TuningWindow::fit_to_screen() {
    // Rows made since the layouts last ran are in their hints only after
    // the layouts have heard of them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QSize content = scroller_->widget()->sizeHint();
    const QMargins margins = layout()->contentsMargins();
    QSize wanted(
        std::max(sizeHint().width(), content.width() + margins.left() + margins.right() +
                                         scroller_->verticalScrollBar()->sizeHint().width()),
        sizeHint().height() - scroller_->sizeHint().height() + content.height());
    // The frame the desktop draws around the window is known once it is shown.
    const QSize frame = frameGeometry().size() - size();
    QPoint corner(1, 1);
    if (const QScreen* shown = screen()) {
        const QRect free = shown->availableGeometry();
        corner += free.topLeft();
        wanted = wanted.boundedTo(free.size() - frame - QSize(2, 2));
    }
    move(corner);
    resize(wanted);
}

void open_tuning_window(QWidget* owner, DesignState& state, CalculatorPanel& panel,
                        Feedback& feedback) {
    auto* window = owner->findChild<TuningWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (window != nullptr && window->isVisible()) {
        window->raise();
        window->activateWindow();
        return;
    }
    const bool created = window == nullptr;
    if (created) {
        window = new TuningWindow(state, panel, feedback, owner);
        QObject::connect(&panel, &CalculatorPanel::calc_finished, window, [window] {
            if (window->isVisible())
                window->load_design();
        });
    }
    if (!window->load_design())
        return;
    window->show();
    if (created)
        window->fit_to_screen();
}

} // namespace sorrel::ui
