#include "driver.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "engine/chains.h"
#include "engine/dispatch.h"
#include "independent_noise.h"
#include "platform/allocation.h"
#include "run_plan.h"
#include "series/generation.h"
#include "series/selection.h"
#include "series/series_header.h"

namespace simulation {

std::time_t simulationStartTime = 0;
std::time_t simulationEndTime = 0;

namespace {

constexpr const char* kDriverTitle = "statCutoffBrelling";
constexpr uint16_t kChainsRows = 10;
constexpr uint64_t kChunkCycles = 2048;  // cycles planned and run between two joins

int32_t saturate32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// The measures of one cycle.
struct CycleResult {
    int32_t restoring = 0;  // restoringSquaredError
    int64_t detection = 0;  // (Q + 256 H) / (2 Q)
    uint8_t mismatch = 0;   // task kind 40: recognised tuple differs
};

// What one worker thread owns.
struct WorkerSlot {
    series::SeriesHeaderPtr header;
    engine::ChainsHeaderPtr chains;
    std::unique_ptr<uint16_t[]> numbers;
    int32_t debugFlag = 0;
    int32_t* debugRepeat = nullptr;
    int32_t loadedSubset = -1;  // the subset content in header->lpSubset: 0 the run's, e tuple e
};

// The run shared by the workers.
struct SharedRun {
    platform::Window* window = nullptr;
    const RunParameters* run = nullptr;
    const SimulationContext* context = nullptr;
    engine::ProcessingInput input;
    bool listFromNumbers = false;
    // The chunk being run.
    const CycleStart* starts = nullptr;
    const uint16_t* numbers = nullptr;  // run->numbersLength() entries per cycle
    CycleResult* results = nullptr;
    series::RandomStreams afterChunk;
    uint64_t chunkBegin = 0, chunkEnd = 0;
    std::atomic<uint64_t> nextCycle{0};
    // The whole run.
    uint64_t total = 0;      // cycles of the grid
    uint64_t rangeEnd = 0;   // one past the shard's last cycle
    uint64_t rangeSize = 0;  // cycles of the shard
    std::atomic<uint64_t> done{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> cancelled{false};
    std::atomic<int> lastCycleWorker{-1};
    std::mutex failureMutex;
    std::string failure;
    std::mutex progressMutex;
    std::chrono::steady_clock::time_point lastProgress;

    void fail(std::string text) {
        std::lock_guard lock(failureMutex);
        if (failure.empty())
            failure = std::move(text);
        stop = true;
    }
};

void reportProgress(SharedRun& shared, uint64_t done) {
    const SimulationContext& ctx = *shared.context;
    if (!ctx.progress)
        return;
    std::unique_lock lock(shared.progressMutex, std::try_to_lock);
    if (!lock.owns_lock())
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - shared.lastProgress < ctx.progressInterval)
        return;
    shared.lastProgress = now;
    ctx.progress(done, shared.rangeSize);
}

// Puts the subset the cycle generates with into the worker's series record.
void applySubset(WorkerSlot& slot, const RunParameters& run, const CycleStart& start) {
    series::SeriesHeader& h = *slot.header;
    const int32_t source = start.tuple;
    if (slot.loadedSubset != source) {
        const std::vector<int16_t>& content = source == 0 ? run.subset : run.tuples[source - 1];
        std::fill(h.lpSubset, h.lpSubset + h.wPulsesCapacity, int16_t{0});
        std::copy(content.begin(), content.end(), h.lpSubset);
        slot.loadedSubset = source;
    }
    h.wSubsetSize = start.subsetSize;
}

void runCycle(SharedRun& shared, WorkerSlot& slot, uint64_t cycle) {
    const RunParameters& run = *shared.run;
    const SimulationContext& ctx = *shared.context;
    platform::Window& window = *shared.window;
    const uint64_t index = cycle - shared.chunkBegin;
    const CycleStart& start = shared.starts[index];
    const uint16_t Q = static_cast<uint16_t>(run.pulses[start.j]);
    const int16_t D = run.levels[start.k];

    const uint16_t* planned = shared.numbers + index * run.numbersLength();
    std::copy(planned, planned + run.numbersRead(Q), slot.numbers.get());
    applySubset(slot, run, start);

    series::RandomStreams streams = start.streams;
    slot.header = series::getCutOffSeries(window, run.M, *run.alphabet, run.etalonLength, run.Tmin,
                                          run.Tmax, run.N, Q, slot.numbers.get(), ctx.amplitude,
                                          run.createLevel, std::move(slot.header), streams);
    if (!slot.header) {
        slot.loadedSubset = -1;
        char text[160];
        std::snprintf(text, sizeof text,
                      "Simulation stopped: no series could be generated for %u pulses at noise "
                      "level %d (cycle %llu of %llu).",
                      unsigned{Q}, int{D}, static_cast<unsigned long long>(cycle + 1),
                      static_cast<unsigned long long>(shared.total));
        shared.fail(text);
        return;
    }
    series::SeriesHeader& h = *slot.header;
    if (run.independentNoise)
        addIndependentNoise(h, D, *ctx.independentNoiseSeed, cycle);
    else
        series::addNoise(window, D, ctx.amplitude, h, streams.noise);

    // The plan must have foreseen every draw; otherwise later cycles would start wrongly.
    const series::RandomStreams& expected = index + 1 < shared.chunkEnd - shared.chunkBegin
                                                ? shared.starts[index + 1].streams
                                                : shared.afterChunk;
    if (!(streams == expected)) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "Simulation stopped: the series of cycle %llu of %llu (%u pulses, noise "
                      "level %d) was not generated as planned.",
                      static_cast<unsigned long long>(cycle + 1),
                      static_cast<unsigned long long>(shared.total), unsigned{Q}, int{D});
        shared.fail(text);
        return;
    }

