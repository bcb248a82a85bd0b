#pragma once
// A design record as one JSON object keyed by the design file's keys.

#include "model/circuit_record.h"

#include <string>

namespace sorrel {

// Every field of `circuit`, arrays under their key prefix ("FR": [7 numbers]),
// the six steps as "SEQ1".."SEQ6"; non-finite numbers are null, and each float
// is printed as the shortest text that reads back to the same float.
std::string circuit_json_text(const CircuitRecord& circuit);

} // namespace sorrel
