// Speed targets of fit to pitch: a six-hole whistle fitted in at most 20 ms,
// with limits too; its drills chosen from a whole workshop set in at most
// 0.5 s; the drill choice for 12, 16 and 20 holes within 2 s; the rescue of
// a prototype with a fractional-inch set in at most 0.5 s.

#include "tests/fit_instruments.h"
#include "tuning/drill_choice.h"
#include "tuning/pitch_fit.h"
#include "tuning/rescue.h"
#include "tuning/tuning_model.h"

#include <cmath>

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

void BM_FitWithLimits(benchmark::State& state) {
    const Geometry whistle = test::instrument("d_whistle");
    FitOptions options;
    options.minGap = 0.002;
    options.minDiameter = 0.005;
    options.maxDiameter = 0.008;
    options.holes = {{3, true, 0.080, 0.005, 0.008}};
    for (auto _ : state) {
        PitchFit fit = fit_to_pitch(whistle, options);
        benchmark::DoNotOptimize(fit);
    }
}
BENCHMARK(BM_FitWithLimits)->Unit(benchmark::kMillisecond);

// A chromatic low whistle of `holes` holes, a semitone each, from D4.
Geometry chromatic(std::size_t holes) {
    Geometry tube = test::instrument("d_whistle");
    tube.boreDiameter = 0.016;
    tube.length = 0.58;
    tube.holes.clear();
    tube.targets.clear();
    for (std::size_t k = 0; k <= holes; ++k) {
        tube.targets.push_back(293.66 * std::exp2(k / 12.0));
        if (k > 0)
            tube.holes.push_back({tube.length * (1 - std::exp2(-(k / 12.0))), 0.007, std::nullopt});
    }
    return tube;
}

void BM_ChooseDrillsForManyHoles(benchmark::State& state) {
    const Geometry tube = chromatic(static_cast<std::size_t>(state.range(0)));
    const std::vector<Drill> drills = drill_set(DrillSetKind::MetricHalf, {0.004, 0.010});
    double spread = 0;
    for (auto _ : state) {
        PitchFit fit = choose_drills(tube, drills);
        spread = fit.failure ? -1 : fit.ratioSpread;
        benchmark::DoNotOptimize(fit);
    }
    state.counters["spread_percent"] = spread;
}
BENCHMARK(BM_ChooseDrillsForManyHoles)->Arg(12)->Arg(16)->Arg(20)->Unit(benchmark::kMillisecond);

// The whistle built with holes 0.5 mm small and the foot 3 mm long.
void BM_RescueWithFractionalDrills(benchmark::State& state) {
    Geometry built = *fit_to_pitch(test::instrument("d_whistle")).geometry;
    built.length += 0.003;
    for (Hole& hole : built.holes) {
        hole.fromFoot += 0.003;
        hole.diameter -= 0.0005;
    }
    std::vector<PrototypeNote> measured;
    const std::vector<FingeringResult> notes = predict(built);
    for (std::size_t k = 0; k < built.targets.size(); ++k)
        measured.push_back({k, false, *notes[k].first});
    const std::vector<Drill> drills = drill_set(DrillSetKind::FractionalInch);
    for (auto _ : state) {
        Rescue rescue = rescue_prototype(built, measured, drills);
        benchmark::DoNotOptimize(rescue);
    }
}
BENCHMARK(BM_RescueWithFractionalDrills)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace sorrel::tuning
