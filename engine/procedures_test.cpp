#include "engine/procedures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include "engine/dispatch.h"
#include "engine/local_fit.h"
#include "platform/allocation.h"
#include "position_classes.h"
#include "test_series.h"

namespace engine {
namespace {

constexpr int32_t kUnreached = 99999999, kNoChain = 9999999, kNoPredecessor = 999999;

// ---------------------------------------------------------------------------------------------
// Fixtures: tiny series (N = 60, L = 6) and a default-sized one.

struct Tiny {
    uint16_t M = 4, L = 6, Tmin = 8, Tmax = 20, K = 4, level = 100;
    uint32_t N = 60;
    int16_t sigma = 40;
};

series::SeriesHeaderPtr makeTinySeries(const series::Alphabet& alphabet, const Tiny& t,
                                       std::vector<uint16_t> sequence, uint32_t streamSkew = 0) {
    series::RandomStreams streams;
    for (uint32_t i = 0; i < streamSkew; ++i) {
        series::nextRandom(streams.position);
        series::nextRandom(streams.noise);
        series::nextRandom(streams.cutBegin);
    }
    testsupport::SeriesParams p;
    p.M = t.M;
    p.L = t.L;
    p.Tmin = t.Tmin;
    p.Tmax = t.Tmax;
    p.N = t.N;
    p.K = t.K;
    p.savedLevel = t.level;
    p.sigma = t.sigma;
    return testsupport::makeSeries(alphabet, p, std::move(sequence), streams);
}

std::vector<FitEtalon> fitsOf(const series::Alphabet& alphabet, const std::vector<uint16_t>& list,
                              uint16_t D, uint16_t L) {
    std::vector<FitEtalon> fits;
    for (uint16_t e : list)
        fits.push_back(prepareFitEtalon(alphabet[e - 1], e - 1, D, L));
    return fits;
}

ChainsHeaderPtr freshChains(const series::SeriesHeader& h, uint16_t rows = 10) {
    platform::RecordingWindow window;
    return getChainsHeader(window, rows, h.wMaxPulses, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Literal references: the procedures step by step, with plain window scans and std::set classes.

using Classes = testsupport::PositionClasses;
using testsupport::positionClassesOf;

// One run of the unknown-count passes with the given candidates; offers the end chains.
// Returns min(9999999, smallest cumulative cost of an end position).
int32_t referenceUnknownRun(const series::SeriesHeader& h, const std::vector<FitEtalon>& fits,
                            int etalonOverride, ChainsHeader& chains) {
    const int N = static_cast<int>(h.dwSeriesSize), L = h.wImpulseSize;
    const int Tmin = h.wTmin, Tmax = h.wTmax;
    const Classes c = positionClassesOf(h);
    std::vector<int32_t> local(N, kUnreached), cum(N, kUnreached), pred(N, kUnreached), et(N, 0),
        b(N, 0), e(N, L - 1);
    for (int m = 0; m < N; ++m) {
        if (!c.minus.count(m) && !c.tilda.count(m))
            continue;
        const LocalFit f = bestLocalFit(h.lpNoisyData, m, fits);
        local[m] = f.cost;
        et[m] = fits[f.candidate].etalonIndex;
        b[m] = f.cutBegin;
        e[m] = f.cutEnd;
    }
    for (int m : c.minus)
        if (!c.tilda.count(m))
            cum[m] = local[m], pred[m] = -1;
    auto pass = [&](bool both, int32_t init) {
        for (int m = 0; m < N; ++m) {
            if (!(c.tilda.count(m) && (c.minus.count(m) == 1) == both))
                continue;
            int32_t best = init, p = -2;
            for (int q = m - Tmax; q <= m - Tmin; ++q)
                if (q >= 0 && cum[q] < best)
                    best = cum[q], p = q;
            cum[m] = best + local[m];
            pred[m] = p;
        }
    };
    pass(true, 0);
    pass(false, kUnreached);
    int32_t result = kNoChain;
    for (int m : c.end) {
        result = std::min(result, cum[m]);
        std::vector<ChainPulse> pulses;
        for (int q = m; q >= 0; q = pred[q])
            pulses.insert(
                pulses.begin(),
                ChainPulse{static_cast<int16_t>(q),
                           static_cast<int16_t>(etalonOverride ? etalonOverride : et[q] + 1),
                           static_cast<int16_t>(b[q]), static_cast<int16_t>(e[q])});
        offerChain(chains, cum[m], pulses);
    }
    return result;
}

// Layered tables of the known-count procedures.
struct LayerTables {
    std::vector<std::vector<int32_t>> G, et, b, e;  // [k][m - lo]
    std::vector<int> lo, hi;
};

LayerTables referenceLayers(const series::SeriesHeader& h, const std::vector<FitEtalon>& fits) {
    LayerTables t;
    const int K = h.wImpulseQuantity;
    for (int k = 0; k < K; ++k) {
        t.lo.push_back(h.lpStartMin[k]);
        t.hi.push_back(h.lpStartMax[k]);
        const int n = std::max(0, t.hi[k] - t.lo[k] + 1);
        t.G.emplace_back(n);
        t.et.emplace_back(n);
        t.b.emplace_back(n);
        t.e.emplace_back(n);
        for (int m = t.lo[k]; m <= t.hi[k]; ++m) {
            int32_t prev = 0;
            if (k > 0) {
                prev = kNoPredecessor;
                for (int q = m - h.wTmax; q <= m - h.wTmin; ++q)
                    if (q >= t.lo[k - 1] && q <= t.hi[k - 1] && t.G[k - 1][q - t.lo[k - 1]] < prev)
                        prev = t.G[k - 1][q - t.lo[k - 1]];
            }
            const LocalFit f = bestLocalFit(h.lpNoisyData, m, fits);
            t.G[k][m - t.lo[k]] = prev + f.cost;
            t.et[k][m - t.lo[k]] = fits[f.candidate].etalonIndex;
            t.b[k][m - t.lo[k]] = f.cutBegin;
            t.e[k][m - t.lo[k]] = f.cutEnd;
        }
    }
    return t;
}

// Starts of the best chain, empty when there is no valid one; `distance` its cost or 9999999.
std::vector<int> referenceBacktrack(const series::SeriesHeader& h, const LayerTables& t,
                                    int32_t& distance) {
    const int K = static_cast<int>(t.G.size());
    distance = kNoChain;
    if (K == 0)
        return {};
    int end = -1;
    int32_t best = kNoChain;
    for (int m = t.lo[K - 1]; m <= t.hi[K - 1]; ++m)
        if (t.G[K - 1][m - t.lo[K - 1]] < best)
            best = t.G[K - 1][m - t.lo[K - 1]], end = m;
    if (end < 0)
        return {};
    std::vector<int> starts(K);
    starts[K - 1] = end;
    for (int k = K - 2; k >= 0; --k) {
        int32_t v = kNoPredecessor;
        int at = -1;
        for (int q = starts[k + 1] - h.wTmax; q <= starts[k + 1] - h.wTmin; ++q)
            if (q >= t.lo[k] && q <= t.hi[k] && t.G[k][q - t.lo[k]] < v)
                v = t.G[k][q - t.lo[k]], at = q;
        if (at < 0)
            return {};
        starts[k] = at;
    }
    distance = best;
    return starts;
}

// ---------------------------------------------------------------------------------------------
// Exhaustive search over every feasible chain, each pulse costing its best local fit.

int64_t exhaustiveUnknown(const series::SeriesHeader& h, const std::vector<FitEtalon>& fits) {
    const Classes c = positionClassesOf(h);
    const int N = static_cast<int>(h.dwSeriesSize);
    std::vector<int64_t> local(N, 0);
    for (int m = 0; m < N; ++m)
        if (c.minus.count(m) || c.tilda.count(m))
            local[m] = bestLocalFit(h.lpNoisyData, m, fits).cost;
    int64_t best = kNoChain;
    // A position that may also start a chain is computed before the continue-only positions, so
    // it can only follow first or start-or-continue positions.
    std::function<void(int, int64_t)> extend = [&](int m, int64_t cost) {
        if (c.end.count(m))
            best = std::min(best, cost);
        const bool lastIsLaterOnly = !c.minus.count(m);
        for (int q = m + h.wTmin; q <= m + h.wTmax && q < N; ++q) {
            if (!c.tilda.count(q))
                continue;
            if (c.minus.count(q) && lastIsLaterOnly)
                continue;
            extend(q, cost + local[q]);
        }
    };
    for (int m : c.minus)
        extend(m, local[m]);
    return best;
}

int64_t exhaustiveKnown(const series::SeriesHeader& h, const std::vector<FitEtalon>& fits) {
    const int K = h.wImpulseQuantity;
    int64_t best = kNoChain;
    std::function<void(int, int, int64_t)> place = [&](int k, int prevStart, int64_t cost) {
        if (k == K) {
            best = std::min(best, cost);
            return;
        }
        for (int m = h.lpStartMin[k]; m <= h.lpStartMax[k]; ++m) {
            if (k > 0 && (m - prevStart < h.wTmin || m - prevStart > h.wTmax))
                continue;
            place(k + 1, m, cost + bestLocalFit(h.lpNoisyData, m, fits).cost);
        }
    };
    place(0, 0, 0);
    return best;
}

// The pulses of row r keep Tmin <= distance <= Tmax between consecutive starts.
void expectFeasibleGaps(const ChainsHeader& c, int r, const series::SeriesHeader& h) {
    for (int p = 1; p < c.lpChainLength[r]; ++p) {
        const int gap = c.lpChainStart[r][p] - c.lpChainStart[r][p - 1];
        EXPECT_GE(gap, h.wTmin);
        EXPECT_LE(gap, h.wTmax);
    }
}

int64_t chainCost(const ChainsHeader& c, int r, const series::SeriesHeader& h,
                  const series::Alphabet& alphabet) {
    int64_t sum = 0;
    for (int p = 0; p < c.lpChainLength[r]; ++p) {
        const int16_t* s = alphabet[c.pulsesList[r][p] - 1].lpData.get();
        const int m = c.lpChainStart[r][p];
        for (int i = c.lpChainCutBegin[r][p]; i <= c.lpChainCutEnd[r][p]; ++i)
            sum += s[i] * (s[i] - 2 * h.lpNoisyData[m + i]);
    }
    return sum;
}

// ---------------------------------------------------------------------------------------------

class Procedures : public ::testing::Test {
  protected:
    platform::RecordingWindow window;
};

// Every procedure equals its literal reference (chains listing and findings) on varied tiny
// series, including tie-prone ones made of tiny integers and zero stretches.
TEST_F(Procedures, EqualTheLiteralReference) {
    std::mt19937 rng(11);
    for (int round = 0; round < 60; ++round) {
        Tiny t;
        t.Tmin = static_cast<uint16_t>(7 + rng() % 6);
        t.Tmax = static_cast<uint16_t>(t.Tmin + 2 + rng() % 14);
        const uint16_t minK = series::minPulsesFor(t.N, t.L, t.Tmax);
        const uint16_t maxK = series::maxPulsesFor(t.N, t.L, t.Tmin);
        t.K = static_cast<uint16_t>(minK + rng() % (maxK - minK + 1));
        t.level = (round % 3 == 0) ? 100 : 60;
        const bool tiny = round % 2 == 1;
        const series::Alphabet alphabet =
            tiny ? testsupport::makeAlphabet(4, t.L, 2) : testsupport::makeAlphabet(4, t.L, 128);
        series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {1, 3, 2, 4, 3, 1, 2}, round);
        ASSERT_TRUE(h) << round;
        if (tiny) {
            for (uint32_t i = 0; i < t.N; ++i)
                h->lpNoisyData[i] = (rng() % 3 == 0) ? 0 : static_cast<int16_t>(rng() % 5) - 2;
        }
        const uint16_t D = static_cast<uint16_t>(round % 4 == 0 ? 0 : (round % 4) * 30);
        const std::vector<uint16_t> list = {1, 3, 4};
        const std::vector<FitEtalon> fits = fitsOf(alphabet, list, D, t.L);

        {  // detectUnknownNumber
            ChainsHeaderPtr got = freshChains(*h), want = freshChains(*h);
            const int32_t result =
                detectUnknownNumber(window, alphabet, 3, list.data(), t.Tmin, t.Tmax, D, *got, *h);
            EXPECT_EQ(referenceUnknownRun(*h, fits, 0, *want), result) << round;
            want->wSeekingPulsesQuantity = static_cast<uint16_t>(want->lpChainLength[0]);
            EXPECT_EQ(chainsListing(*want), chainsListing(*got)) << round;
            EXPECT_EQ(0, got->wQuanPulses);
            EXPECT_EQ(got->lpChainLength[0], h->wDetectedQuantity);
        }
        {  // recognizeUnknownNumber
            ChainsHeaderPtr got = freshChains(*h), want = freshChains(*h);
            recognizeUnknownNumber(window, alphabet, 3, list.data(), t.Tmin, t.Tmax, D, *got, *h);
            for (uint16_t e : list)
                referenceUnknownRun(*h, fitsOf(alphabet, {e}, D, t.L), e, *want);
            want->wQuanPulses = t.K;
            want->wSeekingPulsesQuantity = static_cast<uint16_t>(want->lpChainLength[0]);
            EXPECT_EQ(chainsListing(*want), chainsListing(*got)) << round;
            EXPECT_EQ(got->lpChainLength[0], h->wDetectedQuantity);
        }
        {  // detectKnownNumber
            ChainsHeaderPtr got = freshChains(*h), want = freshChains(*h);
            EXPECT_EQ(1, detectKnownNumber(window, alphabet, 3, list.data(), t.Tmin, t.Tmax, D,
                                           *got, *h));
            const LayerTables lt = referenceLayers(*h, fits);
            int32_t distance = 0;
            const std::vector<int> starts = referenceBacktrack(*h, lt, distance);
            std::vector<ChainPulse> pulses;
            for (int k = 0; k < static_cast<int>(starts.size()); ++k) {
                const int i = starts[k] - lt.lo[k];
                pulses.push_back(
                    {static_cast<int16_t>(starts[k]), static_cast<int16_t>(lt.et[k][i] + 1),
                     static_cast<int16_t>(lt.b[k][i]), static_cast<int16_t>(lt.e[k][i])});
            }
            offerChain(*want, distance, pulses);
            want->wQuanPulses = t.K;
            want->wSeekingPulsesQuantity = static_cast<uint16_t>(pulses.size());
            EXPECT_EQ(chainsListing(*want), chainsListing(*got)) << round;
            ASSERT_EQ(pulses.size(), h->wDetectedQuantity);
            for (size_t k = 0; k < pulses.size(); ++k) {
                EXPECT_EQ(pulses[k].start, h->lpDetectedStart[k]);
                EXPECT_EQ(pulses[k].etalon, h->lpDetectedEtalon[k]);
            }
        }
        {  // recognizeKnownNumber
            ChainsHeaderPtr got = freshChains(*h), want = freshChains(*h);
            const int32_t result =
                recognizeKnownNumber(window, alphabet, 3, list.data(), t.Tmin, t.Tmax, D, *got, *h);
            int32_t best = kNoChain, bestEtalon = -1;
            std::vector<int> bestStarts;
            for (uint16_t e : list) {
                const LayerTables lt = referenceLayers(*h, fitsOf(alphabet, {e}, D, t.L));
                int32_t d = 0;
                const std::vector<int> starts = referenceBacktrack(*h, lt, d);
                const int row = offerChain(
                    *want, d, std::vector<ChainPulse>(t.K, ChainPulse{0, int16_t(e), 0, 0}));
                if (d < best) {
                    best = d;
                    bestEtalon = e;
                    bestStarts = starts;
                    for (int k = 0; k < t.K && row >= 0; ++k) {
                        const int i = starts[k] - lt.lo[k];
                        want->lpChainStart[row][k] = static_cast<int16_t>(starts[k]);
                        want->lpChainCutBegin[row][k] = static_cast<int16_t>(lt.b[k][i]);
                        want->lpChainCutEnd[row][k] = static_cast<int16_t>(lt.e[k][i]);
                    }
                }
            }
            want->wQuanPulses = t.K;
            want->wSeekingPulsesQuantity = bestEtalon > 0 ? t.K : 0;
            EXPECT_EQ(best, result) << round;
            EXPECT_EQ(chainsListing(*want), chainsListing(*got)) << round;
            for (int k = 0; k < t.K; ++k) {
                EXPECT_EQ(bestEtalon, h->lpDetectedEtalon[k]);
                if (bestEtalon > 0) {
                    EXPECT_EQ(bestStarts[k], h->lpDetectedStart[k]);
                }
            }
        }
    }
}

// The dynamic programming finds the cheapest feasible chain.
TEST_F(Procedures, MinimalCostEqualsExhaustiveSearch) {
    for (int round = 0; round < 12; ++round) {
        Tiny t;
        t.Tmin = static_cast<uint16_t>(8 + round % 3);
        t.Tmax = static_cast<uint16_t>(t.Tmin + 8 + round % 5);
        const uint16_t minK = series::minPulsesFor(t.N, t.L, t.Tmax);
        const uint16_t maxK = series::maxPulsesFor(t.N, t.L, t.Tmin);
        t.K = static_cast<uint16_t>(minK + round % (maxK - minK + 1));
        t.level = round % 2 ? 70 : 100;
        t.sigma = static_cast<int16_t>(20 + 10 * (round % 4));
        const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
        series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {3, 1, 4, 3, 2, 1, 3}, round);
        ASSERT_TRUE(h);
        const uint16_t D = t.level;
        const std::vector<uint16_t> list = {1, 2, 3, 4};

        ChainsHeaderPtr c = freshChains(*h);
        const int32_t unknown =
            detectUnknownNumber(window, alphabet, 4, list.data(), t.Tmin, t.Tmax, D, *c, *h);
        EXPECT_EQ(exhaustiveUnknown(*h, fitsOf(alphabet, list, D, t.L)), unknown) << round;
        EXPECT_LT(unknown, 0);  // the series holds pulses
        EXPECT_EQ(unknown, c->distance[0]);
        EXPECT_EQ(c->distance[0], chainCost(*c, 0, *h, alphabet)) << round;

        ASSERT_EQ(1,
                  detectKnownNumber(window, alphabet, 4, list.data(), t.Tmin, t.Tmax, D, *c, *h));
        EXPECT_EQ(exhaustiveKnown(*h, fitsOf(alphabet, list, D, t.L)), c->distance[0]) << round;
        EXPECT_EQ(c->distance[0], chainCost(*c, 0, *h, alphabet)) << round;
        EXPECT_EQ(t.K, c->lpChainLength[0]);

        int64_t bestKnown = kNoChain, bestUnknown = kNoChain;
        for (uint16_t e : list) {
            bestKnown = std::min(bestKnown, exhaustiveKnown(*h, fitsOf(alphabet, {e}, D, t.L)));
            bestUnknown =
                std::min(bestUnknown, exhaustiveUnknown(*h, fitsOf(alphabet, {e}, D, t.L)));
        }
        EXPECT_EQ(bestKnown,
                  recognizeKnownNumber(window, alphabet, 4, list.data(), t.Tmin, t.Tmax, D, *c, *h))
            << round;
        EXPECT_EQ(c->distance[0], chainCost(*c, 0, *h, alphabet)) << round;
        recognizeUnknownNumber(window, alphabet, 4, list.data(), t.Tmin, t.Tmax, D, *c, *h);
        EXPECT_EQ(bestUnknown, c->distance[0]) << round;
        EXPECT_EQ(c->distance[0], chainCost(*c, 0, *h, alphabet)) << round;
        for (int r = 0; r < c->wPretenders; ++r)
            expectFeasibleGaps(*c, r, *h);
    }
    EXPECT_TRUE(window.messages().empty());
}

// Narrow Tmin .. Tmax: the starts of later pulses form more separate intervals than there are
// pulse counts, and every one is kept, so the unknown-count procedures equal exhaustive search.
TEST_F(Procedures, NarrowDistancesEqualExhaustiveSearch) {
    struct Case {
        uint32_t N;
        uint16_t Tmin, Tmax;
    };
    int runs = 0;
    // More separate intervals of later starts than pulse counts: 21 for at most 12 pulses, 15
    // for 9, and 8 for 7 in the others.
    for (const Case c : {Case{150, 13, 13}, Case{102, 12, 12}, Case{84, 12, 13}, Case{90, 14, 15},
                         Case{42, 6, 7}}) {
        for (int round = 0; round < 4; ++round) {
            Tiny t;
            t.N = c.N;
            t.Tmin = c.Tmin;
            t.Tmax = c.Tmax;
            const uint16_t minK = series::minPulsesFor(t.N, t.L, t.Tmax);
            const uint16_t maxK = series::maxPulsesFor(t.N, t.L, t.Tmin);
            t.K = round % 2 ? maxK : minK;
            t.level = round < 2 ? 100 : 60;
            t.sigma = static_cast<int16_t>(round == 0 ? 0 : 30);
            const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
            series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {2, 4, 1, 3}, round);
            ASSERT_TRUE(h);
            const uint16_t D = t.level;
            const std::vector<uint16_t> list = {1, 2, 3, 4};
            ChainsHeaderPtr ch = freshChains(*h);
            EXPECT_EQ(
                exhaustiveUnknown(*h, fitsOf(alphabet, list, D, t.L)),
                detectUnknownNumber(window, alphabet, 4, list.data(), t.Tmin, t.Tmax, D, *ch, *h))
                << c.N << " " << round;
            EXPECT_EQ(ch->distance[0], chainCost(*ch, 0, *h, alphabet));
            int64_t best = kNoChain;
            for (uint16_t e : list)
                best = std::min(best, exhaustiveUnknown(*h, fitsOf(alphabet, {e}, D, t.L)));
            recognizeUnknownNumber(window, alphabet, 4, list.data(), t.Tmin, t.Tmax, D, *ch, *h);
            EXPECT_EQ(best, ch->distance[0]) << c.N << " " << round;
            for (int r = 0; r < ch->wPretenders; ++r)
                expectFeasibleGaps(*ch, r, *h);
            ++runs;
        }
    }
    EXPECT_EQ(20, runs);
    EXPECT_TRUE(window.messages().empty());
}

// 15 whole pulses of etalon 1, 77 apart from a start in 0 .. 13, without noise: every pulse is
// found where it is, including those whose starts lie in the intervals a set of wMaxPulses
// intervals could not hold.
TEST_F(Procedures, EveryPulseFoundWithEqualDistances) {
    const series::Alphabet alphabet = testsupport::makeAlphabet();
    testsupport::SeriesParams p;
    p.N = 1111;
    p.Tmin = p.Tmax = 77;
    p.K = 15;
    for (uint32_t skew = 0; skew < 6; ++skew) {
        series::RandomStreams streams;
        for (uint32_t i = 0; i < skew; ++i)
            series::nextRandom(streams.position);
        series::SeriesHeaderPtr h = testsupport::makeSeries(alphabet, p, {1}, streams);
        ASSERT_TRUE(h);
        const uint16_t list[] = {1};
        ChainsHeaderPtr c = freshChains(*h);
        detectUnknownNumber(window, alphabet, 1, list, p.Tmin, p.Tmax, 100, *c, *h);
        ASSERT_EQ(p.K, h->wDetectedQuantity) << skew;
        for (int k = 0; k < p.K; ++k)
            EXPECT_EQ(h->lpPulseStart[k], h->lpDetectedStart[k]) << skew << " " << k;
        EXPECT_EQ(exhaustiveUnknown(*h, fitsOf(alphabet, {1}, 100, p.L)), c->distance[0]);
    }
}

TEST_F(Procedures, OnePulseSeriesHasOnlyOnePulseChains) {
    Tiny t;
    t.Tmin = 56;
    t.Tmax = 60;
    t.K = 1;
    t.sigma = 0;
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
    series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {3});
    ASSERT_EQ(1, h->wMinPulses);
    ASSERT_EQ(1, h->wMaxPulses);
    const uint16_t list[] = {1, 2, 3};
    ChainsHeaderPtr c = freshChains(*h);
    detectUnknownNumber(window, alphabet, 3, list, t.Tmin, t.Tmax, 100, *c, *h);
    ASSERT_GT(c->wPretenders, 0);
    for (int r = 0; r < c->wPretenders; ++r)
        EXPECT_EQ(1, c->lpChainLength[r]);
    EXPECT_EQ(3, h->lpDetectedEtalon[0]);
    EXPECT_EQ(h->lpPulseStart[0], h->lpDetectedStart[0]);

