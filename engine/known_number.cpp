// Detection and recognition with a known number K of pulses: one layer of cumulative costs per
// pulse, layer k over the feasible starts lpStartMin[k] .. lpStartMax[k] of the series.
//
// A chain is valid when its last layer has a position with a cumulative cost below 9999999 and
// every earlier pulse has a predecessor below 999999 on the way back. An invalid chain is offered
// with distance 9999999; the findings then report no pulses: wDetectedQuantity = 0, the starts
// of pulses 0 .. K-1 are -1 and their cuts 0 (detection offers the chain with no pulses;
// recognition keeps its K zero pulses and reports etalon -1).

#include <algorithm>
#include <new>
#include <vector>

#include "dp_internal.h"
#include "platform/allocation.h"
#include "procedures.h"

namespace engine {

namespace {

using dp::add32;

struct Layers {
    int32_t K = 0;
    std::vector<int32_t> lo, hi, offset;  // layer k holds positions lo[k] .. hi[k]
    int32_t total = 0;
    int32_t* G = nullptr;
    int32_t* cutBegin = nullptr;
    int32_t* cutEnd = nullptr;
    int32_t* etalon = nullptr;  // detection only
    int32_t at(int32_t k, int32_t m) const { return offset[k] + m - lo[k]; }
    bool empty(int32_t k) const { return hi[k] < lo[k]; }
};

// Layer ranges from the series' feasible starts, kept inside 0 .. N - L so that every fit reads
// only samples of the series.
Layers layerRanges(const series::SeriesHeader& h, int32_t K) {
    Layers layers;
    layers.K = K;
    const int32_t last = static_cast<int32_t>(h.dwSeriesSize) - h.wImpulseSize;
    for (int32_t k = 0; k < K; ++k) {
        const int32_t lo = std::max<int32_t>(h.lpStartMin[k], 0);
        const int32_t hi = std::min<int32_t>(h.lpStartMax[k], last);
        layers.lo.push_back(lo);
        layers.hi.push_back(hi);
        layers.offset.push_back(layers.total);
        if (hi >= lo)
            layers.total += hi - lo + 1;
    }
    return layers;
}

// prev[m - lo_k] = min(999999, G_{k-1}[c] over c = m - Tmax .. m - Tmin inside layer k - 1) for
// every m of layer k. Only the value is needed going forward, so the windows of the fixed width
// Tmax - Tmin + 1 are taken over the previous layer padded with 999999, by block prefix and
// suffix minima: the minimum of [i, i + w - 1] is min(suffix[i], prefix[i + w - 1]).
void windowMinima(const Layers& layers, int32_t k, uint16_t Tmin, uint16_t Tmax,
                  std::vector<int32_t>& prev, std::vector<int32_t>& pad, std::vector<int32_t>& g,
                  std::vector<int32_t>& h) {
    const int32_t w = Tmax - Tmin + 1;
    const int32_t a0 = layers.lo[k] - Tmax;
    const int32_t n = static_cast<int32_t>(prev.size()) + w - 1;
    pad.assign(n, dp::kNoPredecessor);
    const int32_t from = std::max(layers.lo[k - 1], a0);
    const int32_t to = std::min(layers.hi[k - 1], a0 + n - 1);
    for (int32_t c = from; c <= to; ++c)
        pad[c - a0] = std::min(layers.G[layers.at(k - 1, c)], dp::kNoPredecessor);
    g.resize(n);
    h.resize(n);
    for (int32_t b = 0; b < n; b += w) {
        const int32_t e = std::min(b + w, n);
        g[b] = pad[b];
        for (int32_t i = b + 1; i < e; ++i)
            g[i] = std::min(g[i - 1], pad[i]);
        h[e - 1] = pad[e - 1];
        for (int32_t i = e - 2; i >= b; --i)
            h[i] = std::min(h[i + 1], pad[i]);
    }
    for (size_t i = 0; i < prev.size(); ++i)
        prev[i] = std::min(h[i], g[i + w - 1]);
}

// G_k[m] = prev + best local fit at m, prev being 0 for layer 0 and otherwise the smallest
// G_{k-1}[c] below 999999 over c = m - Tmax .. m - Tmin inside layer k - 1 (999999 when none).
void fillLayers(const int16_t* x, uint32_t N, uint16_t Tmin, uint16_t Tmax,
                const std::vector<FitEtalon>& candidates, Layers& layers) {
    // Local fits of every position of some layer, runs of consecutive positions together.
    std::vector<LocalFit> fits(N);
    std::vector<uint8_t> used(N, 0);
    for (int32_t k = 0; k < layers.K; ++k)
        for (int32_t m = layers.lo[k]; m <= layers.hi[k]; ++m)
            used[m] = 1;
    for (uint32_t m = 0; m < N;) {
        if (!used[m]) {
            ++m;
            continue;
        }
        uint32_t end = m;
        while (end < N && used[end])
            ++end;
        bestLocalFits(x, m, end - m, candidates, fits.data() + m);
        m = end;
    }
    std::vector<int32_t> prev, pad, g, h;
    for (int32_t k = 0; k < layers.K; ++k) {
        if (layers.empty(k))
            continue;
        const int32_t n = layers.hi[k] - layers.lo[k] + 1;
        prev.assign(n, k == 0 ? 0 : dp::kNoPredecessor);
        if (k > 0 && !layers.empty(k - 1) && Tmin <= Tmax)
            windowMinima(layers, k, Tmin, Tmax, prev, pad, g, h);
        for (int32_t m = layers.lo[k]; m <= layers.hi[k]; ++m) {
            const LocalFit& f = fits[m];
            const int32_t i = layers.at(k, m);
            layers.G[i] = add32(prev[m - layers.lo[k]], f.cost);
            layers.cutBegin[i] = f.cutBegin;
            layers.cutEnd[i] = f.cutEnd;
            if (layers.etalon)
                layers.etalon[i] = candidates[f.candidate].etalonIndex;
        }
    }
}

// The first position of the last layer with the smallest cost below 9999999, or -1.
int32_t bestEnd(const Layers& layers) {
    if (layers.K == 0)
        return -1;
    const int32_t k = layers.K - 1;
    int32_t best = dp::kNoChain, end = -1;
    for (int32_t m = layers.lo[k]; m <= layers.hi[k]; ++m)
        if (layers.G[layers.at(k, m)] < best)
            best = layers.G[layers.at(k, m)], end = m;
    return end;
}

// Starts of the K pulses of the chain ending at `end`, each earlier one the lowest position of
// smallest cost below 999999 in the window before the next. False when a pulse has none.
bool backtrack(const Layers& layers, int32_t end, uint16_t Tmin, uint16_t Tmax,
               std::vector<int32_t>& starts) {
    starts.assign(layers.K, -1);
    if (end < 0)
        return false;
    starts[layers.K - 1] = end;
    for (int32_t k = layers.K - 2; k >= 0; --k) {
        const int32_t m = starts[k + 1];
        int32_t best = dp::kNoPredecessor, at = -1;
        const int32_t lo = std::max(m - Tmax, layers.lo[k]);
        const int32_t hi = std::min(m - Tmin, layers.hi[k]);
        for (int32_t c = lo; c <= hi; ++c)
            if (layers.G[layers.at(k, c)] < best)
                best = layers.G[layers.at(k, c)], at = c;
        if (at < 0)
            return false;
        starts[k] = at;
    }
    return true;
}

void resetKnownChains(ChainsHeader& chains, uint16_t K) {
    chains.wPretenders = 0;
    chains.wQuanPulses = K;
    chains.wSeekingPulsesQuantity = K;
    const uint16_t clear = std::min(K, chains.wMaxPulses);
    for (uint16_t r = 0; r < chains.wMaxSize; ++r) {
        chains.distance[r] = 0;
        for (int16_t** a :
             {chains.pulsesList, chains.lpChainStart, chains.lpChainCutBegin, chains.lpChainCutEnd})
            std::fill(a[r], a[r] + clear, int16_t{0});
    }
}

// Findings of pulses 0 .. K-1 before a run: start -1, etalon and cuts 0.
void resetFindings(series::SeriesHeader& h, uint16_t K) {
    for (uint16_t k = 0; k < K; ++k) {
        h.lpDetectedStart[k] = -1;
        h.lpDetectedEtalon[k] = 0;
        h.lpDetectedCutBegin[k] = 0;
        h.lpDetectedCutEnd[k] = 0;
    }
    h.wDetectedQuantity = 0;
}

uint16_t knownCount(const series::SeriesHeader& h) {
    return std::min(h.wImpulseQuantity, h.wPulsesCapacity);
}

}  // namespace

int detectKnownNumber(platform::Window& window, const series::Alphabet& alphabet,
                      uint16_t listCount, const uint16_t* list, uint16_t Tmin, uint16_t Tmax,
                      uint16_t D, ChainsHeader& chains, series::SeriesHeader& header) {
    const uint32_t N = header.dwSeriesSize;
    const uint16_t L = header.wImpulseSize;
    const uint16_t K = knownCount(header);
    Layers layers = layerRanges(header, K);

    std::unique_ptr<int32_t*[]> ppDw;
    std::unique_ptr<int32_t[]> block;
    try {
        ppDw = platform::allocateArray<int32_t*>(3 * size_t{K} + listCount);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для ppDw!", "");
        return 0;
    }
    try {
        block = platform::allocateArray<int32_t>(4 * size_t(layers.total) +
                                                 size_t{listCount} * (L + 2u));
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для ppDw[m]!", "");
        return 0;
    }
    // Per layer G, cut begins and ends (the etalon indices follow), then per list entry its
    // partial energies and threshold.
    layers.G = block.get();
    layers.cutBegin = layers.G + layers.total;
    layers.cutEnd = layers.cutBegin + layers.total;
    layers.etalon = layers.cutEnd + layers.total;
    for (int32_t k = 0; k < K; ++k) {
        ppDw[k] = layers.G + layers.offset[k];
        ppDw[K + k] = layers.cutBegin + layers.offset[k];
        ppDw[2 * K + k] = layers.cutEnd + layers.offset[k];
    }
    std::vector<FitEtalon> candidates;
    for (uint16_t i = 0; i < listCount && !alphabet.empty(); ++i) {
        candidates.push_back(dp::fitFor(alphabet, list[i], D, L));
        int32_t* pe = layers.etalon + layers.total + size_t{i} * (L + 2u);
        ppDw[3 * K + i] = pe;
        std::copy(candidates.back().partialEnergy.begin(), candidates.back().partialEnergy.end(),
                  pe);
        pe[L + 1] = candidates.back().threshold;
    }

    resetKnownChains(chains, K);
    std::vector<int32_t> starts;
    bool valid = false;
    int32_t end = -1;
    if (!candidates.empty()) {
        fillLayers(header.lpNoisyData, N, Tmin, Tmax, candidates, layers);
        end = bestEnd(layers);
        valid = backtrack(layers, end, Tmin, Tmax, starts);
    }
    std::vector<ChainPulse> pulses;
    if (valid) {
        for (int32_t k = 0; k < K; ++k) {
            const int32_t i = layers.at(k, starts[k]);
            pulses.push_back(
                {static_cast<int16_t>(starts[k]), static_cast<int16_t>(layers.etalon[i] + 1),
                 static_cast<int16_t>(layers.cutBegin[i]), static_cast<int16_t>(layers.cutEnd[i])});
        }
    }
    offerChain(chains, valid ? layers.G[layers.at(K - 1, end)] : dp::kNoChain, pulses);
    resetFindings(header, K);
    copyBestChainToSeries(chains, header);
    return 1;
}

int32_t recognizeKnownNumber(platform::Window& window, const series::Alphabet& alphabet,
                             uint16_t listCount, const uint16_t* list, uint16_t Tmin, uint16_t Tmax,
                             uint16_t D, ChainsHeader& chains, series::SeriesHeader& header) {
    const uint32_t N = header.dwSeriesSize;
    const uint16_t L = header.wImpulseSize;
    const uint16_t K = knownCount(header);
    Layers layers = layerRanges(header, K);

    std::unique_ptr<int32_t[]> indexes;
    std::unique_ptr<int32_t*[]> ppDw;
    std::unique_ptr<int32_t[]> block;
    try {
        indexes = platform::allocateArray<int32_t>(size_t{K} + L + 1);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для indexes!", "");
        return -1;
    }
    try {
        ppDw = platform::allocateArray<int32_t*>(2 * size_t{K});
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для ppDw!", "");
        return -1;
    }
    try {
        block = platform::allocateArray<int32_t>(3 * size_t(layers.total));
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для ppDw[m]!", "");
        return -1;
    }
    layers.G = block.get();
    layers.cutBegin = layers.G + layers.total;
    layers.cutEnd = layers.cutBegin + layers.total;
    for (int32_t k = 0; k < K; ++k) {
        ppDw[k] = layers.G + layers.offset[k];
        ppDw[K + k] = layers.cutBegin + layers.offset[k];
    }

    resetKnownChains(chains, K);
    resetFindings(header, K);
    int32_t bestDistance = dp::kNoChain;
    int32_t bestEtalon = -1;
    std::vector<int32_t> starts;
    std::vector<ChainPulse> pulses;
    for (uint16_t i = 0; i < listCount && !alphabet.empty(); ++i) {
        const uint16_t e = dp::listedEtalon(alphabet, list[i]);
        const std::vector<FitEtalon> candidate{dp::fitFor(alphabet, e, D, L)};
        // The chosen starts of the best chain, then the etalon's partial energies.
        std::copy(candidate[0].partialEnergy.begin(), candidate[0].partialEnergy.end(),
                  indexes.get() + K);
        fillLayers(header.lpNoisyData, N, Tmin, Tmax, candidate, layers);
        const int32_t end = bestEnd(layers);
        const bool valid = backtrack(layers, end, Tmin, Tmax, starts);
        const int32_t distance = valid ? layers.G[layers.at(K - 1, end)] : dp::kNoChain;

        pulses.assign(K, ChainPulse{0, static_cast<int16_t>(e), 0, 0});
        const int row = offerChain(chains, distance, pulses);
        if (distance < bestDistance) {
            bestDistance = distance;
            bestEtalon = e;
            for (int32_t k = 0; k < K; ++k) {
                const int32_t at = layers.at(k, starts[k]);
                indexes[k] = starts[k];
                header.lpDetectedStart[k] = static_cast<int16_t>(starts[k]);
                header.lpDetectedCutBegin[k] = static_cast<int16_t>(layers.cutBegin[at]);
                header.lpDetectedCutEnd[k] = static_cast<int16_t>(layers.cutEnd[at]);
                if (row >= 0 && k < chains.wMaxPulses) {
                    chains.lpChainStart[row][k] = header.lpDetectedStart[k];
                    chains.lpChainCutBegin[row][k] = header.lpDetectedCutBegin[k];
                    chains.lpChainCutEnd[row][k] = header.lpDetectedCutEnd[k];
                }
            }
        }
    }
    for (uint16_t k = 0; k < K; ++k)
        header.lpDetectedEtalon[k] = static_cast<int16_t>(bestEtalon);
    header.wDetectedQuantity = bestEtalon > 0 ? K : 0;
    if (bestEtalon < 0)
        chains.wSeekingPulsesQuantity = 0;
    return bestDistance;
}

}  // namespace engine
