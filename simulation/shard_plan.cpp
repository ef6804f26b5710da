#include "shard_plan.h"

#include <algorithm>

namespace simulation {

namespace {

using Wide = unsigned __int128;

// Units of work, fitted to single-thread timings of the default series (N 1200, Tmin 40,
// Tmax 181, L 20): a cycle's fixed part, its parts per pulse, and one candidate start.
constexpr uint64_t kCycleBase = 180000;
constexpr uint64_t kGenerationPerPulse = 1600;  // unknown count
constexpr uint64_t kKnownPerPulse = 150;        // known count: generation, chain read-out
constexpr uint64_t kTupleChainsPerPulse = 700;  // unknown-count tuples: fewer chains per pulse
constexpr uint64_t kCandidateBase = 27;         // tenths: one candidate, one etalon to fit

// Candidate starts of all Q pulses of a known-count series: pulse k lies in
// [max(k Tmin, N - (Q - k) Tmax), min((k + 1) Tmax - L, N - L - (Q - 1 - k) Tmin)].
uint64_t candidateStarts(const RunParameters& run, uint16_t Q) {
    const int64_t N = run.N, L = run.etalonLength, Tmin = run.Tmin, Tmax = run.Tmax;
    uint64_t total = 0;
    for (int64_t k = 0; k < Q; ++k) {
        const int64_t lo = std::max(k * Tmin, N - (Q - k) * Tmax);
        const int64_t hi = std::min((k + 1) * Tmax - L, N - L - (Q - 1 - k) * Tmin);
        if (hi >= lo)
            total += static_cast<uint64_t>(hi - lo + 1);
    }
    return total;
}

// Tenths of a candidate's cost: what each procedure fits at one candidate start.
uint64_t candidateCost(const RunParameters& run) {
    switch (run.taskKind) {
        case 2:  // every etalon of the required list
            return kCandidateBase + 13 * uint64_t{run.n} / 2;
        case 36:  // the subset's members
            return kCandidateBase + 8 * uint64_t{run.subsetSize};
        case 40: {  // every member of every tuple
            uint64_t members = 0;
            for (const auto& tuple : run.tuples)
                members += tuple.size();
            return kCandidateBase + 10 * members;
        }
        default:
            return kCandidateBase;
    }
}

}  // namespace

uint64_t estimatedCycleCost(const RunParameters& run, uint16_t Q) {
    constexpr uint64_t kLargest = uint64_t{1} << 40;  // keeps the sums of a split in 128 bits
    if (series::isUnknownNumberKind(run.seriesKind)) {
        if (series::isTupleKind(run.seriesKind))
            return kCycleBase + kTupleChainsPerPulse * (run.maxPulses - std::min(Q, run.maxPulses));
        return kCycleBase + kGenerationPerPulse * Q;
    }
    const uint64_t perCandidate = std::min<uint64_t>(candidateCost(run), 1 << 20);
    return std::min(kLargest,
                    kCycleBase + kKnownPerPulse * Q + candidateStarts(run, Q) * perCandidate);
}

CycleRange shardRange(const RunParameters& run, uint32_t index, uint32_t count) {
    const uint64_t total = run.cycles();
    if (count == 0 || index >= count)
        return {total, total};
    const uint64_t perRow = uint64_t{run.L} * run.u;  // cycles of one pulse value
    std::vector<uint64_t> costs(run.P);
    Wide whole = 0;
    for (uint16_t j = 0; j < run.P; ++j) {
        costs[j] = estimatedCycleCost(run, static_cast<uint16_t>(run.pulses[j]));
        whole += Wide{costs[j]} * perRow;
    }
    // The first cycle c whose preceding work reaches whole * part / count.
    auto boundary = [&](uint32_t part) -> uint64_t {
        if (part == 0)
            return 0;
        if (part == count)
            return total;
        const Wide target = whole * part;  // compared with (work before c) * count
        Wide before = 0;
        for (uint16_t j = 0; j < run.P; ++j) {
            const Wide row = Wide{costs[j]} * perRow;
            if ((before + row) * count >= target) {
                const Wide missing = target - std::min(target, before * count);
                const Wide step = Wide{costs[j]} * count;
                const uint64_t inRow = static_cast<uint64_t>((missing + step - 1) / step);
                return uint64_t{j} * perRow + std::min(inRow, perRow);
            }
            before += row;
        }
        return total;
    };
    return {boundary(index), boundary(index + 1)};
}

}  // namespace simulation