    engine::ProcessingInput input = shared.input;
    if (shared.listFromNumbers)
        input.list = slot.numbers.get();
    input.debugRepeat = slot.debugRepeat;
    const engine::ProcessingOutcome outcome =
        engine::runProcedure(window, run.taskKind, run.seriesKind, input, *slot.chains, h);

    CycleResult& result = shared.results[index];
    result.restoring = restoringSquaredError(window, h);
    const uint16_t F = slot.chains->wSeekingPulsesQuantity;
    int64_t H = 0;
    for (uint16_t m = 0; m < Q && m < F && m < h.wPulsesCapacity; ++m) {
        const int64_t d = int64_t{h.lpPulseStart[m]} - h.lpDetectedStart[m];
        H += d * d;
    }
    result.detection = (Q + 256 * H) / (2 * int64_t{Q});
    result.mismatch = 0;
    if (run.taskKind == 40) {
        const int32_t A = outcome.hasResult ? outcome.result : h.wRecognizedSubset;
        result.mismatch = A != start.tuple ? 1 : 0;
    }
}

void workerLoop(SharedRun& shared, WorkerSlot& slot, int worker) {
    const SimulationContext& ctx = *shared.context;
    while (!shared.stop) {
        if (ctx.cancel && ctx.cancel->load(std::memory_order_relaxed)) {
            shared.cancelled = true;
            shared.stop = true;
            break;
        }
        const uint64_t cycle = shared.nextCycle.fetch_add(1);
        if (cycle >= shared.chunkEnd)
            break;
        runCycle(shared, slot, cycle);
        if (shared.stop)
            break;
        if (cycle + 1 == shared.rangeEnd)
            shared.lastCycleWorker = worker;
        reportProgress(shared, shared.done.fetch_add(1) + 1);
    }
}

