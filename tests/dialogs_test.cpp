// The dialogs built from templates: the builder itself, then the Utility
// menu's calculators, each opened as the main window opens it and driven by
// control number.

#include "tests/modal_answer.h"
#include "tests/recording_feedback.h"
#include "ui/dialog_units.h"
#include "ui/tab_stop_label.h"
#include "ui/template_dialog.h"
#include "utilities/workshop_calculators.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include <functional>
#include <utility>
#include <vector>

namespace sorrel::ui {
namespace {

using K = ControlKind;

// clang-format off
const ControlTemplate kControls[] = {
    {1, K::DefaultButton, "OK", 131, 6, 50, 14},
    {2, K::Button, "Cancel", 131, 23, 50, 14},
    {11, K::Edit, "", 46, 4, 60, 12},
    {13, K::Text, "Bore && Wall", 4, 36, 60, 8},
    {20, K::CheckBox, "Tick", 4, 48, 40, 10},
    {21, K::RadioButton, "One", 4, 60, 40, 10},
    {22, K::RadioButton, "Two", 50, 60, 40, 10},
    {40, K::DropDownList, "", 4, 76, 100, 60},
};
// clang-format on

const DialogTemplate kTemplate{"TESTDLG", "Test Dialog", 187, 140, "Tahoma", 8, kControls};

// A dialog whose handler records every command and ends only on OK.
class RecordingDialog : public TemplateDialog {
public:
    RecordingDialog() : TemplateDialog(kTemplate, Placement::Modal, nullptr) {}

