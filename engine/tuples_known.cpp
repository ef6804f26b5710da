// Tuple detection and recognition with a known number K of pulses: one layer per pulse, the
// etalon of layer k fixed by the subset and the phase, the best chain found layer by layer.

#include <algorithm>
#include <new>
#include <vector>

#include "platform/allocation.h"
#include "procedures.h"
#include "series/generation.h"
#include "tuples_common.h"

namespace engine {

namespace {

using tuples::addWrap;
using tuples::kNoChain;
using tuples::kNoPredecessor;

struct Range {
    int32_t lo = 0;
    int32_t hi = -1;
    bool empty() const { return hi < lo; }
    int32_t width() const { return empty() ? 0 : hi - lo + 1; }
};

// Per layer its cumulative cost G and the chosen cut, over the layer's own range of starts:
// row k of G holds positions lo(k) .. hi(k) (G[k][m - lo(k)]).
struct Layers {
    std::vector<Range> range;
    std::unique_ptr<int32_t*[]> rows;   // "ppDw": G, cut begins and cut ends of every layer
    std::unique_ptr<int32_t[]> values;  // "ppDw[m]"
    int32_t** G = nullptr;
    int32_t** B = nullptr;
    int32_t** E = nullptr;

    int32_t layers() const { return static_cast<int32_t>(range.size()); }
};

// Lays out the tables; on failure shows the message of the block concerned and returns false.
bool layOut(platform::Window& window, Layers& t, size_t extraRows, const char* rowsMessage,
            const char* valuesMessage) {
    const size_t K = t.range.size();
    size_t cells = 0;
    for (const Range& r : t.range)
        cells += static_cast<size_t>(r.width());
    try {
        t.rows = platform::allocateArray<int32_t*>(3 * K + extraRows + 1);
    } catch (const std::bad_alloc&) {
        window.messageBox(rowsMessage, "");
        return false;
    }
    try {
        t.values = platform::allocateArray<int32_t>(3 * cells + 1);
    } catch (const std::bad_alloc&) {
        t.rows.reset();
        window.messageBox(valuesMessage, "");
        return false;
    }
    t.G = t.rows.get();
    t.B = t.G + K;
    t.E = t.B + K;
    int32_t* next = t.values.get();
    for (size_t k = 0; k < K; ++k) {
        const size_t w = static_cast<size_t>(t.range[k].width());
        t.G[k] = next;
        t.B[k] = next + w;
        t.E[k] = next + 2 * w;
        next += 3 * w;
    }
    return true;
}

struct PassEnd {
    int32_t position = -1;  // -1: no position of the last layer below 9999999
    int32_t distance = kNoChain;
};

// Fills every layer: G_k[m] = prev + cost of the layer's etalon at m, prev being the smallest
// G_{k-1}[c] below 999999 over c = m - Tmax .. m - Tmin inside the previous layer (999999 when
// none; 0 for the first layer). The window minimum slides with m and returns, on ties, the lowest
// c, as the scan in ascending c does.
PassEnd layeredPass(Layers& t, const std::vector<int32_t>& etalonOf, tuples::FitCache& fits,
                    int32_t Tmin, int32_t Tmax, tuples::WindowMinimum& window) {
    const int32_t K = t.layers();
    for (int32_t k = 0; k < K; ++k) {
        const Range r = t.range[k];
        const Range pr = k > 0 ? t.range[k - 1] : Range{};
        window.reset();
        int32_t next = pr.lo;
        for (int32_t m = r.lo; m <= r.hi; ++m) {
            int32_t prev = 0;
            if (k > 0) {
                prev = kNoPredecessor;
                if (!pr.empty()) {
                    const int32_t right = std::min(m - Tmin, pr.hi);
                    for (; next <= right; ++next)
                        window.push(next, t.G[k - 1][next - pr.lo]);
                    window.dropBefore(std::max(m - Tmax, pr.lo));
                    if (!window.empty() && window.value() < kNoPredecessor)
                        prev = window.value();
                }
            }
            const LocalFit& fit = fits.at(etalonOf[k], m);
            t.G[k][m - r.lo] = addWrap(prev, fit.cost);
            t.B[k][m - r.lo] = fit.cutBegin;
            t.E[k][m - r.lo] = fit.cutEnd;
        }
    }
    PassEnd end;
    if (K == 0)
        return end;
    const Range last = t.range[K - 1];
    for (int32_t m = last.lo; m <= last.hi; ++m) {
        const int32_t g = t.G[K - 1][m - last.lo];
        if (g < end.distance)
            end = {m, g};
    }
    return end;
}

// The chain ending at the pass's end, built backwards: for each earlier layer the position of
// its range inside [next start - Tmax, next start - Tmin] with the smallest G below 999999 (lowest
// on ties). A chain without an end, or with a pulse that has no such predecessor (the forward pass
// could only reach it from the sentinel), is no chain: distance 9999999 and no pulses, as the
// engine's other known-count procedures report it.
std::vector<ChainPulse> buildChain(const Layers& t, PassEnd& end,
                                   const std::vector<int32_t>& etalonOf, int32_t Tmin,
                                   int32_t Tmax) {
    const int32_t K = t.layers();
    if (end.position < 0)
        return {};
    std::vector<ChainPulse> pulses(static_cast<size_t>(K));
    auto place = [&](int32_t k, int32_t m) {
        const Range r = t.range[k];
        pulses[k] = {static_cast<int16_t>(m), static_cast<int16_t>(etalonOf[k] + 1),
                     static_cast<int16_t>(t.B[k][m - r.lo]),
                     static_cast<int16_t>(t.E[k][m - r.lo])};
    };
    place(K - 1, end.position);
    for (int32_t k = K - 2; k >= 0; --k) {
        const Range r = t.range[k];
        const int32_t next = pulses[k + 1].start;
        const int32_t lo = std::max(next - Tmax, r.lo);
        const int32_t hi = std::min(next - Tmin, r.hi);
        int32_t best = -1, bestG = kNoPredecessor;
        for (int32_t c = lo; c <= hi; ++c)
            if (t.G[k][c - r.lo] < bestG)
                bestG = t.G[k][c - r.lo], best = c;
        if (best < 0) {
            end = PassEnd{};
            return {};
        }
        place(k, best);
    }
    return pulses;
}

// The best chain so far and its grouping.
struct BestChain {
    int32_t distance = kNoChain;
    std::vector<ChainPulse> pulses;
    std::vector<int16_t> first, last;
    int32_t tuples = 0;
};

// Runs every phase of one subset over the tables; offers each chain and keeps the strictly
// better ones in `best`. Returns true when some chain became the best.
bool runSubset(Layers& t, const series::Alphabet& alphabet, int32_t S, const int32_t* subset,
               uint16_t proceeding, int32_t Tmin, int32_t Tmax, tuples::FitCache& fits,
               tuples::WindowMinimum& window, ChainsHeader& chains, BestChain& best,
               bool rowZeroSetsSeeking) {
    const int32_t K = t.layers();
    const int32_t phases = proceeding == 1 ? 1 : S;
    std::vector<int32_t> etalonOf(static_cast<size_t>(K));
    std::vector<int16_t> first(static_cast<size_t>(K) + 1), last(static_cast<size_t>(K) + 1);
    bool improved = false;
    for (int32_t p = 0; p < phases; ++p) {
        for (int32_t k = 0; k < K; ++k)
            etalonOf[k] = tuples::etalonIndexOf(subset[(k % S + p) % S], alphabet.size());
        PassEnd end = layeredPass(t, etalonOf, fits, Tmin, Tmax, window);
        std::vector<ChainPulse> pulses = buildChain(t, end, etalonOf, Tmin, Tmax);
        const int32_t count = tuples::groupTuples(static_cast<int32_t>(pulses.size()), S, p,
                                                  first.data(), last.data(), K);
        const int row = offerChain(chains, end.distance, pulses);
        if (row == 0 && rowZeroSetsSeeking)
            chains.wSeekingPulsesQuantity = static_cast<uint16_t>(K);
        if (end.distance < best.distance) {
            best.distance = end.distance;
            best.pulses = std::move(pulses);
            best.first.assign(first.begin(), first.begin() + count);
            best.last.assign(last.begin(), last.begin() + count);
            best.tuples = count;
            improved = true;
        }
    }
    return improved;
}

int32_t maxWidth(const std::vector<Range>& ranges) {
    int32_t w = 1;
    for (const Range& r : ranges)
        w = std::max(w, r.width());
    return w;
}

}  // namespace

// A subset of no entries has nothing to place: nothing is done. A header whose K exceeds its
// per-pulse capacity is not processed either.
void detectTuplesKnownNumber(platform::Window& window, const series::Alphabet& alphabet, int32_t S,
                             const int32_t* subset, uint16_t proceeding, uint16_t Tmin,
                             uint16_t Tmax, uint16_t D, ChainsHeader& chains,
                             series::SeriesHeader& header, int32_t* /*debugRepeat*/) {
    const int32_t K = header.wImpulseQuantity;
    if (S < 1 || subset == nullptr || alphabet.empty() || K > header.wPulsesCapacity)
        return;
    const int32_t N = static_cast<int32_t>(header.dwSeriesSize);
    const int32_t W = tuples::startCount(header);

    Layers t;
    t.range.resize(static_cast<size_t>(K));
    for (int32_t k = 0; k < K; ++k) {
        const uint16_t kk = static_cast<uint16_t>(k), KK = static_cast<uint16_t>(K);
        t.range[k].lo = std::max(series::startLow(static_cast<uint32_t>(N), Tmin, Tmax, KK, kk), 0);
        t.range[k].hi = std::min(
            series::startHigh(static_cast<uint32_t>(N), header.wImpulseSize, Tmin, Tmax, KK, kk),
            W - 1);
    }
    if (!layOut(window, t, static_cast<size_t>(S), "Нет памяти для ppDw!",
                "Нет памяти для ppDw[m]!"))
        return;

    tuples::resetChains(chains, static_cast<uint16_t>(K), static_cast<uint16_t>(K),
                        static_cast<uint32_t>(K));
    BestChain best;
    bool found = false;
    if (K > 0) {
        tuples::FitCache fits(alphabet, header.lpNoisyData, W, header.wImpulseSize, D);
        tuples::WindowMinimum windowMin(static_cast<size_t>(maxWidth(t.range)));
        found = runSubset(t, alphabet, S, subset, proceeding, Tmin, Tmax, fits, windowMin, chains,
                          best, false);
    }
    // Without a chain below 9999999 nothing was found in this series: 0 pulses and 0 tuples
    // rather than the previous run's findings under a count of K.
    if (found) {
        tuples::storeFindings(header, best.pulses, best.first.data(), best.last.data(),
                              best.tuples);
    } else {
        header.wDetectedQuantity = 0;
        header.wDetectedTuples = 0;
    }
}

// Without any chain below 9999999 (no subsets, or every chain at the sentinel) there is no
// recognised subset: the header then reports 0 found pulses, 0 tuples and subset 0, so no reader
// takes a sentinel chain for a finding. Subsets of no entries are skipped.
void recognizeTuplesKnownNumber(platform::Window& window, const series::Alphabet& alphabet,
                                const int32_t* lengths, const int32_t* const* rows, int32_t count,
                                uint16_t proceeding, uint16_t Tmin, uint16_t Tmax, uint16_t D,
                                ChainsHeader& chains, series::SeriesHeader& header,
                                int32_t* /*debugRepeat*/) {
    const int32_t K = header.wImpulseQuantity;
    if (K > header.wPulsesCapacity)
        return;
    if (count > 0 && (lengths == nullptr || rows == nullptr))
        return;
    count = std::max(count, 0);
    const int32_t W = tuples::startCount(header);

    int32_t longest = 0;
    for (int32_t j = 0; j < count; ++j)
        longest = std::max(longest, lengths[j]);

    Layers t;
    t.range.resize(static_cast<size_t>(K));
    for (int32_t k = 0; k < K; ++k) {
        t.range[k].lo = std::max<int32_t>(header.lpStartMin[k], 0);
        t.range[k].hi = std::min<int32_t>(header.lpStartMax[k], W - 1);
    }
    if (!layOut(window, t, static_cast<size_t>(longest), "Нет памяти для ppDw!",
                "Нет памяти для ppDw[]!"))
        return;

    tuples::resetChains(chains, static_cast<uint16_t>(K), static_cast<uint16_t>(K),
                        static_cast<uint32_t>(K));
    BestChain best;
    int32_t recognized = 0;
    if (K > 0 && !alphabet.empty()) {
        tuples::FitCache fits(alphabet, header.lpNoisyData, W, header.wImpulseSize, D);
        tuples::WindowMinimum windowMin(static_cast<size_t>(maxWidth(t.range)));
        for (int32_t j = 0; j < count; ++j) {
            if (lengths[j] < 1 || rows[j] == nullptr)
                continue;
            if (runSubset(t, alphabet, lengths[j], rows[j], proceeding, Tmin, Tmax, fits, windowMin,
                          chains, best, true))
                recognized = j + 1;
        }
    }
    if (recognized > 0) {
        tuples::storeFindings(header, best.pulses, best.first.data(), best.last.data(),
                              best.tuples);
    } else {
        header.wDetectedQuantity = 0;
        header.wDetectedTuples = 0;
    }
    header.wRecognizedSubset = static_cast<int16_t>(recognized);
}

}  // namespace engine
