// Shards of a simulation: the planner's jump to any cycle, the balanced split of the cycles,
// and shards whose summed cells give the tables of one whole run.

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "driver.h"
#include "run_plan.h"
#include "shard_plan.h"
#include "simulation_fixture.h"

namespace simulation {
namespace {

struct PlanCase {
    uint16_t task, series, subsetMode;
    std::vector<uint16_t> list;
    bool keepSubset;            // the plain task kinds: embed the current subset too
    bool invalidEntry = false;  // a subset entry outside the alphabet (generation uses 1)
};

// Every task kind, every subset mode, lists longer than the pulse counts (their tail entries
// are read from earlier cells), with and without an embedded subset for the plain kinds.
// The set-up's current subset is 3, 5, 7 and its tuples 1, 2; 3, 4, 5; 6.
const PlanCase kPlanCases[] = {
    {1, 8, 4, {1}, false},
    {2, 1, 4, {2, 4, 6, 8, 10, 12, 14}, false},
    {2, 8, 1, {1, 3}, false},
    {4, 2, 4, {1, 2}, false},
    {4, 4, 5, {1, 4, 6}, true, true},
    {4, 2, 1, {2, 3, 5, 7, 9, 11}, true},
    {64, 8, 3, {1, 2, 3}, true},
    {64, 1, 2, {1}, false},
    {36, 40, 1, {3, 5, 7}, true},
    {36, 36, 2, {3, 5, 7}, true},
    {36, 40, 3, {3, 5, 7}, true, true},
    {36, 36, 5, {3, 5, 7}, true},
    {40, 40, 3, {1, 2, 3, 4, 5, 6}, true},
    {40, 36, 5, {1, 2, 3, 4, 5, 6}, true},
    {40, 40, 2, {1, 2, 3, 4, 5, 6}, true},
    {40, 36, 1, {1, 2, 3, 4, 5, 6}, true},
    {40, 40, 4, {1, 2, 3, 4, 5, 6}, true},
};

void prepare(Sim& s, const PlanCase& c) {
    if (!c.keepSubset)
        s.header->wSubsetSize = 0;
    if (c.invalidEntry)
        s.header->lpSubset[1] = 25;
}

struct Planned {
    CycleStart start;
    std::vector<uint16_t> numbers;
};

void expectSameCycle(const Planned& a, const Planned& b, uint64_t cycle) {
    EXPECT_EQ(a.start.streams, b.start.streams) << "cycle " << cycle;
    EXPECT_EQ(a.start.j, b.start.j) << "cycle " << cycle;
    EXPECT_EQ(a.start.k, b.start.k) << "cycle " << cycle;
    EXPECT_EQ(a.start.tuple, b.start.tuple) << "cycle " << cycle;
    EXPECT_EQ(a.start.subsetSize, b.start.subsetSize) << "cycle " << cycle;
    EXPECT_EQ(a.numbers, b.numbers) << "cycle " << cycle;
}

// A planner over the run with its own etalon-number buffers.
struct PlannerRun {
    const RunParameters& run;
    std::vector<uint16_t> positions, numbers;
    CyclePlanner planner;
    PlannerRun(const RunParameters& r, const series::RandomStreams& streams)
        : run(r),
          positions(r.maxPulses),
          numbers(r.numbersLength()),
          planner(r, streams, positions.data(), numbers.data()) {}
    Planned next() {
        Planned p;
        p.numbers.assign(run.numbersLength(), 0);
        planner.next(p.start, p.numbers.data());
        p.numbers.resize(run.numbersRead(uint16_t(run.pulses[p.start.j])));
        return p;
    }
};

TEST(CyclePlanner, SkipLeavesTheStateOfPlanningInOrder) {
    // Pulse counts that rise and fall (a later cell reads what a longer one left), repeats that
    // switch the assignment every cycle (u = 1, 2) and now and then (u = 7).
    const std::vector<int16_t> pulses = {3, 5, 1, 4, 2};
    for (const PlanCase& c : kPlanCases)
        for (int32_t u : {1, 2, 7}) {
            SCOPED_TRACE(testing::Message() << "task " << c.task << " series " << c.series
                                            << " mode " << c.subsetMode << " u " << u);
            Sim s(c.task, c.series, c.list, pulses, {0, 10}, u, 200, c.subsetMode);
            prepare(s, c);
            const RunParameters run = planOf(s, u == 2);
            const uint64_t total = run.cycles();
            PlannerRun inOrder(run, s.streams);
            std::vector<Planned> expected;
            for (uint64_t cycle = 0; cycle < total; ++cycle)
                expected.push_back(inOrder.next());

            for (uint64_t first = 0; first <= total; ++first) {
                PlannerRun jumped(run, s.streams);
                // In two jumps, the second from inside a cell.
                jumped.planner.skip(first / 3);
                jumped.planner.skip(first - first / 3);
                ASSERT_EQ(jumped.planner.position(), first);
                for (uint64_t cycle = first; cycle < total; ++cycle)
                    expectSameCycle(jumped.next(), expected[cycle], cycle);
                EXPECT_EQ(jumped.planner.streams(), inOrder.planner.streams());
                if (testing::Test::HasFailure())
                    return;
            }
            // After cycles planned in order, and past the end.
            PlannerRun mixed(run, s.streams);
            for (uint64_t cycle = 0; cycle < total / 2; ++cycle)
                mixed.next();
            mixed.planner.skip(total);
            EXPECT_EQ(mixed.planner.position(), total);
            EXPECT_EQ(mixed.planner.streams(), inOrder.planner.streams());
        }
}

RunParameters gridOf(uint16_t task, uint16_t series, std::vector<int16_t> pulses, uint16_t L,
                     uint16_t u) {
    RunParameters run;
    run.taskKind = task;
    run.seriesKind = series;
    run.n = 3;
    run.N = 1200;
    run.Tmin = 40;
    run.Tmax = 181;
    run.etalonLength = 20;
    run.pulses = std::move(pulses);
    run.P = uint16_t(run.pulses.size());
    run.L = L;
    run.u = u;
    return run;
}

TEST(ShardRange, PartsTileTheCyclesWithBalancedWork) {
    std::vector<int16_t> all(25);
    std::iota(all.begin(), all.end(), int16_t{6});
    const RunParameters runs[] = {
        gridOf(1, 8, all, 30, 100),        // the default grid: about flat
        gridOf(1, 2, all, 3, 7),           // known count: the middle pulse counts cost most
        gridOf(2, 1, {6, 18, 30}, 1, 1),   // fewer cycles than some part counts
        gridOf(36, 36, {10, 20}, 2, 333),  // long cells split inside
    };
    for (const RunParameters& run : runs)
        for (uint32_t count : {1u, 2u, 3u, 7u, 16u}) {
            SCOPED_TRACE(testing::Message() << "task " << run.taskKind << " parts " << count);
            const uint64_t total = run.cycles();
            auto work = [&](CycleRange r) {
                long double sum = 0;
                for (uint64_t c = r.begin; c < r.end; ++c)
                    sum += estimatedCycleCost(run,
                                              uint16_t(run.pulses[c / (uint64_t(run.L) * run.u)]));
                return sum;
            };
            const long double whole = work({0, total});
            uint64_t largest = 0;
            for (int16_t Q : run.pulses)
                largest = std::max(largest, estimatedCycleCost(run, uint16_t(Q)));
            uint64_t next = 0;
            for (uint32_t i = 0; i < count; ++i) {
                const CycleRange r = shardRange(run, i, count);
                EXPECT_EQ(r.begin, next) << "part " << i;
                EXPECT_LE(r.begin, r.end);
                next = r.end;
                // Each part holds its share of the work, give or take one cycle.
                EXPECT_NEAR(double(work(r)), double(whole / count), double(largest) + 1.0)
                    << "part " << i;
                EXPECT_EQ(shardRange(run, i, count), r);  // the same split every time
            }
            EXPECT_EQ(next, total);
            EXPECT_EQ(shardRange(run, count, count).size(), 0u);  // no such part
        }
}

TEST(ShardRange, CostFollowsTheProceduresWork) {
    std::vector<int16_t> all(25);
    std::iota(all.begin(), all.end(), int16_t{6});
    const RunParameters known = gridOf(1, 2, all, 1, 1);
    const RunParameters unknown = gridOf(1, 8, all, 1, 1);
    const RunParameters recognition = gridOf(2, 1, all, 1, 1);
    // A known count is dearest in the middle of the feasible range, where the starts vary most.
    EXPECT_GT(estimatedCycleCost(known, 18), estimatedCycleCost(known, 6));
    EXPECT_GT(estimatedCycleCost(known, 18), estimatedCycleCost(known, 30));
    // An unknown count grows only with the generation of more pulses.
    EXPECT_GT(estimatedCycleCost(unknown, 30), estimatedCycleCost(unknown, 6));
    EXPECT_LT(estimatedCycleCost(unknown, 30), 2 * estimatedCycleCost(unknown, 6));
    // Fitting every etalon of the list costs more per start than detection.
    EXPECT_GT(estimatedCycleCost(recognition, 18), estimatedCycleCost(known, 18));
}

// Runs every shard of `count` on its own fresh set-up, as separate processes would.
struct ShardedRun {
    std::vector<CellSums> cells;
    ShardResult last;
    series::RandomStreams lastStreams;
    int16_t lastFirstEtalon = 0;
    std::vector<int16_t> lastNoisy;
};

ShardedRun runShards(const PlanCase& c, uint32_t count, const SimulationContext& base) {
    ShardedRun out;
    for (uint32_t i = 0; i < count; ++i) {
        Sim s(c.task, c.series, c.list, {2, 4, 3}, {0, 25}, 5, 200, c.subsetMode);
        prepare(s, c);
        platform::RecordingWindow window;
        ShardResult r;
        SimulationContext context = base;
        context.streams = &s.streams;
        EXPECT_EQ(simulateShard(window, s.record.get(), 20, s.alphabet, uint16_t(s.list.size()),
                                s.list.data(), s.seriesKind, s.taskKind, s.createLevel,
                                s.processLevel, *s.header, context, {i, count}, r),
                  1);
        EXPECT_TRUE(window.messages().empty());
        EXPECT_EQ(s.record->ifComplete, 0);
        if (out.cells.empty())
            out.cells.resize(size_t{s.record->wVariousPulses} * s.record->wNoiseLevels);
        for (size_t cell = 0; cell < r.sums.size(); ++cell)
            out.cells[r.firstCell + cell].add(r.sums[cell]);
        if (r.cycles.end == r.gridCycles && r.cycles.size() > 0) {
            out.last = r;
            out.lastStreams = s.streams;
            out.lastFirstEtalon = s.header->lpFirstPulse->wNumber;
            out.lastNoisy.assign(s.header->lpNoisyData,
                                 s.header->lpNoisyData + s.header->dwSeriesSize);
        }
    }
    return out;
}

TEST(SimulateShard, ShardsAddUpToTheWholeRun) {
    for (const PlanCase& c : kPlanCases)
        for (bool independent : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "task " << c.task << " series " << c.series << " mode " << c.subsetMode
                         << " independent " << independent);
            Sim whole(c.task, c.series, c.list, {2, 4, 3}, {0, 25}, 5, 200, c.subsetMode);
            prepare(whole, c);
            SimulationContext context;
            context.threads = 2;
            if (independent)
                context.independentNoiseSeed = 99;
            platform::RecordingWindow window;
            ASSERT_EQ(whole.run(window, context), 1);
            for (uint32_t count : {1u, 2u, 3u, 7u}) {
                SCOPED_TRACE(testing::Message() << count << " shards");
                const ShardedRun sharded = runShards(c, count, context);
                Sim folded(c.task, c.series, c.list, {2, 4, 3}, {0, 25}, 5);
                addInitRestErrHeader(window, c.series, c.task, 75, 75, folded.record.get());
                for (const CellSums& cell : sharded.cells)
                    EXPECT_EQ(cell.cycles, 5u);
                writeCellTables(*folded.record, sharded.cells);
                EXPECT_EQ(folded.tables(), whole.tables());
                // The shard with the last cycle leaves what the whole run leaves.
                EXPECT_EQ(sharded.lastStreams, whole.streams);
                EXPECT_EQ(sharded.lastFirstEtalon, whole.header->lpFirstPulse->wNumber);
                EXPECT_EQ(sharded.lastNoisy, std::vector<int16_t>(whole.header->lpNoisyData,
                                                                  whole.header->lpNoisyData +
                                                                      whole.header->dwSeriesSize));
            }
        }
}

TEST(SimulateShard, RefusesAShardThatDoesNotExist) {
    for (ShardPart part : {ShardPart{2, 2}, ShardPart{0, 0}}) {
        Sim s(1, 8, {1}, {2}, {0}, 3);
        platform::RecordingWindow window;
        SimulationContext context;
        context.streams = &s.streams;
        ShardResult r;
        EXPECT_EQ(simulateShard(window, s.record.get(), 20, s.alphabet, 1, s.list.data(), 8, 1, 75,
                                75, *s.header, context, part, r),
                  0);
        ASSERT_EQ(window.messages().size(), 1u);
        EXPECT_NE(window.messages()[0].text.find("does not exist"), std::string::npos);
        EXPECT_EQ(s.streams, series::RandomStreams{});
    }
}

}  // namespace
}  // namespace simulation