    std::vector<int> commands;

protected:
    void handle_command(int command) override {
        commands.push_back(command);
        if (command == kOkCommand)
            end(command);
    }
};

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

// Typed into the fields in order, then one button pressed; `shown` lists
// every field of the dialog afterwards, so a figure written to the wrong
// field, or over the source, shows. Fields not typed into show what the
// dialog opened with. Physically impossible input is refused: the message
// names the field, which takes the focus, and every field keeps what it
// showed (outputs start empty).
struct Conversion {
    const char* name;
    Opener open;
    FieldTexts typed;
    int button;
    FieldTexts shown;
    int refused = 0; // the field named in the message
    const char* message = "";
};

// clang-format off
const Conversion kConversions[] = {
    {"to plank", convert_bore_shape, {{4150, "0.75"}}, 4152, {{4150, "0.75"}, {4151, " 0.66"}}},
    {"to round", convert_bore_shape, {{4151, "0.66"}}, 4153, {{4150, " 0.74"}, {4151, "0.66"}}},
    {"to Celsius", convert_temperature, {{4154, "212F"}}, 4156, {{4154, "212F"}, {4155, "100.0"}}},
    {"to Fahrenheit", convert_temperature, {{4155, "-40"}}, 4157, {{4154, "-40.0"}, {4155, "-40"}}},
    {"from feet", convert_distance, {{4222, "1"}}, 4224,
     {{4222, "1"}, {4221, "12.00"}, {4223, "30.48"}}},
    {"from inches", convert_distance, {{4221, "12in"}}, 4220,
     {{4222, " 1.00"}, {4221, "12in"}, {4223, "30.48"}}},
    {"air density as opened", calculate_air_density, {}, 4165,
     {{2007, " 70.0"}, {4160, " 50.0"}, {4161, "29.92"},
      {4166, "  49.1"}, {4162, "  72.4"}, {4164, "1.194028"}, {4163, "0.074541"}}},
    {"dew point at the temperature", calculate_air_density, {{2007, "32"}, {4160, "32"}}, 4165,
     {{4166, " 100.0"}, {4162, "  33.1"}}},
    {"colder than absolute zero, C", convert_temperature, {{4155, "-500"}}, 4157,
     {{4154, " 70.0"}}, 4155, "Celsius: must be a number of -273.15 or more"},
    {"dew point above the air", calculate_air_density, {{4160, "80"}}, 4165,
     {{4166, ""}, {4162, ""}}, 4160, "Dewpoint: must not be above the temperature"},
    {"no pressure", calculate_air_density, {{4161, "0"}}, 4165, {{4163, ""}}, 4161,
     "Barometric Press, inches of mercury: must be a number above 0"},
    // Water boils near 161 F under 10 inches of mercury.
    {"dew point past boiling", calculate_air_density,
     {{2007, "300"}, {4160, "250"}, {4161, "10"}}, 4165, {{4164, ""}}, 4160,
     "Dewpoint: must be below the boiling point"},
};
// clang-format on

QString field_text(TemplateDialog& dialog, int id) {
    const auto* edit = qobject_cast<const QLineEdit*>(dialog.control(id));
    return edit ? edit->text() : QStringLiteral("no field %1").arg(id);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void dialogUnitsConvertEachEdgeWithRounding() {
        const DialogUnitScale scale{7, 13};
        const PixelRect r = to_pixels(2, 3, 5, 4, scale);
        // x: 2 × 7 / 4 = 3.5 → 4, right edge 7 × 7 / 4 = 12.25 → 12;
        // y: 3 × 13 / 8 = 4.875 → 5, bottom edge 7 × 13 / 8 = 11.375 → 11.
        QCOMPARE(QRect(r.x, r.y, r.width, r.height), QRect(4, 5, 8, 6));
        QCOMPARE(to_pixels(7, 3, 5, 4, scale).x, r.x + r.width); // neighbours share their edge
    }

    void controlsAreReadAndSetByNumber() {
        RecordingDialog dialog;
        dialog.set_item_text(11, "123456789012");
        QCOMPARE(dialog.item_text(11, 10), std::string("123456789"));
        QCOMPARE(dialog.item_text(11, 64), std::string("123456789012"));
        dialog.set_item_text(11, "Caf\xe9"); // Latin-1 both ways: one character, one byte
        QCOMPARE(qobject_cast<QLineEdit*>(dialog.control(11))->text(), QStringLiteral("Caf\u00e9"));
        QCOMPARE(dialog.item_text(11, 20), std::string("Caf\xe9"));
        QCOMPARE(dialog.item_text(13, 20), std::string("Bore & Wall"));

        dialog.set_checked(20, true);
        dialog.select_radio(21);
        dialog.select_radio(22);
        QVERIFY(dialog.is_checked(20) && !dialog.is_checked(21) && dialog.is_checked(22));
        for (const char* line : {"zero", "one", "two"})
            dialog.add_list_line(40, line);
        dialog.select_list_position(40, 2);
        QCOMPARE(dialog.item_text(40, 20), std::string("two"));
        dialog.select_list_position(40, 7);
        QCOMPARE(dialog.selected_list_position(40), -1);

        // A number the template does not hold: empty, unticked, -1, and no change.
        dialog.set_item_text(99, "x");
        dialog.set_checked(99, true);
        QVERIFY(dialog.item_text(99, 20).empty() && !dialog.is_checked(99));
        QVERIFY(dialog.selected_list_position(99) == -1 && dialog.control(99) == nullptr);
    }

    // Clicks send the control's number; Escape and the close box send 2,
    // which leaves the dialog open until its handler ends it; Enter, even in
    // the list, presses the default button and adds no line to the list.
    void clicksAndKeysSendCommands() {
        RecordingDialog dialog;
        auto* list = qobject_cast<QComboBox*>(dialog.control(40));
        dialog.add_list_line(40, "only");
        QTimer::singleShot(0, &dialog, [&dialog, list] {
            for (int id : {2, 20, 22})
                QTest::mouseClick(dialog.control(id), Qt::LeftButton);
            QTest::keyClick(dialog.control(11), Qt::Key_Escape);
            dialog.close();
            list->setFocus();
            list->setEditText(QStringLiteral("typed"));
            QTest::keyClick(list, Qt::Key_Return);
        });
        QCOMPARE(dialog.run_modal(), kOkCommand);
        QCOMPARE(dialog.commands, (std::vector<int>{2, 20, 22, 2, 2, kOkCommand}));
        QCOMPARE(list->count(), 1);
    }

    void buttonsWriteTheirFieldsOrRefuse() {
        for (const Conversion& c : kConversions) {
            const auto messages = with_dialog(c.open, [&c](TemplateDialog& dialog) {
                for (const auto& [id, text] : c.typed)
                    dialog.set_item_text(id, text);
                QTest::mouseClick(dialog.control(c.button), Qt::LeftButton);
                for (const auto& [id, text] : c.shown)
                    QVERIFY2(field_text(dialog, id) == QLatin1String(text), c.name);
                auto* field = qobject_cast<QLineEdit*>(dialog.control(c.refused));
                QVERIFY2(c.refused == 0 || (dialog.focusWidget() == field &&
                                            field->selectedText() == field->text()),
                         c.name);
            });
            QCOMPARE(messages.size(), std::size_t(c.refused != 0));
            if (c.refused != 0) {
                QCOMPARE(messages[0].text, std::string(c.message));
                QCOMPARE(messages[0].buttons, MessageButtons::OkWarning);
            }
        }
    }

    // Texts of different widths before a tab show the same after it, between
    // the first column stop and the second.
    void tabsMoveTextToTheNextColumnStop() {
        constexpr int kStop = 100; // not the default stop, 80 pixels
        const auto firstColumn = [](const char* text) {
            TabStopLabel label(QString::fromLatin1(text), kStop, nullptr);
            label.resize(3 * kStop, 20);
            return label.grab().toImage().copy(kStop, 0, kStop, 20);
        };
        QCOMPARE(firstColumn("1 1/8\tX"), firstColumn("1\tX"));
        QVERIFY(firstColumn("1\tX") != firstColumn("1\t"));
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::DialogsTest)
#include "dialogs_test.moc"
