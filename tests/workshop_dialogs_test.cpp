// The Utility menu's calculators and the Help menu's reference sheets, each
// opened as the main window opens it and driven by control number.

#include "tests/modal_answer.h"
#include "tests/recording_feedback.h"
#include "ui/tab_stop_label.h"
#include "ui/template_dialog.h"
#include "utilities/reference_sheet_dialog.h"
#include "utilities/reference_sheets.h"
#include "utilities/workshop_calculators.h"

#include <QAccessible>
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

using Opener = void (*)(QWidget* owner, Feedback& feedback);

// Opens a dialog with `open` and runs `drive` on it once it shows; returns
// the messages it showed.
std::vector<RecordedMessage> with_dialog(Opener open, std::function<void(TemplateDialog&)> drive) {
    RecordingFeedback feedback;
    const auto shown = answer_next_dialog(std::move(drive));
    open(nullptr, feedback);
    [&shown] { QVERIFY2(*shown, "no dialog was shown"); }();
    return feedback.messages;
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
    {"absolute zero, to F", convert_temperature, {{4155, "-273.15"}}, 4157,
     {{4154, "-459.7"}, {4155, "-273.15"}}},
    {"air density as opened", calculate_air_density, {}, 4165,
     {{2007, " 70.0"}, {4160, " 50.0"}, {4161, "29.92"},
      {4166, "  49.1"}, {4162, "  72.4"}, {4164, "1.194028"}, {4163, "0.074541"}}},
    {"dew point at the temperature", calculate_air_density, {{2007, "32"}, {4160, "32"}}, 4165,
     {{4166, " 100.0"}, {4162, "  33.1"}}},
};

// Physically impossible input: the message names the field, which takes the
// focus, and every field keeps what it showed (outputs start empty).
struct Refusal {
    const char* name;
    Opener open;
    FieldTexts typed;
    int button;
    int field;
    const char* message;
    FieldTexts kept;
};

const Refusal kRefusals[] = {
    {"colder than absolute zero, C", convert_temperature, {{4155, "-500"}}, 4157, 4155,
     "Celsius: must be a number of -273.15 or more", {{4154, " 70.0"}}},
    {"colder than absolute zero, F", convert_temperature, {{4154, "-460"}}, 4156, 4154,
     "Fahrenheit: must be a number of -459.67 or more", {{4155, " 21.1"}}},
    {"air colder than weather", calculate_air_density, {{2007, "-400"}, {4160, "-450"}}, 4165,
     2007, "Temperature: must be a number above -148 Deg.F", {{4166, ""}, {4164, ""}}},
    {"dew point above the air", calculate_air_density, {{4160, "80"}}, 4165, 4160,
     "Dewpoint: must not be above the temperature", {{4166, ""}, {4162, ""}}},
    {"no pressure", calculate_air_density, {{4161, "0"}}, 4165, 4161,
     "Barometric Press, inches of mercury: must be a number above 0", {{4163, ""}}},
    // Water boils near 161 F under 10 inches of mercury.
    {"dew point past boiling", calculate_air_density,
     {{2007, "300"}, {4160, "250"}, {4161, "10"}}, 4165, 4160,
     "Dewpoint: must be below the boiling point", {{4164, ""}}},
};
// clang-format on

QString field_text(TemplateDialog& dialog, int id) {
    const auto* edit = qobject_cast<const QLineEdit*>(dialog.control(id));
    return edit ? edit->text() : QStringLiteral("no field %1").arg(id);
}

} // namespace

class WorkshopDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void dialogsOpenAndOnlyEnterClosesThem_data();
    void dialogsOpenAndOnlyEnterClosesThem();
    void buttonsWriteTheirFields_data();
    void buttonsWriteTheirFields();
    void impossibleInputIsRefused_data();
    void impossibleInputIsRefused();
    void tabsMoveTextToTheNextColumnStop();
};

void WorkshopDialogsTest::dialogsOpenAndOnlyEnterClosesThem_data() {
    QTest::addColumn<Opener>("open");
    QTest::addColumn<QStringList>("lines"); // a reference sheet's, one below the other
    QTest::newRow("bore shape") << Opener(convert_bore_shape) << QStringList();
    QTest::newRow("temperature") << Opener(convert_temperature) << QStringList();
    QTest::newRow("distance") << Opener(convert_distance) << QStringList();
    QTest::newRow("air density") << Opener(calculate_air_density) << QStringList();
    QTest::newRow("drill sheet") << Opener([](QWidget* owner, Feedback&) {
        show_reference_sheet(owner, ReferenceSheet::Drills);
    }) << latin1_lines(drill_sheet_lines());
    QTest::newRow("tubing sheet") << Opener([](QWidget* owner, Feedback&) {
        show_reference_sheet(owner, ReferenceSheet::Resources);
    }) << latin1_lines(tubing_sheet().aluminiumRows);
}

// A line with tabs must be a TabStopLabel to show its columns. Escape and
// the close box send the cancel command, which every one of these dialogs
// ignores; Enter presses OK. Each control a screen reader reaches has a name
// of its own.
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
        // A screen reader tells every control that takes the focus from the others.
        QStringList names;
        for (const QWidget* control : dialog.findChildren<QWidget*>()) {
            if (control->focusPolicy() != Qt::NoFocus)
                names.append(QAccessible::queryAccessibleInterface(const_cast<QWidget*>(control))
                                 ->text(QAccessible::Name));
        }
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        QVERIFY(!names.contains(QString()));
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
        for (const auto& [id, text] : conversion.shown)
            QCOMPARE(field_text(dialog, id), QLatin1String(text));
    });
}

void WorkshopDialogsTest::impossibleInputIsRefused_data() {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < std::size(kRefusals); ++i)
        QTest::newRow(kRefusals[i].name) << int(i);
}

void WorkshopDialogsTest::impossibleInputIsRefused() {
    QFETCH(int, row);
    const Refusal& refusal = kRefusals[row];
    const auto messages = with_dialog(refusal.open, [&refusal](TemplateDialog& dialog) {
        for (const auto& [id, text] : refusal.typed)
            dialog.set_item_text(id, text);
        press(dialog, refusal.button);
        for (const auto& [id, text] : refusal.kept)
            QCOMPARE(field_text(dialog, id), QLatin1String(text));
        auto* field = qobject_cast<QLineEdit*>(dialog.control(refusal.field));
        QCOMPARE(dialog.focusWidget(), field);
        QCOMPARE(field->selectedText(), field->text());
    });
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages[0].text, std::string(refusal.message));
    QCOMPARE(messages[0].buttons, MessageButtons::OkWarning);
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