    // Known count 1: the single best position of the start range.
    ASSERT_EQ(1, detectKnownNumber(window, alphabet, 3, list, t.Tmin, t.Tmax, 100, *c, *h));
    const std::vector<FitEtalon> fits = fitsOf(alphabet, {1, 2, 3}, 100, t.L);
    int32_t best = kNoChain;
    int at = -1;
    for (int m = h->lpStartMin[0]; m <= h->lpStartMax[0]; ++m)
        if (bestLocalFit(h->lpNoisyData, m, fits).cost < best)
            best = bestLocalFit(h->lpNoisyData, m, fits).cost, at = m;
    EXPECT_EQ(best, c->distance[0]);
    EXPECT_EQ(at, h->lpDetectedStart[0]);
    EXPECT_EQ(1, c->wPretenders);
}

TEST_F(Procedures, WholeEtalonsOnlyAtLevel100) {
    Tiny t;
    t.level = 50;  // the series holds cut pulses
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
    series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {1, 2, 3, 4});
    const uint16_t list[] = {1, 2, 3, 4};
    ChainsHeaderPtr c = freshChains(*h);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0)
            detectUnknownNumber(window, alphabet, 4, list, t.Tmin, t.Tmax, 100, *c, *h);
        else
            detectKnownNumber(window, alphabet, 4, list, t.Tmin, t.Tmax, 100, *c, *h);
        for (int r = 0; r < c->wPretenders; ++r)
            for (int p = 0; p < c->lpChainLength[r]; ++p) {
                EXPECT_EQ(0, c->lpChainCutBegin[r][p]);
                EXPECT_EQ(t.L - 1, c->lpChainCutEnd[r][p]);
            }
    }
}

