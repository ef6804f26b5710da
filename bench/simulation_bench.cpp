// Simulation throughput: the default grid cell (detection, unknown number of cut-off pulses,
// N 1200, 18 pulses, sigma 20) as cycles per second, on one thread and on all threads.

#include <benchmark/benchmark.h>

#include <thread>
#include <vector>

#include "platform/window.h"
#include "series/alphabet.h"
#include "series/series_header.h"
#include "simulation/driver.h"
#include "simulation/rest_error_header.h"

namespace {

void BM_DefaultCell(benchmark::State& state) {
    const unsigned threads = state.range(0) ? unsigned(state.range(0))
                                            : std::max(1u, std::thread::hardware_concurrency());
    constexpr int32_t kRepeats = 400;
    platform::RecordingWindow window;
    series::RandomStreams streams;
    series::Alphabet alphabet;
    series::makeEtalonsAlphabet(window, 128, 20, 20, alphabet, streams.randomEtalons);
    auto header = series::getCutOffSeriesHeader(window, 20, 20, 40, 181, 1200, nullptr);
    auto record = simulation::getRestErrHeader(window, 1, 1, kRepeats, nullptr);
    simulation::initRestErrHeader(window, 1, 18, 1, 1, 20, 0, kRepeats, record.get());
    const uint16_t list[] = {1};
    simulation::SimulationContext context;
    context.streams = &streams;
    context.threads = threads;
    for (auto _ : state) {
        const int ok = simulation::statCutoffBrelling(window, record.get(), 20, alphabet, 1, list,
                                                      8, 1, 75, 75, *header, context);
        if (!ok)
            state.SkipWithError("simulation failed");
        benchmark::DoNotOptimize(record->lpDetectionErrors[0][0]);
    }
    state.SetItemsProcessed(state.iterations() * kRepeats);
    state.counters["threads"] = threads;
}
BENCHMARK(BM_DefaultCell)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
