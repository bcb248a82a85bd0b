#pragma once
// Drives the Tuning window as a maker does: opened from the menu after a
// Calc of the start-up design (a D whistle, 1/2 in bore, holes in inches),
// fields typed into, buttons pressed, the fingerings table read back.

#include "model/text_format.h"
#include "tests/recording_feedback.h"
#include "ui/calculator_panel.h"
#include "ui/main_menu.h"
#include "ui/main_window.h"
#include "ui/sorrel_template.h"
#include "ui/tuning_window.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <cmath>
#include <memory>

namespace sorrel::ui {

inline constexpr double kMmPerInch = 25.4;
inline constexpr int kRows = 7; // all holes closed, then opened one by one from the foot

inline double cents(double frequency, double reference) {
    return 1200 * std::log2(frequency / reference);
}

inline QString two_decimals(double value) {
    return QString::fromStdString(format("%.2f", value));
}

class TuningWindowDriver {
protected:
    std::unique_ptr<RecordingFeedback> feedback_;
    std::unique_ptr<MainWindow> main_;
    TuningWindow* window_ = nullptr;

    void start() {
        feedback_ = std::make_unique<RecordingFeedback>();
        main_ = std::make_unique<MainWindow>(feedback_.get());
        main_->panel().set_checked(panel_id::kAutoRecalc, false);
        window_ = nullptr;
    }
    void stop() {
        main_.reset();
        feedback_.reset();
    }

    const CircuitRecord& design() { return main_->state().workingCircuit; }

    template <class Control> Control* named(const QString& name) {
        for (Control* control : window_->findChildren<Control*>()) {
            if (control->accessibleName() == name)
                return control;
        }
        qFatal("no control named %s", qPrintable(name));
    }
    QString cell(int row, int column) {
        return named<QTableWidget>(QStringLiteral("Fingerings"))->item(row, column)->text();
    }
    double number(int row, int column = TuningWindow::kPredicted) {
        return cell(row, column).toDouble();
    }
    void type(const QString& field, const QString& text) {
        auto* edit = named<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // Types `hertz` into a row's Measured cell, as the table's editor commits it.
    void measure(int row, const QString& hertz) {
        named<QTableWidget>(QStringLiteral("Fingerings"))
            ->item(row, TuningWindow::kMeasured)
            ->setText(hertz);
    }
    void press(const QString& button) { named<QPushButton>(button)->click(); }
    QString hole_field(int hole, const char* what) {
        return named<QLineEdit>(QStringLiteral("Hole %1 %2").arg(hole).arg(QLatin1String(what)))
            ->text();
    }
    QString position(int hole) { return hole_field(hole, "from foot (mm)"); }
    QString diameter(int hole) { return hole_field(hole, "diameter (mm)"); }

    void calc_and_open() {
        main_->panel().send_command(CalculatorPanel::kCalcCommand);
        main_->run_command(command::kTuning);
        window_ = main_->findChild<TuningWindow*>();
        QVERIFY(window_ != nullptr && window_->isVisible());
    }
};

} // namespace sorrel::ui
