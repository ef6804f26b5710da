// Shards of a simulation: two shards run side by side (as two processes on a 2-core machine
// run them) against one run on two threads, and the cost of jumping the plan to the last
// shard of a large grid.

#include <benchmark/benchmark.h>

#include <numeric>
#include <thread>
#include <vector>

#include "platform/window.h"
#include "series/alphabet.h"
#include "series/selection.h"
#include "series/series_header.h"
#include "simulation/driver.h"
#include "simulation/rest_error_header.h"
#include "simulation/run_plan.h"
#include "simulation/shard_plan.h"

namespace {

// One process's records: fresh streams, the default alphabet and series record, a grid of
// pulse counts 6 to 30 step 6 at noise 20, `repeats` per cell.
struct Process {
    platform::RecordingWindow window;
    series::RandomStreams streams;
    series::Alphabet alphabet;
    series::SeriesHeaderPtr header;
    simulation::RestErrorHeaderPtr record;
    explicit Process(int32_t repeats) {
        series::makeEtalonsAlphabet(window, 128, 20, 20, alphabet, streams.randomEtalons);
        header = series::getCutOffSeriesHeader(window, 20, 20, 40, 181, 1200, nullptr);
        record = simulation::getRestErrHeader(window, 5, 1, repeats, nullptr);
        simulation::initRestErrHeader(window, 5, 6, 6, 1, 20, 0, repeats, record.get());
    }
};

constexpr uint16_t kList[] = {1};
constexpr int32_t kRepeats = 400;

// Arg 0: one run with two threads. Arg 1: shards 0/2 and 1/2 at once, one thread each.
void BM_TwoShardsAgainstTwoThreads(benchmark::State& state) {
    const bool sharded = state.range(0) == 1;
    for (auto _ : state) {
        if (!sharded) {
            Process p(kRepeats);
            simulation::SimulationContext context;
            context.streams = &p.streams;
            context.threads = 2;
            if (!simulation::statCutoffBrelling(p.window, p.record.get(), 20, p.alphabet, 1, kList,
                                                8, 1, 75, 75, *p.header, context))
                state.SkipWithError("simulation failed");
            continue;
        }
        std::vector<std::jthread> shards;
        for (uint32_t i = 0; i < 2; ++i)
            shards.emplace_back([i, &state] {
                Process p(kRepeats);
                simulation::SimulationContext context;
                context.streams = &p.streams;
                context.threads = 1;
                simulation::ShardResult result;
                if (!simulation::simulateShard(p.window, p.record.get(), 20, p.alphabet, 1, kList,
                                               8, 1, 75, 75, *p.header, context, {i, 2}, result))
                    state.SkipWithError("shard failed");
            });
    }
    state.SetItemsProcessed(state.iterations() * 5 * kRepeats);
}
BENCHMARK(BM_TwoShardsAgainstTwoThreads)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The default grid (25 pulse counts, 29 noise levels) with 10,000 repeats: 7.25 million cycles.
// Arg: the task kind (1 detection, 36 tuple detection with complete embedding, 40 tuple
// recognition with single random embedding). Measures the jump of the last of 100 shards.
void BM_PlanLastShard(benchmark::State& state) {
    const uint16_t task = uint16_t(state.range(0));
    simulation::RunParameters run;
    run.M = 20;
    run.n = 1;
    run.list = kList;
    run.taskKind = task;
    run.seriesKind = task == 1 ? 8 : 40;
    run.N = 1200;
    run.Tmin = 40;
    run.Tmax = 181;
    run.etalonLength = 20;
    run.maxPulses = 30;
    run.capacity = 30;
    run.P = 25;
    run.L = 29;
    run.pulses.resize(run.P);
    std::iota(run.pulses.begin(), run.pulses.end(), int16_t{6});
    for (uint16_t k = 0; k < run.L; ++k)
        run.levels.push_back(int16_t(5 * k));
    run.u = 10000;
    if (task != 1) {
        run.subset = {3, 5, 7};
        run.subsetSize = 3;
        run.subsetMode = task == 36 ? 4 : 1;
        run.subsetStart = 1;
    }
    if (task == 40)
        run.tuples = {{1, 2}, {3, 4, 5}, {6}};
    const simulation::CycleRange last = simulation::shardRange(run, 99, 100);
    std::vector<uint16_t> positions(run.maxPulses), numbers(run.numbersLength());
    for (auto _ : state) {
        simulation::CyclePlanner planner(run, series::RandomStreams{}, positions.data(),
                                         numbers.data());
        planner.skip(last.begin);
        benchmark::DoNotOptimize(planner.streams());
    }
    state.counters["skipped"] = double(last.begin);
    state.counters["shardCycles"] = double(last.size());
}
BENCHMARK(BM_PlanLastShard)->Arg(1)->Arg(36)->Arg(40)->Unit(benchmark::kMillisecond);

}  // namespace
