// The Tuning window driven as a maker drives it: what it predicts, keeps,
// refuses and prints.

#include "tests/print_to_file.h"
#include "tests/tuning_window_driver.h"
#include "ui/cents_band.h"
#include "ui/cents_chart.h"

#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>

#include <tuple>

namespace sorrel::ui {

using namespace Qt::StringLiterals;
using namespace std::string_literals;

class TuningWindowTest : public QObject, TuningWindowDriver {
    Q_OBJECT

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    // The holes' positions, diameters and inch texts are checked where an
    // edit, a Calc or Apply changes them.
    void opensWithTheDesignsLengthAndSevenPredictedNotes() {
        calc_and_open();
        QCOMPARE(named<QLineEdit>(u"Length from the top to the foot (mm)"_s)->text(), u"282.50"_s);
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

    // A note's top of range a little flat of its prediction raises the window
    // height until the prediction is what was measured; one an octave off is refused.
    void calibratingOnAMeasuredNote() {
        // Bottom note 10 cents flat, top note 6 cents flat, a note an octave off.
        for (const auto& [row, heard] :
             {std::pair{0, -10.0}, std::pair{6, -6.0}, std::pair{0, -1200.0}}) {
            init();
            calc_and_open();
            auto* height = named<QLineEdit>(u"Window height (mm)"_s);
            QCOMPARE(height->text(), u"2.500"_s);
            const QString typed = two_decimals(number(row) * std::exp2(heard / 1200));
            named<QComboBox>(u"Measured pitches are"_s)->setCurrentIndex(1);
            measure(row, typed);
            press(u"Calibrate"_s);
            const bool refused = std::abs(heard) >= 1200;
            QCOMPARE(feedback_->messages.size(), std::size_t{refused});
            QVERIFY(!refused || feedback_->messages[0].buttons == MessageButtons::OkWarning);
            QCOMPARE(height->text().toDouble() > 2.5, !refused);
            if (!refused)
                QCOMPARE(cell(row, TuningWindow::kPredicted), typed);
        }
    }

    // Two notes read on a tuner from a whistle whose window is 3.5 mm high:
    // the calibration finds that height, shows the residuals near zero, and
    // the predictions move to what was read.
    void calibratingOnEveryMeasuredRowShowsTheResiduals() {
        calc_and_open();
        type(u"Window height (mm)"_s, u"3.500"_s);
        const QString heard[] = {cell(0, TuningWindow::kPlayed), cell(4, TuningWindow::kPlayed)};
        type(u"Window height (mm)"_s, u"2.500"_s);
        QVERIFY(number(0, TuningWindow::kPlayed) > heard[0].toDouble() + 1);
        QVERIFY(number(0, TuningWindow::kPlayed) < number(0)); // below the top of the range
        measure(0, heard[0]);
        measure(4, heard[1]);
        QCOMPARE(cell(0, TuningWindow::kResidual), QString());
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_));
        named<QTableWidget>(u"Fingerings"_s)->setFocus();
        QTest::keyClick(named<QTableWidget>(u"Fingerings"_s), Qt::Key_Return);
        QCOMPARE(feedback_->messages.size(), std::size_t{0});
        QVERIFY(std::abs(named<QLineEdit>(u"Window height (mm)"_s)->text().toDouble() - 3.5) <
                0.01);
        for (const int row : {0, 4}) {
            QVERIFY2(std::abs(number(row, TuningWindow::kResidual)) < 0.1,
                     qPrintable(cell(row, TuningWindow::kResidual)));
            QCOMPARE(cell(row, TuningWindow::kMeasured), heard[row / 4]);
            QVERIFY(std::abs(number(row, TuningWindow::kPlayed) - heard[row / 4].toDouble()) <
                    0.02);
        }
        QCOMPARE(cell(1, TuningWindow::kResidual), QString());
        QCOMPARE(named<QLabel>(u"Calibration"_s)->text(),
                 u"Calibrated for slot 1 on 2 measured notes"_s);
    }

    // Hole 5 alone open sounds above the bottom note and below the note with
    // holes 1..5 open; fingerings that are not six of x and o, or listed
    // already, are refused; a row may have a target, and may be removed.
    void customFingeringsAddRowsAndBadOnesAreRefused() {
        calc_and_open();
        const std::tuple<QString, QString> rows[] = {
            {u"xxoq"_s, QString()},   {u"xxxxx"_s, QString()},   {u"xxxxxxx"_s, QString()},
            {u"xoxxxx"_s, QString()}, {u"xoxxxx"_s, QString()},  {u"xxxooo"_s, QString()},
            {u"oxxxxx"_s, u"6,5"_s},  {u"oxxxxx"_s, u"622.25"_s}};
        for (const auto& [fingering, target] : rows) {
            type(u"New fingering (x closed, o open, top hole first)"_s, fingering);
            type(u"New fingering's target (Hz)"_s, target);
            press(u"Add fingering"_s);
        }
        QCOMPARE(feedback_->messages.size(), std::size_t{6});
        QCOMPARE(named<QTableWidget>(u"Fingerings"_s)->rowCount(), kRows + 2);
        QCOMPARE(cell(kRows, TuningWindow::kFingering), u"xoxxxx"_s);
        QCOMPARE(cell(kRows, TuningWindow::kTarget), u"none"_s);
        QVERIFY(number(kRows) > number(0) && number(kRows) < number(5));
        QCOMPARE(cell(kRows + 1, TuningWindow::kTarget), u"622.25"_s);
        named<QTableWidget>(u"Fingerings"_s)->selectRow(kRows);
        press(u"Remove fingering"_s);
        QCOMPARE(named<QTableWidget>(u"Fingerings"_s)->rowCount(), kRows + 1);
        QCOMPARE(cell(kRows, TuningWindow::kFingering), u"oxxxxx"_s);
    }