// Constant samples of -30000 make every placement of etalon 1 (all 60) cost millions.
TEST_F(Procedures, HugeCostsGiveNoChain) {
    Tiny t;
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
    series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {1});
    std::fill(h->lpNoisyData, h->lpNoisyData + t.N, int16_t{-30000});
    const uint16_t list[] = {1};
    ChainsHeaderPtr c = freshChains(*h);
    EXPECT_EQ(kNoChain,
              detectUnknownNumber(window, alphabet, 1, list, t.Tmin, t.Tmax, 100, *c, *h));
    EXPECT_GT(c->wPretenders, 0);  // the chains are still offered
    for (int r = 0; r < c->wPretenders; ++r) {
        EXPECT_GE(c->distance[r], kNoChain);
        for (int p = 0; p < c->lpChainLength[r]; ++p) {
            EXPECT_GE(c->lpChainStart[r][p], 0);
            EXPECT_LE(c->lpChainStart[r][p], int(t.N - t.L));
        }
    }

    // Known count: no end position below 9999999.
    ASSERT_EQ(1, detectKnownNumber(window, alphabet, 1, list, t.Tmin, t.Tmax, 100, *c, *h));
    EXPECT_EQ(1, c->wPretenders);
    EXPECT_EQ(kNoChain, c->distance[0]);
    EXPECT_EQ(0, c->lpChainLength[0]);
    EXPECT_EQ(0, h->wDetectedQuantity);
    for (int k = 0; k < t.K; ++k)
        EXPECT_EQ(-1, h->lpDetectedStart[k]);
    EXPECT_EQ(kNoChain,
              recognizeKnownNumber(window, alphabet, 1, list, t.Tmin, t.Tmax, 100, *c, *h));
    EXPECT_EQ(0, h->wDetectedQuantity);
    for (int k = 0; k < t.K; ++k) {
        EXPECT_EQ(-1, h->lpDetectedEtalon[k]);
        EXPECT_EQ(-1, h->lpDetectedStart[k]);
    }
    EXPECT_EQ(kNoChain, c->distance[0]);
    EXPECT_EQ(t.K, c->lpChainLength[0]);
}

