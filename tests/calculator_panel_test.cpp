#include "model/circuit_record.h"
#include "model/text_format.h"
#include "tests/recording_feedback.h"
#include "ui/calculator_panel.h"
#include "ui/cutoff_graph.h"
#include "ui/sorrel_template.h"

#include <QAccessible>
#include <QLineEdit>
#include <QtTest>

#include <memory>

namespace sorrel::ui {

using namespace panel_id;
using namespace Qt::StringLiterals;

// The panel over a fresh start-up state, driven by control number as a user
// drives it; message boxes and beeps are recorded, never shown.
class CalculatorPanelTest : public QObject {
    Q_OBJECT

    DesignState state_;
    RecordingFeedback feedback_;
    std::unique_ptr<QWidget> window_; // holds the panel, as the main window does
    CalculatorPanel* panel_ = nullptr;

    bool is_stored() const {
        return state_.bank.slot[static_cast<std::size_t>(state_.bank.currentIndex)] ==
               state_.workingCircuit;
    }

    QString text(int id) const { return QString::fromStdString(panel_->item_text(id, 256)); }

    // The trimmed texts of `count` fields from `firstId` on (holes 6..1,
    // top-down, for a hole column), joined by spaces.
    QString column(int firstId, int count = 6) const {
        QStringList shown;
        for (int id = firstId; id < firstId + count; ++id)
            shown << text(id).trimmed();
        return shown.join(u' ');
    }

    void type(int id, const QString& typed) {
        auto* edit = qobject_cast<QLineEdit*>(panel_->control(id));
        edit->selectAll();
        QTest::keyClicks(edit, typed);
    }

    void click(int id) {
        QWidget* control = panel_->control(id);
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, control->height() / 2));
    }

    // The plot area with a margin of 4 pixels across and 8 down.
    QImage plot_image() const {
        return panel_->grab(CutoffGraph::plot_area().adjusted(-4, -8, 4, 8)).toImage();
    }