    // A field whose whole text is not a number, or a value the model cannot
    // use, stops the prediction and is named as the window labels it.
    void aFieldTheModelCannotUseStopsThePrediction() {
        const std::tuple<QString, QString, QString> rows[] = {
            {u"Air temperature (°C)"_s, u"warm"_s, u"Air temperature: not a number"_s},
            {u"Hole 3 diameter (mm)"_s, u"7,5"_s, u"Hole 3, diameter: not a number"_s},
            {u"Length from the top to the foot (mm)"_s, u"282,5"_s,
             u"Length, top to foot: not a number"_s},
            {u"Window height (mm)"_s, u"2mm"_s, u"Window height: not a number"_s},
            {u"Hole 3 from foot (mm)"_s, u"110.00"_s, u"Holes 3 and 4, from foot"_s},
            {u"Hole 6 from foot (mm)"_s, u"300.00"_s,
             u"Hole 6, from foot: the hole lies beyond the tube"_s}};
        for (const auto& [field, typed, said] : rows) {
            init();
            calc_and_open();
            type(field, typed);
            QVERIFY2(named<QLabel>(u"Status"_s)->text().startsWith(said),
                     qPrintable(named<QLabel>(u"Status"_s)->text()));
            for (int row = 0; row < kRows; ++row)
                QCOMPARE(cell(row, TuningWindow::kPredicted), u"-"_s);
            QVERIFY(window_->findChild<CentsChart*>()->bars().empty());
            press(u"Print Drilling Template"_s); // refused, not printed
            QCOMPARE(feedback_->messages.size(), std::size_t{1});
        }
        // A measured frequency is read whole too, and without one there is
        // nothing to calibrate on.
        init();
        calc_and_open();
        measure(1, u"290,5"_s);
        QCOMPARE(feedback_->messages.at(0).text,
                 "Fingering xxxxxo, Measured: enter the frequency in Hz above 0, or leave it "
                 "empty"s);
        QCOMPARE(cell(1, TuningWindow::kMeasured), QString());
        press(u"Calibrate"_s);
        QCOMPARE(feedback_->messages.at(1).text,
                 "Measured: enter the frequency of at least one fingering in Hz"s);
        QCOMPARE(named<QLineEdit>(u"Window height (mm)"_s)->text(), u"2.500"_s);
    }

    // A Calc under edited as-built values keeps them and asks; an unedited
    // window follows the Calc.
    void aCalcKeepsTheMakersAsBuiltValuesUntilTheyChoose() {
        for (const QString& choice : {u"Keep as built"_s, u"Take the new design"_s, QString()}) {
            init();
            calc_and_open();
            if (!choice.isEmpty())
                type(u"Hole 3 from foot (mm)"_s, u"90.00"_s);
            const QString typedDiameter = diameter(3);
            main_->panel().nudge_hole_diameter(3, SizeStep::Up);
            main_->panel().send_command(CalculatorPanel::kCalcCommand);
            auto* notice = named<QLabel>(u"Design changed"_s);
            QCOMPARE(notice->isVisible(), !choice.isEmpty());
            const QString calculated = two_decimals(design().PM[3]);
            QCOMPARE(position(3), choice.isEmpty() ? calculated : u"90.00"_s);
            if (choice.isEmpty())
                continue;
            QVERIFY(notice->text().contains(u"slot 1"_s));
            press(choice);
            QVERIFY(!notice->isVisible());
            const bool kept = choice == u"Keep as built"_s;
            QCOMPARE(position(3), kept ? u"90.00"_s : calculated);
            QCOMPARE(diameter(3), kept ? typedDiameter : two_decimals(design().DI[3] * kMmPerInch));
        }
    }

