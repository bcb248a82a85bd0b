// The Utility menu's calculators and the Help menu's reference sheets, each
// opened as the main window opens it and driven by control number.

#include "ui/tab_stop_label.h"
#include "ui/template_dialog.h"
#include "utilities/reference_sheet_dialog.h"
#include "utilities/reference_sheets.h"
#include "utilities/workshop_calculators.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace sorrel::ui {
namespace {

using Opener = void (*)(QWidget* owner);

void open_drills(QWidget* owner) {
    show_reference_sheet(owner, ReferenceSheet::Drills);
}

void open_resources(QWidget* owner) {
    show_reference_sheet(owner, ReferenceSheet::Resources);
}

// Opens a dialog with `open` and runs `drive` on it once it shows. Whatever
// `drive` finds, the dialog is closed afterwards, so a failed check cannot
// leave the test waiting on it.
void with_dialog(Opener open, std::function<void(TemplateDialog&)> drive) {
    auto shown = std::make_shared<bool>(false);
    QTimer::singleShot(0, qApp, [shown, drive = std::move(drive)] {
        auto* dialog = qobject_cast<TemplateDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        *shown = true;
        drive(*dialog);
        if (dialog->isVisible())
            dialog->end(kOkCommand);
    });
    open(nullptr);
    QVERIFY2(*shown, "no dialog was shown");
}

QString field(const TemplateDialog& dialog, int id) {
    auto* edit = qobject_cast<QLineEdit*>(dialog.control(id));
    return edit != nullptr ? edit->text() : QStringLiteral("(no field %1)").arg(id);
}

void type_into(TemplateDialog& dialog, int id, const char* text) {
    auto* edit = qobject_cast<QLineEdit*>(dialog.control(id));
    QVERIFY(edit != nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

void click(TemplateDialog& dialog, int id) {
    auto* button = qobject_cast<QPushButton*>(dialog.control(id));
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

using FieldTexts = std::vector<std::pair<int, const char*>>;

void compare_fields(const TemplateDialog& dialog, const FieldTexts& expected) {
    for (const auto& [id, text] : expected) {
        const QString message = QStringLiteral("field %1").arg(id);
        QVERIFY2(field(dialog, id) == QString::fromLatin1(text),
                 qPrintable(message + QStringLiteral(": ") + field(dialog, id)));
    }
}

struct Dialog {
    const char* name;
    Opener open;
    const char* title;
    FieldTexts opening; // every field
};

// clang-format off
const Dialog kDialogs[] = {
    {"bore shape", convert_bore_shape, "Round/Square Bore Conversion", {{4150, ""}, {4151, ""}}},
    {"temperature", convert_temperature, "Temperature Conversion",
     {{4154, " 70.0"}, {4155, " 21.1"}}},
    {"distance", convert_distance, "Distance Conversion", {{4222, ""}, {4221, ""}, {4223, ""}}},
    {"air density", calculate_air_density, "Air Density Formula",
     {{2007, " 70.0"}, {4160, " 50.0"}, {4161, "29.92"},
      {4162, ""}, {4166, ""}, {4163, ""}, {4164, ""}}},
};
// clang-format on

// Typed into the fields in order, then one button pressed; `shown` lists
// every field of the dialog afterwards.
struct Conversion {
    const char* name;
    Opener open;
    FieldTexts typed;
    int button;
    FieldTexts shown;
};

// clang-format off
const Conversion kConversions[] = {
    {"round to square", convert_bore_shape, {{4150, "0.75"}}, 4152,
     {{4150, "0.75"}, {4151, " 0.66"}}},
    {"square to round", convert_bore_shape, {{4151, "0.66"}}, 4153,
     {{4150, " 0.74"}, {4151, "0.66"}}},
    {"round not a number", convert_bore_shape, {{4151, "2"}, {4150, "in"}}, 4152,
     {{4150, "in"}, {4151, "2"}}},
    {"boiling point", convert_temperature, {{4154, "212"}}, 4156, {{4154, "212"}, {4155, "100.0"}}},
    {"minus forty", convert_temperature, {{4155, "-40"}}, 4157, {{4154, "-40.0"}, {4155, "-40"}}},
    {"one foot", convert_distance, {{4222, "1"}}, 4224,
     {{4222, "1"}, {4221, "12.00"}, {4223, "30.48"}}},
    {"one metre", convert_distance, {{4223, "100"}}, 4225,
     {{4222, " 3.28"}, {4221, "39.37"}, {4223, "100"}}},
    {"letters after the number", convert_distance, {{4221, "12in"}}, 4220,
     {{4222, " 1.00"}, {4221, "12in"}, {4223, "30.48"}}},
    {"inches not a number", convert_distance, {{4222, "2"}, {4223, "7"}, {4221, "ft"}}, 4220,
     {{4222, "2"}, {4221, "ft"}, {4223, "7"}}},
    {"weather report", calculate_air_density, {}, 4165,
     {{4166, "  49.1"}, {4162, "  72.4"}, {4164, "1.194028"}, {4163, "0.074541"}}},
    {"pressure not a number", calculate_air_density, {{4161, "high"}}, 4165,
     {{4161, "high"}, {4162, ""}, {4166, ""}, {4163, ""}, {4164, ""}}},
};
// clang-format on

// The rightmost column of `label` holding a pixel darker than its background.
int right_edge_of_text(QLabel& label) {
    const QImage image = label.grab().toImage();
    const QRgb background = image.pixel(image.width() - 1, 0);
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < qGray(background) - 64)
                return x;
        }
    }
    return -1;
}

} // namespace

class WorkshopDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void dialogsOpenWithTheirTitleAndValues_data();
    void dialogsOpenWithTheirTitleAndValues();
    void buttonsConvertTheirField_data();
    void buttonsConvertTheirField();
    void onlyOkClosesADialog_data();
    void onlyOkClosesADialog();
    void drillSheetListsTheSizesInOrder();
    void tubingSheetHoldsHeaderAndTenRowsWithTabs();
    void tabsMoveTextToTheNextColumnStop();
};

void WorkshopDialogsTest::dialogsOpenWithTheirTitleAndValues_data() {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < std::size(kDialogs); ++i)
        QTest::newRow(kDialogs[i].name) << int(i);
}

void WorkshopDialogsTest::dialogsOpenWithTheirTitleAndValues() {
    QFETCH(int, row);
    const Dialog& expected = kDialogs[row];
    with_dialog(expected.open, [&expected](TemplateDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString::fromLatin1(expected.title));
        compare_fields(dialog, expected.opening);
    });
}

void WorkshopDialogsTest::buttonsConvertTheirField_data() {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < std::size(kConversions); ++i)
        QTest::newRow(kConversions[i].name) << int(i);
}

void WorkshopDialogsTest::buttonsConvertTheirField() {
    QFETCH(int, row);
    const Conversion& conversion = kConversions[row];
    with_dialog(conversion.open, [&conversion](TemplateDialog& dialog) {
        for (const auto& [id, text] : conversion.typed)
            type_into(dialog, id, text);
        click(dialog, conversion.button);
        compare_fields(dialog, conversion.shown);
    });
}

void WorkshopDialogsTest::onlyOkClosesADialog_data() {
    QTest::addColumn<Opener>("open");
    QTest::addColumn<bool>("byEnter");
    for (const Dialog& dialog : kDialogs) {
        QTest::addRow("%s, OK clicked", dialog.name) << dialog.open << false;
        QTest::addRow("%s, Enter", dialog.name) << dialog.open << true;
    }
    QTest::newRow("drill sheet") << &open_drills << true;
    QTest::newRow("tubing sheet") << &open_resources << true;
}

// Escape and the close box send the cancel command, which every one of
// these dialogs ignores.
void WorkshopDialogsTest::onlyOkClosesADialog() {
    QFETCH(Opener, open);
    QFETCH(bool, byEnter);
    bool closedByOk = false;
    with_dialog(open, [&closedByOk, byEnter](TemplateDialog& dialog) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        if (byEnter)
            QTest::keyClick(&dialog, Qt::Key_Return);
        else
            click(dialog, kOkCommand);
        closedByOk = !dialog.isVisible() && dialog.result() == kOkCommand;
    });
    QVERIFY(closedByOk);
}

void WorkshopDialogsTest::drillSheetListsTheSizesInOrder() {
    with_dialog(open_drills, [](TemplateDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Fractional Drill Sizes"));
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.control(kOkCommand));
        QStringList lines;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            lines.append(label->text());
        QCOMPARE(lines.size(), qsizetype(kDrillSheetLineCount));
        for (std::size_t i = 0; i < kDrillSheetLineCount; ++i)
            QCOMPARE(lines[qsizetype(i)],
                     QString::fromLatin1(drill_sheet_lines()[i].data(),
                                         qsizetype(drill_sheet_lines()[i].size())));
        QCOMPARE(lines.front(), QStringLiteral(" 0.063   1/16 "));
        QCOMPARE(lines.back(), QStringLiteral(" 0.500   1/2"));
    });
}

void WorkshopDialogsTest::tubingSheetHoldsHeaderAndTenRowsWithTabs() {
    with_dialog(open_resources, [](TemplateDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Resources"));
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.control(kOkCommand));
        const TubingSheet& sheet = tubing_sheet();
        const QList<TabStopLabel*> table = dialog.findChildren<TabStopLabel*>();
        QCOMPARE(table.size(), 11);
        QCOMPARE(table[0]->text(), QStringLiteral("OD\tOD\tWall\tID\tflute?\tfor"));
        for (std::size_t i = 0; i < sheet.aluminiumRows.size(); ++i) {
            const std::string_view row = sheet.aluminiumRows[i];
            QCOMPARE(table[qsizetype(i) + 1]->text(),
                     QString::fromLatin1(row.data(), qsizetype(row.size())));
        }
        QStringList frames;
        for (const QGroupBox* frame : dialog.findChildren<QGroupBox*>())
            frames.append(frame->title());
        frames.sort();
        QCOMPARE(frames.size(), 3);
        QVERIFY(frames[0].startsWith(QStringLiteral("AL Tubing 6061-T6")));
        QVERIFY(frames[1].startsWith(QStringLiteral("Brass Tubing")));
        QCOMPARE(frames[2], QStringLiteral("Copper and PVC"));
    });
}

// Texts of different widths before a tab end at the same place after it.
void WorkshopDialogsTest::tabsMoveTextToTheNextColumnStop() {
    constexpr qreal kStop = 60;
    TabStopLabel shortFirst(QStringLiteral("1\tX"), kStop, nullptr);
    TabStopLabel longFirst(QStringLiteral("1 1/8\tX"), kStop, nullptr);
    for (TabStopLabel* label : {&shortFirst, &longFirst})
        label->resize(200, 20);
    const int end = right_edge_of_text(shortFirst);
    QCOMPARE(right_edge_of_text(longFirst), end);
    QVERIFY(end > kStop);
    QVERIFY(end < 2 * kStop);
}

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::WorkshopDialogsTest)
#include "workshop_dialogs_test.moc"