private slots:
    void init() {
        state_ = startup_state();
        feedback_ = RecordingFeedback();
        window_ = std::make_unique<QWidget>();
        panel_ = new CalculatorPanel(state_, feedback_, window_.get());
        window_->resize(panel_->size());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() { window_.reset(); }

    // The start-up design's figures; its chart survives repaints, Cal Freq
    // and a unit switch.
    void calFreqThenCalcShowsTheStartUpDesignsFiguresAndChart() {
        click(kCalFreq);
        QCOMPARE(column(4001), u"1108.731 987.767 880.000 783.991 739.991 659.255"_s);
        QCOMPARE(column(4132, 7), u"C#6 B5 A5 G5 F#5 E5 D5"_s);
        click(kCalc);
        QCOMPARE(column(4106), u"149.42 127.59 106.38 84.36 65.77 43.59"_s);
        QCOMPARE(text(kBlockToEnd), u"282.50"_s);
        // Deviation, average cutoff, length over bore, window area.
        QCOMPARE(column(kDeviation, 4), u"77.69 2491.26 22.24 2.60"_s);
        QCOMPARE(text(kIterations), u"7"_s);
        QCOMPARE(text(kStatus), u"  "_s);
        QVERIFY(feedback_.beeps == 1 && feedback_.messages.empty());
        QVERIFY(is_stored() && panel_->graph().has_chart());

        const QImage drawn = plot_image();
        const QRect plot = CutoffGraph::plot_area();
        QSet<QRgb> colours; // inside the outline: the fill, the grid and the points
        for (int y = 10; y < 6 + plot.height(); ++y) {
            for (int x = 6; x < 2 + plot.width(); ++x)
                colours.insert(drawn.pixel(x, y));
        }
        QCOMPARE(colours, (QSet<QRgb>{qRgb(192, 192, 192), qRgb(255, 0, 0), qRgb(0, 0, 0)}));
        window_->hide();
        window_->show();
        click(kCalFreq); // neither draws nor erases the chart
        click(kMetric);
        panel_->repaint();
        QCOMPARE(plot_image(), drawn);
    }

    // Buttons 4100..4105 step holes 1..6 up, 4200..4205 down. A typed size
    // within display rounding of a drill counts as that drill; sizes go
    // round at the end of the list. Auto Recalc calculates once the nudge
    // has returned.
    void nudgeShowsAndStoresTheNextSize() {
        const struct {
            int units;
            const char* typed;
            int button;
            const char* shown;
        } rows[] = {
            {kEnglish, "0.203", 4105, "0.219"}, // 13/64 shown, up
            {kEnglish, "0.188", 4204, "0.172"}, // 3/16 shown, down
            {kEnglish, "nan", 4100, "0.047"},   {kMetric, "6.8", 4103, "7.000"},
            {kMetric, "0.5", 4202, "25.000"},
        };
        for (const auto& row : rows) {
            init();
            const int hole = row.button % 100 + 1;
            click(row.units);
            type(4015 - hole, QLatin1String(row.typed));
            click(row.button);
            QCOMPARE(text(4015 - hole), QLatin1String(row.shown));
            const float stored = state_.workingCircuit.DI[static_cast<std::size_t>(hole)];
            QCOMPARE(format("%5.3f", double(stored)), std::string(row.shown));
            QCoreApplication::processEvents();
            QVERIFY(text(kIterations).isEmpty()); // Auto Recalc is off
        }
        click(kAutoRecalc);
        click(4105);
        QVERIFY(text(kIterations).isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(text(kIterations), u"7"_s);
        QVERIFY(is_stored());
    }

    // What was typed is read first, then converted, both ways (0.7 in is
    // 17.78 mm, 0.1 in 2.54 mm, 0.25 in 6.35 mm; 25.4 mm is 1 in); the labels
    // follow the units and the geometric correction keeps three decimals.
    void unitSwitchConvertsWhatTheFieldsShow() {
        const struct {
            int id;
            const char* english;
            const char* metric;
        } fields[] = {
            {kBore, "1.000", "17.780"},
            {kWall, "0.200", "2.540"},
            {4009, "0.500", "6.350"},
            {kGeoCorrection, "0.650", "0.650"},
            {kHoleDiaHeader, "Hole Dia. (in)", "Hole Dia. (mm)"},
            {kBetweenCentersLabel, "Space between Centers (inch)", "Space between Centers (mm)"},
        };
        for (const auto& [units, typed] :
             {std::pair{kMetric, QStringList{u"0.7"_s, u"0.1"_s, u"0.25"_s}},
              std::pair{kEnglish, QStringList{u"25.4"_s, u"5.08"_s, u"12.7"_s}}}) {
            for (int i = 0; i < 3; ++i)
                type(fields[i].id, typed[i]);
            click(units);
            for (const auto& field : fields)
                QCOMPARE(text(field.id),
                         QLatin1String(units == kMetric ? field.metric : field.english));
        }
        QCOMPARE(state_.workingCircuit.UNIT, UNIT_ENGLISH);
    }

    // Refused inputs are named in the status line and a warning; the field
    // takes the focus with its text selected; nothing is shown or stored.
    void invalidInputIsRefused() {
        const struct {
            int field; // 0: the speed of sound, set up elsewhere
            const char* typed;
            const char* status;
        } rows[] = {
            {4009, "-5", "Hole Dia., hole 6: must be a number above 0"},
            {4037, "0", "Bore Diam., hole B: must be a number above 0"},
            {4001, "nan", "Frequency, hole 6: must be a number above 0"},
            {kWall, "-1", "Wall Thickness: must be a number of 0 or more"},
            {4004, "700", "Frequency, hole 3: must be above the frequency of the note below"},
            {0, "", "Speed of Sound (Setup): must be a number above 0"},
        };
        for (const auto& row : rows) {
            init();
            const CircuitBank bankBefore = state_.bank;
            if (row.field != 0)
                type(row.field, QLatin1String(row.typed));
            else
                state_.workingCircuit.SPSD = 0;
            click(kCalc);
            QCOMPARE(text(kStatus), QLatin1String(row.status));
            QCOMPARE(feedback_.messages.size(), std::size_t(1));
            QCOMPARE(feedback_.messages[0].text, std::string(row.status));
            QCOMPARE(feedback_.messages[0].buttons, MessageButtons::OkWarning);
            QWidget* focus = panel_->control(row.field != 0 ? row.field : kCalc);
            QCOMPARE(panel_->focusWidget(), focus);
            if (row.field != 0)
                QCOMPARE(qobject_cast<QLineEdit*>(focus)->selectedText(), QLatin1String(row.typed));
            QVERIFY(text(kIterations).isEmpty() && text(4056).isEmpty());
            QVERIFY(feedback_.beeps == 0 && state_.bank == bankBefore);
            QVERIFY(!panel_->graph().has_chart());
        }
    }

    // Enter in a field runs Calc, also after a click on a button took the focus.
    void enterInAnyFieldRunsCalc() {
        for (const auto& [clicked, field] :
             {std::pair{int(kCalc), int(kWall)}, std::pair{int(kCalFreq), int(kDescription)}}) {
            init();
            click(clicked);
            type(kBore, u"0.625"_s);
            panel_->control(field)->setFocus(); // the button loses the focus
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(state_.bank.slot[0].BORE, 0.625f);
        }
    }

    // Fields no command reads are read-only, said so, and left out of the Tab
    // chain: Tab goes from one hole size to the next past the two nudges and
    // the bore at the hole.
    void onlyInputsTakeTypingAndTab() {
        QSet<int> inputs = {kDescription, kMaterial, kGeoCorrection, kDivisor, kEmbWidth,
                            kEmbLength,   4126,      4037,           4046,     4047,
                            4048,         4049,      4068,           4093};
        for (int id = 4001; id <= 4020; ++id) // frequencies, bore, wall, holes, steps
            inputs.insert(id);
        for (QLineEdit* edit : panel_->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
            const bool input = inputs.contains(edit->objectName().toInt());
            const QString name = edit->objectName();
            QVERIFY2(QAccessible::queryAccessibleInterface(edit)->state().readOnly != input,
                     qPrintable(name));
            QVERIFY2(bool(edit->focusPolicy() & Qt::TabFocus) == input, qPrintable(name));
        }

        panel_->control(4009)->setFocus();
        for (int presses = 0; presses < 5; ++presses)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), panel_->control(4010));
    }

    // Figures far apart map outside the plot area: the curve stops at its edge.
    void chartLineStaysInsideThePlot() {
        CircuitRecord c = state_.workingCircuit;
        c.LC = {0, -19771, 900, 2500, 2600, 2700, 1e6f};
        CutoffGraph graph(nullptr);
        graph.draw(c);
        const QImage image = graph.grab().toImage();
        const QRect plot = CutoffGraph::plot_area().translated(-graph.pos()).adjusted(-1, -1, 1, 1);
        int outside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                outside += !plot.contains(x, y) && image.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
        }
        QCOMPARE(outside, 0);
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::CalculatorPanelTest)
#include "calculator_panel_test.moc"
