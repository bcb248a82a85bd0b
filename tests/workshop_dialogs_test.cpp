// The Utility menu's calculators and the Help menu's reference sheets, each
// opened as the main window opens it and driven by control number.

#include "tests/modal_answer.h"
#include "ui/tab_stop_label.h"
#include "ui/template_dialog.h"
#include "utilities/reference_sheet_dialog.h"
#include "utilities/reference_sheets.h"
#include "utilities/workshop_calculators.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace sorrel::ui {
namespace {

using Opener = void (*)(QWidget* owner);

// Opens a dialog with `open` and runs `drive` on it once it shows.
void with_dialog(Opener open, std::function<void(TemplateDialog&)> drive) {
    const auto shown = answer_next_dialog(std::move(drive));
    open(nullptr);
    QVERIFY2(*shown, "no dialog was shown");
}

using FieldTexts = std::vector<std::pair<int, const char*>>;

QStringList latin1_lines(const auto& lines) {
    QStringList result;
    for (const std::string_view line : lines)
        result.append(QString::fromLatin1(line.data(), qsizetype(line.size())));
    return result;
}

// Typed into the fields in order, then one button pressed; `shown` lists
// every field of the dialog afterwards, so a figure written to the wrong
// field, or over the source, shows. Fields not typed into show what the
// dialog opened with.
struct Conversion {
    const char* name;
    Opener open;
    FieldTexts typed;
    int button;
    FieldTexts shown;
};

// clang-format off
const Conversion kConversions[] = {
    {"to plank", convert_bore_shape, {{4150, "0.75"}}, 4152, {{4150, "0.75"}, {4151, " 0.66"}}},
    {"to round", convert_bore_shape, {{4151, "0.66"}}, 4153, {{4150, " 0.74"}, {4151, "0.66"}}},
    {"opened, to C", convert_temperature, {}, 4156, {{4154, " 70.0"}, {4155, " 21.1"}}},
    {"opened, to F", convert_temperature, {}, 4157, {{4154, " 70.0"}, {4155, " 21.1"}}},
    {"to Celsius", convert_temperature, {{4154, "212F"}}, 4156, {{4154, "212F"}, {4155, "100.0"}}},
    {"to Fahrenheit", convert_temperature, {{4155, "-40"}}, 4157, {{4154, "-40.0"}, {4155, "-40"}}},
    {"from feet", convert_distance, {{4222, "1"}}, 4224,
     {{4222, "1"}, {4221, "12.00"}, {4223, "30.48"}}},
    {"from inches", convert_distance, {{4221, "12in"}}, 4220,
     {{4222, " 1.00"}, {4221, "12in"}, {4223, "30.48"}}},
    {"from centimetres", convert_distance, {{4223, "100"}}, 4225,
     {{4222, " 3.28"}, {4221, "39.37"}, {4223, "100"}}},
    {"inches not a number", convert_distance, {{4222, "2"}, {4223, "7"}, {4221, "ft"}}, 4220,
     {{4222, "2"}, {4221, "ft"}, {4223, "7"}}},
    {"air density as opened", calculate_air_density, {}, 4165,
     {{2007, " 70.0"}, {4160, " 50.0"}, {4161, "29.92"},
      {4166, "  49.1"}, {4162, "  72.4"}, {4164, "1.194028"}, {4163, "0.074541"}}},
};
// clang-format on

} // namespace

class WorkshopDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void dialogsOpenAndOnlyEnterClosesThem_data();
    void dialogsOpenAndOnlyEnterClosesThem();
    void buttonsWriteTheirFields_data();
    void buttonsWriteTheirFields();
    void tabsMoveTextToTheNextColumnStop();
};

void WorkshopDialogsTest::dialogsOpenAndOnlyEnterClosesThem_data() {
    QTest::addColumn<Opener>("open");
    QTest::addColumn<QStringList>("lines"); // a reference sheet's, one below the other
    QTest::newRow("bore shape") << Opener(convert_bore_shape) << QStringList();
    QTest::newRow("temperature") << Opener(convert_temperature) << QStringList();
    QTest::newRow("distance") << Opener(convert_distance) << QStringList();
    QTest::newRow("air density") << Opener(calculate_air_density) << QStringList();
    QTest::newRow("drill sheet") << Opener([](QWidget* owner) {
        show_reference_sheet(owner, ReferenceSheet::Drills);
    }) << latin1_lines(drill_sheet_lines());
    QTest::newRow("tubing sheet") << Opener([](QWidget* owner) {
        show_reference_sheet(owner, ReferenceSheet::Resources);
    }) << latin1_lines(tubing_sheet().aluminiumRows);
}

// A line with tabs must be a TabStopLabel to show its columns. Escape and
// the close box send the cancel command, which every one of these dialogs
// ignores; Enter presses OK.
void WorkshopDialogsTest::dialogsOpenAndOnlyEnterClosesThem() {
    QFETCH(Opener, open);
    QFETCH(QStringList, lines);
    bool closedByOk = false;
    with_dialog(open, [&closedByOk, &lines](TemplateDialog& dialog) {
        QStringList shown;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            shown.append(label->text());
            QCOMPARE(qobject_cast<const TabStopLabel*>(label) != nullptr,
                     label->text().contains(QLatin1Char('\t')));
        }
        QVERIFY(shown.join(QLatin1Char('\n')).contains(lines.join(QLatin1Char('\n'))));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        QTest::keyClick(&dialog, Qt::Key_Return);
        closedByOk = !dialog.isVisible() && dialog.result() == kOkCommand;
    });
    QVERIFY(closedByOk);
}

void WorkshopDialogsTest::buttonsWriteTheirFields_data() {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < std::size(kConversions); ++i)
        QTest::newRow(kConversions[i].name) << int(i);
}

void WorkshopDialogsTest::buttonsWriteTheirFields() {
    QFETCH(int, row);
    with_dialog(kConversions[row].open, [&conversion = kConversions[row]](TemplateDialog& dialog) {
        for (const auto& [id, text] : conversion.typed)
            dialog.set_item_text(id, text);
        auto* button = qobject_cast<QPushButton*>(dialog.control(conversion.button));
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        for (const auto& [id, text] : conversion.shown) {
            const auto* edit = qobject_cast<const QLineEdit*>(dialog.control(id));
            QCOMPARE(edit ? edit->text() : QStringLiteral("no field %1").arg(id),
                     QLatin1String(text));
        }
    });
}

// Texts of different widths before a tab show the same after it, between
// the first column stop and the second.
void WorkshopDialogsTest::tabsMoveTextToTheNextColumnStop() {
    constexpr int kStop = 100; // not the default stop, 80 pixels
    const auto firstColumn = [](const char* text) {
        TabStopLabel label(QString::fromLatin1(text), kStop, nullptr);
        label.resize(3 * kStop, 20);
        return label.grab().toImage().copy(kStop, 0, kStop, 20);
    };
    QCOMPARE(firstColumn("1 1/8\tX"), firstColumn("1\tX"));
    QVERIFY(firstColumn("1\tX") != firstColumn("1\t"));
}

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::WorkshopDialogsTest)
#include "workshop_dialogs_test.moc"
