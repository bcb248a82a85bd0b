// The Tuning window on a small screen, from the keyboard and through what a
// screen reader hears.

#include "tests/tuning_window_driver.h"
#include "ui/cents_chart.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QScreen>

#include <functional>

namespace sorrel::ui {

using namespace Qt::StringLiterals;

class TuningWindowAccessTest : public QObject, TuningWindowDriver {
    Q_OBJECT

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    // At any scale the window fits the screen's free area; the rest scrolls.
    void fitsTheScreenAndScrolls() {
        calc_and_open();
        const QRect free = window_->screen()->availableGeometry();
        QVERIFY2(free.contains(window_->frameGeometry()),
                 qPrintable(u"%1 x %2"_s.arg(window_->width()).arg(window_->height())));
        QVERIFY(free.contains(named<QLabel>(u"Status"_s)->mapToGlobal(QPoint(0, 0))));
    }

    // Tab runs down the hole rows after the length and leaves the table;
    // Enter adds; Escape, Ctrl+W and Close close.
    void theKeyboardReachesAndLeavesEverything() {
        calc_and_open();
        QWidget* next = named<QLineEdit>(u"Length from the top to the foot (mm)"_s);
        for (const char* field :
             {"Hole 6 from foot (mm)", "Hole 6 diameter (mm)", "Hole 5 from foot (mm)"}) {
            next = next->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus)
                next = next->nextInFocusChain();
            QCOMPARE(next->accessibleName(), QLatin1String(field));
        }
        QVERIFY(!named<QTableWidget>(u"Fingerings"_s)->tabKeyNavigation());
        type(u"New fingering (x closed, o open, top hole first)"_s, u"xoxxxx"_s);
        QTest::keyClick(named<QLineEdit>(u"New fingering (x closed, o open, top hole first)"_s),
                        Qt::Key_Return);
        QCOMPARE(named<QTableWidget>(u"Fingerings"_s)->rowCount(), kRows + 1);
        const std::function<void()> closings[] = {
            [this] { QTest::keyClick(window_, Qt::Key_Escape); },
            [this] { QTest::keyClick(window_, Qt::Key_W, Qt::ControlModifier); },
            [this] { press(u"Close"_s); }};
        for (const auto& close : closings) {
            main_->run_command(command::kTuning);
            window_->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window_));
            close();
            QVERIFY(!window_->isVisible());
        }
    }

    // What a screen reader meets: the window as a window, the lists by their
    // labels, the changing labels with their text.
    void aScreenReaderHearsNamesAndTexts() {
        calc_and_open();
        QCOMPARE(QAccessible::queryAccessibleInterface(window_)->role(), QAccessible::Window);
        for (const QString& list : {u"Measured pitches are"_s, u"Drill set"_s})
            QCOMPARE(QAccessible::queryAccessibleInterface(named<QComboBox>(list))
                         ->text(QAccessible::Name),
                     list);
        type(u"Air temperature (°C)"_s, u"warm"_s);
        for (const QString& label :
             {u"Status"_s, u"Length in inches"_s, u"Hole 6 from foot in inches"_s}) {
            const QString said = QAccessible::queryAccessibleInterface(named<QLabel>(label))
                                     ->text(QAccessible::Description);
            QVERIFY2(!said.isEmpty() && said == named<QLabel>(label)->text(), qPrintable(label));
        }
    }

    // Twelve rows: no fingering under the chart runs into its neighbour.
    void twelveRowsKeepTheChartsLabelsApart() {
        calc_and_open();
        for (const QString& fingering :
             {u"xoxxxx"_s, u"oxxxxx"_s, u"xxoxxx"_s, u"xxxoxx"_s, u"xxxxox"_s}) {
            type(u"New fingering (x closed, o open, top hole first)"_s, fingering);
            press(u"Add fingering"_s);
        }
        const auto* chart = window_->findChild<CentsChart*>();
        QCOMPARE(chart->bars().size(), std::size_t{12});
        const double room = chart->plot_width() / 12 * chart->label_lines();
        QVERIFY2(chart->fontMetrics().horizontalAdvance(u"xxxxxx"_s) < room,
                 qPrintable(QString::number(room)));
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::TuningWindowAccessTest)
#include "tuning_window_access_test.moc"