// Layer 0 costs about 1.5 million everywhere: the last layer ends below 9999999, but going back
// no predecessor is below 999999.
TEST_F(Procedures, NoPredecessorOnTheWayBackGivesNoChain) {
    Tiny t;
    t.Tmin = 25;
    t.Tmax = 40;
    t.K = 2;
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
    series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {1, 1});
    ASSERT_TRUE(h);
    std::fill(h->lpNoisyData, h->lpNoisyData + t.N, int16_t{-2000});
    const uint16_t list[] = {1};
    ChainsHeaderPtr c = freshChains(*h);
    const LayerTables lt = referenceLayers(*h, fitsOf(alphabet, {1}, 100, t.L));
    ASSERT_LT(*std::min_element(lt.G[1].begin(), lt.G[1].end()), kNoChain);
    ASSERT_GE(*std::min_element(lt.G[0].begin(), lt.G[0].end()), kNoPredecessor);
    ASSERT_EQ(1, detectKnownNumber(window, alphabet, 1, list, t.Tmin, t.Tmax, 100, *c, *h));
    EXPECT_EQ(kNoChain, c->distance[0]);
    EXPECT_EQ(0, c->lpChainLength[0]);
    EXPECT_EQ(0, h->wDetectedQuantity);
    EXPECT_EQ(-1, h->lpDetectedStart[0]);
    EXPECT_EQ(-1, h->lpDetectedStart[1]);
    EXPECT_EQ(kNoChain,
              recognizeKnownNumber(window, alphabet, 1, list, t.Tmin, t.Tmax, 100, *c, *h));
    EXPECT_EQ(0, h->wDetectedQuantity);
}

