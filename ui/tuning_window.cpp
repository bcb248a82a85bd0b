#include "ui/tuning_window.h"

#include "drilling/circuit_plan.h"
#include "drilling/print_drilling_template.h"
#include "model/text_format.h"
#include "model/units.h"
#include "tuning/design_geometry.h"
#include "tuning/fingering.h"
#include "tuning/pitch_fit.h"
#include "tuning/tuning_model.h"
#include "ui/as_built_editor.h"
#include "ui/as_built_plan.h"
#include "ui/calculator_panel.h"
#include "ui/cents_band.h"
#include "ui/cents_chart.h"
#include "ui/feedback.h"
#include "ui/latin1_text.h"
#include "ui/number_field.h"

#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>

namespace sorrel::ui {
namespace {

constexpr char kCaption[] = "Sorrel - Tuning";
constexpr double kMmPerMetre = 1000;
constexpr int kDesignHoles = 6;  // the calculator's holes, DI[1..6]
constexpr int kNumberWidth = 90; // pixels of a field that holds one number

// Drill sets in the order the choice lists them; the custom list comes last.
constexpr std::array<tuning::DrillSetKind, 3> kStandardSets = {tuning::DrillSetKind::FractionalInch,
                                                               tuning::DrillSetKind::Metric,
                                                               tuning::DrillSetKind::MetricHalf};

QString hertz_text(const std::optional<double>& hertz) {
    return hertz ? to_qstring(format("%.2f", *hertz)) : QStringLiteral("not found");
}

// Signed cents to one decimal; a figure that rounds to zero shows no sign.
QString cents_text(const std::optional<double>& cents) {
    if (!cents)
        return QStringLiteral("not found");
    if (std::abs(*cents) < 0.05)
        return QStringLiteral("0.0");
    return to_qstring(format("%+.1f", *cents));
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// A millimetre limit typed in a drill-range field: none when the field is
// empty, empty when it holds no number.
std::optional<double> range_limit(const QLineEdit& field, double none, bool& readable) {
    const std::string text = to_latin1(field.text().trimmed());
    if (text.empty())
        return none;
    const auto mm = parse_float(text);
    readable = readable && mm.has_value();
    return mm ? std::optional<double>(*mm / kMmPerMetre) : std::nullopt;
}

// Whether every hole of `geometry` still has the diameter chosen for it; a
// typed diameter that reads back the shown drill counts as the drill.
bool holds_drills(const tuning::Geometry& geometry, const std::vector<tuning::Drill>& drills) {
    constexpr double kSameDiameter = 1e-9; // m
    for (std::size_t hole = 0; hole < geometry.holes.size(); ++hole) {
        if (std::abs(geometry.holes[hole].diameter - drills[hole].diameter) > kSameDiameter)
            return false;
    }
    return true;
}

QLabel* named_label(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAccessibleName(text);
    return label;
}

} // namespace

TuningWindow::TuningWindow(DesignState& state, CalculatorPanel& panel, Feedback& feedback,
                           QWidget* owner)
    : QWidget(owner, Qt::Window), state_(state), panel_(panel), feedback_(feedback),
      editor_(new AsBuiltEditor(this)), chart_(new CentsChart(this)), status_(new QLabel(this)) {
    setObjectName(QStringLiteral("TuningWindow"));
    setAccessibleName(QStringLiteral("Tuning"));
    status_->setAccessibleName(QStringLiteral("Status"));
    status_->setWordWrap(true);

    auto* asBuilt = new QGroupBox(QStringLiteral("As built"), this);
    auto* asBuiltLayout = new QVBoxLayout(asBuilt);
    asBuiltLayout->addWidget(editor_);
    asBuiltLayout->addWidget(add_button(QStringLiteral("Reset to design"),
                                        QStringLiteral("Reset to design"),
                                        &TuningWindow::reset_to_design),
                             0, Qt::AlignLeft);
    connect(editor_, &AsBuiltEditor::edited, this, &TuningWindow::predict_now);

    auto* left = new QVBoxLayout;
    left->addWidget(asBuilt);
    left->addWidget(build_conditions());
    left->addWidget(build_calibration());
    left->addWidget(build_fit_controls());
    left->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(build_fingerings(), 1);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(columns);
    whole->addWidget(status_);
}

QPushButton* TuningWindow::add_button(const QString& text, const QString& name,
                                      void (TuningWindow::*slot)()) {
    auto* button = new QPushButton(text, this);
    button->setAccessibleName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

QWidget* TuningWindow::build_conditions() {
    auto* box = new QGroupBox(QStringLiteral("Playing conditions"), this);
    auto* form = new QFormLayout(box);
    temperature_ = new NumberField("%.1f", QStringLiteral("Air temperature (°C)"), box);
    calibrationValue_ = new NumberField("%.3f", QStringLiteral("Window height (mm)"), box);
    calibrationLabel_ = new QLabel(QStringLiteral("Window height (mm)"), box);
    form->addRow(QStringLiteral("Air temperature (°C)"), temperature_);
    form->addRow(calibrationLabel_, calibrationValue_);
    for (NumberField* field : {temperature_, calibrationValue_})
        connect(field, &QLineEdit::textEdited, this, &TuningWindow::predict_now);
    return box;
}

QWidget* TuningWindow::build_calibration() {
    auto* box = new QGroupBox(QStringLiteral("Calibrate on a measured note"), this);
    auto* row = new QHBoxLayout(box);
    measuredFingering_ = new QComboBox(box);
    measuredFingering_->setAccessibleName(QStringLiteral("Measured fingering"));
    measured_ = new NumberField("%.2f", QStringLiteral("Measured frequency (Hz)"), box);
    row->addWidget(new QLabel(QStringLiteral("Measured:"), box));
    row->addWidget(measuredFingering_);
    row->addWidget(measured_);
    row->addWidget(new QLabel(QStringLiteral("Hz"), box));
    row->addWidget(add_button(QStringLiteral("Calibrate"), QStringLiteral("Calibrate"),
                              &TuningWindow::calibrate));
    return box;
}

QWidget* TuningWindow::build_fit_controls() {
    auto* box = new QGroupBox(QStringLiteral("Fit and drills"), this);
    auto* form = new QFormLayout(box);
    handReach_ = new NumberField("%.1f", QStringLiteral("Hand reach (mm)"), box);
    handReach_->show_value(tuning::kDefaultMaxSpread * kMmPerMetre);
    drillSet_ = new QComboBox(box);
    drillSet_->setAccessibleName(QStringLiteral("Drill set"));
    drillSet_->addItems(
        {QStringLiteral("Fractional inch, 1/64 in steps"), QStringLiteral("Metric, 0.1 mm steps"),
         QStringLiteral("Metric, 0.5 mm steps"), QStringLiteral("My own list (mm)")});
    customDrills_ = new QLineEdit(box);
    customDrills_->setAccessibleName(QStringLiteral("My own drills (mm, separated by commas)"));
    customDrills_->setPlaceholderText(QStringLiteral("5, 5.5, 6.35"));
    customDrills_->setEnabled(false);
    connect(drillSet_, &QComboBox::currentIndexChanged, this,
            [this](int index) { customDrills_->setEnabled(index == int(kStandardSets.size())); });
    smallestDrill_ = new QLineEdit(box);
    smallestDrill_->setAccessibleName(QStringLiteral("Smallest drill (mm)"));
    largestDrill_ = new QLineEdit(box);
    largestDrill_->setAccessibleName(QStringLiteral("Largest drill (mm)"));
    for (QLineEdit* limit : {smallestDrill_, largestDrill_})
        limit->setMaximumWidth(kNumberWidth);
    auto* range = new QHBoxLayout;
    range->addWidget(smallestDrill_);
    range->addWidget(new QLabel(QStringLiteral("to"), box));
    range->addWidget(largestDrill_);
    range->addStretch();
    fitNotes_ = new QLabel(box);
    fitNotes_->setAccessibleName(QStringLiteral("Fit notes"));
    fitNotes_->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_button(QStringLiteral("Fit to pitch"), QStringLiteral("Fit to pitch"),
                                  &TuningWindow::fit_to_pitch));
    buttons->addWidget(add_button(QStringLiteral("Choose drills"), QStringLiteral("Choose drills"),
                                  &TuningWindow::choose_drills));
    applyDrills_ = add_button(QStringLiteral("Apply drill sizes to the design"),
                              QStringLiteral("Apply drill sizes to the design"),
                              &TuningWindow::apply_drill_sizes);
    applyDrills_->setEnabled(false);
    auto* print =
        add_button(QStringLiteral("Print Drilling Template…"),
                   QStringLiteral("Print Drilling Template"), &TuningWindow::print_template);

    form->addRow(QStringLiteral("Hand reach (mm)"), handReach_);
    form->addRow(QStringLiteral("Drill set"), drillSet_);
    form->addRow(QStringLiteral("My own drills"), customDrills_);
    form->addRow(QStringLiteral("Drills from (mm)"), range);
    form->addRow(buttons);
    form->addRow(applyDrills_);
    form->addRow(print);
    form->addRow(fitNotes_);
    return box;
}

QWidget* TuningWindow::build_fingerings() {
    auto* box = new QGroupBox(QStringLiteral("Fingerings"), this);
    auto* layout = new QVBoxLayout(box);
    table_ = new QTableWidget(0, kColumnCount, box);
    table_->setAccessibleName(QStringLiteral("Fingerings"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Fingering"), QStringLiteral("Target\n(Hz)"),
                                       QStringLiteral("Predicted\n(Hz)"), QStringLiteral("Cents"),
                                       QStringLiteral("Second\nregister (Hz)"),
                                       QStringLiteral("Octave\nstretch (cents)")});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->verticalHeader()->setVisible(false);
    table_->setMinimumWidth(560);
    layout->addWidget(table_, 1);

    auto* adding = new QHBoxLayout;
    newFingering_ = new QLineEdit(box);
    newFingering_->setAccessibleName(
        QStringLiteral("New fingering (x closed, o open, top hole first)"));
    newFingering_->setPlaceholderText(QStringLiteral("xoxxxx"));
    adding->addWidget(new QLabel(QStringLiteral("Add a fingering:"), box));
    adding->addWidget(newFingering_);
    adding->addWidget(add_button(QStringLiteral("Add"), QStringLiteral("Add fingering"),
                                 &TuningWindow::add_fingering));
    layout->addLayout(adding);
    layout->addWidget(named_label(QStringLiteral("Cents from the target, per fingering"), box));
    layout->addWidget(chart_, 1);
    return box;
}

bool TuningWindow::load_design() {
    const tuning::DesignGeometry read = tuning::geometry_from_design(state_.workingCircuit);
    if (!read.geometry) {
        feedback_.message(kCaption, read.error, MessageButtons::OkWarning);
        return false;
    }
    const bool firstDesign = design_.holes.empty();
    const bool sameCalibration = !firstDesign && design_.mouth.kind == read.geometry->mouth.kind;
    if (design_.holes.size() != read.geometry->holes.size())
        extraFingerings_.clear();
    designRecord_ = state_.workingCircuit;
    designSlot_ = state_.bank.currentIndex;
    design_ = *read.geometry;
    asBuilt_ = design_;
    chosenDrills_.reset();
    fitNotes_->clear();
    setWindowTitle(
        QStringLiteral("%1: %2, slot %3")
            .arg(QString::fromLatin1(kCaption), to_qstring(state_.workingCircuit.DESC.view()))
            .arg(state_.bank.currentIndex + 1));
    if (firstDesign)
        temperature_->show_value(design_.air.temperature);
    if (!sameCalibration)
        show_calibration_value();
    editor_->show_geometry(design_);
    fill_measured_choices();
    predict_now();
    return true;
}

void TuningWindow::show_calibration_value() {
    const bool closed = design_.mouth.kind == tuning::MouthKind::Closed;
    const QString name = closed ? QStringLiteral("Added mouthpiece length (mm)")
                                : QStringLiteral("Window height (mm)");
    calibrationLabel_->setText(name);
    calibrationValue_->setAccessibleName(name);
    calibrationValue_->show_value((closed ? design_.mouth.addedLength : design_.windowHeight) *
                                  kMmPerMetre);
}

void TuningWindow::fill_measured_choices() {
    const QString kept = measuredFingering_->currentText();
    measuredFingering_->clear();
    for (const tuning::Fingering& fingering : tuning::default_fingerings(design_.holes.size()))
        measuredFingering_->addItem(to_qstring(tuning::fingering_text(fingering)));
    for (const std::string& fingering : extraFingerings_)
        measuredFingering_->addItem(to_qstring(fingering));
    measuredFingering_->setCurrentIndex(std::max(0, measuredFingering_->findText(kept)));
}

void TuningWindow::predict_now() {
    predictable_ = false;
    tuning::Geometry geometry = asBuilt_;
    if (const auto unread = editor_->read_into(geometry)) {
        clear_predictions(to_qstring(*unread) + QStringLiteral(": not a number"));
        return;
    }
    const auto temperature = temperature_->value();
    const auto calibration = calibrationValue_->value();
    if (!temperature || !calibration) {
        clear_predictions((temperature ? calibrationValue_ : temperature_)->accessibleName() +
                          QStringLiteral(": not a number"));
        return;
    }
    geometry.air.temperature = *temperature;
    if (geometry.mouth.kind == tuning::MouthKind::Closed)
        geometry.mouth.addedLength = *calibration / kMmPerMetre;
    else
        geometry.windowHeight = *calibration / kMmPerMetre;
    geometry.extraFingerings = extraFingerings_;
    if (const auto fault = tuning::validate(geometry)) {
        clear_predictions(to_qstring(tuning::describe(*fault)));
        return;
    }
    asBuilt_ = geometry;
    predictable_ = true;
    if (chosenDrills_ && !holds_drills(asBuilt_, *chosenDrills_))
        chosenDrills_.reset();
    applyDrills_->setEnabled(chosenDrills_.has_value());
    const std::vector<tuning::FingeringResult> results = tuning::predict(asBuilt_);
    show_predictions(results);
    status_->setText(tuning::all_found(results)
                         ? QString()
                         : QStringLiteral("Some resonances lie beyond 200 cents of their "
                                          "targets: not found."));
}

void TuningWindow::show_predictions(const std::vector<tuning::FingeringResult>& results) {
    table_->setRowCount(int(results.size()));
    std::vector<CentsBar> bars;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const tuning::FingeringResult& result = results[i];
        const int row = int(i);
        auto* fingering = cell(to_qstring(result.fingering));
        fingering->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        fingering->setFont(QFont(QStringLiteral("monospace")));
        table_->setItem(row, kFingering, fingering);
        table_->setItem(row, kTarget,
                        cell(result.target ? to_qstring(format("%.2f", *result.target))
                                           : QStringLiteral("none")));
        table_->setItem(row, kPredicted, cell(hertz_text(result.first)));
        auto* cents = cell(result.target ? cents_text(result.cents) : QStringLiteral("none"));
        if (result.cents)
            cents->setBackground(band_background(cents_band(*result.cents)));
        table_->setItem(row, kCents, cents);
        table_->setItem(row, kSecond, cell(hertz_text(result.second)));
        table_->setItem(row, kStretch, cell(cents_text(result.octaveStretch)));
        bars.push_back({to_qstring(result.fingering), result.cents});
    }
    chart_->show_bars(std::move(bars));
}

void TuningWindow::clear_predictions(const QString& reason) {
    for (int row = 0; row < table_->rowCount(); ++row) {
        for (int column = kTarget + 1; column < kColumnCount; ++column)
            table_->setItem(row, column, cell(QStringLiteral("-")));
    }
    chart_->show_bars({});
    applyDrills_->setEnabled(false);
    status_->setText(reason);
}

void TuningWindow::reset_to_design() {
    asBuilt_ = design_;
    editor_->show_geometry(design_);
    fitNotes_->clear();
    predict_now();
}

void TuningWindow::calibrate() {
    if (!fields_ready())
        return;
    std::string error;
    const auto fingering = tuning::parse_fingering(to_latin1(measuredFingering_->currentText()),
                                                   asBuilt_.holes.size(), error);
    const auto measured = measured_->value();
    if (!fingering || !measured || !(*measured > 0)) {
        feedback_.message(kCaption, fingering ? "Measured: enter the frequency in Hz" : error,
                          MessageButtons::OkWarning);
        return;
    }
    const tuning::Calibration fitted = tuning::calibrate(asBuilt_, *fingering, *measured);
    if (!fitted.geometry) {
        feedback_.message(kCaption, "Measured: " + fitted.error, MessageButtons::OkWarning);
        return;
    }
    calibrationValue_->show_value(fitted.value * kMmPerMetre);
    predict_now();
}

void TuningWindow::add_fingering() {
    std::string error;
    const std::string text = to_latin1(newFingering_->text().trimmed());
    if (!tuning::parse_fingering(text, design_.holes.size(), error)) {
        feedback_.message(kCaption, "New fingering: " + error, MessageButtons::OkWarning);
        return;
    }
    extraFingerings_.push_back(text);
    newFingering_->clear();
    fill_measured_choices();
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

void TuningWindow::take_fit(const tuning::PitchFit& fit) {
    if (!fit.geometry) {
        feedback_.message(kCaption,
                          fit.failure ? fit.failure->message : std::string("Nothing fits."),
                          MessageButtons::OkWarning);
        return;
    }
    asBuilt_ = *fit.geometry;
    asBuilt_.extraFingerings = extraFingerings_;
    editor_->show_geometry(asBuilt_);
    QStringList notes;
    for (const tuning::FitWarning& warning : fit.warnings)
        notes << to_qstring(warning.message);
    fitNotes_->setText(notes.join(QStringLiteral("\n")));
    predict_now();
}

void TuningWindow::fit_to_pitch() {
    const auto reach = hand_reach();
    if (!reach)
        return;
    if (!fields_ready())
        return;
    chosenDrills_.reset();
    take_fit(tuning::fit_to_pitch(asBuilt_, {*reach}));
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
    if (!drills)
        return;
    if (!fields_ready())
        return;
    if (drills->empty()) {
        feedback_.message(kCaption, "The drill set holds no drill in that range.",
                          MessageButtons::OkWarning);
        return;
    }
    tuning::PitchFit fit;
    {
        const WaitCursor waiting(feedback_);
        fit = tuning::choose_drills(asBuilt_, *drills, {*reach});
    }
    take_fit(fit);
    if (!fit.geometry || !predictable_)
        return;
    std::vector<tuning::Drill> chosen;
    QStringList drillNames;
    for (const tuning::FittedHole& hole : fit.holes) {
        chosen.push_back({hole.diameter, hole.drill});
        drillNames << QStringLiteral("hole %1: %2").arg(hole.number).arg(to_qstring(hole.drill));
    }
    chosenDrills_ = std::move(chosen);
    applyDrills_->setEnabled(true);
    const QString warnings = fitNotes_->text();
    fitNotes_->setText(QStringLiteral("Drills: ") + drillNames.join(QStringLiteral(", ")) +
                       (warnings.isEmpty() ? QString() : QStringLiteral("\n") + warnings));
}

// Hole k of the calculator is the k-th from the foot.
void TuningWindow::apply_drill_sizes() {
    if (!chosenDrills_ || asBuilt_.holes.size() != kDesignHoles)
        return;
    // Prev, Next and Load change the panel's design without a Calc: the
    // drills belong to the design this window shows, not to another.
    const CircuitRecord& working = state_.workingCircuit;
    if (state_.bank.currentIndex != designSlot_ || working.PM != designRecord_.PM ||
        working.DIST != designRecord_.DIST) {
        feedback_.message(kCaption,
                          "The panel shows another design now: Calc it to tune it, or go back "
                          "to the design of this window.",
                          MessageButtons::OkWarning);
        return;
    }
    std::vector<tuning::Hole> fromFoot = asBuilt_.holes;
    std::stable_sort(
        fromFoot.begin(), fromFoot.end(),
        [](const tuning::Hole& a, const tuning::Hole& b) { return a.fromFoot < b.fromFoot; });
    std::array<double, kDesignHoles> millimetres{};
    for (std::size_t hole = 0; hole < millimetres.size(); ++hole)
        millimetres[hole] = fromFoot[hole].diameter * kMmPerMetre;
    panel_.enter_hole_diameters(millimetres);
    status_->setText(
        QStringLiteral("The drill sizes are in the calculator's hole fields: Calc takes them."));
}

bool TuningWindow::fields_ready() {
    if (!predictable_)
        feedback_.message(kCaption, "Correct the fields first: " + to_latin1(status_->text()),
                          MessageButtons::OkWarning);
    return predictable_;
}

void TuningWindow::print_template() {
    if (!fields_ready())
        return;
    const QString date = QDate::currentDate().toString(Qt::ISODate);
    const CircuitPlan design = plan_from_circuit(designRecord_, to_latin1(date));
    if (!design.plan) {
        feedback_.message(kCaption, "No template: " + design.refusal + ".",
                          MessageButtons::OkWarning);
        return;
    }
    print_drilling_plan(this,
                        as_built_plan(*design.plan, asBuilt_,
                                      chosenDrills_.value_or(std::vector<tuning::Drill>{}),
                                      designRecord_.UNIT),
                        feedback_);
}

void open_tuning_window(QWidget* owner, DesignState& state, CalculatorPanel& panel,
                        Feedback& feedback) {
    auto* window = owner->findChild<TuningWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (window != nullptr && window->isVisible()) {
        window->raise();
        window->activateWindow();
        return;
    }
    if (window == nullptr) {
        window = new TuningWindow(state, panel, feedback, owner);
        QObject::connect(&panel, &CalculatorPanel::calc_finished, window, [window] {
            if (window->isVisible())
                window->load_design();
        });
    }
    if (window->load_design())
        window->show();
}

} // namespace sorrel::ui
