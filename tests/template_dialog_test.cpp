#include "ui/dialog_units.h"
#include "ui/feedback.h"
#include "ui/template_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
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
    {10, K::Text, "Name:", 4, 6, 40, 8},
    {11, K::Edit, "", 46, 4, 60, 12},
    {12, K::Edit, "", 46, 20, 60, 12},
    {13, K::Text, "Tom && Jerry", 4, 36, 60, 8},
    {20, K::CheckBox, "Tick", 4, 48, 40, 10},
    {21, K::RadioButton, "One", 4, 60, 40, 10},
    {22, K::RadioButton, "Two", 50, 60, 40, 10},
    {30, K::GroupBox, "Frame", 2, 46, 100, 28},
    {40, K::DropDownList, "", 4, 76, 100, 60},
};
// clang-format on

const DialogTemplate kTemplate{"TESTDLG", "Test Dialog", 187, 140, "Tahoma", 8, kControls};

// A dialog whose handler records every command. Command 2 ends it only
// when told to; command 5 posts 6 and records that it returned first.
class RecordingDialog : public TemplateDialog {
public:
    explicit RecordingDialog(Placement placement = Placement::Modal)
        : TemplateDialog(kTemplate, placement, nullptr) {}

    std::vector<int> commands;
    bool cancelEnds = false;

protected:
    void handle_command(int command) override {
        commands.push_back(command);
        if (command == 5) {
            post_command(6);
            commands.push_back(-5); // the posted command has not run yet
        }
        if (command == kOkCommand || (command == kCancelCommand && cancelEnds))
            end(command);
    }
};

template <typename Widget> Widget* control_as(const TemplateDialog& dialog, int id) {
    return qobject_cast<Widget*>(dialog.control(id));
}

} // namespace

class TemplateDialogTest : public QObject {
    Q_OBJECT

private slots:
    void dialogUnitsConvertEachEdgeWithRounding() {
        const DialogUnitScale scale{7, 13};
        const PixelRect r = to_pixels(2, 3, 5, 4, scale);
        // x: 2 × 7 / 4 = 3.5 → 4; right edge 7 × 7 / 4 = 12.25 → 12.
        QCOMPARE(r.x, 4);
        QCOMPARE(r.width, 8);
        // y: 3 × 13 / 8 = 4.875 → 5; bottom edge 7 × 13 / 8 = 11.375 → 11.
        QCOMPARE(r.y, 5);
        QCOMPARE(r.height, 6);
        // Neighbours share their edge.
        const PixelRect next = to_pixels(7, 3, 5, 4, scale);
        QCOMPARE(next.x, r.x + r.width);
    }

