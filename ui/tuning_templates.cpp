// The drilling templates the Tuning window prints, each saying where its
// positions come from: the calculator's design, fitted to pitch, as built.

#include "drilling/circuit_plan.h"
#include "drilling/print_drilling_template.h"
#include "ui/as_built_plan.h"
#include "ui/feedback.h"
#include "ui/latin1_text.h"
#include "ui/tuning_window.h"

#include <QDate>

namespace sorrel::ui {
namespace {

constexpr char kCaption[] = "Sorrel - Tuning";

std::string today() {
    return to_latin1(QDate::currentDate().toString(Qt::ISODate));
}

} // namespace

void TuningWindow::print_template() {
    if (!fields_ready())
        return;
    const CircuitRecord& design = session_.design_record();
    const CircuitPlan plan = plan_from_circuit(design, today());
    if (!plan.plan) {
        feedback_.message(kCaption, "No template: " + plan.refusal + ".",
                          MessageButtons::OkWarning);
        return;
    }
    print_drilling_plan(
        this,
        as_built_plan(*plan.plan, session_.as_built(),
                      session_.chosen_drills().value_or(std::vector<tuning::Drill>{}), design.UNIT,
                      session_.positions_source()),
        feedback_);
}

void print_working_template(QWidget* owner, const DesignState& state, Feedback& feedback) {
    const auto* window = owner->findChild<TuningWindow*>(QString(), Qt::FindDirectChildrenOnly);
    const auto fit = window != nullptr ? window->applied_fit() : std::nullopt;
    const CircuitPlan plan = fit ? plan_from_circuit(state.workingCircuit, today()) : CircuitPlan{};
    if (!fit || !plan.plan ||
        feedback.message("Sorrel - Print Drilling Template",
                         "The drill sizes of this slot come from a fit to pitch. Print the "
                         "fitted positions?\rYes: fitted to pitch. No: the calculator's design.",
                         MessageButtons::YesNo) != MessageAnswer::Yes) {
        print_drilling_template(owner, state.workingCircuit, feedback);
        return;
    }
    print_drilling_plan(owner,
                        as_built_plan(*plan.plan, fit->geometry, fit->drills,
                                      state.workingCircuit.UNIT, "fitted to pitch"),
                        feedback);
}

} // namespace sorrel::ui
