#include "model/tonehole_solver.h"

#include <benchmark/benchmark.h>

namespace sorrel {
namespace {

void solve_repeatedly(benchmark::State& state, const CircuitRecord& design) {
    const GlobalCorrections corrections;
    int passes = 0;
    for (auto _ : state) {
        CircuitRecord circuit = design;
        passes = solve_tonehole_positions(circuit, corrections).passes;
        benchmark::DoNotOptimize(circuit);
    }
    state.counters["passes"] = passes;
}

void BM_SolveStartupDesign(benchmark::State& state) {
    solve_repeatedly(state, default_circuit());
}
BENCHMARK(BM_SolveStartupDesign);

// A narrow-holed design that never settles: the iteration runs all 13 passes.
void BM_SolveThirteenPasses(benchmark::State& state) {
    CircuitRecord design = default_circuit();
    design.THIK = 0.25f;
    design.DI = {0, 0.0625f, 0.0625f, 0.0625f, 0.0625f, 0.0625f, 0.0625f};
    solve_repeatedly(state, design);
}
BENCHMARK(BM_SolveThirteenPasses);

} // namespace
} // namespace sorrel