// A start range emptied by hand (series too short for K): no chain, nothing read outside.
TEST_F(Procedures, EmptyLayerGivesNoChain) {
    Tiny t;
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
    series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {1, 2});
    for (int k : {t.K - 1, 1}) {
        series::SeriesHeaderPtr g = makeTinySeries(alphabet, t, {1, 2});
        g->lpStartMin[k] = static_cast<int16_t>(g->lpStartMax[k] + 1);
        const uint16_t list[] = {1, 2};
        ChainsHeaderPtr c = freshChains(*g);
        ASSERT_EQ(1, detectKnownNumber(window, alphabet, 2, list, t.Tmin, t.Tmax, 100, *c, *g));
        EXPECT_EQ(kNoChain, c->distance[0]);
        EXPECT_EQ(0, c->lpChainLength[0]);
        EXPECT_EQ(0, g->wDetectedQuantity);
        EXPECT_EQ(kNoChain,
                  recognizeKnownNumber(window, alphabet, 2, list, t.Tmin, t.Tmax, 100, *c, *g));
        EXPECT_EQ(2, c->wPretenders);
        EXPECT_EQ(0, g->wDetectedQuantity);
    }
    // Ranges reaching beyond the series are kept inside it.
    h->lpStartMin[0] = -50;
    h->lpStartMax[t.K - 1] = 30000;
    const uint16_t list[] = {1, 2};
    ChainsHeaderPtr c = freshChains(*h);
    detectKnownNumber(window, alphabet, 2, list, t.Tmin, t.Tmax, 100, *c, *h);
    for (int p = 0; p < c->lpChainLength[0]; ++p) {
        EXPECT_GE(c->lpChainStart[0][p], 0);
        EXPECT_LE(c->lpChainStart[0][p], int(t.N - t.L));
    }
}

