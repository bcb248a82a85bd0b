#pragma once
// The start-up design (a D whistle, 1/2 in bore, sizes in inches) with its
// results as a finished Calc leaves them.

#include "model/circuit_record.h"

namespace sorrel {

inline CircuitRecord calculated_design() {
    CircuitRecord circuit = default_circuit();
    circuit.DIST = 282.5f;
    circuit.PM = {0, 43.59f, 65.77f, 84.36f, 106.38f, 127.59f, 149.42f};
    circuit.DESC.assign("Tin\xE9whistle"); // Latin-1 e-acute, as the panel stores it
    return circuit;
}

} // namespace sorrel
