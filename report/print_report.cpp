#include "report/print_report.h"

#include "report/fit_page.h"
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

// Paints the page with `paint` under the wait cursor; false when the
// printer could not be opened or did not take the page.
template <typename Paint> bool print_page(QPrinter& printer, Feedback& feedback, Paint paint) {
    const WaitCursor wait(feedback);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    paint(painter);
    return painter.end();
}

} // namespace

void print_report(QWidget* owner, const CircuitRecord& working, Feedback& feedback) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Toneholes"));
    if (!choose_printer(printer, owner))
        return;
    if (!print_page(printer, feedback,
                    [&working](QPainter& painter) { paint_report_page(painter, working); }))
        feedback.message("Sorrel - Print Failed", "The report could not be printed.",
                         MessageButtons::OkWarning);
}

void print_fit(QWidget* owner, const tuning::PitchFit& fit, const QString& title,
               Feedback& feedback) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Fit to pitch"));
    if (!choose_printer(printer, owner))
        return;
    if (!print_page(printer, feedback,
                    [&](QPainter& painter) { paint_fit_page(painter, fit, title); }))
        feedback.message("Sorrel - Print Failed", "The fit table could not be printed.",
                         MessageButtons::OkWarning);
}

} // namespace sorrel::ui