TEST_F(Procedures, OneEtalonDetectionAndRecognitionAgree) {
    Tiny t;
    t.level = 60;
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
    series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {3, 3, 3, 3});
    const uint16_t list[] = {3};
    ChainsHeaderPtr a = freshChains(*h), b = freshChains(*h);
    detectKnownNumber(window, alphabet, 1, list, t.Tmin, t.Tmax, 60, *a, *h);
    const int32_t d = recognizeKnownNumber(window, alphabet, 1, list, t.Tmin, t.Tmax, 60, *b, *h);
    EXPECT_EQ(a->distance[0], d);
    EXPECT_EQ(chainsListing(*a), chainsListing(*b));
}

TEST_F(Procedures, RecognitionKeepsTheEarlierOfEqualEtalonsAndZerosOtherRows) {
    Tiny t;
    series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
    std::copy(alphabet[2].lpData.get(), alphabet[2].lpData.get() + t.L, alphabet[3].lpData.get());
    series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {3, 3, 3, 3});
    const uint16_t list[] = {4, 3, 1};  // 4 and 3 are the same shape
    ChainsHeaderPtr c = freshChains(*h);
    recognizeKnownNumber(window, alphabet, 3, list, t.Tmin, t.Tmax, 100, *c, *h);
    EXPECT_EQ(4, h->lpDetectedEtalon[0]);
    ASSERT_EQ(3, c->wPretenders);
    EXPECT_EQ(4, c->pulsesList[0][0]);
    EXPECT_EQ(3, c->pulsesList[1][0]);  // equal distance, offered later
    EXPECT_EQ(1, c->pulsesList[2][0]);
    EXPECT_EQ(c->distance[0], c->distance[1]);
    for (int k = 0; k < t.K; ++k) {
        EXPECT_EQ(h->lpDetectedStart[k], c->lpChainStart[0][k]);
        EXPECT_EQ(0, c->lpChainStart[1][k]);
        EXPECT_EQ(0, c->lpChainStart[2][k]);
        EXPECT_EQ(0, c->lpChainCutEnd[2][k]);
    }
    recognizeUnknownNumber(window, alphabet, 3, list, t.Tmin, t.Tmax, 100, *c, *h);
    EXPECT_EQ(4, c->pulsesList[0][0]);
    EXPECT_EQ(t.K, c->wQuanPulses);
}

