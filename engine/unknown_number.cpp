// Detection and recognition when the number of pulses is not known: every position is explained
// as the end of the best chain reaching it, classes of positions from the three position sets.

#include <algorithm>
#include <new>
#include <vector>

#include "dp_internal.h"
#include "platform/allocation.h"
#include "position_set.h"
#include "procedures.h"

namespace engine {

namespace dp {

namespace {

// cumulative[m] = best + local[m] over the positions m of class `cls` (first/later bits),
// ascending, where best is the smallest cumulative cost below `init` among c = m - Tmax .. m - Tmin
// (c >= 0; lowest c on ties) and `init` otherwise. With Tmin >= 1 every c of the window is final
// when m is reached, so a monotone queue (storage for N entries) gives the same minimum as
// scanning the window.
void predecessorPass(const std::vector<uint8_t>& classes, uint8_t cls, int32_t init, uint16_t Tmin,
                     uint16_t Tmax, int32_t* cumulative, const int32_t* local, int32_t* predecessor,
                     uint32_t N, int32_t* queue) {
    auto inClass = [&](uint32_t m) { return (classes[m] & (kFirst | kLater)) == cls; };
    if (Tmin == 0) {
        for (uint32_t u = 0; u < N; ++u) {
            if (!inClass(u))
                continue;
            const auto m = static_cast<int32_t>(u);
            int32_t best = init, p = -2;
            for (int32_t c = std::max(0, m - Tmax); c <= m; ++c)
                if (cumulative[c] < best)
                    best = cumulative[c], p = c;
            cumulative[m] = add32(best, local[m]);
            predecessor[m] = p;
        }
        return;
    }
    size_t head = 0, tail = 0;
    int32_t next = 0;
    for (uint32_t u = 0; u < N; ++u) {
        if (!inClass(u))
            continue;
        const auto m = static_cast<int32_t>(u);
        const int32_t lo = std::max(0, m - Tmax);
        const int32_t hi = m - Tmin;
        next = std::max(next, lo);
        for (; next <= hi; ++next) {
            const int32_t v = cumulative[next];
            while (tail > head && cumulative[queue[tail - 1]] > v)
                --tail;
            queue[tail++] = next;
        }
        while (head < tail && queue[head] < lo)
            ++head;
        int32_t best = init, p = -2;
        if (head < tail && cumulative[queue[head]] < init) {
            p = queue[head];
            best = cumulative[p];
        }
        cumulative[m] = add32(best, local[m]);
        predecessor[m] = p;
    }
}

}  // namespace

void runUnknownPasses(const int16_t* x, uint32_t N, uint16_t L, uint16_t Tmin, uint16_t Tmax,
                      const std::vector<uint8_t>& classes, const std::vector<FitEtalon>& candidates,
                      const UnknownTables& t) {
    // Local fits of every run of consecutive first or later positions, computed together.
    std::vector<LocalFit> fits(N);
    for (uint32_t m = 0; m < N;) {
        if ((classes[m] & (kFirst | kLater)) == 0) {
            ++m;
            continue;
        }
        uint32_t end = m;
        while (end < N && (classes[end] & (kFirst | kLater)) != 0)
            ++end;
        bestLocalFits(x, m, end - m, candidates, fits.data() + m);
        m = end;
    }
    for (uint32_t m = 0; m < N; ++m) {
        t.local[m] = t.cumulative[m] = t.predecessor[m] = kUnreached;
        if (t.etalon)
            t.etalon[m] = 0;
        t.cutBegin[m] = 0;
        t.cutEnd[m] = L - 1;
        const uint8_t c = classes[m] & (kFirst | kLater);
        if (c == 0)
            continue;
        const LocalFit& fit = fits[m];
        t.local[m] = fit.cost;
        if (t.etalon)
            t.etalon[m] = fit.candidate >= 0 ? candidates[fit.candidate].etalonIndex : 0;
        t.cutBegin[m] = fit.cutBegin;
        t.cutEnd[m] = fit.cutEnd;
        if (c == kFirst) {
            t.cumulative[m] = t.local[m];
            t.predecessor[m] = -1;
        }
    }
    std::vector<int32_t> queue(N);
    predecessorPass(classes, kFirst | kLater, 0, Tmin, Tmax, t.cumulative, t.local, t.predecessor,
                    N, queue.data());
    predecessorPass(classes, kLater, kUnreached, Tmin, Tmax, t.cumulative, t.local, t.predecessor,
                    N, queue.data());
}

void chainEndingAt(const int32_t* predecessor, int32_t end, std::vector<int32_t>& chain) {
    chain.assign(1, end);
    for (int32_t q = end; predecessor[q] >= 0 && predecessor[q] < q; q = predecessor[q])
        chain.push_back(predecessor[q]);
    std::reverse(chain.begin(), chain.end());
}

}  // namespace dp

namespace {

// Marks the classes of every position from the three sets (an absent set marks nothing).
std::vector<uint8_t> positionClasses(const OmegaSets& sets, uint32_t N) {
    std::vector<uint8_t> classes(N, 0);
    auto mark = [&](const PositionSet* set, uint8_t bit) {
        forEachPosition(set, [&](uint16_t m) {
            if (m < N)
                classes[m] |= bit;
        });
    };
    mark(sets.omega_minus.get(), dp::kFirst);
    mark(sets.omega_tilda.get(), dp::kLater);
    mark(sets.omega_end.get(), dp::kEnd);
    return classes;
}

// Offers the chain ending at every end position, ascending. Pulse q carries the etalon number
// given by `etalonNumber(q)`.
template <class EtalonNumber>
void offerEndChains(ChainsHeader& chains, const OmegaSets& sets, uint32_t N,
                    const dp::UnknownTables& t, EtalonNumber etalonNumber) {
    std::vector<ChainPulse> pulses;
    std::vector<int32_t> chain;
    forEachPosition(sets.omega_end.get(), [&](uint16_t m) {
        if (m >= N || chainRowFor(chains, t.cumulative[m]) < 0)
            return;
        pulses.clear();
        dp::chainEndingAt(t.predecessor, m, chain);
        for (int32_t q : chain)
            pulses.push_back({static_cast<int16_t>(q), static_cast<int16_t>(etalonNumber(q)),
                              static_cast<int16_t>(t.cutBegin[q]),
                              static_cast<int16_t>(t.cutEnd[q])});
        offerChain(chains, t.cumulative[m], pulses);
    });
}

}  // namespace

int32_t detectUnknownNumber(platform::Window& window, const series::Alphabet& alphabet,
                            uint16_t listCount, const uint16_t* list, uint16_t Tmin, uint16_t Tmax,
                            uint16_t D, ChainsHeader& chains, series::SeriesHeader& header) {
    const uint32_t N = header.dwSeriesSize;
    const uint16_t L = header.wImpulseSize;
    std::unique_ptr<int32_t*[]> partialEnergies;
    std::unique_ptr<int32_t[]> indexes;
    try {
        partialEnergies = platform::allocateArray<int32_t*>(listCount);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для EtalonsPartialEnergyFromBeginning!", "");
        return 0;
    }
    try {
        indexes = platform::allocateArray<int32_t>(size_t{listCount} * (L + 2u) + 6 * size_t{N});
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для indexes!", "");
        return 0;
    }

    // Per list entry: its partial energies and threshold, then the six per-position tables.
    std::vector<FitEtalon> candidates;
    candidates.reserve(listCount);
    if (!alphabet.empty()) {
        for (uint16_t i = 0; i < listCount; ++i) {
            candidates.push_back(dp::fitFor(alphabet, list[i], D, L));
            int32_t* pe = indexes.get() + size_t{i} * (L + 2u);
            partialEnergies[i] = pe;
            const FitEtalon& f = candidates.back();
            std::copy(f.partialEnergy.begin(), f.partialEnergy.end(), pe);
            pe[L + 1] = f.threshold;
        }
    }
    int32_t* tables = indexes.get() + size_t{listCount} * (L + 2u);
    const dp::UnknownTables t{tables,         tables + N,     tables + 2 * N,
                              tables + 3 * N, tables + 4 * N, tables + 5 * N};

    chains.wPretenders = 0;
    chains.wQuanPulses = 0;
    chains.wSeekingPulsesQuantity = 0;
    const uint16_t clear = std::min(header.wMaxPulses, chains.wMaxPulses);
    for (uint16_t r = 0; r < chains.wMaxSize; ++r) {
        chains.distance[r] = 0;
        for (int16_t** a :
             {chains.pulsesList, chains.lpChainStart, chains.lpChainCutBegin, chains.lpChainCutEnd})
            std::fill(a[r], a[r] + clear, int16_t{0});
    }

    // Nothing to place: no chain, no pulses found.
    int32_t result = dp::kNoChain;
    if (candidates.empty()) {
        copyBestChainToSeries(chains, header);
        return result;
    }
    OmegaSets sets = buildOmegaSets(window, header);
    const std::vector<uint8_t> classes = positionClasses(sets, N);
    dp::runUnknownPasses(header.lpNoisyData, N, L, Tmin, Tmax, classes, candidates, t);

    forEachPosition(sets.omega_end.get(), [&](uint16_t m) {
        if (m < N)
            result = std::min(result, t.cumulative[m]);
    });
    offerEndChains(chains, sets, N, t, [&](int32_t q) { return t.etalon[q] + 1; });
    sets = {};
    copyBestChainToSeries(chains, header);
    return result;
}

void recognizeUnknownNumber(platform::Window& window, const series::Alphabet& alphabet,
                            uint16_t listCount, const uint16_t* list, uint16_t Tmin, uint16_t Tmax,
                            uint16_t D, ChainsHeader& chains, series::SeriesHeader& header) {
    const uint32_t N = header.dwSeriesSize;
    const uint16_t L = header.wImpulseSize;
    std::unique_ptr<int32_t[]> indexes;
    try {
        indexes = platform::allocateArray<int32_t>(size_t{header.wMaxPulses} + L + 1);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для indexes!", "");
        return;
    }
    chains.wPretenders = 0;
    chains.wQuanPulses = header.wImpulseQuantity;
    chains.wSeekingPulsesQuantity = 0;
    std::unique_ptr<int32_t[]> perPosition;
    try {
        perPosition = platform::allocateArray<int32_t>(5 * size_t{N});
    } catch (const std::bad_alloc&) {
        header.wDetectedQuantity = 0;
        return;
    }
    int32_t* p = perPosition.get();
    const dp::UnknownTables t{p, p + N, p + 2 * N, nullptr, p + 3 * N, p + 4 * N};
    OmegaSets sets = buildOmegaSets(window, header);
    const std::vector<uint8_t> classes = positionClasses(sets, N);

    for (uint16_t i = 0; i < listCount && !alphabet.empty(); ++i) {
        const uint16_t e = dp::listedEtalon(alphabet, list[i]);
        const std::vector<FitEtalon> candidate{dp::fitFor(alphabet, e, D, L)};
        // The etalon's partial energies sit at the end of the indexes block.
        std::copy(candidate[0].partialEnergy.begin(), candidate[0].partialEnergy.end(),
                  indexes.get() + header.wMaxPulses);
        dp::runUnknownPasses(header.lpNoisyData, N, L, Tmin, Tmax, classes, candidate, t);
        offerEndChains(chains, sets, N, t, [&](int32_t) { return e; });
        chains.wSeekingPulsesQuantity =
            chains.wPretenders > 0 ? static_cast<uint16_t>(chains.lpChainLength[0]) : 0;
    }
    sets = {};
    copyBestChainToSeries(chains, header);
}

}  // namespace engine