    void missingFaceFallsBackToTheDesktopSansSerif() {
        if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
            QSKIP("Tahoma is installed here");
        const QFont font = template_font(kTemplate);
        QCOMPARE(font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        QCOMPARE(font.pointSize(), 8);
        const DialogUnitScale scale = dialog_unit_scale(font);
        QCOMPARE(scale.charHeight, QFontMetrics(font).height());
        QVERIFY(scale.averageCharWidth > 0);
    }

    void buildsEveryKindWhereTheTemplatePlacesIt() {
        RecordingDialog dialog;
        const DialogUnitScale scale = dialog.unit_scale();
        QCOMPARE(dialog.size(), QSize(horizontal_pixels(187, scale), vertical_pixels(140, scale)));
        QVERIFY(control_as<QPushButton>(dialog, 1)->isDefault());
        QVERIFY(!control_as<QPushButton>(dialog, 2)->isDefault());
        QVERIFY(control_as<QLabel>(dialog, 10) != nullptr);
        QVERIFY(control_as<QLineEdit>(dialog, 11) != nullptr);
        QVERIFY(control_as<QCheckBox>(dialog, 20) != nullptr);
        QVERIFY(control_as<QGroupBox>(dialog, 30) != nullptr);
        auto* list = control_as<QComboBox>(dialog, 40);
        QVERIFY(list->isEditable());
        QCOMPARE(list->insertPolicy(), QComboBox::NoInsert);
        for (const ControlTemplate& item : kControls) {
            QWidget* widget = dialog.control(item.id);
            QCOMPARE(widget->objectName(), QString::number(item.id));
            const PixelRect r = to_pixels(item.x, item.y, item.width, item.height, scale);
            QCOMPARE(widget->pos(), QPoint(r.x, r.y));
            QCOMPARE(widget->width(), r.width);
            if (item.kind != K::DropDownList)
                QCOMPARE(widget->height(), r.height);
        }
        // The closed list is one line; the rest of its height is the dropped list.
        QCOMPARE(list->height(), list->sizeHint().height());
        QVERIFY(list->maxVisibleItems() >= 2);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Test Dialog"));
    }

    void textsAreReadIntoBoundedBuffers() {
        RecordingDialog dialog;
        dialog.set_item_text(11, "123456789012");
        QCOMPARE(dialog.item_text(11, 10), std::string("123456789"));
        QCOMPARE(dialog.item_text(11, 64), std::string("123456789012"));
        // Latin-1 both ways: one character, one byte.
        dialog.set_item_text(11, "Caf\xe9");
        QCOMPARE(control_as<QLineEdit>(dialog, 11)->text(), QStringLiteral("Caf\u00e9"));
        QCOMPARE(dialog.item_text(11, 20), std::string("Caf\xe9"));
        // A static text shows "&&" as one ampersand.
        QCOMPARE(dialog.item_text(13, 20), std::string("Tom & Jerry"));
        QCOMPARE(dialog.item_text(99, 20), std::string());
    }

    void checkBoxesRadioGroupAndList() {
        RecordingDialog dialog;
        dialog.set_checked(20, true);
        QVERIFY(dialog.is_checked(20));
        dialog.select_radio(21);
        dialog.select_radio(22);
        QVERIFY(!dialog.is_checked(21));
        QVERIFY(dialog.is_checked(22));
        for (const char* line : {"zero", "one", "two"})
            dialog.add_list_line(40, line);
        QCOMPARE(dialog.selected_list_position(40), 0);
        dialog.select_list_position(40, 2);
        QCOMPARE(dialog.selected_list_position(40), 2);
        QCOMPARE(dialog.item_text(40, 20), std::string("two"));
        dialog.select_list_position(40, 7);
        QCOMPARE(dialog.selected_list_position(40), -1);
    }

    void clicksAndKeysSendCommands() {
        RecordingDialog dialog(TemplateDialog::Placement::Child);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.control(2), Qt::LeftButton);
        QTest::mouseClick(dialog.control(20), Qt::LeftButton);
        QTest::mouseClick(dialog.control(22), Qt::LeftButton);
        QCOMPARE(dialog.commands, (std::vector<int>{2, 20, 22}));
        QVERIFY(dialog.is_checked(20));
        QVERIFY(dialog.is_checked(22));

        dialog.commands.clear();
        dialog.control(11)->setFocus();
        QTest::keyClick(dialog.control(11), Qt::Key_Escape);
        QCOMPARE(dialog.commands, (std::vector<int>{2}));
        QVERIFY(dialog.isVisible()); // the handler ignored 2
        dialog.close();
        QCOMPARE(dialog.commands, (std::vector<int>{2, 2}));
        QVERIFY(dialog.isVisible());
    }

    void enterPressesTheDefaultButtonAndAddsNoListLine() {
        RecordingDialog dialog;
        dialog.add_list_line(40, "only");
        QTimer::singleShot(0, &dialog, [&dialog] {
            auto* list = control_as<QComboBox>(dialog, 40);
            list->setFocus();
            list->setEditText(QStringLiteral("typed"));
            QTest::keyClick(list, Qt::Key_Return);
        });
        QCOMPARE(dialog.run_modal(), kOkCommand);
        QCOMPARE(dialog.commands, (std::vector<int>{kOkCommand}));
        QCOMPARE(control_as<QComboBox>(dialog, 40)->count(), 1);
    }

    void closeBoxEndsADialogWhoseHandlerEndsOnCancel() {
        RecordingDialog dialog;
        dialog.cancelEnds = true;
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.close(); });
        QCOMPARE(dialog.run_modal(), kCancelCommand);
        QVERIFY(!dialog.isVisible());
    }

    void postedCommandRunsAfterTheCurrentOneReturns() {
        RecordingDialog dialog;
        dialog.send_command(5);
        QCOMPARE(dialog.commands, (std::vector<int>{5, -5}));
        QCoreApplication::processEvents();
        QCOMPARE(dialog.commands, (std::vector<int>{5, -5, 6}));
    }

    void fieldsAreNamedByTheTextInFrontOfThem() {
        RecordingDialog dialog;
        QCOMPARE(dialog.control(11)->accessibleName(), QStringLiteral("Name"));
        QCOMPARE(control_as<QLabel>(dialog, 10)->buddy(), dialog.control(11));
        QVERIFY(dialog.control(12)->accessibleName().isEmpty());
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(dialog.control(2));
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Cancel"));
    }

    void desktopMessageShowsCarriageReturnsAsLineBreaks() {
        DesktopFeedback feedback(nullptr);
        QString shownText;
        QString shownTitle;
        QTimer::singleShot(0, qApp, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            shownText = box->text();
            shownTitle = box->windowTitle();
            box->accept();
        });
        QCOMPARE(feedback.message("Caption", "first\rsecond", MessageButtons::Ok),
                 MessageAnswer::Ok);
        QCOMPARE(shownTitle, QStringLiteral("Caption"));
        QCOMPARE(shownText, QStringLiteral("first\nsecond"));
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::TemplateDialogTest)
#include "template_dialog_test.moc"
