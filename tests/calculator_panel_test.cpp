#include "model/circuit_record.h"
#include "model/cutoff_graph_geometry.h"
#include "model/note_table.h"
#include "model/text_format.h"
#include "recording_feedback.h"
#include "ui/calculator_panel.h"
#include "ui/cutoff_graph.h"
#include "ui/sorrel_template.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include <initializer_list>
#include <memory>

namespace sorrel::ui {

using namespace panel_id;

namespace {

QStringList texts(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list << QString::fromLatin1(item);
    return list;
}

QString latin1(const char* text) {
    return QString::fromLatin1(text);
}

// Whether the working design is the one in its bank slot.
bool is_stored(const DesignState& state) {
    DesignState stored = state;
    store_working_circuit(stored);
    return stored.bank == state.bank;
}

// The grabbed image of the plot area: the plot starts kGrabMargin into it.
const QPoint kGrabMargin(4, 8);
QRect grabbed_area() {
    return CutoffGraph::plot_area().adjusted(-kGrabMargin.x(), -kGrabMargin.y(), kGrabMargin.x(),
                                             kGrabMargin.y());
}

} // namespace

// The panel over a fresh start-up state, driven by control number as a user
// drives it; message boxes and beeps are recorded, never shown.
class CalculatorPanelTest : public QObject {
    Q_OBJECT

    DesignState state_;
    RecordingFeedback feedback_;
    std::unique_ptr<CalculatorPanel> panel_;

    QString text(int id) const { return QString::fromStdString(panel_->item_text(id, 256)); }
    QString trimmed(int id) const { return text(id).trimmed(); }

    void type(int id, const QString& typed) {
        auto* edit = qobject_cast<QLineEdit*>(panel_->control(id));
        QVERIFY(edit != nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, typed);
    }

    void click(int id) {
        QWidget* control = panel_->control(id);
        QVERIFY(control != nullptr);
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, control->height() / 2));
    }

    // Holes 6..1, top-down, as the column shows them.
    QStringList column(int firstId, int count = 6) const {
        QStringList shown;
        for (int id = firstId; id < firstId + count; ++id)
            shown << trimmed(id);
        return shown;
    }

    QImage plot_image() const { return panel_->grab(grabbed_area()).toImage(); }