TEST_F(Procedures, AllocationFailures) {
    Tiny t;
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
    series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {1, 2, 3, 4});
    const uint16_t list[] = {1, 2};
    using Run = std::function<int32_t(ChainsHeader&)>;
    const Run dun = [&](ChainsHeader& c) {
        return detectUnknownNumber(window, alphabet, 2, list, t.Tmin, t.Tmax, 100, c, *h);
    };
    const Run dkn = [&](ChainsHeader& c) {
        return detectKnownNumber(window, alphabet, 2, list, t.Tmin, t.Tmax, 100, c, *h);
    };
    const Run rkn = [&](ChainsHeader& c) {
        return recognizeKnownNumber(window, alphabet, 2, list, t.Tmin, t.Tmax, 100, c, *h);
    };
    const Run run = [&](ChainsHeader& c) {
        recognizeUnknownNumber(window, alphabet, 2, list, t.Tmin, t.Tmax, 100, c, *h);
        return 0;
    };
    struct Case {
        const char* name;
        const Run* run;
        long successes;
        int32_t result;
        const char* message;
    };
    const Case cases[] = {
        {"detectUnknownNumber", &dun, 0, 0, "Нет памяти для EtalonsPartialEnergyFromBeginning!"},
        {"detectUnknownNumber", &dun, 1, 0, "Нет памяти для indexes!"},
        {"detectKnownNumber", &dkn, 0, 0, "Нет памяти для ppDw!"},
        {"detectKnownNumber", &dkn, 1, 0, "Нет памяти для ppDw[m]!"},
        {"recognizeKnownNumber", &rkn, 0, -1, "Нет памяти для indexes!"},
        {"recognizeKnownNumber", &rkn, 1, -1, "Нет памяти для ppDw!"},
        {"recognizeKnownNumber", &rkn, 2, -1, "Нет памяти для ppDw[m]!"},
        {"recognizeUnknownNumber", &run, 0, 0, "Нет памяти для indexes!"},
    };
    for (const Case& k : cases) {
        ChainsHeaderPtr c = freshChains(*h);
        (*k.run)(*c);  // a full run first, so that "unchanged" is visible
        const std::string listing = chainsListing(*c);
        h->wDetectedQuantity = 77;
        window.clear();
        {
            platform::FailingAllocations fail(k.successes);
            EXPECT_EQ(k.result, (*k.run)(*c)) << k.name;
        }
        ASSERT_EQ(1u, window.messages().size()) << k.name << " " << k.successes;
        EXPECT_EQ(k.message, window.messages()[0].text) << k.name;
        EXPECT_EQ("", window.messages()[0].title) << k.name;
        EXPECT_EQ(listing, chainsListing(*c)) << k.name;
        EXPECT_EQ(77, h->wDetectedQuantity) << k.name;
    }
    // recognizeUnknownNumber without its per-position block: silent, counters reset, 0 found.
    ChainsHeaderPtr c = freshChains(*h);
    run(*c);
    window.clear();
    {
        platform::FailingAllocations fail(1);
        run(*c);
    }
    EXPECT_TRUE(window.messages().empty());
    EXPECT_EQ(0, c->wPretenders);
    EXPECT_EQ(0, c->wSeekingPulsesQuantity);
    EXPECT_EQ(t.K, c->wQuanPulses);
    EXPECT_EQ(0, h->wDetectedQuantity);
    // Position sets without storage: their classes are empty, the run still completes.
    {
        platform::FailingAllocations fail(2);
        EXPECT_EQ(kNoChain, dun(*c));
    }
    EXPECT_EQ(0, c->wPretenders);
    EXPECT_EQ(0, h->wDetectedQuantity);
}

