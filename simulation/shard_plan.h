#pragma once
// Splitting a simulation's cycles into contiguous parts of about equal work, so that separate
// processes (a job array, GNU parallel, MPI ranks) each run one part and the parts fold back in
// cycle order into the tables of one run.

#include <cstdint>

#include "run_plan.h"

namespace simulation {

// Grid cycles [begin, end), numbered in the order of the grid loops from 0.
struct CycleRange {
    uint64_t begin = 0;
    uint64_t end = 0;
    uint64_t size() const { return end - begin; }
    bool operator==(const CycleRange&) const = default;
};

// Estimated work of one cycle of Q pulses, in integer units (only ratios within one run count).
// Generation, noise and the passes over the whole series cost about the same for every Q. With
// an unknown count the procedures' position sets do not depend on Q: generation grows with it,
// and the tuple procedures, whose chains get fewer with more pulses, shrink a little. With a known
// count the procedures visit every candidate start of every pulse, whose number peaks in the middle
// of the feasible range; each candidate costs more with more etalons or tuple members to fit there
// (recognition, tuple tasks).
uint64_t estimatedCycleCost(const RunParameters& run, uint16_t Q);

// The cycles of part `index` of `count` (index < count): contiguous ranges in cycle order that
// together cover every cycle once, split where the estimated work reaches index / count of the
// whole. Integer arithmetic only, so every process and build computes the same split.
CycleRange shardRange(const RunParameters& run, uint32_t index, uint32_t count);

}  // namespace simulation