private slots:
    void init() {
        state_ = startup_state();
        feedback_ = RecordingFeedback();
        panel_ = std::make_unique<CalculatorPanel>(state_, feedback_, nullptr);
        panel_->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel_.get()));
    }

    void cleanup() { panel_.reset(); }

    void startUpShowsTheDefaultDesignAndNoResults() {
        QCOMPARE(column(4001),
                 (texts({"1108.732", "987.768", "880.001", "783.992", "739.990", "659.256"})));
        QCOMPARE(trimmed(4126), QStringLiteral("587.330"));
        QCOMPARE(column(4009), (texts({"0.188", "0.234", "0.234", "0.188", "0.344", "0.203"})));
        QCOMPARE(text(kBore), QStringLiteral("0.500"));
        QCOMPARE(text(kWall), QStringLiteral("0.031"));
        QCOMPARE(text(kEmbLength), QStringLiteral("0.250"));
        QCOMPARE(column(kFirstScaleStep), (texts({"2", "2", "1", "2", "2", "2"})));
        QCOMPARE(text(kDivisor), QStringLiteral("2"));
        QCOMPARE(text(kIndex), QStringLiteral("1"));
        QVERIFY(panel_->is_checked(kEnglish));
        QVERIFY(!panel_->is_checked(kMetric));
        QVERIFY(!panel_->is_checked(kAutoRecalc));
        for (int id : {kGeoCorrection, kStatus, 4106, kBlockToEnd, kIterations, 4132})
            QVERIFY2(text(id).isEmpty(), qPrintable(QString::number(id)));
        QCOMPARE(text(kBoreUnit), QStringLiteral("Inches"));
        QCOMPARE(text(kHoleDiaHeader), QStringLiteral("Hole Dia. (in)"));
        QVERIFY(!panel_->graph().has_chart());

        auto* list = qobject_cast<QComboBox*>(panel_->control(kFirstNoteList));
        QCOMPARE(list->count(), 62);
        QCOMPARE(list->itemText(61), QStringLiteral("9999.000 - X : Custom"));
        QCOMPARE(panel_->selected_list_position(kFirstNoteList), kDefaultNoteRow);
    }

    void tabOrderFollowsTheReadingOrder() {
        QStringList chain;
        QWidget* widget = panel_->control(kDescription);
        do {
            chain << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != panel_->control(kDescription));
        const QList<int> readingOrder = {kDescription,
                                         kMaterial,
                                         kIndex,
                                         kEnglish,
                                         kFirstNoteList,
                                         kFirstScaleStep,
                                         kCalculateFrequencies,
                                         kGeoCorrection,
                                         kBore,
                                         kWall,
                                         kDivisor,
                                         kEmbWidth,
                                         kEmbLength,
                                         kTransferBore,
                                         4001,
                                         4009,
                                         4105,
                                         4205,
                                         4046,
                                         4132,
                                         4021,
                                         4112, // row 6, left to right
                                         4002,
                                         4010, // then row 5
                                         4126,
                                         4037,
                                         4033,
                                         kCalFreq,
                                         kCalc,
                                         kAutoRecalc,
                                         kLengthBoreRatio,
                                         kIterations,
                                         4214,
                                         4087,
                                         4106,
                                         4098,
                                         4215,
                                         4219,
                                         4111};
        qsizetype previous = -1;
        for (int id : readingOrder) {
            const qsizetype at = chain.indexOf(QString::number(id));
            QVERIFY2(at > previous, qPrintable(QString::number(id)));
            previous = at;
        }
    }

    void everyControlHasASpokenName() {
        QCOMPARE(panel_->control(4106)->accessibleName(), QStringLiteral("Hole Pos. (mm), hole 6"));
        QCOMPARE(panel_->control(4126)->accessibleName(), QStringLiteral("Frequency, hole B"));
        QCOMPARE(panel_->control(4100)->accessibleName(), QStringLiteral("Next size up, hole 1"));
        QCOMPARE(panel_->control(4095)->accessibleName(),
                 QStringLiteral("Between Centers, holes 1-2"));
        QCOMPARE(panel_->control(kBore)->accessibleName(), QStringLiteral("Bore Inside Diameter"));
        QCOMPARE(panel_->control(kFirstNoteList)->accessibleName(), QStringLiteral("First Note"));
        for (QWidget* widget : panel_->findChildren<QWidget*>()) {
            if (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty())
                continue;
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(!spoken->text(QAccessible::Name).isEmpty(), qPrintable(widget->objectName()));
        }
    }

    // At the desktop's default font, after a calculation has filled every
    // field, in both unit systems.
    void nothingOverlapsOrIsCut() {
        click(kCalFreq);
        click(kCalc);
        for (int units : {kEnglish, kMetric}) {
            click(units);
            QList<QWidget*> controls;
            for (QWidget* widget : panel_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                controls << widget;
            const QRect panelRect = panel_->rect();
            for (QWidget* widget : controls) {
                const QString name = widget->objectName();
                QVERIFY2(panelRect.contains(widget->geometry()), qPrintable(name));
                QVERIFY2(fits(widget),
                         qPrintable(name + QStringLiteral(" cut: ") + displayed(widget)));
                if (qobject_cast<QGroupBox*>(widget) != nullptr)
                    continue;
                for (QWidget* other : controls) {
                    if (other == widget || qobject_cast<QGroupBox*>(other) != nullptr)
                        continue;
                    QVERIFY2(!widget->geometry().intersects(other->geometry()),
                             qPrintable(name + QStringLiteral(" overlaps ") + other->objectName()));
                }
            }
            QVERIFY(panel_->control(kGraphFrame)->geometry().contains(panel_->graph().geometry()));
        }
    }

    void calcShowsTheStartUpDesignsFigures() {
        click(kCalFreq);
        click(kCalc);
        QCOMPARE(column(4106), (texts({"149.42", "127.59", "106.38", "84.36", "65.77", "43.59"})));
        QCOMPARE(column(4087), (texts({"5.88", "5.02", "4.19", "3.32", "2.59", "1.72"})));
        QCOMPARE(column(4095, 4), (texts({"0.87", "0.73", "0.84", "0.86"})));
        QCOMPARE(text(kBlockToEnd), QStringLiteral("282.50"));
        QCOMPARE(text(kLengthBoreRatio), QStringLiteral("22.24"));
        QCOMPARE(text(kEmbArea), QStringLiteral(" 2.60"));
        QCOMPARE(text(kAverageCutoff), QStringLiteral("2491.26"));
        // 77.70 with the start-up frequencies; the note table's differ in the
        // last decimal, within one unit of the last digit.
        QVERIFY(qAbs(text(kDeviation).toDouble() - 77.70) <= 0.0101);
        QCOMPARE(text(kIterations), QStringLiteral("7"));
        QCOMPARE(text(kStatus), QStringLiteral("  "));
        QCOMPARE(feedback_.beeps, 1);
        QVERIFY(feedback_.messages.empty());
        QVERIFY(is_stored(state_));
        QVERIFY(panel_->graph().has_chart());
    }

    void calcTakesTypedInputsAndTheFirstWordOfTexts() {
        type(kDescription, QStringLiteral("Low whistle"));
        type(kBore, QStringLiteral("0.625"));
        type(kDivisor, QStringLiteral("3"));
        click(kCalc);
        QCOMPARE(state_.workingCircuit.DESC.view(), std::string_view("Low"));
        QCOMPARE(state_.workingCircuit.BORE, 0.625f);
        QCOMPARE(text(kDivisor), QStringLiteral("2")); // anything but 2 or 4 becomes 2
        QVERIFY(is_stored(state_));
    }

    void nudges_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("shown");
        QTest::newRow("up from 3/16, hole 6")
            << kEnglish << 4009 << latin1("") << 4105 << latin1("0.203");
        QTest::newRow("down from 13/64, hole 1")
            << kEnglish << 4014 << latin1("") << 4200 << latin1("0.188");
        QTest::newRow("down from 0.18")
            << kEnglish << 4011 << latin1("0.18") << 4203 << latin1("0.156");
        QTest::newRow("up from 1/2 wraps")
            << kEnglish << 4012 << latin1("0.5") << 4102 << latin1("0.047");
        QTest::newRow("down from 0.047 wraps")
            << kEnglish << 4013 << latin1("0.047") << 4201 << latin1("0.500");
        QTest::newRow("metric up from 6.8")
            << kMetric << 4009 << latin1("6.8") << 4105 << latin1("7.000");
        QTest::newRow("metric down from 0.5 wraps")
            << kMetric << 4010 << latin1("0.5") << 4204 << latin1("25.000");
        QTest::newRow("metric up from 25 wraps")
            << kMetric << 4014 << latin1("25") << 4100 << latin1("0.000");
    }

    void nudges() {
        QFETCH(int, units);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(int, button);
        QFETCH(QString, shown);
        click(units);
        if (!typed.isEmpty())
            type(field, typed);
        click(button);
        QCOMPARE(text(field), shown);
        const int hole = 4015 - field;
        QCOMPARE(format("%5.3f", double(state_.workingCircuit.DI[static_cast<std::size_t>(hole)])),
                 shown.toStdString());
        QCoreApplication::processEvents();
        QVERIFY(text(kIterations).isEmpty()); // Auto Recalc is off
    }

    void nudgeWithAutoRecalcCalculatesAfterItReturns() {
        click(kAutoRecalc);
        click(4105);
        QVERIFY(text(kIterations).isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(text(kIterations), QStringLiteral("7"));
        QCOMPARE(state_.corrections.AUTO, 1);
        QCOMPARE(state_.workingCircuit.DI[6], 13.0f / 64);
        QVERIFY(is_stored(state_));
    }

    void metricAndBackConvertsTheStoredSizes() {
        type(kBore, QStringLiteral("0.7")); // typed but not read: discarded
        click(kMetric);
        QCOMPARE(text(kBore), QStringLiteral("12.700"));
        QCOMPARE(text(kWall), QStringLiteral("0.794"));
        QCOMPARE(text(kEmbLength), QStringLiteral("6.350"));
        QCOMPARE(text(kEmbWidth), QStringLiteral("6.350"));
        QCOMPARE(column(4009), (texts({"4.762", "5.953", "5.953", "4.762", "8.731", "5.159"})));
        QCOMPARE(text(4037), QStringLiteral("12.700"));
        QCOMPARE(text(kGeoCorrection), QStringLiteral("0.650"));
        QCOMPARE(text(kBoreUnit), QStringLiteral("mm"));
        QCOMPARE(text(kHoleDiaHeader), QStringLiteral("Hole Dia. (mm)"));
        QCOMPARE(text(kBoreDiamHeader), QStringLiteral("Bore Diam. (mm)"));
        QCOMPARE(text(kBetweenCentersLabel), QStringLiteral("Space between Centers (mm)"));
        QCOMPARE(state_.workingCircuit.UNIT, UNIT_METRIC);

        click(kEnglish);
        QCOMPARE(text(kBore), QStringLiteral("0.500"));
        QCOMPARE(text(4009), QStringLiteral("0.187")); // 25.4 × 0.03937 is a little under 1
        QCOMPARE(text(kEmbUnit), QStringLiteral("Inches"));
        QCOMPARE(text(kBoreDiamHeader), QStringLiteral("Bore Diam. (in)"));
        QCOMPARE(text(kBetweenCentersLabel), QStringLiteral("Space between Centers (inch)"));
        QCOMPARE(text(kEmbAreaUnit), QStringLiteral("(mm)"));
        QVERIFY(panel_->is_checked(kEnglish));

        const float boreBefore = state_.workingCircuit.BORE;
        click(kEnglish); // the system in use: nothing converted
        QCOMPARE(state_.workingCircuit.BORE, boreBefore);
    }

    void unitSwitchKeepsTheFiguresOfTheLastCalc() {
        click(kCalc);
        const QString area = text(kEmbArea);
        const QString spacing = text(4095);
        click(kMetric);
        QCOMPARE(text(kEmbArea), area);
        // Spacings turn into millimetres; the inch figure was shown to two decimals.
        QVERIFY(qAbs(text(4095).toDouble() - spacing.toDouble() * 25.4) <= 0.005 * 25.4 + 0.005);
    }

    void mathErrorStopsWithoutStoringOrCharting() {
        const CircuitBank bankBefore = state_.bank;
        type(4002, QStringLiteral("880")); // holes 5 and 4 sound the same note
        type(4003, QStringLiteral("880"));
        click(kCalc);
        QCOMPARE(text(kStatus), QStringLiteral("### Math Error ###"));
        QCOMPARE(feedback_.messages.size(), std::size_t(1));
        QCOMPARE(feedback_.messages[0].caption, std::string("Sorrel - Math Error"));
        QCOMPARE(feedback_.messages[0].text,
                 std::string("A math error occurred that would otherwise have\rcrashed the "
                             "program, please adjust your numbers and try again"));
        QCOMPARE(feedback_.beeps, 0);
        QVERIFY(state_.bank == bankBefore);
        QVERIFY(!panel_->graph().has_chart());
        // Chimney heights and nominal lengths were computed before the stop; spacings were not.
        QVERIFY(!text(4021).isEmpty());
        QVERIFY(!text(4033).isEmpty());
        QVERIFY(text(4040).isEmpty());
    }

    void nativeFluteScaleIsShownAfterCalc() {
        panel_->apply_scale_preset({3, 2, 2, 1, 2, 2});
        QCOMPARE(column(kFirstScaleStep), (texts({"3", "2", "2", "1", "2", "2"})));
        QCOMPARE(trimmed(4006), QStringLiteral("659.256")); // frequencies wait for Cal Freq
        click(kCalc);
        QCOMPARE(text(kStatus), QStringLiteral("Native Flute"));
        QCOMPARE(state_.nativeFlute, 1);
    }

    void derivationFillsFrequenciesAndNames() {
        click(kAutoRecalc);
        click(kCalculateFrequencies);
        QCOMPARE(column(4001),
                 (texts({"1108.731", "987.767", "880.000", "783.991", "739.991", "659.255"})));
        QCOMPARE(column(4132, 7), (texts({"C#6", "B5", "A5", "G5", "F#5", "E5", "D5"})));
        QCOMPARE(text(kGeoCorrection), QStringLiteral("0.650"));
        QCoreApplication::processEvents();
        QVERIFY(text(kIterations).isEmpty()); // never recalculates
    }

    void customFirstNoteTakesTheCustomFrequencies() {
        panel_->select_list_position(kFirstNoteList, kCustomNoteRow);
        click(kCalFreq);
        QCOMPARE(column(4001), QStringList(6, latin1("440.000")));
        QCOMPARE(column(4132, 7),
                 (texts({"CUS7", "CUS6", "CUS5", "CUS4", "CUS3", "CUS2", "CUS1"})));
    }

    void walkOffTheNoteTableIsRefusedAndChangesNothing() {
        const CircuitRecord before = state_.workingCircuit;
        panel_->select_list_position(kFirstNoteList, 58); // G7: two steps reach the end marker
        click(kCalFreq);
        QCOMPARE(feedback_.messages.size(), std::size_t(1));
        QVERIFY(feedback_.messages[0].text.find("outside the note table") != std::string::npos);
        QCOMPARE(state_.workingCircuit, before);
        QCOMPARE(trimmed(4006), QStringLiteral("659.256"));
        QVERIFY(text(4132).isEmpty());
    }

    void transferBoreFillsTheBoreColumnOnly() {
        type(kBore, QStringLiteral("0.6"));
        click(kTransferBore);
        QCOMPARE(column(4046, 4), QStringList(4, latin1("0.600")));
        QCOMPARE(text(4068) + text(4093) + text(4037), QStringLiteral("0.6000.6000.600"));
        QCOMPARE(state_.workingCircuit.BDI[0], 0.6f);
        QVERIFY(text(kIterations).isEmpty());
    }

    void refreshShowsTheWorkingDesignsInputsOnly() {
        click(kCalc);
        const QString position = text(4106);
        state_.workingCircuit.BORE = 0.75f;
        state_.workingCircuit.DIVS = 4;
        state_.corrections.AUTO = 1;
        panel_->send_command(CalculatorPanel::kRefreshCommand);
        QCOMPARE(text(kBore), QStringLiteral("0.750"));
        QCOMPARE(text(kDivisor), QStringLiteral("4"));
        QVERIFY(panel_->is_checked(kAutoRecalc));
        QCOMPARE(text(4106), position);
    }

    void chartStaysThroughRepaints() {
        click(kCalc);
        const QImage drawn = plot_image();
        const QRect plot = CutoffGraph::plot_area();
        const QPoint inside = kGrabMargin;
        int grey = 0;
        int red = 0;
        int black = 0;
        for (int y = inside.y() + 2; y < inside.y() + plot.height() - 2; ++y) {
            for (int x = inside.x() + 2; x < inside.x() + plot.width() - 2; ++x) {
                const QColor colour = drawn.pixelColor(x, y);
                grey += colour == QColor(192, 192, 192);
                red += colour == QColor(255, 0, 0);
                black += colour == QColor(0, 0, 0);
            }
        }
        QVERIFY(grey > plot.width() * plot.height() / 2);
        QVERIFY(red > 0);
        QVERIFY(black > 0);

        panel_->hide();
        panel_->show();
        panel_->repaint();
        QCOMPARE(plot_image(), drawn);
        // Deriving frequencies or switching units neither draws nor erases it.
        click(kCalFreq);
        click(kMetric);
        QCOMPARE(plot_image(), drawn);
    }

    void zeroFrequencyRangeDrawsAnEmptyPlotArea() {
        for (int id : {4001, 4002, 4003, 4004, 4005, 4006, 4126})
            type(id, QStringLiteral("0"));
        click(kCalc);
        QVERIFY(feedback_.messages.empty());
        QVERIFY(panel_->graph().has_chart());
        const QImage drawn = plot_image();
        const QRect plot = CutoffGraph::plot_area();
        for (int y = kGrabMargin.y() + 3; y < kGrabMargin.y() + plot.height() - 3; ++y) {
            for (int x = kGrabMargin.x() + 3; x < kGrabMargin.x() + plot.width() - 3; ++x)
                QCOMPARE(drawn.pixelColor(x, y), QColor(192, 192, 192));
        }
    }

private:
    static QString displayed(QWidget* widget) {
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text();
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            return edit->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->text();
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            return frame->title();
        return {};
    }

    // Whether the control's whole text shows: wrapped labels within their
    // box, single-line texts within their width less the frame.
    static bool fits(QWidget* widget) {
        const QFontMetrics metrics(widget->font());
        const QString shown = displayed(widget);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, shown);
            return needed.width() <= label->width() && needed.height() <= label->height();
        }
        const int textWidth = metrics.horizontalAdvance(shown);
        if (qobject_cast<QLineEdit*>(widget) != nullptr)
            return textWidth + 6 <= widget->width() && metrics.height() + 4 <= widget->height();
        if (qobject_cast<QGroupBox*>(widget) != nullptr)
            return textWidth + 16 <= widget->width();
        if (auto* list = qobject_cast<QComboBox*>(widget))
            return metrics.horizontalAdvance(list->currentText()) + 30 <= list->width();
        if (qobject_cast<QAbstractButton*>(widget) != nullptr)
            return widget->sizeHint().width() <= widget->width() ||
                   textWidth + 8 <= widget->width();
        return true;
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::CalculatorPanelTest)
#include "calculator_panel_test.moc"
