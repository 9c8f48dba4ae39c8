// The benchmarks' entry point: the offscreen window system when none is chosen, then the runs.
#include <benchmark/benchmark.h>

#include <cstdlib>

#ifdef ROTALINE_BENCH_GUI
#include <QApplication>
#endif

int main(int argc, char** argv) {
#ifdef ROTALINE_BENCH_GUI
    // The windows are measured without a display; a chosen platform (xcb, say) is respected.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
