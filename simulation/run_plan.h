#pragma once
// The pieces of a simulation run: its parameters, the check that refuses grids that cannot run,
// and the planner that walks the grid in order and works out, for every cycle, the etalon
// sequence and the stream states it starts from, without generating or processing anything.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "rest_error_header.h"
#include "series/random.h"
#include "series/records.h"

namespace simulation {

// Everything a run reads, gathered once on the calling thread.
struct RunParameters {
    uint16_t M = 0;  // etalons in the alphabet
    const series::Alphabet* alphabet = nullptr;
    uint16_t n = 0;  // required list
    const uint16_t* list = nullptr;
    uint16_t seriesKind = 0;
    uint16_t taskKind = 0;
    uint16_t createLevel = 100;
    uint16_t processLevel = 100;
    uint32_t N = 0;  // series length
    uint16_t Tmin = 0;
    uint16_t Tmax = 0;
    uint16_t etalonLength = 0;  // wSize of the first required etalon
    uint16_t maxPulses = 0;     // the series record's wMaxPulses (sizes the etalon-number buffers)
    uint16_t capacity = 0;      // the series record's wPulsesCapacity
    uint16_t P = 0;             // grid
    uint16_t L = 0;
    std::vector<int16_t> pulses;
    std::vector<int16_t> levels;
    uint16_t u = 0;  // repeats
    // The current subset of the series record when the run starts.
    std::vector<int16_t> subset;  // min(wSubsetSize, capacity) entries
    uint16_t subsetSize = 0;
    uint16_t subsetMode = 0;
    uint16_t subsetStart = 0;
    // The stored tuples (task kind 40).
    std::vector<std::vector<int16_t>> tuples;
    bool independentNoise = false;

    uint64_t cycles() const { return uint64_t{P} * L * u; }
    // Entries of the etalon-number part a cycle of Q pulses reads: Q for generation, n for the
    // procedures that take the per-pulse numbers as their list.
    uint16_t numbersRead(uint16_t Q) const { return Q > n ? Q : n; }
    // Length of the etalon-number part: 2 * wMaxPulses, more when the list is longer.
    size_t numbersLength() const { return std::max<size_t>(2 * size_t{maxPulses}, n) + 1; }
};

// The problems that make a grid impossible to run, one readable line each; empty when it can run.
std::vector<std::string> findRunProblems(const RestErrorHeader& record, uint16_t etalonCount,
                                         const series::Alphabet& alphabet, uint16_t listCount,
                                         const uint16_t* requiredList, uint16_t seriesKind,
                                         uint16_t taskKind, const series::SeriesHeader& header);

// Where one cycle starts.
struct CycleStart {
    series::RandomStreams streams;  // stream states before generation
    uint32_t j = 0;                 // pulse-value index
    uint32_t k = 0;                 // noise-level index
    int32_t tuple = 0;              // loaded tuple e (task kind 40), 0: the run's own subset
    uint16_t subsetSize = 0;        // wSubsetSize during generation
};

// Walks the grid loops in order, one cycle per call.
class CyclePlanner {
  public:
    // `positions` (run.maxPulses entries) and `numbers` (run.numbersLength() entries) are the
    // etalon-number buffers of the run; both are filled with 1.
    CyclePlanner(const RunParameters& run, const series::RandomStreams& start, uint16_t* positions,
                 uint16_t* numbers);
    // The next cycle's start; `numbers` receives the per-pulse etalon numbers as generation
    // leaves them (run.numbersRead(Q) entries).
    void next(CycleStart& start, uint16_t* numbers);
    // Moves on by `count` cycles (at most those left) without producing their starts: the state
    // afterwards is the one `count` calls of next() leave. The fixed-count stream advances of the
    // skipped cycles are added up and applied in one jump each; the etalon assignment of a cell
    // without subset embedding is worked out from its switch count; only the embedding's own
    // draws and writes are replayed cycle by cycle, and only where they can differ.
    void skip(uint64_t count);
    // Cycles planned or skipped so far.
    uint64_t position() const { return planned_; }
    // The stream states after the cycles planned so far.
    const series::RandomStreams& streams() const { return streams_; }

  private:
    // Fixed-count stream advances not yet applied (sums wrap modulo 2^64, a multiple of the
    // streams' period 2^15, so the jumps stay exact).
    struct PendingSteps {
        uint64_t position = 0, cutBegin = 0, cutEnd = 0, noise = 0;
    };

    void startCell();
    bool assign(uint32_t l);  // true when the cycle's assignment changed the numbers or subset
    void loadTuple(int32_t e);
    void embedSubset(uint16_t Q);
    void checkNumbers(uint16_t Q);
    void addCycleSteps(PendingSteps& steps, uint16_t Q, uint64_t cycles) const;
    void applySteps(const PendingSteps& steps);
    bool embeddingDraws(uint16_t Q) const;
    bool embeddingCoversTail() const;
    void skipWithoutEmbedding(uint32_t cycles, PendingSteps& steps);
    void skipCycle(bool embedNeeded, PendingSteps& steps);
    void endCycle();
    void dryRunGeneration(uint16_t Q);

    const RunParameters& run_;
    series::RandomStreams streams_;
    uint32_t j_ = 0, k_ = 0, l_ = 0;
    int64_t B_ = 0, E_ = 0;
    int32_t e_ = 0;
    uint16_t subsetSize_ = 0;
    uint64_t planned_ = 0;
    std::vector<int16_t> subset_;  // the current lpSubset content (capacity entries)
    uint16_t* positions_;          // per pulse: 1-based position in the required list
    uint16_t* numbers_;            // per pulse: etalon number
};

}  // namespace simulation
