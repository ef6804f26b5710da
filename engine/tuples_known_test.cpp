// Tuple detection and recognition with a known count, and tuple detection with an unknown count:
// literal references, exhaustive search on tiny series, planted series, edge cases, failures.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "engine/procedures.h"
#include "engine/tuples_common.h"
#include "platform/allocation.h"
#include "tuples_test_util.h"

namespace engine {
namespace {

using namespace tuples_test;

struct Tiny {
    testsupport::SeriesParams p;
    Tiny() {
        p.M = 6;
        p.L = 6;
        p.Tmin = 8;
        p.Tmax = 20;
        p.N = 60;
        p.K = 4;
        p.sigma = 40;
    }
};

series::RandomStreams skewed(uint32_t skew) {
    series::RandomStreams s;
    for (uint32_t i = 0; i < skew; ++i) {
        series::nextRandom(s.position);
        series::nextRandom(s.noise);
        series::nextRandom(s.cutBegin);
        series::nextRandom(s.cutEnd);
    }
    return s;
}

std::vector<std::pair<int, int>> computedRanges(const series::SeriesHeader& h, int Tmin, int Tmax) {
    const int K = h.wImpulseQuantity, N = static_cast<int>(h.dwSeriesSize);
    std::vector<std::pair<int, int>> r;
    for (int k = 0; k < K; ++k)
        r.push_back(
            {std::max(series::startLow(N, Tmin, Tmax, K, k), 0),
             std::min(series::startHigh(N, h.wImpulseSize, Tmin, Tmax, K, k), N - h.wImpulseSize)});
    return r;
}

std::vector<std::pair<int, int>> headerRanges(const series::SeriesHeader& h) {
    std::vector<std::pair<int, int>> r;
    for (int k = 0; k < h.wImpulseQuantity; ++k)
        r.push_back({h.lpStartMin[k], h.lpStartMax[k]});
    return r;
}

std::vector<int32_t> layerEtalons(const std::vector<int32_t>& subset, int K, int p) {
    std::vector<int32_t> e;
    const int S = static_cast<int>(subset.size());
    for (int k = 0; k < K; ++k)
        e.push_back(subset[(k + p) % S] - 1);
    return e;
}

// Expected ranking: chains in offer order, stably sorted by distance, at most `rows`.
void expectRanking(const ChainsHeader& c, std::vector<Chain> offered, size_t rows) {
    std::stable_sort(offered.begin(), offered.end(),
                     [](const Chain& a, const Chain& b) { return a.distance < b.distance; });
    offered.resize(std::min(offered.size(), rows));
    ASSERT_EQ(c.wPretenders, offered.size());
    for (size_t r = 0; r < offered.size(); ++r) {
        EXPECT_EQ(c.distance[r], offered[r].distance) << r;
        EXPECT_TRUE(samePulses(c, static_cast<int>(r), offered[r].pulses)) << r;
    }
}

void expectFindings(const series::SeriesHeader& h, const Chain& chain, int S, int p) {
    ASSERT_EQ(h.wDetectedQuantity, chain.pulses.size());
    for (size_t k = 0; k < chain.pulses.size(); ++k) {
        EXPECT_EQ(h.lpDetectedStart[k], chain.pulses[k].start);
        EXPECT_EQ(h.lpDetectedEtalon[k], chain.pulses[k].etalon);
        EXPECT_EQ(h.lpDetectedCutBegin[k], chain.pulses[k].cutBegin);
        EXPECT_EQ(h.lpDetectedCutEnd[k], chain.pulses[k].cutEnd);
    }
    std::vector<int16_t> first(chain.pulses.size() + 1), last(chain.pulses.size() + 1);
    const int32_t n = tuples::groupTuples(static_cast<int32_t>(chain.pulses.size()), S, p,
                                          first.data(), last.data(), 1000);
    ASSERT_EQ(h.wDetectedTuples, n);
    for (int t = 0; t < n; ++t) {
        EXPECT_EQ(h.lpTupleFirst[t], first[t]);
        EXPECT_EQ(h.lpTupleLast[t], last[t]);
    }
}

TEST(TupleGrouping, TuplesFollowThePhase) {
    struct Case {
        int n, S, p;
        std::vector<std::pair<int, int>> tuples;
    };
    const std::vector<Case> cases = {
        {7, 3, 0, {{1, 3}, {4, 6}, {7, 7}}},
        {7, 3, 2, {{1, 1}, {2, 4}, {5, 7}}},
        {6, 3, 0, {{1, 3}, {4, 6}}},
        {2, 4, 1, {{1, 2}}},  // fewer pulses than the first tuple: one tuple of all
        {3, 1, 0, {{1, 1}, {2, 2}, {3, 3}}},
        {0, 3, 0, {}},
    };
    for (const Case& c : cases) {
        std::vector<int16_t> first(10), last(10);
        const int32_t n = tuples::groupTuples(c.n, c.S, c.p, first.data(), last.data(), 10);
        ASSERT_EQ(n, static_cast<int32_t>(c.tuples.size())) << c.n << " " << c.S << " " << c.p;
        for (int t = 0; t < n; ++t) {
            EXPECT_EQ(first[t], c.tuples[t].first);
            EXPECT_EQ(last[t], c.tuples[t].second);
        }
    }
}

class TuplesKnown : public ::testing::Test {
  protected:
    platform::RecordingWindow window;
    Tiny tiny;
    series::Alphabet alphabet = testsupport::makeAlphabet(tiny.p.M, tiny.p.L, 128);
};

// Every phase's chain equals the literal pass, whose cost is the exhaustive minimum; the chains
// are ranked in phase order and the first best phase reaches the header with its tuples.
TEST_F(TuplesKnown, DetectionEqualsReferenceAndExhaustiveSearch) {
    const std::vector<std::vector<int32_t>> subsets = {{2}, {3, 5}, {1, 4, 6}, {2, 3, 5, 6, 1}};
    int compared = 0;
    for (uint32_t skew = 0; skew < 6; ++skew)
        for (const auto& subset : subsets)
            for (uint16_t proceeding : {1, 2}) {
                series::RandomStreams streams = skewed(skew * 7);
                series::SeriesHeaderPtr h =
                    tupleSeries(alphabet, tiny.p, subset, streams, skew % 2 ? 5 : 4);
                ASSERT_TRUE(h);
                const int S = static_cast<int>(subset.size()), K = h->wImpulseQuantity;
                const uint16_t D = skew % 3 == 0 ? 100 : 60;
                ChainsHeaderPtr c = chainsFor(*h);
                detectTuplesKnownNumber(window, alphabet, S, subset.data(), proceeding, tiny.p.Tmin,
                                        tiny.p.Tmax, D, *c, *h, nullptr);
                const Fits fits(alphabet, *h, D);
                const auto ranges = computedRanges(*h, tiny.p.Tmin, tiny.p.Tmax);
                std::vector<Chain> offered;
                int bestPhase = -1;
                const int phases = proceeding == 1 ? 1 : S;
                for (int p = 0; p < phases; ++p) {
                    const auto etalons = layerEtalons(subset, K, p);
                    offered.push_back(
                        referenceLayered(fits, ranges, etalons, tiny.p.Tmin, tiny.p.Tmax));
                    EXPECT_EQ(offered.back().distance,
                              exhaustiveLayered(fits, ranges, etalons, tiny.p.Tmin, tiny.p.Tmax));
                    if (offered.back().distance < kNoChain &&
                        (bestPhase < 0 || offered.back().distance < offered[bestPhase].distance))
                        bestPhase = p;
                    ++compared;
                }
                expectRanking(*c, offered, 10);
                EXPECT_EQ(c->wQuanPulses, K);
                EXPECT_EQ(c->wSeekingPulsesQuantity, K);
                ASSERT_GE(bestPhase, 0);
                expectFindings(*h, offered[bestPhase], S, bestPhase);
                if (S == 5 && bestPhase == 0) {
                    EXPECT_EQ(h->wDetectedTuples, 1);  // K = 4 < S: one tuple of all pulses
                }
            }
    EXPECT_EQ(compared, 90);
}

TEST_F(TuplesKnown, RecognitionEqualsReferenceAndExhaustiveSearch) {
    const std::vector<std::vector<int32_t>> subsets = {{3, 5}, {1, 4, 6}, {2}, {6, 2, 3}};
    std::vector<int32_t> lengths;
    std::vector<const int32_t*> rows;
    for (const auto& s : subsets) {
        lengths.push_back(static_cast<int32_t>(s.size()));
        rows.push_back(s.data());
    }
    for (uint32_t skew = 0; skew < 8; ++skew)
        for (uint16_t proceeding : {1, 2}) {
            series::RandomStreams streams = skewed(skew * 5);
            const auto& planted = subsets[skew % subsets.size()];
            series::SeriesHeaderPtr h = tupleSeries(alphabet, tiny.p, planted, streams);
            ASSERT_TRUE(h);
            const int K = h->wImpulseQuantity;
            ChainsHeaderPtr c = chainsFor(*h);
            recognizeTuplesKnownNumber(window, alphabet, lengths.data(), rows.data(),
                                       static_cast<int32_t>(subsets.size()), proceeding,
                                       tiny.p.Tmin, tiny.p.Tmax, 100, *c, *h, nullptr);
            const Fits fits(alphabet, *h, 100);
            const auto ranges = headerRanges(*h);
            std::vector<Chain> offered;
            int bestSubset = 0, bestPhase = 0;
            int32_t best = kNoChain;
            for (size_t j = 0; j < subsets.size(); ++j) {
                const int S = static_cast<int>(subsets[j].size());
                for (int p = 0; p < (proceeding == 1 ? 1 : S); ++p) {
                    const auto etalons = layerEtalons(subsets[j], K, p);
                    offered.push_back(
                        referenceLayered(fits, ranges, etalons, tiny.p.Tmin, tiny.p.Tmax));
                    EXPECT_EQ(offered.back().distance,
                              exhaustiveLayered(fits, ranges, etalons, tiny.p.Tmin, tiny.p.Tmax));
                    if (offered.back().distance < best)
                        best = offered.back().distance, bestSubset = static_cast<int>(j) + 1,
                        bestPhase = p;
                }
            }
            const std::vector<Chain> all = offered;
            expectRanking(*c, offered, 10);
            ASSERT_GT(bestSubset, 0);
            EXPECT_EQ(h->wRecognizedSubset, bestSubset);
            const Chain* winner = nullptr;
            for (const Chain& ch : all)
                if (ch.distance == best) {
                    winner = &ch;
                    break;
                }
            expectFindings(*h, *winner, static_cast<int>(subsets[bestSubset - 1].size()),
                           bestPhase);
        }
}

// Default series, low noise: the planted tuples are found where they are.
TEST_F(TuplesKnown, PlantedTuplesAreFound) {
    const series::Alphabet big = testsupport::makeAlphabet();
    testsupport::SeriesParams p;  // N 1200, Tmin 40, Tmax 181, K 18
    p.sigma = 10;
    const std::vector<int32_t> a = {3, 7, 12}, b = {5, 14, 9}, c3 = {19, 2, 16};
    for (uint16_t mode : {4, 5}) {
        series::RandomStreams streams;
        series::SeriesHeaderPtr h = tupleSeries(big, p, b, streams, mode);
        ASSERT_TRUE(h);
        ChainsHeaderPtr c = chainsFor(*h);
        detectTuplesKnownNumber(window, big, 3, b.data(), mode == 4 ? 1 : 2, p.Tmin, p.Tmax, 100,
                                *c, *h, nullptr);
        ASSERT_EQ(h->wDetectedQuantity, p.K);
        for (int k = 0; k < p.K; ++k) {
            EXPECT_EQ(h->lpDetectedStart[k], h->lpPulseStart[k]) << k;
            EXPECT_EQ(h->lpDetectedEtalon[k], h->lpPulseEtalon[k]) << k;
        }
        // The phase is where the true sequence starts in the subset.
        const int phase =
            static_cast<int>(std::find(b.begin(), b.end(), h->lpPulseEtalon[0]) - b.begin());
        EXPECT_EQ(h->lpTupleLast[0], 3 - phase);

        const int32_t lengths[] = {3, 3, 3};
        const int32_t* rows[] = {a.data(), b.data(), c3.data()};
        recognizeTuplesKnownNumber(window, big, lengths, rows, 3, 2, p.Tmin, p.Tmax, 100, *c, *h,
                                   nullptr);
        EXPECT_EQ(h->wRecognizedSubset, 2);
        ASSERT_EQ(h->wDetectedQuantity, p.K);
        for (int k = 0; k < p.K; ++k) {
            EXPECT_EQ(h->lpDetectedStart[k], h->lpPulseStart[k]) << k;
            EXPECT_EQ(h->lpDetectedEtalon[k], h->lpPulseEtalon[k]) << k;
        }
    }
}

TEST_F(TuplesKnown, PhasesTried) {
    series::RandomStreams streams;
    const std::vector<int32_t> one = {4}, three = {1, 2, 3};
    series::SeriesHeaderPtr h = tupleSeries(alphabet, tiny.p, three, streams);
    ChainsHeaderPtr c = chainsFor(*h);
    struct Case {
        const std::vector<int32_t>* subset;
        uint16_t proceeding;
        int chains;
    };
    for (const Case& k :
         {Case{&three, 1, 1}, Case{&three, 2, 3}, Case{&one, 2, 1}, Case{&one, 1, 1}}) {
        detectTuplesKnownNumber(window, alphabet, static_cast<int32_t>(k.subset->size()),
                                k.subset->data(), k.proceeding, tiny.p.Tmin, tiny.p.Tmax, 100, *c,
                                *h, nullptr);
        EXPECT_EQ(c->wPretenders, k.chains);
    }
}

TEST_F(TuplesKnown, EqualSubsetsKeepTheEarlier) {
    series::Alphabet twin = testsupport::makeAlphabet(tiny.p.M, tiny.p.L, 128);
    std::copy(twin[2].lpData.get(), twin[2].lpData.get() + tiny.p.L, twin[3].lpData.get());
    series::RandomStreams streams;
    const std::vector<int32_t> s3 = {3}, s4 = {4};
    series::SeriesHeaderPtr h = tupleSeries(twin, tiny.p, s3, streams);
    ChainsHeaderPtr c = chainsFor(*h);
    const int32_t lengths[] = {1, 1};
    for (bool swapped : {false, true}) {
        const int32_t* rows[] = {swapped ? s4.data() : s3.data(), swapped ? s3.data() : s4.data()};
        recognizeTuplesKnownNumber(window, twin, lengths, rows, 2, 1, tiny.p.Tmin, tiny.p.Tmax, 100,
                                   *c, *h, nullptr);
        EXPECT_EQ(h->wRecognizedSubset, 1);
        EXPECT_EQ(h->lpDetectedEtalon[0], swapped ? 4 : 3);
        ASSERT_EQ(c->wPretenders, 2);
        EXPECT_EQ(c->distance[0], c->distance[1]);
        EXPECT_EQ(c->pulsesList[0][0], swapped ? 4 : 3);
    }
}

// Constant samples of -30000 make every placement of etalon 1 (all 60) cost millions: no chain
// reaches below 9999999, so nothing is reported found.
TEST_F(TuplesKnown, NoChainBelowTheSentinel) {
    series::RandomStreams streams;
    const std::vector<int32_t> s = {1, 2};
    series::SeriesHeaderPtr h = tupleSeries(alphabet, tiny.p, s, streams);
    std::fill(h->lpNoisyData, h->lpNoisyData + tiny.p.N, int16_t{-30000});
    const std::vector<int32_t> ones = {1};
    ChainsHeaderPtr c = chainsFor(*h);

    detectTuplesKnownNumber(window, alphabet, 1, ones.data(), 1, tiny.p.Tmin, tiny.p.Tmax, 100, *c,
                            *h, nullptr);
    EXPECT_EQ(h->wDetectedQuantity, 0);
    EXPECT_EQ(h->wDetectedTuples, 0);
    ASSERT_EQ(c->wPretenders, 1);
    EXPECT_EQ(c->distance[0], kNoChain);
    EXPECT_EQ(c->lpChainLength[0], 0);

    h->wRecognizedSubset = 7;
    const std::vector<int32_t> twice = {1, 1};
    const int32_t lengths[] = {1, 2};
    const int32_t* rows[] = {ones.data(), twice.data()};
    recognizeTuplesKnownNumber(window, alphabet, lengths, rows, 2, 2, tiny.p.Tmin, tiny.p.Tmax, 100,
                               *c, *h, nullptr);
    EXPECT_EQ(h->wRecognizedSubset, 0);
    EXPECT_EQ(h->wDetectedQuantity, 0);
    EXPECT_EQ(h->wDetectedTuples, 0);
    EXPECT_EQ(c->wPretenders, 3);  // every chain is still offered
    for (int r = 0; r < c->wPretenders; ++r)
        EXPECT_GE(c->distance[r], kNoChain);

    // No subsets at all: the same empty findings.
    recognizeTuplesKnownNumber(window, alphabet, lengths, rows, 0, 2, tiny.p.Tmin, tiny.p.Tmax, 100,
                               *c, *h, nullptr);
    EXPECT_EQ(c->wPretenders, 0);
    EXPECT_EQ(h->wRecognizedSubset, 0);
}

// Storage failures: message without title, nothing changed.
TEST_F(TuplesKnown, AllocationFailures) {
    series::RandomStreams streams;
    const std::vector<int32_t> s = {1, 2, 3};
    series::SeriesHeaderPtr h = tupleSeries(alphabet, tiny.p, s, streams);
    ChainsHeaderPtr c = chainsFor(*h);
    detectTuplesKnownNumber(window, alphabet, 3, s.data(), 2, tiny.p.Tmin, tiny.p.Tmax, 100, *c, *h,
                            nullptr);
    const std::string chainsBefore = chainsListing(*c);
    const std::vector<int16_t> before(h->lpDetectedStart, h->lpDetectedStart + tiny.p.K);
    const int32_t lengths[] = {3};
    const int32_t* rows[] = {s.data()};
    struct Case {
        bool recognize;
        long successes;
        const char* text;
    };
    for (const Case& k :
         {Case{false, 0, "Нет памяти для ppDw!"}, Case{false, 1, "Нет памяти для ppDw[m]!"},
          Case{true, 0, "Нет памяти для ppDw!"}, Case{true, 1, "Нет памяти для ppDw[]!"}}) {
        window.clear();
        {
            platform::FailingAllocations guard(k.successes);
            if (k.recognize)
                recognizeTuplesKnownNumber(window, alphabet, lengths, rows, 1, 2, tiny.p.Tmin,
                                           tiny.p.Tmax, 100, *c, *h, nullptr);
            else
                detectTuplesKnownNumber(window, alphabet, 3, s.data(), 1, tiny.p.Tmin, tiny.p.Tmax,
                                        100, *c, *h, nullptr);
        }
        const auto messages = window.messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, k.text);
        EXPECT_EQ(messages[0].title, "");
        EXPECT_EQ(chainsListing(*c), chainsBefore);
        EXPECT_EQ(std::vector<int16_t>(h->lpDetectedStart, h->lpDetectedStart + tiny.p.K), before);
    }
}

// ---------------------------------------------------------------------------------------------
// Unknown number of pulses.

class TuplesUnknown : public TuplesKnown {};

// Every pulse count's chain equals the literal pass; its cost is the exhaustive minimum over the
// chains whose pulse k starts in omegaStar[k]; the best negative chain reaches the header.
TEST_F(TuplesUnknown, EqualsReferenceAndExhaustiveSearch) {
    const std::vector<std::vector<int32_t>> subsets = {{2}, {3, 5}, {1, 4, 6}};
    for (uint32_t skew = 0; skew < 6; ++skew)
        for (const auto& subset : subsets) {
            series::RandomStreams streams = skewed(skew * 11);
            series::SeriesHeaderPtr h = tupleSeries(alphabet, tiny.p, subset, streams);
            ASSERT_TRUE(h);
            const uint16_t D = skew % 2 ? 100 : 70;
            const int S = static_cast<int>(subset.size());
            ChainsHeaderPtr c = chainsFor(*h);
            int32_t debug = 1;
            detectTuplesUnknownNumber(window, alphabet, S, subset.data(), 1, tiny.p.Tmin,
                                      tiny.p.Tmax, D, *c, *h, &debug);
            EXPECT_EQ(debug, 0);
            const Fits fits(alphabet, *h, D);
            const auto expected = referenceUnknown(fits, *h, subset, tiny.p.Tmin, tiny.p.Tmax);
            const auto sets = omegaStar(*h, tiny.p.Tmin, tiny.p.Tmax);
            std::vector<Chain> offered;
            const Chain* best = nullptr;
            for (const auto& [l, chain] : expected) {
                offered.push_back(chain);
                // Exhaustive: every chain of l pulses with pulse k in omegaStar[k].
                int64_t least = kUnreached;
                std::vector<int> s(l);
                auto dfs = [&](auto&& self, int k, int64_t cost) -> void {
                    if (k == l) {
                        least = std::min(least, cost);
                        return;
                    }
                    for (int m : sets[k]) {
                        if (k > 0 && (m < s[k - 1] + tiny.p.Tmin || m > s[k - 1] + tiny.p.Tmax))
                            continue;
                        s[k] = m;
                        self(self, k + 1, cost + fits.at[subset[k % S] - 1][m].cost);
                    }
                };
                dfs(dfs, 0, 0);
                EXPECT_EQ(chain.distance, least) << l;
                if (chain.distance < (best ? best->distance : 0))
                    best = &chain;
            }
            expectRanking(*c, offered, 10);
            EXPECT_EQ(c->wQuanPulses, 0);
            if (best) {
                expectFindings(*h, *best, S, 0);
            } else {
                EXPECT_EQ(h->wDetectedQuantity, 0);
            }
            EXPECT_EQ(c->wSeekingPulsesQuantity, h->wDetectedQuantity);
        }
}

TEST_F(TuplesUnknown, PlantedTuplesAreFound) {
    const series::Alphabet big = testsupport::makeAlphabet();
    testsupport::SeriesParams p;
    p.sigma = 10;
    for (uint16_t K : {7, 18, 26}) {
        p.K = K;
        series::RandomStreams streams;
        const std::vector<int32_t> subset = {5, 14, 9};
        series::SeriesHeaderPtr h = tupleSeries(big, p, subset, streams);
        ChainsHeaderPtr c = chainsFor(*h);
        detectTuplesUnknownNumber(window, big, 3, subset.data(), 1, p.Tmin, p.Tmax, 100, *c, *h,
                                  nullptr);
        ASSERT_EQ(h->wDetectedQuantity, K);
        EXPECT_EQ(c->wSeekingPulsesQuantity, K);
        for (int k = 0; k < K; ++k) {
            EXPECT_EQ(h->lpDetectedStart[k], h->lpPulseStart[k]) << k;
            EXPECT_EQ(h->lpDetectedEtalon[k], h->lpPulseEtalon[k]) << k;
        }
        EXPECT_EQ(h->wDetectedTuples, (K + 2) / 3);
    }
}

// Etalon 1 (all 60) against samples of -2000: every chain costs more the more pulses it has.
TEST_F(TuplesUnknown, PositiveChainsReportNoPulses) {
    series::RandomStreams streams;
    const std::vector<int32_t> ones = {1};
    series::SeriesHeaderPtr h = tupleSeries(alphabet, tiny.p, ones, streams);
    std::fill(h->lpNoisyData, h->lpNoisyData + tiny.p.N, int16_t{-2000});
    h->wDetectedTuples = 5;
    ChainsHeaderPtr c = chainsFor(*h);
    int32_t debug = 1;
    detectTuplesUnknownNumber(window, alphabet, 1, ones.data(), 2, tiny.p.Tmin, tiny.p.Tmax, 100,
                              *c, *h, &debug);
    EXPECT_EQ(h->wDetectedQuantity, 0);
    EXPECT_EQ(h->wDetectedTuples, 0);
    EXPECT_EQ(c->wSeekingPulsesQuantity, 0);
    EXPECT_EQ(debug, 0);
    const int counts = h->wMaxPulses - h->wMinPulses + 1;
    ASSERT_EQ(c->wPretenders, counts);
    std::vector<int> lengths;
    for (int r = 0; r < counts; ++r) {
        EXPECT_GT(c->distance[r], 0);
        lengths.push_back(c->lpChainLength[r]);
    }
    std::sort(lengths.begin(), lengths.end());
    for (int r = 0; r < counts; ++r)
        EXPECT_EQ(lengths[r], h->wMinPulses + r);
}

TEST_F(TuplesUnknown, AllocationFailures) {
    series::RandomStreams streams;
    const std::vector<int32_t> s = {1, 2};
    series::SeriesHeaderPtr h = tupleSeries(alphabet, tiny.p, s, streams);
    ChainsHeaderPtr c = chainsFor(*h);
    detectTuplesUnknownNumber(window, alphabet, 2, s.data(), 1, tiny.p.Tmin, tiny.p.Tmax, 100, *c,
                              *h, nullptr);
    const uint16_t found = h->wDetectedQuantity;
    const std::vector<int16_t> before(h->lpDetectedStart, h->lpDetectedStart + h->wMaxPulses);
    const long P = h->wMaxPulses;
    struct Case {
        long successes;
        const char* text;
    };
    for (const Case& k :
         {Case{0, "Нет памяти для omegaStar!"}, Case{1, "Нет памяти для omegaStar!"},
          Case{P, "Нет памяти для omegaStar!"}, Case{P + 1, "Нет памяти для G_opt!"}}) {
        window.clear();
        int32_t debug = 1;
        {
            platform::FailingAllocations guard(k.successes);
            detectTuplesUnknownNumber(window, alphabet, 2, s.data(), 1, tiny.p.Tmin, tiny.p.Tmax,
                                      100, *c, *h, &debug);
        }
        const auto messages = window.messages();
        ASSERT_EQ(messages.size(), 1u) << k.successes;
        EXPECT_EQ(messages[0].text, k.text);
        EXPECT_EQ(messages[0].title, "");
        EXPECT_EQ(debug, 1);
        EXPECT_EQ(c->wPretenders, 0);  // the reset comes first
        EXPECT_EQ(h->wDetectedQuantity, found);
        EXPECT_EQ(std::vector<int16_t>(h->lpDetectedStart, h->lpDetectedStart + h->wMaxPulses),
                  before);
    }
}

// Subsets of no entries, an out-of-range etalon number: nothing read outside, sound results.
TEST_F(TuplesUnknown, DegenerateSubsets) {
    series::RandomStreams streams;
    const std::vector<int32_t> s = {1, 2};
    series::SeriesHeaderPtr h = tupleSeries(alphabet, tiny.p, s, streams);
    ChainsHeaderPtr c = chainsFor(*h);
    detectTuplesUnknownNumber(window, alphabet, 0, s.data(), 1, tiny.p.Tmin, tiny.p.Tmax, 100, *c,
                              *h, nullptr);
    detectTuplesKnownNumber(window, alphabet, 0, s.data(), 1, tiny.p.Tmin, tiny.p.Tmax, 100, *c, *h,
                            nullptr);
    EXPECT_TRUE(window.messages().empty());
    // Etalon 0 and 99 stand for etalon 1, as in generation.
    const std::vector<int32_t> odd = {0, 99}, ones = {1, 1};
    ChainsHeaderPtr c2 = chainsFor(*h);
    detectTuplesKnownNumber(window, alphabet, 2, odd.data(), 2, tiny.p.Tmin, tiny.p.Tmax, 100, *c,
                            *h, nullptr);
    detectTuplesKnownNumber(window, alphabet, 2, ones.data(), 2, tiny.p.Tmin, tiny.p.Tmax, 100, *c2,
                            *h, nullptr);
    EXPECT_EQ(chainsListing(*c), chainsListing(*c2));
}

}  // namespace
}  // namespace engine