// Copies what the last cycle left in the worker's series record into the caller's: the series,
// its truth, the findings and the kinds; entries the last cycle did not write stay as they were.
void copyLastCycle(const series::SeriesHeader& from, series::SeriesHeader& to) {
    to.dwSeriesSize = from.dwSeriesSize;
    to.wTmin = from.wTmin;
    to.wTmax = from.wTmax;
    to.wImpulseSize = from.wImpulseSize;
    to.wImpulseQuantity = from.wImpulseQuantity;
    to.wMaxPulses = from.wMaxPulses;
    to.wMinPulses = from.wMinPulses;
    to.wNoiseLevel = from.wNoiseLevel;
    to.wAmplitude = from.wAmplitude;
    to.lpFirstPulse = from.lpFirstPulse;
    to.wEtalonsQuantity = from.wEtalonsQuantity;
    to.wDetectedQuantity = from.wDetectedQuantity;
    to.wDefaultCutBegin = from.wDefaultCutBegin;
    to.wDefaultCutEnd = from.wDefaultCutEnd;
    to.wDetectedTuples = from.wDetectedTuples;
    to.wRecognizedSubset = from.wRecognizedSubset;
    std::fill(to.lpPulsesList.get(), to.lpPulsesList.get() + to.wPulsesListCapacity, nullptr);
    std::copy(from.lpPulsesList.get(), from.lpPulsesList.get() + from.wEtalonsQuantity,
              to.lpPulsesList.get());
    const uint32_t N = from.dwSeriesSize;
    std::copy(from.lpPureData, from.lpPureData + N, to.lpPureData);
    std::copy(from.lpNoisyData, from.lpNoisyData + N, to.lpNoisyData);
    const size_t capacity = std::min(from.wPulsesCapacity, to.wPulsesCapacity);
    const size_t K = std::min<size_t>(from.wImpulseQuantity, capacity);
    const size_t found =
        std::min<size_t>(std::max(from.wImpulseQuantity, from.wDetectedQuantity), capacity);
    const size_t tuples =
        std::min<size_t>(static_cast<size_t>(std::max<int16_t>(from.wDetectedTuples, 0)), capacity);
    auto copyArray = [](const int16_t* a, int16_t* b, size_t count) { std::copy(a, a + count, b); };
    copyArray(from.lpPulseEtalon, to.lpPulseEtalon, K);
    copyArray(from.lpPulseStart, to.lpPulseStart, K);
    copyArray(from.lpStartMin, to.lpStartMin, K);
    copyArray(from.lpStartMax, to.lpStartMax, K);
    copyArray(from.lpCutBegin, to.lpCutBegin, K);
    copyArray(from.lpCutEnd, to.lpCutEnd, K);
    copyArray(from.lpDetectedStart, to.lpDetectedStart, found);
    copyArray(from.lpDetectedEtalon, to.lpDetectedEtalon, found);
    copyArray(from.lpDetectedCutBegin, to.lpDetectedCutBegin, found);
    copyArray(from.lpDetectedCutEnd, to.lpDetectedCutEnd, found);
    copyArray(from.lpTupleFirst, to.lpTupleFirst, tuples);
    copyArray(from.lpTupleLast, to.lpTupleLast, tuples);
}

RunParameters gatherRun(const RestErrorHeader& record, uint16_t etalonCount,
                        const series::Alphabet& alphabet, uint16_t listCount,
                        const uint16_t* requiredList, uint16_t seriesKind, uint16_t taskKind,
                        uint16_t createSavedLevel, uint16_t processSavedLevel,
                        const series::SeriesHeader& h, bool independentNoise) {
    RunParameters run;
    run.M = etalonCount;
    run.alphabet = &alphabet;
    run.n = listCount;
    run.list = requiredList;
    run.seriesKind = seriesKind;
    run.taskKind = taskKind;
    run.createLevel = createSavedLevel;
    run.processLevel = processSavedLevel;
    run.N = h.dwSeriesSize;
    run.Tmin = h.wTmin;
    run.Tmax = h.wTmax;
    run.etalonLength = alphabet[requiredList[0] - 1].wSize;
    run.maxPulses = h.wMaxPulses;
    run.capacity = h.wPulsesCapacity;
    run.P = record.wVariousPulses;
    run.L = record.wNoiseLevels;
    run.pulses.assign(record.wPulseValues, record.wPulseValues + run.P);
    run.levels.assign(record.lpNoiseLevels, record.lpNoiseLevels + run.L);
    run.u = static_cast<uint16_t>(record.repeats & 0xFFFF);
    run.subsetSize = h.wSubsetSize;
    run.subset.assign(h.lpSubset, h.lpSubset + std::min(h.wSubsetSize, h.wPulsesCapacity));
    run.subsetMode = h.wSubsetMode;
    run.subsetStart = h.wSubsetStart;
    if (taskKind == 40)
        for (uint16_t t = 0; t < h.wSubsetsQuantity; ++t)
            run.tuples.emplace_back(h.selectedSubsetList[t],
                                    h.selectedSubsetList[t] + h.selectedSubsetSize[t]);
    run.independentNoise = independentNoise;
    return run;
}

