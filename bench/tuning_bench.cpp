// Speed of the tuning model on a six-hole whistle: the whole prediction (the
// seven default fingerings, both registers, each at the top of its range and
// as played) within 1 ms on one core, one input-impedance evaluation within
// 2 µs, and a calibration of the mouth and the blowing level on seven
// measured notes within 20 ms.

#include "tuning/calibration.h"
#include "tuning/tuning_model.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace sorrel::tuning;

Geometry whistle() {
    Geometry g;
    g.length = 0.2707;
    g.boreDiameter = 0.012;
    g.wall = 0.35e-3;
    const double fromFoot[] = {148.0, 127.5, 104.5, 82.0, 64.5, 39.0};
    const double diameter[] = {5.0, 6.6, 5.6, 5.7, 7.7, 6.9};
    for (int i = 0; i < 6; ++i)
        g.holes.push_back({fromFoot[i] * 1e-3, diameter[i] * 1e-3, std::nullopt});
    g.mouth.windowLength = 5.2e-3;
    g.mouth.windowWidth = 8.2e-3;
    g.targets = {587.33, 659.26, 739.99, 783.99, 880.0, 987.77, 1108.73};
    return g;
}

void BM_PredictSevenFingerings(benchmark::State& state) {
    const Geometry g = whistle();
    for (auto _ : state)
        benchmark::DoNotOptimize(predict(g));
}
BENCHMARK(BM_PredictSevenFingerings)->Unit(benchmark::kMicrosecond);

void BM_InputImpedance(benchmark::State& state) {
    const Geometry g = whistle();
    const AirColumn column(g, default_fingerings(6)[3]);
    double frequency = 780;
    for (auto _ : state) {
        benchmark::DoNotOptimize(column.input_impedance(frequency));
        frequency = frequency < 800 ? frequency + 0.01 : 780;
    }
}
BENCHMARK(BM_InputImpedance)->Unit(benchmark::kNanosecond);

// The notes a tuner reads, to a tenth of a hertz, on the whistle made with a
// window height of 3.4 mm and a blowing level of 0.27.
void BM_CalibrateOnSevenPlayedNotes(benchmark::State& state) {
    const Geometry g = whistle();
    Geometry made = g;
    made.windowHeight = 3.4e-3;
    made.strouhal = 0.27;
    std::vector<MeasuredPitch> measured;
    for (const FingeringResult& note : predict(made)) {
        std::string error;
        measured.push_back(
            {*parse_fingering(note.fingering, 6, error), std::round(*note.played * 10) / 10, true});
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(calibrate_notes(g, measured));
}
BENCHMARK(BM_CalibrateOnSevenPlayedNotes)->Unit(benchmark::kMillisecond);

} // namespace
