// The desktop program's speed: one Calc command from the panel's fields to
// the painted chart, and building the main window up to its first showing.

#include "ui/calculator_panel.h"
#include "ui/feedback.h"
#include "ui/main_window.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace sorrel::ui {
namespace {

// Feedback that shows nothing, so the benchmark measures the program alone.
class SilentFeedback : public Feedback {
public:
    MessageAnswer message(std::string_view, std::string_view, MessageButtons) override {
        return MessageAnswer::Ok;
    }
    void beep() override {}
    void set_wait_cursor(bool) override {}
};

void BM_CalcCommand(benchmark::State& state) {
    SilentFeedback feedback;
    MainWindow window(&feedback);
    window.show();
    QCoreApplication::processEvents();
    CalculatorPanel& panel = window.panel();
    for (auto _ : state) {
        panel.send_command(CalculatorPanel::kCalcCommand);
        panel.repaint(); // the chart is painted at once, not when the loop gets to it
    }
}
BENCHMARK(BM_CalcCommand)->Unit(benchmark::kMillisecond);

void BM_MainWindowToFirstShowing(benchmark::State& state) {
    SilentFeedback feedback;
    for (auto _ : state) {
        MainWindow window(&feedback);
        window.show();
        window.repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_MainWindowToFirstShowing)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace sorrel::ui

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
