// File > Print Drilling Template..., answered in the print dialog as a user
// answers it: with no printer installed, printing goes to a PDF file.

#include "drilling/print_drilling_template.h"
#include "tests/print_to_file.h"
#include "tests/recording_feedback.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace sorrel::ui {

class PrintDrillingTemplateTest : public QObject {
    Q_OBJECT

private slots:
    void printsOnlyACalculatedDesign_data();
    void printsOnlyACalculatedDesign();
};

void PrintDrillingTemplateTest::printsOnlyACalculatedDesign_data() {
    QTest::addColumn<bool>("calculated");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("dialogShown");
    QTest::addColumn<bool>("written");
    QTest::newRow("calculated, Print") << true << true << true << true;
    QTest::newRow("calculated, Cancel") << true << false << true << false;
    QTest::newRow("never calculated") << false << true << false << false;
}

void PrintDrillingTemplateTest::printsOnlyACalculatedDesign() {
    QFETCH(bool, calculated);
    QFETCH(bool, accept);
    QFETCH(bool, dialogShown);
    QFETCH(bool, written);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("template.pdf"));
    const auto shown = answer_print_dialog(path, accept);
    CircuitRecord circuit = default_circuit();
    if (calculated) {
        circuit.DIST = 282.5f;
        circuit.PM = {0, 43.59f, 65.77f, 84.36f, 106.38f, 127.59f, 149.42f};
    }
    RecordingFeedback feedback;
    print_drilling_template(nullptr, circuit, feedback);
    QCOMPARE(*shown, dialogShown);
    QCOMPARE(QFile::exists(path), written);
    QCOMPARE(feedback.waitDepth, 0);
    if (!calculated) {
        QCOMPARE(int(feedback.messages.size()), 1);
        QCOMPARE(feedback.messages[0].caption, std::string("Sorrel - Drilling Template"));
        QVERIFY(feedback.messages[0].text.find("no finished Calc") != std::string::npos);
        return;
    }
    QVERIFY(feedback.messages.empty());
    if (!written)
        return;
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Written as sorrel-cli writes it, asking viewers for 100 %.
    QVERIFY(file.readAll().contains("/PrintScaling /None"));
}

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::PrintDrillingTemplateTest)
#include "print_drilling_template_test.moc"