TEST_F(Procedures, RunProcedureDispatches) {
    Tiny t;
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, t.L, 128);
    series::SeriesHeaderPtr h = makeTinySeries(alphabet, t, {1, 2, 3, 4});
    const uint16_t list[] = {1, 2, 3, 4};
    ProcessingInput in;
    in.alphabet = &alphabet;
    in.listCount = 4;
    in.list = list;
    in.Tmin = t.Tmin;
    in.Tmax = t.Tmax;
    in.level = 100;
    ChainsHeaderPtr c = freshChains(*h), d = freshChains(*h);

    ProcessingOutcome o = runProcedure(window, 4, 4, in, *c, *h);
    EXPECT_EQ(Procedure::DetectUnknownNumber, o.procedure);
    EXPECT_TRUE(o.hasResult);
    EXPECT_EQ(detectUnknownNumber(window, alphabet, 4, list, t.Tmin, t.Tmax, 100, *d, *h),
              o.result);
    EXPECT_EQ(chainsListing(*d), chainsListing(*c));

    o = runProcedure(window, 2, 1, in, *c, *h);
    EXPECT_EQ(Procedure::RecognizeKnownNumber, o.procedure);
    EXPECT_EQ(recognizeKnownNumber(window, alphabet, 4, list, t.Tmin, t.Tmax, 100, *d, *h),
              o.result);
    EXPECT_EQ(chainsListing(*d), chainsListing(*c));

    o = runProcedure(window, 2, 8, in, *c, *h);
    EXPECT_EQ(Procedure::RecognizeUnknownNumber, o.procedure);
    EXPECT_FALSE(o.hasResult);

    o = runProcedure(window, 64, 1, in, *c, *h);
    EXPECT_EQ(Procedure::DetectKnownNumber, o.procedure);
    EXPECT_EQ(1, o.result);
    EXPECT_TRUE(window.messages().empty());
}

}  // namespace
}  // namespace engine
