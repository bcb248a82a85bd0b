#include "ui/dialog_units.h"
#include "ui/template_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <vector>

namespace sorrel::ui {
namespace {

using K = ControlKind;

// clang-format off
const ControlTemplate kControls[] = {
    {1, K::DefaultButton, "OK", 131, 6, 50, 14},
    {2, K::Button, "Cancel", 131, 23, 50, 14},
    {11, K::Edit, "", 46, 4, 60, 12},
    {13, K::Text, "Tom && Jerry", 4, 36, 60, 8},
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

} // namespace

class TemplateDialogTest : public QObject {
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
        QCOMPARE(dialog.item_text(13, 20), std::string("Tom & Jerry"));

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
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::TemplateDialogTest)
#include "template_dialog_test.moc"
