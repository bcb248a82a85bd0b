#pragma once
// The drilling template of a calculated design slot.

#include "drilling/drilling_plan.h"
#include "model/circuit_record.h"

#include <optional>
#include <string>

namespace sorrel {

// A slot's plan, or why the slot has none.
struct CircuitPlan {
    std::optional<DrillingPlan> plan;
    std::string refusal; // what is missing, when `plan` is empty
};

// The template of a slot as its last Calc left it: holes at PM, drilled at
// DI, the length DIST, the mouth EMBH x EMBV. A slot whose results are not
// those of a finished Calc (a length or position that is zero, negative,
// not finite or out of order) is refused. `date` is printed as given.
CircuitPlan plan_from_circuit(const CircuitRecord& circuit, const std::string& date);

// A drill as the maker typed its size: "5/16 in" for a size in whole 64ths of
// an inch, "0.300 in" otherwise; metric "7.5 mm", "8 mm".
std::string drill_label(float size, int32_t unit);

} // namespace sorrel
