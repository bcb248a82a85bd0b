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
    // Only a calculated design is printed, only on Print; the PDF asks
    // viewers for 100 %, as sorrel-cli's does.
    void printsOnlyACalculatedDesign() {
        const struct {
            bool calculated, accept, dialogShown, written;
        } rows[] = {
            {true, true, true, true}, {true, false, true, false}, {false, true, false, false}};
        for (const auto& row : rows) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("template.pdf"));
            const auto shown = answer_print_dialog(path, row.accept);
            CircuitRecord circuit = default_circuit();
            if (row.calculated) {
                circuit.DIST = 282.5f;
                circuit.PM = {0, 43.59f, 65.77f, 84.36f, 106.38f, 127.59f, 149.42f};
            }
            RecordingFeedback feedback;
            print_drilling_template(nullptr, circuit, feedback);
            QCOMPARE(*shown, row.dialogShown);
            QCOMPARE(QFile::exists(path), row.written);
            QCOMPARE(feedback.waitDepth, 0);
            QCOMPARE(feedback.messages.size(), std::size_t(row.calculated ? 0 : 1));
            if (!row.calculated)
                QVERIFY(feedback.messages[0].text.find("no finished Calc") != std::string::npos);
            QFile file(path);
            QVERIFY(!row.written || (file.open(QIODevice::ReadOnly) &&
                                     file.readAll().contains("/PrintScaling /None")));
        }
    }
};

} // namespace sorrel::ui

QTEST_MAIN(sorrel::ui::PrintDrillingTemplateTest)
#include "print_drilling_template_test.moc"
