#include "run_plan.h"

#include <cstdio>
#include <set>

#include "series/generation.h"

namespace simulation {

namespace {

std::string join(const std::set<long>& values) {
    std::string text;
    int shown = 0;
    for (long v : values) {
        if (shown == 8) {
            text += ", ...";
            break;
        }
        if (shown++ > 0)
            text += ", ";
        text += std::to_string(v);
    }
    return text;
}

template <class... A>
std::string format(const char* fmt, A... args) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, fmt, args...);
    return buffer;
}

bool isSimulatedTask(uint16_t taskKind) {
    return taskKind == 1 || taskKind == 2 || taskKind == 4 || taskKind == 64 || taskKind == 36 ||
           taskKind == 40;
}

}  // namespace

std::vector<std::string> findRunProblems(const RestErrorHeader& record, uint16_t etalonCount,
                                         const series::Alphabet& alphabet, uint16_t listCount,
                                         const uint16_t* requiredList, uint16_t seriesKind,
                                         uint16_t taskKind, const series::SeriesHeader& header) {
    std::vector<std::string> problems;

    // The alphabet and the required list.
    if (etalonCount == 0 || alphabet.size() < etalonCount)
        problems.push_back(format("the alphabet holds %zu etalons, not the %u expected",
                                  alphabet.size(), unsigned{etalonCount}));
    bool listUsable = listCount > 0 && requiredList != nullptr;
    if (!listUsable)
        problems.push_back("the required etalon list is empty");
    std::set<long> badEntries;
    for (uint16_t i = 0; listUsable && i < listCount; ++i)
        if (requiredList[i] < 1 || requiredList[i] > etalonCount)
            badEntries.insert(requiredList[i]);
    if (!badEntries.empty()) {
        problems.push_back(format("required etalon numbers %s are outside 1 to %u",
                                  join(badEntries).c_str(), unsigned{etalonCount}));
        listUsable = false;
    }
    uint16_t L = 0;
    if (listUsable && alphabet.size() >= etalonCount) {
        L = alphabet[requiredList[0] - 1].wSize;
        std::set<long> unusable;
        for (uint16_t i = 0; i < etalonCount; ++i)
            if (!alphabet[i].lpData || alphabet[i].wSize != L || alphabet[i].wAllocated < L)
                unusable.insert(i + 1);
        if (L == 0 || !unusable.empty())
            problems.push_back(format("etalons %s have no samples of the length %u",
                                      join(unusable).c_str(), unsigned{L}));
    }

    // The kinds.
    if (!isSimulatedTask(taskKind))
        problems.push_back(
            format("task kind %u cannot be simulated (1, 2, 4, 64, 36 or 40)", unsigned{taskKind}));
    const bool tupleTask = taskKind == 36 || taskKind == 40;
    if (tupleTask && !series::isTupleKind(seriesKind))
        problems.push_back(format("task kind %u needs a tuple series kind (36 or 40), not %u",
                                  unsigned{taskKind}, unsigned{seriesKind}));

    // The series record and the feasible pulse counts.
    const uint32_t N = header.dwSeriesSize;
    const uint16_t Tmin = header.wTmin, Tmax = header.wTmax;
    bool seriesUsable = L > 0;
    if (L > 0 &&
        !(Tmin >= 1 && Tmin <= Tmax && L <= Tmax && N >= L && N <= series::kMaxSeriesLength)) {
        problems.push_back(format(
            "the series parameters (length %lu, Tmin %u, Tmax %u, etalon length %u) do not "
            "satisfy 1 <= Tmin <= Tmax, etalon length <= Tmax, etalon length <= length <= %lu",
            static_cast<unsigned long>(N), unsigned{Tmin}, unsigned{Tmax}, unsigned{L},
            static_cast<unsigned long>(series::kMaxSeriesLength)));
        seriesUsable = false;
    }
    uint16_t minPulses = 0, maxPulses = 0;
    if (seriesUsable) {
        minPulses = series::minPulsesFor(N, L, Tmax);
        maxPulses = series::maxPulsesFor(N, L, Tmin);
        if (!header.sampleBlock || header.dwAllocatedSize < N ||
            header.wPulsesCapacity < maxPulses || header.wPulsesListCapacity < etalonCount) {
            problems.push_back(format(
                "the series record is not laid out for %lu samples, %u pulses and %u etalons",
                static_cast<unsigned long>(N), unsigned{maxPulses}, unsigned{etalonCount}));
            seriesUsable = false;
        }
    }

    // The grid.
    const uint16_t P = record.wVariousPulses, Lg = record.wNoiseLevels;
    if (P == 0)
        problems.push_back("the grid has no pulse counts");
    if (Lg == 0)
        problems.push_back("the grid has no noise levels");
    if ((record.repeats & 0xFFFF) == 0)
        problems.push_back(
            format("the number of repeats is 0 (repeats %ld)", long{record.repeats}));
    std::set<long> infeasible, tooLong, negativeLevels;
    const uint16_t upper = std::min(maxPulses, header.wMaxPulses);
    for (uint16_t j = 0; j < P; ++j) {
        const int16_t Q = record.wPulseValues[j];
        if (Q <= 0 || (seriesUsable && (Q < minPulses || Q > upper)))
            infeasible.insert(Q);
        if ((taskKind == 4 || taskKind == 64) && Q >= 31)
            tooLong.insert(Q);
    }
    for (uint16_t k = 0; k < Lg; ++k)
        if (record.lpNoiseLevels[k] < 0)
            negativeLevels.insert(record.lpNoiseLevels[k]);
    if (!infeasible.empty()) {
        if (seriesUsable)
            problems.push_back(format("pulse counts %s lie outside the feasible range %u to %u",
                                      join(infeasible).c_str(), unsigned{minPulses},
                                      unsigned{upper}));
        else
            problems.push_back(
                format("pulse counts %s are not positive", join(infeasible).c_str()));
    }
    if (!tooLong.empty())
        problems.push_back(format("pulse counts %s are 31 or more, too many for task kind %u",
                                  join(tooLong).c_str(), unsigned{taskKind}));
    if (!negativeLevels.empty())
        problems.push_back(format("noise levels %s are negative (a level must fit 0 to 32767)",
                                  join(negativeLevels).c_str()));

    // The tuples.
    if (series::isTupleKind(seriesKind)) {
        if (header.wSubsetSize == 0)
            problems.push_back(format("the selected subset is empty (tuple series kind %u)",
                                      unsigned{seriesKind}));
        else if (header.wSubsetSize > header.wPulsesCapacity)
            problems.push_back(
                format("the selected subset holds %u etalons, more than the %u "
                       "pulses the series record has room for",
                       unsigned{header.wSubsetSize}, unsigned{header.wPulsesCapacity}));
    }
    if (taskKind == 40) {
        const uint16_t T = header.wSubsetsQuantity;
        if (T == 0 || !header.selectedSubsetSize || !header.selectedSubsetList) {
            problems.push_back("no tuples are stored for tuple recognition");
        } else {
            std::set<long> badTuples;
            for (uint16_t t = 0; t < T; ++t) {
                const int16_t length = header.selectedSubsetSize[t];
                if (length <= 0 || length > header.wSubsetLengthCapacity ||
                    length > header.wPulsesCapacity)
                    badTuples.insert(t + 1);
            }
            if (!badTuples.empty())
                problems.push_back(format("stored tuples %s are empty or longer than their storage",
                                          join(badTuples).c_str()));
        }
    }
    return problems;
}