    // Tuning opens only on a finished Calc (following the next Calc is
    // checked with the as-built choice).
    void opensOnlyOnAFinishedCalc() {
        main_->run_command(command::kTuning);
        auto* refused = main_->findChild<TuningWindow*>();
        QVERIFY(feedback_->messages.size() == 1 && (refused == nullptr || !refused->isVisible()));
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

    // Apply and Calc give the slot the fit's drills at the calculator's
    // positions: File > Print Drilling Template asks which positions to print,
    // and each template says where its positions come from.
    void theTemplateOfAnAppliedFitSaysWhereItsPositionsComeFrom() {
        for (const auto& [answer, positions] :
             {std::pair{MessageAnswer::Yes, u"Positions: fitted to pitch"_s},
              std::pair{MessageAnswer::No, u"Positions: the calculator's design"_s}}) {
            init();
            calc_and_open();
            press(u"Choose drills"_s);
            const QString fitted = position(3);
            press(u"Apply drill sizes to the design"_s);
            main_->panel().send_command(CalculatorPanel::kCalcCommand);
            const QString calculated = two_decimals(design().PM[3]);
            QVERIFY(calculated != fitted);
            feedback_->answer = answer;
            QTemporaryDir folder;
            const QString pdf = folder.filePath(u"template.pdf"_s);
            answer_print_dialog(pdf, true);
            main_->run_command(command::kPrintDrillingTemplate);
            QCOMPARE(feedback_->messages.size(), std::size_t{1});
            QCOMPARE(feedback_->messages[0].buttons, MessageButtons::YesNo);
            const QString printed = run_tool(u"pdftotext"_s, {u"-raw"_s, pdf, u"-"_s});
            QVERIFY2(printed.contains(positions), qPrintable(printed));
            const QString hole3 = answer == MessageAnswer::Yes ? fitted : calculated;
            QVERIFY2(printed.contains(hole3 + u" mm from the foot"_s), qPrintable(printed));
        }
    }

    // Each hole's cutoff ratio over its note, c (d/D) / (2 pi sqrt(h s)) / f,
    // and the spread of the largest over the smallest.
    void showsTheCutoffRatiosAndWhenDrillsCannotEvenThem() {
        calc_and_open();
        const QString shown = named<QLabel>(u"Cutoff ratios"_s)->text();
        QVERIFY2(shown.section(u'\n', 0, 0).split(u' ').size() == 6 + 6, qPrintable(shown));
        // 3 mm holes spread their ratios wider than the design's sizes; 8 mm
        // ones narrow them.
        named<QComboBox>(u"Drill set"_s)->setCurrentIndex(3);
        for (const auto& [list, cannot] : {std::pair{u"3"_s, true}, std::pair{u"8"_s, false}}) {
            press(u"Reset to design"_s);
            type(u"My own drills (mm, separated by commas)"_s, list);
            press(u"Choose drills"_s);
            const QString notes = named<QLabel>(u"Fit notes"_s)->text();
            QVERIFY2(notes.contains(u"cannot make the holes more even"_s) == cannot,
                     qPrintable(notes));
        }
    }

    // The title names the slot without an empty description; the window says
    // what its calibration was made on.
    void theTitleAndTheCalibrationNameTheirSlot() {
        main_->panel().set_item_text(panel_id::kDescription, "");
        calc_and_open();
        QCOMPARE(window_->windowTitle(), u"Sorrel - Tuning: slot 1"_s);
        measure(0, two_decimals(number(0, TuningWindow::kPlayed) - 1));
        press(u"Calibrate"_s);
        QVERIFY2(named<QLabel>(u"Calibration"_s)
                     ->text()
                     .startsWith(u"Calibrated for slot 1 on xxxxxx at "_s),
                 qPrintable(named<QLabel>(u"Calibration"_s)->text()));
    }

    // A closed mouthpiece overblows to the twelfth.
    void aClosedMouthpieceStretchesTheTwelfth() {
        main_->panel().set_item_text(panel_id::kDivisor, "4");
        calc_and_open();
        auto* table = named<QTableWidget>(u"Fingerings"_s);
        QCOMPARE(table->horizontalHeaderItem(TuningWindow::kSecond)->text(), u"Twelfth\n(Hz)"_s);
        QCOMPARE(table->horizontalHeaderItem(TuningWindow::kStretch)->text(),
                 u"Twelfth\nstretch (cents)"_s);
        QCOMPARE(named<QLineEdit>(u"Added mouthpiece length (mm)"_s)->text(), u"0.000"_s);
    }

    // The low D whistle of the README: its inch texts are the widest, and a
    // narrow window must not cut their ends.
    void theInchTextsOfALongTubeKeepTheirEnds() {
        calc_and_open();
        type(u"Length from the top to the foot (mm)"_s, u"569.39"_s);
        type(u"Hole 6 from foot (mm)"_s, u"293.73"_s);
        window_->resize(300, 300);
        for (int pass = 0; pass < 3; ++pass) // each nested layout in turn
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (const auto& [name, text] :
             {std::pair{u"Length in inches"_s, u"22.417 in, 22 27/64 in (+0.13 mm)"_s},
              std::pair{u"Hole 6 from foot in inches"_s, u"11.564 in, 11 9/16 in (-0.04 mm)"_s}}) {
            auto* label = named<QLabel>(name);
            QCOMPARE(label->text(), text);
            QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(text),
                     qPrintable(QString::number(label->width())));
        }
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