template <class T>
bool allocate(platform::Window& window, std::unique_ptr<T[]>& block, size_t n, const char* text,
              const char* title) {
    try {
        block = platform::allocateArray<T>(n);
        return true;
    } catch (const std::bad_alloc&) {
        window.messageBox(text, title);
        return false;
    }
}

}  // namespace

int32_t restoringSquaredError(platform::Window&, const series::SeriesHeader& h) {
    const int32_t len = h.wImpulseSize;
    const uint16_t found = std::min(h.wDetectedQuantity, h.wPulsesCapacity);
    uint16_t next = 0;
    bool active = false;
    int32_t p = 0, cutBegin = 0, cutEnd = 0, o = 0;
    const series::PulseHeader* etalon = nullptr;
    auto load = [&]() {
        active = next < found;
        if (!active)
            return;
        p = h.lpDetectedStart[next];
        const int32_t number = h.lpDetectedEtalon[next];
        // An invalid etalon number rebuilds nothing for its pulse.
        etalon = number >= 1 && number <= h.wEtalonsQuantity && h.lpPulsesList
                     ? h.lpPulsesList[number - 1]
                     : nullptr;
        cutBegin = h.lpDetectedCutBegin[next];
        cutEnd = h.lpDetectedCutEnd[next];
        o = 0;
        ++next;
    };
    load();
    int64_t sum = 0;
    for (uint32_t s = 0; s < h.dwSeriesSize; ++s) {
        int32_t r = 0;
        const int64_t position = s;
        if (active && p <= position && position < int64_t{p} + len) {
            if (o >= cutBegin && o <= cutEnd && etalon && etalon->lpData && o < etalon->wSize)
                r = etalon->lpData[o];
            ++o;
        }
        if (active && position == int64_t{p} + len - 1)
            load();
        const int64_t d = int64_t{h.lpPureData[s]} - r;
        sum += d * d;
    }
    return saturate32(sum);
}