CyclePlanner::CyclePlanner(const RunParameters& run, const series::RandomStreams& start,
                           uint16_t* positions, uint16_t* numbers)
    : run_(run),
      streams_(start),
      subsetSize_(run.subsetSize),
      subset_(std::max<size_t>(run.capacity, 1), 0),
      positions_(positions),
      numbers_(numbers) {
    std::copy(run.subset.begin(), run.subset.end(), subset_.begin());
    std::fill(positions_, positions_ + run.maxPulses, uint16_t{1});
    std::fill(numbers_, numbers_ + run.numbersLength(), uint16_t{1});
}

void CyclePlanner::loadTuple(int32_t e) {
    const std::vector<int16_t>& tuple = run_.tuples[size_t(e) - 1];
    std::copy(tuple.begin(), tuple.end(), subset_.begin());
    subsetSize_ = static_cast<uint16_t>(tuple.size());
}

void CyclePlanner::startCell() {
    const uint16_t Q = static_cast<uint16_t>(run_.pulses[j_]);
    const int64_t u = run_.u;
    switch (run_.taskKind) {
        case 1:
            B_ = 0;
            subsetSize_ = 0;
            break;
        case 2:
            B_ = (run_.n + 2 * u) / (2 * int64_t{run_.n});
            subsetSize_ = 0;
            break;
        case 36:
            B_ = u;
            break;
        case 40: {
            const int64_t T = static_cast<int64_t>(run_.tuples.size());
            B_ = (T + 2 * u) / (2 * T);
            e_ = 1;
            loadTuple(1);
            break;
        }
        default:
            B_ = (u * Q) >> Q;  // Q < 31, checked before the run
            break;
    }
    E_ = B_;
    for (uint16_t m = 0; m < Q; ++m) {
        positions_[m] = 1;
        numbers_[m] = run_.list[0];
    }
}

