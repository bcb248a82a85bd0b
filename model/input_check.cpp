#include "model/input_check.h"

#include "model/text_format.h"

#include <cmath>

namespace sorrel {
namespace {

bool obeys(float value, InputRule rule) {
    return std::isfinite(value) && (rule == InputRule::ZeroOrMore ? value >= 0 : value > 0);
}

std::optional<InputFault> check_value(const char* key, float value, InputRule rule) {
    if (obeys(value, rule))
        return std::nullopt;
    return InputFault{key, 0, rule};
}

// Elements `first`..6 of `values`, named KEY followed by the two-digit element.
std::optional<InputFault> check_elements(const char* key, const NoteArray& values, int first,
                                         InputRule rule) {
    for (int k = first; k < kNoteCount; ++k)
        if (!obeys(values[static_cast<std::size_t>(k)], rule))
            return InputFault{format("%s%02d", key, k), k, rule};
    return std::nullopt;
}

std::optional<InputFault> check_rising(const NoteArray& frequencies) {
    for (int k = 1; k < kNoteCount; ++k)
        if (!(frequencies[static_cast<std::size_t>(k)] >
              frequencies[static_cast<std::size_t>(k - 1)]))
            return InputFault{format("FR%02d", k), k, InputRule::AboveNoteBelow};
    return std::nullopt;
}

bool all_finite(const NoteArray& values) {
    for (float value : values)
        if (!std::isfinite(value))
            return false;
    return true;
}

} // namespace

bool obeys_input_rule(float value, InputRule rule) {
    return obeys(value, rule);
}

const char* input_rule_text(InputRule rule) {
    switch (rule) {
    case InputRule::AboveZero:
        return "must be a number above 0";
    case InputRule::ZeroOrMore:
        return "must be a number of 0 or more";
    case InputRule::AboveNoteBelow:
        return "must be above the frequency of the note below";
    case InputRule::ResultsNotFinite:
        break;
    }
    return "results are not finite";
}

std::string describe_input_fault(const InputFault& fault) {
    if (fault.key.empty())
        return input_rule_text(fault.rule);
    return fault.key + " " + input_rule_text(fault.rule);
}

std::optional<InputFault> find_invalid_input(const CircuitRecord& c, const GlobalCorrections& g) {
    constexpr InputRule kAbove = InputRule::AboveZero;
    constexpr InputRule kAtLeast = InputRule::ZeroOrMore;
    for (const std::optional<InputFault>& fault : {
             check_value("BORE", c.BORE, kAbove),
             check_elements("BDI", c.BDI, 0, kAbove),
             check_elements("DI", c.DI, 1, kAbove),
             check_elements("FR", c.FR, 0, kAbove),
             check_value("SPSD", c.SPSD, kAbove),
             check_value("EMBV", c.EMBV, kAbove),
             check_value("THIK", c.THIK, kAtLeast),
             check_value("EMBH", c.EMBH, kAtLeast),
             check_value("EMBCOR", g.EMBCOR, kAtLeast),
             check_value("ENDCOR", g.ENDCOR, kAtLeast),
             check_value("CHMCOR", g.CHMCOR, kAtLeast),
             check_rising(c.FR),
         })
        if (fault)
            return fault;
    return std::nullopt;
}

bool results_are_finite(const CircuitRecord& c) {
    for (const NoteArray* values : {&c.DC, &c.HI, &c.NM, &c.HS, &c.LC, &c.OP, &c.CL, &c.NE, &c.RA,
                                    &c.DV, &c.PI, &c.PM, &c.BDC})
        if (!all_finite(*values))
            return false;
    for (float value : {c.BRCT, c.THCT, c.MAXP, c.AVCU, c.AVRA, c.TOCU, c.TORA, c.LBRA, c.THLN,
                        c.DIST, c.SP[0], c.SP[1], c.SP[2], c.SP[3]})
        if (!std::isfinite(value))
            return false;
    return true;
}

} // namespace sorrel