int simulateShard(platform::Window& window, RestErrorHeader* record, uint16_t etalonCount,
                  const series::Alphabet& alphabet, uint16_t listCount,
                  const uint16_t* requiredList, uint16_t seriesKind, uint16_t taskKind,
                  uint16_t createSavedLevel, uint16_t processSavedLevel,
                  series::SeriesHeader& seriesRecord, const SimulationContext& context,
                  ShardPart shard, ShardResult& result) {
    result = ShardResult{};
    if (!record) {
        window.messageBox("Absence of RestoreErrorHeader!", kDriverTitle);
        return 0;
    }
    std::vector<std::string> problems =
        findRunProblems(*record, etalonCount, alphabet, listCount, requiredList, seriesKind,
                        taskKind, seriesRecord);
    if (!context.streams)
        problems.push_back("no random streams were given");
    if (shard.count == 0 || shard.index >= shard.count)
        problems.push_back("shard " + std::to_string(shard.index) + " of " +
                           std::to_string(shard.count) + " does not exist");
    if (!problems.empty()) {
        std::string text = "Simulation refused:\n";
        for (const std::string& line : problems)
            text += "- " + line + "\n";
        window.messageBox(text, kDriverTitle, platform::MessageIcon::Warning);
        return 0;
    }
    record->ifComplete = 0;

    const RunParameters run = gatherRun(*record, etalonCount, alphabet, listCount, requiredList,
                                        seriesKind, taskKind, createSavedLevel, processSavedLevel,
                                        seriesRecord, context.independentNoiseSeed.has_value());
    const uint64_t total = run.cycles();
    const CycleRange range = shardRange(run, shard.index, shard.count);
    const uint64_t cellCycles = run.u;
    result.cycles = range;
    result.gridCycles = total;
    result.firstCell = range.begin / cellCycles;
    const uint64_t cellsTouched =
        range.size() == 0 ? 0 : (range.end - 1) / cellCycles - result.firstCell + 1;

    // A diagnostic run of the tuple procedures shows listings and resets the flag: in order.
    const bool debugging = context.debugRepeat && *context.debugRepeat != 0;
    unsigned threads = context.threads ? context.threads : std::thread::hardware_concurrency();
    if (threads == 0 || debugging)
        threads = 1;
    threads = static_cast<unsigned>(std::clamp<uint64_t>(range.size(), 1, threads));

    // The chains records, tagged with the kinds of the run.
    std::vector<WorkerSlot> slots(threads);
    for (WorkerSlot& slot : slots) {
        slot.chains = engine::getChainsHeader(window, kChainsRows, run.maxPulses, nullptr);
        if (!slot.chains) {
            window.messageBox("Error getChainsHeader!", " About ChainsHeader ");
            return 0;
        }
        if (!engine::addToChainsHeader(window, seriesKind, taskKind, createSavedLevel,
                                       processSavedLevel, slot.chains.get())) {
            window.messageBox("Error addToChainsHeader!", " About ChainsHeader ");
            return 0;
        }
    }
    addInitRestErrHeader(window, seriesKind, taskKind, createSavedLevel,
                         static_cast<int16_t>(processSavedLevel), record);

    // The etalon-number buffers: list positions and etalon numbers, both starting at 1.
    constexpr const char* kBuffersText = "Ошибка lpEtalonNumbersList!";
    constexpr const char* kBuffersTitle = " About statCutoffBrelling ";
    std::unique_ptr<uint16_t[]> etalonNumbers;
    if (!allocate(window, etalonNumbers, size_t{run.maxPulses} + run.numbersLength(), kBuffersText,
                  kBuffersTitle))
        return 0;
    for (WorkerSlot& slot : slots) {
        if (!allocate(window, slot.numbers, run.numbersLength(), kBuffersText, kBuffersTitle))
            return 0;
        std::fill(slot.numbers.get(), slot.numbers.get() + run.numbersLength(), uint16_t{1});
    }

    // The subset copy and, for tuple recognition, the tuples as 32-bit lists.
    std::unique_ptr<int32_t*[]> tupleLists;
    std::unique_ptr<int32_t[]> subsetBlock;
    const int32_t S = seriesRecord.wSubsetSize;
    const int32_t T = taskKind == 40 ? static_cast<int32_t>(run.tuples.size()) : 0;
    int32_t longest = 0;
    for (const auto& tuple : run.tuples)
        longest = std::max<int32_t>(longest, int32_t(tuple.size()));
    if (series::isTupleKind(seriesKind)) {
        if (taskKind == 40 && !allocate(window, tupleLists, size_t(T), "Ошибка selectedSubsetList!",
                                        " About selectedSubset "))
            return 0;
        if (!allocate(window, subsetBlock, size_t(S) + size_t(T) * (size_t(longest) + 1),
                      "Ошибка selectedSubset!", " About selectedSubset "))
            return 0;
        std::copy(run.subset.begin(), run.subset.end(), subsetBlock.get());
        int32_t* lengths = subsetBlock.get() + S;
        int32_t* lists = lengths + T;
        for (int32_t t = 0; t < T; ++t) {
            lengths[t] = static_cast<int32_t>(run.tuples[t].size());
            tupleLists[t] = lists + size_t(longest) * t;
            std::copy(run.tuples[t].begin(), run.tuples[t].end(), tupleLists[t]);
        }
    }

    // One series record per worker, laid out like the caller's, with the stored subsets.
    for (WorkerSlot& slot : slots) {
        slot.header = series::getCutOffSeriesHeader(window, run.M, run.etalonLength, run.Tmin,
                                                    run.Tmax, run.N, nullptr);
        if (!slot.header)
            return 0;
        if (seriesRecord.wSubsetsQuantity > 0 && seriesRecord.selectedSubsetList) {
            std::vector<std::vector<int32_t>> rows;
            std::vector<int32_t> lengths;
            std::vector<const int32_t*> rowPointers;
            for (uint16_t t = 0; t < seriesRecord.wSubsetsQuantity; ++t) {
                const int16_t* row = seriesRecord.selectedSubsetList[t];
                const int16_t length = seriesRecord.selectedSubsetSize[t];
                rows.emplace_back(row, row + std::max<int16_t>(length, 0));
                lengths.push_back(length);
            }
            for (const auto& row : rows)
                rowPointers.push_back(row.data());
            if (!series::addSomeSelectedSubsetToSeriesHeader(
                    window, lengths.data(), rowPointers.data(), seriesRecord.wSubsetsQuantity,
                    seriesRecord.wSubsetsCapacity, seriesRecord.wSubsetLengthCapacity, 1,
                    run.subsetMode, run.subsetStart, slot.header.get()))
                return 0;
        }
        slot.header->wSubsetMode = run.subsetMode;
        slot.header->wSubsetStart = run.subsetStart;
        slot.loadedSubset = -1;
        slot.debugRepeat = threads == 1 ? context.debugRepeat : &slot.debugFlag;
    }

    // The plan and the measures of one chunk of cycles.
    const uint64_t chunk = std::clamp<uint64_t>(range.size(), 1, kChunkCycles);
    std::unique_ptr<CycleStart[]> starts;
    std::unique_ptr<uint16_t[]> plannedNumbers;
    std::unique_ptr<CycleResult[]> results;
    constexpr const char* kPlanText = "Нет памяти для cyclePlan!";
    if (!allocate(window, starts, chunk, kPlanText, kBuffersTitle) ||
        !allocate(window, plannedNumbers, chunk * run.numbersLength(), kPlanText, kBuffersTitle) ||
        !allocate(window, results, chunk, kPlanText, kBuffersTitle))
        return 0;
    try {
        result.sums.assign(cellsTouched, CellSums{});
    } catch (const std::bad_alloc&) {
        window.messageBox(kPlanText, kBuffersTitle);
        return 0;
    }

    SharedRun shared;
    shared.window = &window;
    shared.run = &run;
    shared.context = &context;
    shared.total = total;
    shared.rangeEnd = range.end;
    shared.rangeSize = range.size();
    shared.starts = starts.get();
    shared.numbers = plannedNumbers.get();
    shared.results = results.get();
    shared.lastProgress = std::chrono::steady_clock::now();
    engine::ProcessingInput& input = shared.input;
    input.alphabet = &alphabet;
    input.listCount = listCount;
    input.list = requiredList;
    input.subsetCount = S;
    input.subset = subsetBlock ? subsetBlock.get() : nullptr;
    input.tupleCount = T;
    input.tupleLengths = subsetBlock ? subsetBlock.get() + S : nullptr;
    input.tupleLists = tupleLists.get();
    input.proceeding = context.subsetProceeding;
    input.Tmin = run.Tmin;
    input.Tmax = run.Tmax;
    input.level = processSavedLevel;
    const bool unknown =
        seriesKind == series::kUnfixedWhole || seriesKind == series::kUnfixedCutOff;
    shared.listFromNumbers =
        taskKind == 2 || ((taskKind == 1 || taskKind == 4 || taskKind == 64) && unknown);

    simulationStartTime = std::time(nullptr);
    simulationEndTime = simulationStartTime;

    CyclePlanner planner(run, *context.streams, etalonNumbers.get(),
                         etalonNumbers.get() + run.maxPulses);
    const auto planningStart = std::chrono::steady_clock::now();
    planner.skip(range.begin);
    result.planningSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - planningStart).count();
    for (uint64_t begin = range.begin; begin < range.end && !shared.stop; begin += chunk) {
        const uint64_t end = std::min(range.end, begin + chunk);
        for (uint64_t c = begin; c < end; ++c)
            planner.next(starts[c - begin],
                         plannedNumbers.get() + (c - begin) * run.numbersLength());
        shared.afterChunk = planner.streams();
        shared.chunkBegin = begin;
        shared.chunkEnd = end;
        shared.nextCycle = begin;
        {
            std::vector<std::jthread> pool;
            for (unsigned w = 1; w < threads && w < end - begin; ++w)
                pool.emplace_back([&shared, &slots, w] { workerLoop(shared, slots[w], int(w)); });
            workerLoop(shared, slots[0], 0);
        }
        if (shared.stop)
            break;
        // Fold the measures into the cells' sums in cycle order.
        for (uint64_t c = begin; c < end; ++c) {
            const CycleResult& r = results[c - begin];
            CellSums& cell = result.sums[c / cellCycles - result.firstCell];
            cell.restoring += r.restoring;
            cell.detection += r.detection;
            cell.mismatches += r.mismatch;
            ++cell.cycles;
        }
    }

    if (shared.cancelled && shared.failure.empty()) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "Simulation cancelled after %llu of %llu cycles; the tables are incomplete.",
                      static_cast<unsigned long long>(shared.done.load()),
                      static_cast<unsigned long long>(range.size()));
        window.messageBox(text, kDriverTitle);
        return 0;
    }
    if (!shared.failure.empty()) {
        window.messageBox(shared.failure, kDriverTitle, platform::MessageIcon::Warning);
        return 0;
    }

    // The state a run in order leaves: the last series and findings, the advanced streams.
    const int last = shared.lastCycleWorker.load();
    if (last >= 0) {
        const series::SeriesHeader& from = *slots[size_t(last)].header;
        copyLastCycle(from, seriesRecord);
        if (taskKind == 40)
            std::copy(from.lpSubset,
                      from.lpSubset + std::min(from.wSubsetSize, from.wPulsesCapacity),
                      seriesRecord.lpSubset);
    }
    *context.streams = planner.streams();
    if (context.progress)
        context.progress(range.size(), range.size());

    simulationEndTime = std::time(nullptr);
    seriesRecord.wSubsetSize = run.subsetSize;
    return 1;
}

