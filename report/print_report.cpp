#include "report/print_report.h"

#include "report/report_page.h"
#include "ui/feedback.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace sorrel::ui {
namespace {

// The native dialogs show printing to a file as a check box, which the
// report leaves out. Qt's own dialog lists it as a printer instead, the only
// one where no printer is installed, so there it stays.
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
constexpr bool kOfferFileOutput = false;
#else
constexpr bool kOfferFileOutput = true;
#endif

bool choose_printer(QPrinter& printer, QWidget* owner) {
    QPrintDialog dialog(&printer, owner);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, kOfferFileOutput);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

// Paints the page under the wait cursor; false when the printer could not
// be opened or did not take the page.
bool print_page(QPrinter& printer, const CircuitRecord& working, Feedback& feedback) {
    const WaitCursor wait(feedback);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    paint_report_page(painter, working);
    return painter.end();
}

} // namespace

void print_report(QWidget* owner, const CircuitRecord& working, Feedback& feedback) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Toneholes"));
    if (!choose_printer(printer, owner))
        return;
    if (!print_page(printer, working, feedback))
        feedback.message("Sorrel - Print Failed", "The report could not be printed.",
                         MessageButtons::Ok);
}

} // namespace sorrel::ui