bool CyclePlanner::assign(uint32_t l) {
    const uint16_t Q = static_cast<uint16_t>(run_.pulses[j_]);
    const uint16_t n = run_.n;
    switch (run_.taskKind) {
        case 2:
            if (int64_t{l} >= E_) {
                for (uint16_t m = 0; m < Q; ++m) {
                    if (++positions_[m] > n)
                        positions_[m] = 1;
                    numbers_[m] = run_.list[positions_[m] - 1];
                }
                E_ += B_;
                return true;
            }
            break;
        case 4:
            if (int64_t{l} * Q >= E_) {
                E_ += B_;
                for (uint16_t m = 0; m < Q; ++m) {  // odometer in base n, pulse 0 lowest
                    if (++positions_[m] <= n)
                        break;
                    positions_[m] = 1;
                }
                for (uint16_t m = 0; m < Q; ++m)
                    numbers_[m] = run_.list[positions_[m] - 1];
                return true;
            }
            break;
        case 40:
            if (int64_t{l} >= E_) {
                e_ = e_ % static_cast<int32_t>(run_.tuples.size()) + 1;
                loadTuple(e_);
                E_ += B_;
                return true;
            }
            break;
        default:
            break;
    }
    return false;
}

// The generator's own subset embedding, on the planner's copy of the sequence and streams.
void CyclePlanner::embedSubset(uint16_t Q) {
    series::embedSubset(subset_.data(), subsetSize_, run_.capacity, run_.subsetMode,
                        run_.subsetStart, Q, numbers_, streams_);
}

// The generator's etalon-number check: numbers outside 1..M become 1.
void CyclePlanner::checkNumbers(uint16_t Q) {
    for (uint16_t k = 0; k < Q; ++k)
        if (numbers_[k] < 1 || numbers_[k] > run_.M)
            numbers_[k] = 1;
}

// One position draw for the first placed pulse and three draws per pulse, and twelve noise draws
// per sample.
void CyclePlanner::addCycleSteps(PendingSteps& steps, uint16_t Q, uint64_t cycles) const {
    steps.position += cycles * (uint64_t{Q} + 1);
    steps.cutBegin += cycles * Q;
    steps.cutEnd += cycles * Q;
    if (!run_.independentNoise)
        steps.noise += cycles * 12 * uint64_t{run_.N};
}

void CyclePlanner::applySteps(const PendingSteps& steps) {
    streams_.position = series::advanceRandom(streams_.position, steps.position);
    streams_.cutBegin = series::advanceRandom(streams_.cutBegin, steps.cutBegin);
    streams_.cutEnd = series::advanceRandom(streams_.cutEnd, steps.cutEnd);
    streams_.noise = series::advanceRandom(streams_.noise, steps.noise);
}

// Whether the embedding of a cycle of Q pulses draws from a stream: single random (1) and
// multiple random (3) when the subset has room to move, shifted complete (5) always.
bool CyclePlanner::embeddingDraws(uint16_t Q) const {
    if (subsetSize_ == 0)
        return false;
    const int32_t first = std::max<int32_t>(run_.subsetStart, 1) - 1;
    const bool room = int32_t{Q} - first - subsetSize_ + 1 > 0;
    switch (run_.subsetMode) {
        case 1:
        case 3:
            return room;
        case 5:
            return true;
        default:
            return false;
    }
}

// Shifted complete embedding rewrites every pulse from the start position on, so of a run of
// such cycles only the last one's writes survive.
bool CyclePlanner::embeddingCoversTail() const {
    return run_.subsetMode == 5;
}

