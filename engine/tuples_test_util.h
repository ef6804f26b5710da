#pragma once
// Test helpers for the tuple procedures: series with an embedded subset, the local fit of one
// etalon, and literal references of the passes (plain window scans over std::set classes).

#include <algorithm>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include "engine/chains.h"
#include "engine/local_fit.h"
#include "series/generation.h"
#include "series/selection.h"
#include "series/series_header.h"
#include "test_series.h"

namespace engine::tuples_test {

constexpr int32_t kNoPredecessor = 999999, kNoChain = 9999999, kUnreached = 999999999;

inline int32_t wrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// A series whose etalon sequence is the subset embedded by `mode` from pulse `start`.
inline series::SeriesHeaderPtr tupleSeries(const series::Alphabet& alphabet,
                                           const testsupport::SeriesParams& p,
                                           const std::vector<int32_t>& subset,
                                           series::RandomStreams& streams, uint16_t mode = 4,
                                           uint16_t start = 1) {
    platform::RecordingWindow window;
    series::SeriesHeaderPtr h =
        series::getCutOffSeriesHeader(window, p.M, p.L, p.Tmin, p.Tmax, p.N, nullptr);
    series::setCurrentSubset(window, subset.data(), static_cast<int32_t>(subset.size()), mode,
                             start, h.get());
    return testsupport::makeSeries(alphabet, p, {}, streams, std::move(h));
}

inline ChainsHeaderPtr chainsFor(const series::SeriesHeader& h, uint16_t rows = 10) {
    platform::RecordingWindow window;
    return getChainsHeader(window, rows, h.wMaxPulses, nullptr);
}

// The fit of alphabet entry `index` alone at start m.
inline LocalFit fitAt(const series::Alphabet& alphabet, const series::SeriesHeader& h,
                      int32_t index, int32_t m, uint16_t D) {
    const FitEtalon f = prepareFitEtalon(alphabet[index], index, D, h.wImpulseSize);
    return bestLocalFit(h.lpNoisyData, static_cast<uint32_t>(m), std::span<const FitEtalon>(&f, 1));
}

// All fits of the given alphabet entries at every start (fits[index][m]).
struct Fits {
    std::vector<std::vector<LocalFit>> at;
    Fits(const series::Alphabet& alphabet, const series::SeriesHeader& h, uint16_t D) {
        const int W = static_cast<int>(h.dwSeriesSize) - h.wImpulseSize + 1;
        at.resize(alphabet.size());
        for (size_t i = 0; i < alphabet.size(); ++i)
            for (int m = 0; m < W; ++m)
                at[i].push_back(fitAt(alphabet, h, static_cast<int32_t>(i), m, D));
    }
};

struct Chain {
    int32_t distance = kNoChain;
    std::vector<ChainPulse> pulses;
};

inline bool samePulses(const ChainsHeader& c, int row, const std::vector<ChainPulse>& p) {
    if (c.lpChainLength[row] != static_cast<int32_t>(p.size()))
        return false;
    for (size_t k = 0; k < p.size(); ++k)
        if (c.lpChainStart[row][k] != p[k].start || c.pulsesList[row][k] != p[k].etalon ||
            c.lpChainCutBegin[row][k] != p[k].cutBegin || c.lpChainCutEnd[row][k] != p[k].cutEnd)
            return false;
    return true;
}

// The known-count layered pass, literally: layer k over [lo(k), hi(k)] places alphabet entry
// etalonOf[k]; prev scans c = m - Tmax .. m - Tmin; a chain without an end or with a pulse
// lacking a predecessor below 999999 is no chain.
inline Chain referenceLayered(const Fits& fits, const std::vector<std::pair<int, int>>& ranges,
                              const std::vector<int32_t>& etalonOf, int Tmin, int Tmax) {
    const int K = static_cast<int>(ranges.size());
    std::vector<std::vector<int32_t>> G(K);
    const int W = static_cast<int>(fits.at[0].size());
    for (int k = 0; k < K; ++k) {
        G[k].assign(W, 0);
        for (int m = ranges[k].first; m <= ranges[k].second; ++m) {
            int32_t prev = 0;
            if (k > 0) {
                prev = kNoPredecessor;
                for (int c = m - Tmax; c <= m - Tmin; ++c)
                    if (c >= ranges[k - 1].first && c <= ranges[k - 1].second && G[k - 1][c] < prev)
                        prev = G[k - 1][c];
            }
            G[k][m] = wrapAdd(prev, fits.at[etalonOf[k]][m].cost);
        }
    }
    Chain chain;
    int end = -1;
    for (int m = ranges[K - 1].first; m <= ranges[K - 1].second; ++m)
        if (G[K - 1][m] < chain.distance)
            chain.distance = G[K - 1][m], end = m;
    if (end < 0)
        return Chain{};
    std::vector<int> starts(K);
    starts[K - 1] = end;
    for (int k = K - 2; k >= 0; --k) {
        int best = -1;
        int32_t bestG = kNoPredecessor;
        for (int c = starts[k + 1] - Tmax; c <= starts[k + 1] - Tmin; ++c)
            if (c >= ranges[k].first && c <= ranges[k].second && G[k][c] < bestG)
                bestG = G[k][c], best = c;
        if (best < 0)
            return Chain{};
        starts[k] = best;
    }
    for (int k = 0; k < K; ++k) {
        const LocalFit& f = fits.at[etalonOf[k]][starts[k]];
        chain.pulses.push_back({static_cast<int16_t>(starts[k]),
                                static_cast<int16_t>(etalonOf[k] + 1), f.cutBegin, f.cutEnd});
    }
    return chain;
}

// The least cost over every feasible chain (starts in the ranges, spacing Tmin .. Tmax), by
// exhaustive enumeration; kNoChain when there is none.
inline int64_t exhaustiveLayered(const Fits& fits, const std::vector<std::pair<int, int>>& ranges,
                                 const std::vector<int32_t>& etalonOf, int Tmin, int Tmax) {
    const int K = static_cast<int>(ranges.size());
    int64_t best = kNoChain;
    std::vector<int> s(K);
    auto dfs = [&](auto&& self, int k, int64_t cost) -> void {
        if (k == K) {
            best = std::min(best, cost);
            return;
        }
        int lo = ranges[k].first, hi = ranges[k].second;
        if (k > 0)
            lo = std::max(lo, s[k - 1] + Tmin), hi = std::min(hi, s[k - 1] + Tmax);
        for (int m = lo; m <= hi; ++m) {
            s[k] = m;
            self(self, k + 1, cost + fits.at[etalonOf[k]][m].cost);
        }
    };
    dfs(dfs, 0, 0);
    return best;
}

// omegaStar[k] of the unknown-count tuple detection, as sets of positions.
inline std::vector<std::set<int>> omegaStar(const series::SeriesHeader& h, int Tmin, int Tmax) {
    const int N = static_cast<int>(h.dwSeriesSize), L = h.wImpulseSize, P = h.wMaxPulses;
    std::vector<std::set<int>> sets(P);
    for (int k = 0; k < P; ++k)
        for (int l = std::max<int>(h.wMinPulses, 1); l <= P; ++l) {
            if (k >= l)
                continue;
            const int lo = std::max({k * Tmin, N - (l - k) * Tmax, 0});
            const int hi = std::min({(k + 1) * Tmax - L, N - L - (l - 1 - k) * Tmin, N - L});
            for (int m = lo; m <= hi; ++m)
                sets[k].insert(m);
        }
    return sets;
}

// detectTuplesUnknownNumber literally: one chain per pulse count (count -> chain).
inline std::vector<std::pair<int, Chain>> referenceUnknown(const Fits& fits,
                                                           const series::SeriesHeader& h,
                                                           const std::vector<int32_t>& subset,
                                                           int Tmin, int Tmax) {
    const int P = h.wMaxPulses, S = static_cast<int>(subset.size());
    const int W = static_cast<int>(fits.at[0].size());
    const auto sets = omegaStar(h, Tmin, Tmax);
    auto etalon = [&](int k) { return subset[k % S] - 1; };
    std::vector<std::vector<int32_t>> G(P, std::vector<int32_t>(W, kUnreached));
    for (int k = 0; k < P; ++k)
        for (int m : sets[k]) {
            int32_t prev = 0;
            if (k > 0) {
                prev = kUnreached;
                for (int c : sets[k - 1])
                    if (c >= m - Tmax && c <= m - Tmin && G[k - 1][c] < prev)
                        prev = G[k - 1][c];
            }
            G[k][m] = wrapAdd(prev, fits.at[etalon(k)][m].cost);
        }
    std::vector<std::pair<int, Chain>> out;
    for (int l = std::max<int>(h.wMinPulses, 1); l <= P; ++l) {
        int end = -1;
        Chain chain;
        chain.distance = kUnreached;
        for (int m : sets[l - 1])
            if (G[l - 1][m] < chain.distance)
                chain.distance = G[l - 1][m], end = m;
        if (end < 0)
            continue;
        std::vector<int> s(l);
        s[l - 1] = end;
        for (int k = l - 2; k >= 0; --k) {
            s[k] = s[k + 1];
            int32_t bestG = kUnreached;
            for (int c : sets[k])
                if (c >= s[k + 1] - Tmax && c <= s[k + 1] - Tmin && G[k][c] < bestG)
                    bestG = G[k][c], s[k] = c;
        }
        for (int k = 0; k < l; ++k) {
            const LocalFit& f = fits.at[etalon(k)][s[k]];
            const bool in = sets[k].count(s[k]) > 0;
            chain.pulses.push_back({static_cast<int16_t>(s[k]), static_cast<int16_t>(etalon(k) + 1),
                                    in ? f.cutBegin : int16_t{0},
                                    in ? f.cutEnd : static_cast<int16_t>(h.wImpulseSize - 1)});
        }
        out.push_back({l, chain});
    }
    return out;
}

}  // namespace engine::tuples_test