void writeCellTables(RestErrorHeader& record, const std::vector<CellSums>& cells) {
    const int64_t u = record.repeats & 0xFFFF;
    const uint16_t L = record.wNoiseLevels;
    for (uint16_t j = 0; j < record.wVariousPulses; ++j)
        for (uint16_t k = 0; k < L; ++k) {
            const CellSums& cell = cells[size_t{j} * L + k];
            record.lpRestoringErrors()[k][j] = saturate32((2 * cell.restoring + u) / (2 * u));
            record.lpDetectionErrors[k][j] = saturate32(cell.detection / 128);
            record.lpSpareErrors1[k][j] = 0;
            record.lpRecognitionErrors[k][j] = saturate32(cell.mismatches);
            record.lpSpareErrors2[k][j] = 0;
            record.lpSpareErrors3[k][j] = 0;
        }
}

int statCutoffBrelling(platform::Window& window, RestErrorHeader* record, uint16_t etalonCount,
                       const series::Alphabet& alphabet, uint16_t listCount,
                       const uint16_t* requiredList, uint16_t seriesKind, uint16_t taskKind,
                       uint16_t createSavedLevel, uint16_t processSavedLevel,
                       series::SeriesHeader& seriesRecord, const SimulationContext& context) {
    ShardResult result;
    if (!simulateShard(window, record, etalonCount, alphabet, listCount, requiredList, seriesKind,
                       taskKind, createSavedLevel, processSavedLevel, seriesRecord, context, {},
                       result))
        return 0;
    writeCellTables(*record, result.sums);
    record->ifComplete = 1;
    return 1;
}

}  // namespace simulation
