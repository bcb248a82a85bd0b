// Speed targets of fit to pitch: a six-hole whistle fitted in at most 20 ms,
// its drills chosen from a whole workshop set in at most 0.5 s.

#include "tests/fit_instruments.h"
#include "tuning/drill_choice.h"
#include "tuning/pitch_fit.h"

#include <benchmark/benchmark.h>

namespace sorrel::tuning {
namespace {

void BM_FitSixHoleWhistle(benchmark::State& state) {
    const Geometry whistle = test::instrument("d_whistle");
    for (auto _ : state) {
        PitchFit fit = fit_to_pitch(whistle);
        benchmark::DoNotOptimize(fit);
    }
}
BENCHMARK(BM_FitSixHoleWhistle)->Unit(benchmark::kMillisecond);

void choose_repeatedly(benchmark::State& state, DrillSetKind kind) {
    const Geometry whistle = test::instrument("d_whistle");
    const std::vector<Drill> drills = drill_set(kind);
    double spread = 0;
    for (auto _ : state) {
        PitchFit fit = choose_drills(whistle, drills);
        spread = fit.ratioSpread;
        benchmark::DoNotOptimize(fit);
    }
    state.counters["spread_percent"] = spread;
}

void BM_ChooseFractionalDrills(benchmark::State& state) {
    choose_repeatedly(state, DrillSetKind::FractionalInch);
}
BENCHMARK(BM_ChooseFractionalDrills)->Unit(benchmark::kMillisecond);

void BM_ChooseMetricDrills(benchmark::State& state) {
    choose_repeatedly(state, DrillSetKind::Metric);
}
BENCHMARK(BM_ChooseMetricDrills)->Unit(benchmark::kMillisecond);

void BM_ChooseHalfMillimetreDrills(benchmark::State& state) {
    choose_repeatedly(state, DrillSetKind::MetricHalf);
}
BENCHMARK(BM_ChooseHalfMillimetreDrills)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace sorrel::tuning
