// Tuple detection with an unknown number of pulses: pulse k uses subset entry k mod S, and the
// best chain of every pulse count from wMinPulses to wMaxPulses competes in the chains record.

#include <algorithm>
#include <new>
#include <vector>

#include "platform/allocation.h"
#include "position_set.h"
#include "procedures.h"
#include "tuples_common.h"

namespace engine {

namespace {

using tuples::addWrap;
using tuples::kUnreached;

// Pulse k's table covers the bounding range lo .. hi of its position set; positions of the range
// outside the set hold the sentinel, so they never qualify as predecessors or ends.
struct PulseTable {
    int32_t lo = 0;
    int32_t hi = -1;
    int32_t* G = nullptr;
    int32_t* B = nullptr;
    int32_t* E = nullptr;
    bool empty() const { return hi < lo; }
    bool holds(int32_t m) const { return m >= lo && m <= hi; }
};

}  // namespace

// A chain count whose last position set holds no cost below the sentinel has no chain and is
// not offered. Without a chain of negative distance the header reports 0 pulses and 0 tuples.
void detectTuplesUnknownNumber(platform::Window& window, const series::Alphabet& alphabet,
                               int32_t S, const int32_t* subset, uint16_t /*proceeding*/,
                               uint16_t Tmin, uint16_t Tmax, uint16_t D, ChainsHeader& chains,
                               series::SeriesHeader& header, int32_t* debugRepeat) {
    if (S < 1 || subset == nullptr || alphabet.empty())
        return;
    const int32_t P = std::min(header.wMaxPulses, header.wPulsesCapacity);
    const int32_t minP = std::max<int32_t>(header.wMinPulses, 1);
    const int64_t N = header.dwSeriesSize;
    const int64_t L = header.wImpulseSize;
    const int32_t W = tuples::startCount(header);

    tuples::resetChains(chains, 0, 0, static_cast<uint32_t>(P));

    // omegaStar[k]: the starts pulse k can take in some chain of l = minP .. P pulses.
    std::unique_ptr<PositionSetPtr[]> omegaStar;
    try {
        omegaStar = platform::allocateArray<PositionSetPtr>(static_cast<size_t>(P) + 1);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для omegaStar!", "");
        return;
    }
    for (int32_t k = 0; k < P; ++k) {
        omegaStar[k] = getPositionSet(window, nullptr, static_cast<uint16_t>(P));
        if (!omegaStar[k]) {
            window.messageBox("Нет памяти для omegaStar!", "");
            return;
        }
        for (int64_t l = std::max<int64_t>(minP, k + 1); l <= P; ++l) {
            const int64_t low = std::max<int64_t>({k * int64_t{Tmin}, N - (l - k) * Tmax, 0});
            const int64_t high = std::min<int64_t>(
                {(k + 1) * int64_t{Tmax} - L, N - L - (l - 1 - k) * Tmin, int64_t{W} - 1});
            if (low <= high)
                addInterval(window, omegaStar[k].get(), static_cast<uint16_t>(low),
                            static_cast<uint16_t>(high));
        }
    }

    std::vector<PulseTable> table(static_cast<size_t>(P));
    size_t cells = 0;
    for (int32_t k = 0; k < P; ++k) {
        const PositionSet& set = *omegaStar[k];
        if (set.wCount > 0) {
            table[k].lo = set.lpLow[0];
            table[k].hi = set.lpHigh[set.wCount - 1];
        }
        cells += static_cast<size_t>(table[k].empty() ? 0 : table[k].hi - table[k].lo + 1);
    }
    std::unique_ptr<int32_t[]> gOpt;
    try {
        gOpt = platform::allocateArray<int32_t>(3 * cells + 1);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для G_opt!", "");
        return;
    }
    int32_t* next = gOpt.get();
    size_t widest = 1;
    for (PulseTable& t : table) {
        const size_t w = t.empty() ? 0 : static_cast<size_t>(t.hi - t.lo + 1);
        t.G = next;
        t.B = next + w;
        t.E = next + 2 * w;
        std::fill(t.G, t.G + w, kUnreached);
        next += 3 * w;
        widest = std::max(widest, w);
    }

    // G_k[m] = prev + cost, prev the smallest G_{k-1}[c] below the sentinel over
    // c = m - Tmax .. m - Tmin of the previous set (the sentinel when none; 0 for k = 0).
    tuples::FitCache fits(alphabet, header.lpNoisyData, W, header.wImpulseSize, D);
    tuples::WindowMinimum windowMin(widest);
    auto etalonOfPulse = [&](int32_t k) {
        return tuples::etalonIndexOf(subset[k % S], alphabet.size());
    };
    for (int32_t k = 0; k < P; ++k) {
        PulseTable& t = table[k];
        const PulseTable* pt = k > 0 ? &table[k - 1] : nullptr;
        const int32_t etalon = etalonOfPulse(k);
        windowMin.reset();
        int32_t pushNext = pt ? pt->lo : 0;
        forEachPosition(omegaStar[k].get(), [&](uint16_t pos) {
            const int32_t m = pos;
            int32_t prev = 0;
            if (pt) {
                prev = kUnreached;
                if (!pt->empty()) {
                    const int32_t right = std::min(m - int32_t{Tmin}, pt->hi);
                    for (; pushNext <= right; ++pushNext)
                        windowMin.push(pushNext, pt->G[pushNext - pt->lo]);
                    windowMin.dropBefore(std::max(m - int32_t{Tmax}, pt->lo));
                    if (!windowMin.empty() && windowMin.value() < kUnreached)
                        prev = windowMin.value();
                }
            }
            const LocalFit& fit = fits.at(etalon, m);
            t.G[m - t.lo] = addWrap(prev, fit.cost);
            t.B[m - t.lo] = fit.cutBegin;
            t.E[m - t.lo] = fit.cutEnd;
        });
    }

    int32_t bestDistance = 0;
    std::vector<ChainPulse> best;
    std::vector<int16_t> first(static_cast<size_t>(P) + 1), last(static_cast<size_t>(P) + 1);
    std::vector<int16_t> bestFirst, bestLast;
    int32_t bestTuples = 0;
    for (int32_t l = minP; l <= P; ++l) {
        const PulseTable& end = table[l - 1];
        int32_t at = -1, distance = kUnreached;
        for (int32_t m = end.lo; m <= end.hi; ++m)
            if (end.G[m - end.lo] < distance)
                distance = end.G[m - end.lo], at = m;
        if (at < 0)
            continue;

        std::vector<ChainPulse> pulses(static_cast<size_t>(l));
        auto place = [&](int32_t k, int32_t m) {
            const PulseTable& t = table[k];
            pulses[k].start = static_cast<int16_t>(m);
            pulses[k].etalon = static_cast<int16_t>(etalonOfPulse(k) + 1);
            pulses[k].cutBegin = t.holds(m) ? static_cast<int16_t>(t.B[m - t.lo]) : int16_t{0};
            pulses[k].cutEnd =
                t.holds(m) ? static_cast<int16_t>(t.E[m - t.lo]) : static_cast<int16_t>(L - 1);
        };
        place(l - 1, at);
        for (int32_t k = l - 2; k >= 0; --k) {
            const PulseTable& t = table[k];
            const int32_t after = pulses[k + 1].start;
            const int32_t lo = std::max(after - int32_t{Tmax}, t.lo);
            const int32_t hi = std::min(after - int32_t{Tmin}, t.hi);
            int32_t c = after, bestG = kUnreached;  // no predecessor: keep the next start
            for (int32_t q = lo; q <= hi; ++q)
                if (t.G[q - t.lo] < bestG)
                    bestG = t.G[q - t.lo], c = q;
            place(k, c);
        }
        const int32_t tuplesCount = tuples::groupTuples(l, S, 0, first.data(), last.data(), l);
        if (offerChain(chains, distance, pulses) == 0)
            chains.wSeekingPulsesQuantity = static_cast<uint16_t>(l);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = std::move(pulses);
            bestFirst.assign(first.begin(), first.begin() + tuplesCount);
            bestLast.assign(last.begin(), last.begin() + tuplesCount);
            bestTuples = tuplesCount;
        }
    }

    tuples::storeFindings(header, best, bestFirst.data(), bestLast.data(), bestTuples);
    chains.wSeekingPulsesQuantity = header.wDetectedQuantity;
    if (debugRepeat)
        *debugRepeat = 0;
}

}  // namespace engine
