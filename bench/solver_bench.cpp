#include "model/tonehole_solver.h"

#include <benchmark/benchmark.h>

namespace sorrel {
namespace {

void BM_SolveStartupDesign(benchmark::State& state) {
    const DesignState start = startup_state();
    for (auto _ : state) {
        CircuitRecord circuit = start.workingCircuit;
        benchmark::DoNotOptimize(solve_tonehole_positions(circuit, start.corrections));
    }
}
BENCHMARK(BM_SolveStartupDesign);

} // namespace
} // namespace sorrel
