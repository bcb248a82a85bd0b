#include "cli/fit_command.h"
#include "cli/offscreen_painting.h"
#include "report/fit_page.h"

namespace sorrel {

std::string fit_pdf_bytes(const tuning::PitchFit& fit, const std::string& title) {
    std::string pdf;
    with_offscreen_painting([&] {
        pdf = fit_pdf(fit, QString::fromStdString(title));
        return 0;
    });
    return pdf;
}

} // namespace sorrel
