#include "drilling/print_drilling_template.h"

#include "drilling/circuit_plan.h"
#include "drilling/template_painter.h"
#include "ui/feedback.h"

#include <QDate>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace sorrel::ui {
namespace {

constexpr const char* kCaption = "Sorrel - Drilling Template";

bool choose_printer(QPrinter& printer, QWidget* owner) {
    QPrintDialog dialog(&printer, owner);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

Paper paper_of(const QPrinter& printer) {
    return printer.pageLayout().pageSize().id() == QPageSize::Letter ? Paper::Letter : Paper::A4;
}

// Empty when printed, else why not.
QString print(QPrinter& printer, const DrillingPlan& plan) {
    const TemplateLayout layout = lay_out_template(plan, paper_of(printer));
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return write_template_pdf(layout, printer.outputFileName());
    // Sheet coordinates start at the paper's corner, not the printable area's.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("The printer could not be opened.");
    paint_template(painter, printer, layout);
    if (!painter.end())
        return QStringLiteral("The printer did not take the pages.");
    return {};
}

} // namespace

void print_drilling_template(QWidget* owner, const CircuitRecord& working, Feedback& feedback) {
    const QString date = QDate::currentDate().toString(Qt::ISODate);
    const CircuitPlan circuit = plan_from_circuit(working, date.toStdString());
    if (!circuit.plan) {
        feedback.message(kCaption, "No template: " + circuit.refusal + ".", MessageButtons::Ok);
        return;
    }
    print_drilling_plan(owner, *circuit.plan, feedback);
}

void print_drilling_plan(QWidget* owner, const DrillingPlan& plan, Feedback& feedback) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Drilling template"));
    if (!choose_printer(printer, owner))
        return;
    QString error;
    {
        const WaitCursor wait(feedback);
        error = print(printer, plan);
    }
    if (!error.isEmpty())
        feedback.message(kCaption, error.toStdString(), MessageButtons::Ok);
}

} // namespace sorrel::ui
