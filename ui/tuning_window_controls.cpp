// The Tuning window's controls, group by group, in the order Tab visits them.

#include "tuning/drill_choice.h"
#include "tuning/pitch_fit.h"
#include "ui/as_built_editor.h"
#include "ui/cents_chart.h"
#include "ui/list_accessible.h"
#include "ui/number_field.h"
#include "ui/spoken_label.h"
#include "ui/tuning_window.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sorrel::ui {
namespace {

constexpr double kMmPerMetre = 1000;
constexpr int kNumberWidth = 90; // pixels of a field that holds one number

// The window is announced as a window, not as a filler inside one.
QAccessibleInterface* window_interface(const QString&, QObject* object) {
    auto* window = qobject_cast<TuningWindow*>(object);
    return window != nullptr ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

// A label with a mnemonic that moves the focus to `buddy`.
QLabel* buddy_label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TuningWindow::TuningWindow(DesignState& state, CalculatorPanel& panel, Feedback& feedback,
                           QWidget* owner)
    : QWidget(owner, Qt::Window), state_(state), panel_(panel), feedback_(feedback),
      scroller_(new QScrollArea(this)), editor_(new AsBuiltEditor(this)),
      chart_(new CentsChart(this)), status_(new SpokenLabel(QStringLiteral("Status"), this)) {
    setObjectName(QStringLiteral("TuningWindow"));
    setAccessibleName(QStringLiteral("Tuning"));
    static const bool spoken = [] {
        QAccessible::installFactory(window_interface);
        return true;
    }();
    (void)spoken;
    install_list_accessibility();
    status_->setWordWrap(true);

    auto* asBuilt = new QGroupBox(QStringLiteral("As built"), this);
    auto* asBuiltLayout = new QVBoxLayout(asBuilt);
    asBuiltLayout->addWidget(editor_);
    asBuiltLayout->addWidget(add_button(QStringLiteral("&Reset to design"),
                                        QStringLiteral("Reset to design"),
                                        &TuningWindow::reset_to_design),
                             0, Qt::AlignLeft);
    connect(editor_, &AsBuiltEditor::edited, this, &TuningWindow::predict_now);

    auto* content = new QWidget(scroller_);
    auto* left = new QVBoxLayout;
    left->addWidget(asBuilt);
    left->addWidget(build_conditions());
    left->addWidget(build_calibration());
    left->addWidget(build_fit_controls());
    left->addStretch();
    auto* columns = new QHBoxLayout(content);
    columns->addLayout(left);
    columns->addWidget(build_fingerings(), 1);
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setWidgetResizable(true);
    scroller_->setWidget(content);

    auto* whole = new QVBoxLayout(this);
    whole->addWidget(build_design_notice());
    whole->addWidget(scroller_, 1);
    whole->addWidget(build_bottom_row());
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
}

QPushButton* TuningWindow::add_button(const QString& text, const QString& name,
                                      void (TuningWindow::*slot)()) {
    auto* button = new QPushButton(text, this);
    button->setAccessibleName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

// Shown while a new Calc waits for the maker: their as-built values stay
// until they choose.
QWidget* TuningWindow::build_design_notice() {
    designNotice_ = new QWidget(this);
    noticeText_ = new SpokenLabel(QStringLiteral("Design changed"), designNotice_);
    noticeText_->setWordWrap(true);
    auto* row = new QHBoxLayout(designNotice_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(noticeText_, 1);
    row->addWidget(add_button(QStringLiteral("Ta&ke the new design"),
                              QStringLiteral("Take the new design"),
                              &TuningWindow::take_new_design));
    row->addWidget(add_button(QStringLiteral("Keep as &built"), QStringLiteral("Keep as built"),
                              &TuningWindow::keep_as_built));
    designNotice_->hide();
    return designNotice_;
}

QWidget* TuningWindow::build_conditions() {
    auto* box = new QGroupBox(QStringLiteral("Playing conditions"), this);
    auto* form = new QFormLayout(box);
    temperature_ = new NumberField("%.1f", QStringLiteral("Air temperature (°C)"), box);
    calibrationValue_ = new NumberField("%.3f", QStringLiteral("Window height (mm)"), box);
    calibrationLabel_ = buddy_label(QString(), calibrationValue_, box);
    calibrationSource_ = new SpokenLabel(QStringLiteral("Calibration"), box);
    calibrationSource_->setWordWrap(true);
    form->addRow(buddy_label(QStringLiteral("Air &temperature (°C)"), temperature_, box),
                 temperature_);
    form->addRow(calibrationLabel_, calibrationValue_);
    form->addRow(calibrationSource_);
    for (NumberField* field : {temperature_, calibrationValue_})
        connect(field, &QLineEdit::textEdited, this, &TuningWindow::predict_now);
    return box;
}

// The measured frequencies are typed in the fingerings table, one per row.
QWidget* TuningWindow::build_calibration() {
    auto* box = new QGroupBox(QStringLiteral("Calibrate on the measured notes"), this);
    auto* row = new QHBoxLayout(box);
    measuredAs_ = new QComboBox(box);
    measuredAs_->setAccessibleName(QStringLiteral("Measured pitches are"));
    measuredAs_->addItems({QStringLiteral("as played (a tuner's reading)"),
                           QStringLiteral("the top of the note's range")});
    row->addWidget(buddy_label(QStringLiteral("&Measured:"), measuredAs_, box));
    row->addWidget(measuredAs_);
    row->addWidget(add_button(QStringLiteral("&Calibrate"), QStringLiteral("Calibrate"),
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
            [this](int index) { customDrills_->setEnabled(index == drillSet_->count() - 1); });
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
    cutoffs_ = new SpokenLabel(QStringLiteral("Cutoff ratios"), box);
    fitNotes_ = new SpokenLabel(QStringLiteral("Fit notes"), box);
    fitNotes_->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_button(QStringLiteral("&Fit to pitch"), QStringLiteral("Fit to pitch"),
                                  &TuningWindow::fit_to_pitch));
    buttons->addWidget(add_button(QStringLiteral("Choose &drills"), QStringLiteral("Choose drills"),
                                  &TuningWindow::choose_drills));
    applyDrills_ = add_button(QStringLiteral("&Apply drill sizes to the design"),
                              QStringLiteral("Apply drill sizes to the design"),
                              &TuningWindow::apply_drill_sizes);
    applyDrills_->setEnabled(false);
    auto* print =
        add_button(QStringLiteral("&Print Drilling Template…"),
                   QStringLiteral("Print Drilling Template"), &TuningWindow::print_template);

    form->addRow(buddy_label(QStringLiteral("&Hand reach (mm)"), handReach_, box), handReach_);
    form->addRow(buddy_label(QStringLiteral("Drill s&et"), drillSet_, box), drillSet_);
    form->addRow(buddy_label(QStringLiteral("My o&wn drills"), customDrills_, box), customDrills_);
    form->addRow(buddy_label(QStringLiteral("Drills fr&om (mm)"), smallestDrill_, box), range);
    form->addRow(buttons);
    form->addRow(applyDrills_);
    form->addRow(print);
    form->addRow(cutoffs_);
    form->addRow(fitNotes_);
    return box;
}

QWidget* TuningWindow::build_fingerings() {
    auto* box = new QGroupBox(QStringLiteral("Fingerings"), this);
    auto* layout = new QVBoxLayout(box);
    table_ = new QTableWidget(0, kColumnCount, box);
    table_->setAccessibleName(QStringLiteral("Fingerings"));
    table_->setTabKeyNavigation(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->verticalHeader()->setVisible(false);
    table_->setMinimumWidth(560);
    connect(table_, &QTableWidget::itemChanged, this, &TuningWindow::take_measured);
    // Enter on the table, once a Measured cell is typed in, calibrates.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), table_, nullptr, nullptr, Qt::WidgetShortcut),
                &QShortcut::activated, this, &TuningWindow::calibrate);
    layout->addWidget(table_, 1);

    auto* adding = new QHBoxLayout;
    newFingering_ = new QLineEdit(box);
    newFingering_->setAccessibleName(
        QStringLiteral("New fingering (x closed, o open, top hole first)"));
    newFingering_->setPlaceholderText(QStringLiteral("xoxxxx"));
    newTarget_ = new NumberField("%.2f", QStringLiteral("New fingering's target (Hz)"), box);
    newTarget_->setPlaceholderText(QStringLiteral("none"));
    for (QLineEdit* field : {newFingering_, static_cast<QLineEdit*>(newTarget_)})
        connect(field, &QLineEdit::returnPressed, this, &TuningWindow::add_fingering);
    adding->addWidget(buddy_label(QStringLiteral("Add a fi&ngering:"), newFingering_, box));
    adding->addWidget(newFingering_);
    adding->addWidget(buddy_label(QStringLiteral("Tar&get (Hz)"), newTarget_, box));
    adding->addWidget(newTarget_);
    adding->addWidget(add_button(QStringLiteral("Add"), QStringLiteral("Add fingering"),
                                 &TuningWindow::add_fingering));
    adding->addWidget(add_button(QStringLiteral("Remo&ve"), QStringLiteral("Remove fingering"),
                                 &TuningWindow::remove_fingering));
    layout->addLayout(adding);
    auto* chartName = new QLabel(QStringLiteral("Cents from the target, per fingering"), box);
    chartName->setAccessibleName(chartName->text());
    layout->addWidget(chartName);
    layout->addWidget(chart_, 1);
    return box;
}

QWidget* TuningWindow::build_bottom_row() {
    auto* bottom = new QWidget(this);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(status_, 1);
    auto* close = new QPushButton(QStringLiteral("C&lose"), bottom);
    close->setAccessibleName(QStringLiteral("Close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    row->addWidget(close);
    return bottom;
}

} // namespace sorrel::ui
