#pragma once
// The statistical simulation: for every cell (pulse count, noise level) of the record's grid,
// `repeats` cycles of generate, add noise, process, measure; per-cell error sums in the tables.
//
// The cycles are independent apart from the random streams, so the driver first works out the
// stream states (and the etalon sequence) each cycle starts from, then runs the cycles on a pool
// of threads, each with its own series and chains records. Tables, the series record left
// behind and the final stream states are the same as those of a run in order, whatever the
// thread count.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>

#include <vector>

#include "platform/window.h"
#include "rest_error_header.h"
#include "series/random.h"
#include "series/records.h"
#include "shard_plan.h"

namespace simulation {

// Start and end of the last run, whole seconds of the calendar clock; both 0 before the first
// run. Written by statCutoffBrelling on the calling thread only.
extern std::time_t simulationStartTime;
extern std::time_t simulationEndTime;

// Called with the cycles done and the total, from the worker threads (never two at once), at
// most once per progressInterval, and once more with done == total when every cycle has run.
using ProgressCallback = std::function<void(uint64_t done, uint64_t total)>;

// What the driver takes from the application besides its arguments.
struct SimulationContext {
    int16_t amplitude = 128;        // wAmplitude
    uint16_t subsetProceeding = 1;  // wSubsetProceeding, for the tuple procedures
    // The generation and noise streams (noise is the application's noiseSeed); advanced as a
    // run in order would advance them. Required.
    series::RandomStreams* streams = nullptr;
    int32_t* debugRepeat = nullptr;  // the tuple procedures' diagnostic flag, may be null
    unsigned threads = 0;            // 0: all hardware threads
    ProgressCallback progress;
    std::chrono::milliseconds progressInterval{200};
    const std::atomic<bool>* cancel = nullptr;  // set to stop the run between cycles
    // With a seed: Gaussian noise from a 64-bit generator (one substream per cycle, derived from
    // the seed and the cycle index) instead of the 15-bit noise stream, which is then untouched.
    std::optional<uint64_t> independentNoiseSeed;
};

// Runs the simulation over the grid of `record` (prepared by getRestErrHeader and
// initRestErrHeader). Returns 1 with ifComplete = 1 when every cell has been written; 0 on any
// failure, refusal or cancel (ifComplete 0, a message says why). A grid that cannot run
// (pulse counts outside the feasible range, zero repeats, an empty required list, a tuple series
// without its subset or tuples, ...) is refused before anything changes, with one message
// listing every problem.
int statCutoffBrelling(platform::Window& window, RestErrorHeader* record, uint16_t etalonCount,
                       const series::Alphabet& alphabet, uint16_t listCount,
                       const uint16_t* requiredList, uint16_t seriesKind, uint16_t taskKind,
                       uint16_t createSavedLevel, uint16_t processSavedLevel,
                       series::SeriesHeader& seriesRecord, const SimulationContext& context);

// The measures of one cell's cycles, summed: what the cell's table entries are made of.
struct CellSums {
    int64_t restoring = 0;   // restoring squared errors
    int64_t detection = 0;   // (Q + 256 H) / (2 Q) of every cycle
    int64_t mismatches = 0;  // wrongly recognised tuples
    uint32_t cycles = 0;     // cycles summed

    void add(const CellSums& other) {
        restoring += other.restoring;
        detection += other.detection;
        mismatches += other.mismatches;
        cycles += other.cycles;
    }
    bool operator==(const CellSums&) const = default;
};

// Part `index` of `count` of the grid's cycles (see shardRange).
struct ShardPart {
    uint32_t index = 0;
    uint32_t count = 1;
};

struct ShardResult {
    CycleRange cycles;             // the cycles run
    uint64_t gridCycles = 0;       // every cycle of the grid
    uint64_t firstCell = 0;        // index (j * L + k, loop order) of the cell of sums[0]
    std::vector<CellSums> sums;    // every cell the range touches, in order
    double planningSeconds = 0.0;  // moving the plan on to the range's first cycle
};

// Runs the cycles of one shard exactly as a whole run would run them (same etalons, stream
// states, noise), and sums their measures per cell. The checks, the refusals and the failures
// are those of statCutoffBrelling (a shard index not below the count is refused too); the
// record receives the kinds but no table entries, and ifComplete stays 0. The series record
// and the streams are left as after the shard's last cycle. 1 when every cycle of the shard ran.
int simulateShard(platform::Window& window, RestErrorHeader* record, uint16_t etalonCount,
                  const series::Alphabet& alphabet, uint16_t listCount,
                  const uint16_t* requiredList, uint16_t seriesKind, uint16_t taskKind,
                  uint16_t createSavedLevel, uint16_t processSavedLevel,
                  series::SeriesHeader& seriesRecord, const SimulationContext& context,
                  ShardPart shard, ShardResult& result);

// Writes every cell of the tables from the sums of all P * L cells (loop order, each holding all
// its repeats): the mean restoring error rounded half up, the detection sum / 128, the
// mismatches, and zero in the spare tables.
void writeCellTables(RestErrorHeader& record, const std::vector<CellSums>& cells);

// Squared distance between the clean series and the series rebuilt from the found pulses.
int32_t restoringSquaredError(platform::Window& window, const series::SeriesHeader& header);

}  // namespace simulation
