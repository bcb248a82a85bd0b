// The Tuning window driven as a maker drives it: opened from the menu after a
// Calc of the start-up design (a D whistle, 1/2 in bore, holes in inches),
// fields typed into, buttons pressed, the fingerings table read back.

#include "model/text_format.h"
#include "tests/print_to_file.h"
#include "tests/recording_feedback.h"
#include "ui/calculator_panel.h"
#include "ui/cents_band.h"
#include "ui/cents_chart.h"
#include "ui/main_menu.h"
#include "ui/main_window.h"
#include "ui/sorrel_template.h"
#include "ui/tuning_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace sorrel::ui {

using namespace Qt::StringLiterals;

namespace {

constexpr double kMmPerInch = 25.4;
constexpr int kRows = 7; // all holes closed, then opened one by one from the foot
constexpr int kPredicted = TuningWindow::kPredicted;

double cents(double frequency, double reference) {
    return 1200 * std::log2(frequency / reference);
}

QString two_decimals(double value) {
    return QString::fromStdString(format("%.2f", value));
}

} // namespace

class TuningWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingFeedback> feedback_;
    std::unique_ptr<MainWindow> main_;
    TuningWindow* window_ = nullptr;

    const CircuitRecord& design() { return main_->state().workingCircuit; }

    template <class Control> Control* named(const QString& name) {
        for (Control* control : window_->findChildren<Control*>()) {
            if (control->accessibleName() == name)
                return control;
        }
        qFatal("no control named %s", qPrintable(name));
    }
    QString cell(int row, int column) {
        return named<QTableWidget>(u"Fingerings"_s)->item(row, column)->text();
    }
    double number(int row, int column = kPredicted) { return cell(row, column).toDouble(); }
    void type(const QString& field, const QString& text) {
        auto* edit = named<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void press(const QString& button) { named<QPushButton>(button)->click(); }
    QString hole_field(int hole, const char* what) {
        return named<QLineEdit>(u"Hole %1 %2"_s.arg(hole).arg(QLatin1String(what)))->text();
    }
    QString position(int hole) { return hole_field(hole, "from foot (mm)"); }
    QString diameter(int hole) { return hole_field(hole, "diameter (mm)"); }

    void calc_and_open() {
        main_->panel().send_command(CalculatorPanel::kCalcCommand);
        main_->run_command(command::kTuning);
        window_ = main_->findChild<TuningWindow*>();
        QVERIFY(window_ != nullptr && window_->isVisible());
    }

private slots:
    void init() {
        feedback_ = std::make_unique<RecordingFeedback>();
        main_ = std::make_unique<MainWindow>(feedback_.get());
        main_->panel().set_checked(panel_id::kAutoRecalc, false);
        window_ = nullptr;
    }
    void cleanup() {
        main_.reset();
        feedback_.reset();
    }

    void opensWithTheDesignsGeometryAndSevenPredictedNotes() {
        calc_and_open();
        QCOMPARE(named<QLineEdit>(u"Length from the top to the foot (mm)"_s)->text(), u"282.50"_s);
        for (int hole = 1; hole <= 6; ++hole) {
            const double mm = design().PM[std::size_t(hole)];
            const QString inches =
                named<QLabel>(u"Hole %1 from foot in inches"_s.arg(hole))->text();
            QVERIFY2(inches.startsWith(QString::asprintf("%.3f in, ", mm / kMmPerInch)),
                     qPrintable(inches));
            QCOMPARE(diameter(hole), two_decimals(design().DI[std::size_t(hole)] * kMmPerInch));
        }
        const char* fingerings[kRows] = {"xxxxxx", "xxxxxo", "xxxxoo", "xxxooo",
                                         "xxoooo", "xooooo", "oooooo"};
        const int semitones[kRows] = {0, 2, 4, 5, 7, 9, 11}; // a major scale on D
        QCOMPARE(named<QTableWidget>(u"Fingerings"_s)->rowCount(), kRows);
        for (int row = 0; row < kRows; ++row) {
            QCOMPARE(cell(row, TuningWindow::kFingering), QLatin1String(fingerings[row]));
            const double target = number(row, TuningWindow::kTarget);
            QVERIFY(std::abs(target - 587.33 * std::exp2(semitones[row] / 12.0)) < 0.01);
            QVERIFY(std::abs(number(row, TuningWindow::kCents) - cents(number(row), target)) <
                    0.06);
        }
    }

    // Hole 3 a millimetre nearer the top sharpens the note it vents and
    // leaves the notes it does not vent alone; the template shows the hole
    // where the window has it, named by its drill; Reset brings the design back.
    void anEditedHoleIsPredictedPrintedAndReset() {
        calc_and_open();
        double before[kRows];
        for (int row = 0; row < kRows; ++row)
            before[row] = number(row);
        const QString moved = two_decimals(design().PM[3] + 1);
        type(u"Hole 3 from foot (mm)"_s, moved);
        for (int row = 0; row < 3; ++row)
            QVERIFY(std::abs(cents(number(row), before[row])) < 1);
        const double sharper = cents(number(3), before[3]);
        QVERIFY2(sharper > 2 && sharper < 20, qPrintable(QString::number(sharper)));

        QTemporaryDir folder;
        const QString pdf = folder.filePath(u"as-built.pdf"_s);
        answer_print_dialog(pdf, true);
        press(u"Print Drilling Template"_s);
        const QString printed = run_tool(u"pdftotext"_s, {u"-raw"_s, pdf, u"-"_s});
        QVERIFY2(printed.contains(moved + u" mm from the foot"_s), qPrintable(printed));
        QVERIFY(!printed.contains(two_decimals(design().PM[3]) + u" mm"_s));
        QVERIFY(printed.contains(u"Hole 3, drill 3/16 in"_s));

        press(u"Reset to design"_s);
        QCOMPARE(position(3), two_decimals(design().PM[3]));
        for (int row = 0; row < kRows; ++row)
            QCOMPARE(number(row), before[row]);
    }

    // A note heard a little flat of its prediction raises the window height
    // until the prediction is what was heard; one an octave off is refused.
    void calibratingOnAMeasuredNote() {
        // Bottom note 10 cents flat, top note 6 cents flat, a note an octave off.
        for (const auto& [row, heard] :
             {std::pair{0, -10.0}, std::pair{6, -6.0}, std::pair{3, 1200.0}}) {
            init();
            calc_and_open();
            auto* height = named<QLineEdit>(u"Window height (mm)"_s);
            QCOMPARE(height->text(), u"2.500"_s);
            const QString typed = two_decimals(number(row) * std::exp2(heard / 1200));
            named<QComboBox>(u"Measured fingering"_s)->setCurrentIndex(row);
            type(u"Measured frequency (Hz)"_s, typed);
            press(u"Calibrate"_s);
            const bool refused = heard >= 1200;
            QCOMPARE(feedback_->messages.size(), std::size_t{refused});
            QVERIFY(!refused || feedback_->messages[0].buttons == MessageButtons::OkWarning);
            QCOMPARE(height->text().toDouble() > 2.5, !refused);
            if (!refused)
                QCOMPARE(cell(row, kPredicted), typed);
        }
    }

    // Hole 5 alone open sounds above the bottom note and below the note with
    // holes 1..5 open; fingerings that are not six of x and o are refused.
    void customFingeringsAddRowsAndBadOnesAreRefused() {
        calc_and_open();
        for (const QString& fingering : {u"xxoq"_s, u"xxxxx"_s, u"xxxxxxx"_s, u"xoxxxx"_s}) {
            type(u"New fingering (x closed, o open, top hole first)"_s, fingering);
            press(u"Add fingering"_s);
        }
        QCOMPARE(feedback_->messages.size(), std::size_t{3});
        QCOMPARE(named<QTableWidget>(u"Fingerings"_s)->rowCount(), kRows + 1);
        QCOMPARE(cell(kRows, TuningWindow::kFingering), u"xoxxxx"_s);
        QCOMPARE(cell(kRows, TuningWindow::kTarget), u"none"_s);
        QVERIFY(number(kRows) > number(0) && number(kRows) < number(5));
        QCOMPARE(named<QComboBox>(u"Measured fingering"_s)->count(), kRows + 1);
    }

    void aFieldTheModelCannotUseStopsThePrediction() {
        calc_and_open();
        type(u"Air temperature (°C)"_s, u"warm"_s);
        QVERIFY(
            named<QLabel>(u"Status"_s)->text().contains(u"Air temperature (°C): not a number"_s));
        for (int row = 0; row < kRows; ++row)
            QCOMPARE(cell(row, kPredicted), u"-"_s);
        QVERIFY(window_->findChild<CentsChart*>()->bars().empty());
    }

    // Tuning opens only on a finished Calc, and follows each new one.
    void opensOnAFinishedCalcAndFollowsTheNext() {
        main_->run_command(command::kTuning);
        auto* refused = main_->findChild<TuningWindow*>();
        QVERIFY(feedback_->messages.size() == 1 && (refused == nullptr || !refused->isVisible()));
        calc_and_open();
        main_->panel().nudge_hole_diameter(1, SizeStep::Up);
        main_->panel().send_command(CalculatorPanel::kCalcCommand);
        QCOMPARE(diameter(1), two_decimals(design().DI[1] * kMmPerInch));
    }

    void fitToPitchPutsEveryNoteOnTarget() {
        calc_and_open();
        const QString before = position(3);
        press(u"Fit to pitch"_s);
        QVERIFY(feedback_->messages.empty() && position(3) != before);
        for (int row = 0; row < kRows; ++row)
            QVERIFY2(std::abs(number(row, TuningWindow::kCents)) <= 0.1, qPrintable(cell(row, 3)));
    }

    // Chosen drills replace the diameters, and Apply writes them into the
    // panel in the design's own unit, exactly, for the next Calc.
    void chosenDrillsGoToThePanelInTheDesignsUnit() {
        // Inches with 1/64 in drills (set 0), millimetres with 0.5 mm drills (set 2).
        for (const auto& [metric, drillSet, step] :
             {std::tuple{false, 0, 1.0 / 64}, std::tuple{true, 2, 0.5}}) {
            init();
            if (metric)
                main_->panel().switch_to_metric();
            calc_and_open();
            auto* apply = named<QPushButton>(u"Apply drill sizes to the design"_s);
            QVERIFY(!apply->isEnabled());
            named<QComboBox>(u"Drill set"_s)->setCurrentIndex(drillSet);
            press(u"Choose drills"_s);
            type(u"Hole 2 from foot (mm)"_s, position(2)); // still the drills
            QVERIFY(feedback_->messages.empty() && apply->isEnabled());
            apply->click();
            for (int hole = 1; hole <= 6; ++hole) {
                const double entry = design().DI[std::size_t(hole)];
                QVERIFY2(std::abs(entry / step - std::round(entry / step)) < 1e-5,
                         qPrintable(QString::number(entry)));
                QCOMPARE(diameter(hole), two_decimals(entry * (metric ? 1.0 : kMmPerInch)));
                QCOMPARE(QString::fromStdString(main_->panel().item_text(4015 - hole, 20)),
                         QString::asprintf("%5.3f", entry));
            }
            type(u"Hole 2 diameter (mm)"_s, u"7.00"_s); // no longer the drill chosen
            QVERIFY(!apply->isEnabled());
        }
    }

    // Next shows another slot without a Calc: its design keeps its diameters.
    void drillsAreNotAppliedToAnotherDesign() {
        calc_and_open();
        press(u"Choose drills"_s);
        main_->run_command(command::kNext);
        const NoteArray before = design().DI;
        press(u"Apply drill sizes to the design"_s);
        QCOMPARE(design().DI, before);
        QCOMPARE(feedback_->messages.size(), std::size_t{1});
    }

    void centsBandsIncludeTheirEdges() {
        for (const auto& [cents, band] :
             {std::pair{5.0, CentsBand::Close}, std::pair{-5.0, CentsBand::Close},
              std::pair{5.01, CentsBand::Near}, std::pair{-15.0, CentsBand::Near},
              std::pair{15.0, CentsBand::Near}, std::pair{-15.01, CentsBand::Beyond},
              std::pair{15.01, CentsBand::Beyond}})
            QVERIFY2(cents_band(cents) == band, qPrintable(QString::number(cents)));
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::TuningWindowTest)
#include "tuning_window_test.moc"
