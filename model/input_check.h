#pragma once
// Which designs may be calculated: every size and frequency a number in
// range, the frequencies rising from the bottom note to the top. Calc refuses
// anything else, as it refuses a math error, so that nonsense is never stored
// or shown as a result.

#include "model/circuit_record.h"

#include <optional>
#include <string>

namespace sorrel {

enum class InputRule {
    AboveZero,        // finite and above 0
    ZeroOrMore,       // finite and at least 0
    AboveNoteBelow,   // a frequency above the one of the note below it
    ResultsNotFinite, // inputs in range, yet a stored result came out infinite or NaN
};

struct InputFault {
    std::string key; // the design-file key of the first offending value ("DI06", "FR03");
                     // "BDI02" for the bore at hole 2; empty for ResultsNotFinite
    int element = 0; // the array element the key names, 0 for single values
    InputRule rule = InputRule::AboveZero;
};

// Whether `value` keeps `rule` (AboveZero or ZeroOrMore).
bool obeys_input_rule(float value, InputRule rule);

// What the rule asks, for messages: "must be a number above 0".
const char* input_rule_text(InputRule rule);

// "BORE must be a number above 0", or "results are not finite".
std::string describe_input_fault(const InputFault& fault);

// The first input of `circuit` (BORE, the bore at each hole, the hole
// diameters DI01..DI06, the frequencies FR00..FR06, SPSD, EMBV, THIK,
// EMBH) or of `corrections` (EMBCOR, ENDCOR, CHMCOR) that breaks its rule.
std::optional<InputFault> find_invalid_input(const CircuitRecord& circuit,
                                             const GlobalCorrections& corrections);

// Whether every result a finished calculation stores is finite.
bool results_are_finite(const CircuitRecord& circuit);

} // namespace sorrel