void CyclePlanner::endCycle() {
    ++planned_;
    if (++l_ == run_.u) {
        l_ = 0;
        if (++k_ == run_.L) {
            k_ = 0;
            ++j_;
        }
    }
}

// The first `cycles` cycles of a cell that embeds no subset: the numbers follow from the number
// of assignment switches alone.
void CyclePlanner::skipWithoutEmbedding(uint32_t cycles, PendingSteps& steps) {
    startCell();
    const uint16_t Q = static_cast<uint16_t>(run_.pulses[j_]);
    const uint16_t n = run_.n;
    if (run_.taskKind == 2 || run_.taskKind == 4) {
        uint64_t switches = 0;
        if (run_.taskKind == 2) {
            // Switches at l = B, 2B, ... (every cycle when B is 0).
            switches = B_ == 0 ? cycles : (cycles - 1) / static_cast<uint64_t>(B_);
            E_ = B_ * static_cast<int64_t>(switches + 1);
        } else {
            for (uint32_t l = 0; l < cycles; ++l)
                if (int64_t{l} * Q >= E_) {
                    E_ += B_;
                    ++switches;
                }
        }
        // Task 2 moves every pulse on together; task 4 counts like an odometer in base n.
        uint64_t count = switches;
        for (uint16_t m = 0; m < Q; ++m) {
            positions_[m] = static_cast<uint16_t>(1 + count % n);
            if (run_.taskKind == 4)
                count /= n;
            numbers_[m] = run_.list[positions_[m] - 1];
        }
    }
    checkNumbers(Q);
    addCycleSteps(steps, Q, cycles);
    planned_ += cycles - 1;  // at most the rest of the cell: only the last may end it
    l_ += cycles - 1;
    endCycle();
}

void CyclePlanner::skip(uint64_t count) {
    count = std::min(count, run_.cycles() - planned_);
    PendingSteps steps;
    while (count > 0) {
        const uint16_t Q = static_cast<uint16_t>(run_.pulses[j_]);
        const uint32_t here = static_cast<uint32_t>(std::min<uint64_t>(count, run_.u - l_));
        const bool noEmbedding = run_.taskKind == 1 || run_.taskKind == 2 ||
                                 ((run_.taskKind == 4 || run_.taskKind == 64) && subsetSize_ == 0);
        if (l_ == 0 && noEmbedding) {
            skipWithoutEmbedding(here, steps);
        } else {
            // Replay the embedding where it can differ: whenever it draws (a drawn shifted
            // complete embedding only in the last cycle, the others just consume their draw),
            // and after a change of the assignment or subset; a fixed embedding repeated over
            // the same numbers writes what is already there. The check waits for the end:
            // nothing reads the numbers in between and it maps each entry on its own.
            for (uint32_t i = 0; i < here; ++i) {
                const bool fresh = l_ == 0;
                if (fresh)
                    startCell();
                const bool changed = assign(l_) || fresh;
                if (subsetSize_ > 0) {
                    if (embeddingDraws(Q)) {
                        if (embeddingCoversTail() && i + 1 < here)
                            series::nextRandom(streams_.subsetOffset);
                        else
                            embedSubset(Q);
                    } else if (changed) {
                        embedSubset(Q);
                    }
                }
                addCycleSteps(steps, Q, 1);
                endCycle();
            }
            checkNumbers(Q);
        }
        count -= here;
    }
    applySteps(steps);
}

// The draws and sequence changes of generation: the subset embedding (the generator's own),
// the etalon-number check and the fixed-count draws.
void CyclePlanner::dryRunGeneration(uint16_t K) {
    embedSubset(K);
    checkNumbers(K);
    PendingSteps steps;
    addCycleSteps(steps, K, 1);
    applySteps(steps);
}

void CyclePlanner::next(CycleStart& start, uint16_t* numbers) {
    if (l_ == 0)
        startCell();
    const uint16_t Q = static_cast<uint16_t>(run_.pulses[j_]);
    assign(l_);
    start.streams = streams_;
    start.j = j_;
    start.k = k_;
    start.tuple = run_.taskKind == 40 ? e_ : 0;
    start.subsetSize = subsetSize_;
    dryRunGeneration(Q);
    std::copy(numbers_, numbers_ + run_.numbersRead(Q), numbers);
    endCycle();
}

}  // namespace simulation
