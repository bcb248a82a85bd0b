#include "files/design_file.h"

#include <benchmark/benchmark.h>

namespace sorrel {
namespace {

void BM_WriteDesignText(benchmark::State& state) {
    const DesignState start = startup_state();
    for (auto _ : state)
        benchmark::DoNotOptimize(write_design_text(start.bank, start.corrections));
}
BENCHMARK(BM_WriteDesignText)->Unit(benchmark::kMicrosecond);

void BM_ReadDesignText(benchmark::State& state) {
    const DesignState start = startup_state();
    const std::string text = write_design_text(start.bank, start.corrections);
    for (auto _ : state) {
        CircuitBank bank = start.bank;
        GlobalCorrections corrections = start.corrections;
        benchmark::DoNotOptimize(read_design_text(text, bank, corrections));
        benchmark::DoNotOptimize(bank);
    }
}
BENCHMARK(BM_ReadDesignText)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace sorrel
