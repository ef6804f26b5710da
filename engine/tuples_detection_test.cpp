// TuplesDetection: a literal reference of the cyclic layered pass (plain window scans over
// std::set classes), exhaustive search over the chains it admits, planted series, listings,
// edge cases and failures.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "engine/procedures.h"
#include "engine/tuples_common.h"
#include "platform/allocation.h"
#include "position_classes.h"
#include "tuples_test_util.h"

namespace engine {
namespace {

using namespace tuples_test;

using Classes = testsupport::PositionClasses;
using testsupport::positionClassesOf;

std::string intervalsText(const std::set<int>& s) {
    std::string out;
    for (auto it = s.begin(); it != s.end();) {
        int lo = *it, hi = lo;
        while (++it != s.end() && *it == hi + 1)
            ++hi;
        out += std::string(" [") + std::to_string(lo) + ".." + std::to_string(hi) + "] ";
    }
    return out;
}

struct TupleRun {
    int32_t cost = kUnreached;
    std::vector<ChainPulse> pulses;
    std::vector<std::pair<int, int>> fragments;
    std::string listing1, listing2;
};

// One tuple, step by step as the procedure is described.
TupleRun referenceTuple(const Fits& fits, const series::SeriesHeader& h, const Classes& cl,
                        const std::vector<int32_t>& members, int Tmin, int Tmax) {
    TupleRun run;
    const int Kmax = h.wMaxPulses, W = static_cast<int>(h.dwSeriesSize) - h.wImpulseSize + 1;
    const int M = static_cast<int>(members.size()), A = std::min(M, Kmax);
    if (A <= 0)
        return run;
    std::vector<std::vector<int32_t>> cost(A, std::vector<int32_t>(W, kUnreached)),
        back(A, std::vector<int32_t>(W, kUnreached));
    auto member = [&](int t) { return members[t] - 1; };
    for (int w : cl.minusOnly)
        cost[0][w] = fits.at[member(0)][w].cost, back[0][w] = -1;
    auto scan = [&](int layer, int w, int32_t init) {
        std::pair<int32_t, int> best{init, -1};
        for (int q = std::max(w - Tmax, 0); q <= w - Tmin; ++q)
            if (cost[layer][q] < best.first)
                best = {cost[layer][q], q};
        return best;
    };
    for (int w : cl.both)
        for (int t = 0; t < A; ++t) {
            const int32_t c = fits.at[member(t)][w].cost;
            const auto [v, q] = scan((t + A - 1) % A, w, 0);
            if (q >= 0)
                cost[t][w] = wrapAdd(v, c), back[t][w] = q;
            else if (t == 0)
                cost[t][w] = c, back[t][w] = -1;
            else
                cost[t][w] = kUnreached, back[t][w] = -2;
        }
    for (int w : cl.tildaOnly)
        for (int t = 0; t < A; ++t) {
            const int32_t c = fits.at[member(t)][w].cost;
            const auto [v, q] = scan((t + A - 1) % A, w, kUnreached);
            cost[t][w] = q >= 0 ? wrapAdd(v, c) : kUnreached;  // unreached stays unreached
            back[t][w] = q >= 0 ? q : -2;
        }
    auto marks = [&](const std::set<int>& s, int t) {
        int32_t least = 0;
        bool any = false;
        for (int w : s)
            if (!any || cost[t][w] < least)
                least = cost[t][w], any = true;
        std::string out;
        for (int w : s) {
            out += cost[t][w] >= 0       ? " +"
                   : cost[t][w] == least ? std::string(" ") + std::to_string(cost[t][w])
                                         : std::string(" -");
            if (back[t][w] >= 0) {
                out += '[';
                out += std::to_string(back[t][w]);
                out += ']';
            }
        }
        return out;
    };
    run.listing1 = std::string("omega_minus - omega_tilda: ") + intervalsText(cl.minusOnly) + "\n" +
                   marks(cl.minusOnly, 0) + "\n ";
    run.listing2 = std::string("omega_minus x omega_tilda: ") + intervalsText(cl.both) + "\n";
    for (int t = 0; t < A; ++t)
        run.listing2 +=
            std::string("l=") + std::to_string(t + 1) + "\n " + marks(cl.both, t) + "\n ";

    int endPos = -1, endLayer = 0;
    for (int w : cl.end)
        for (int t = 0; t < A; ++t)
            if (cost[t][w] < run.cost)
                run.cost = cost[t][w], endPos = w, endLayer = t;
    if (endPos < 0)
        return run;
    // At most Kmax pulses are kept (the last ones): only windows narrower than the series' own
    // (a Tmin below its wTmin) make longer chains.
    for (int pos = endPos, t = endLayer; pos >= 0 && static_cast<int>(run.pulses.size()) < Kmax;
         pos = back[t][pos], t = (t + A - 1) % A) {
        const LocalFit& f = fits.at[member(t)][pos];
        run.pulses.insert(
            run.pulses.begin(),
            {static_cast<int16_t>(pos), static_cast<int16_t>(member(t) + 1), f.cutBegin, f.cutEnd});
    }
    const int m = static_cast<int>(run.pulses.size());
    for (int first = 1; first <= m; first += M)
        run.fragments.push_back({first, std::min(first + M - 1, m)});
    return run;
}

// The least cost over the chains the pass admits: a first pulse in omega_minus as member 1, later
// pulses in omega_tilda following the members cyclically, Tmin .. Tmax apart, the last in
// omega_end; a pulse in omega_minus x omega_tilda continues a chain only when the chain so far
// costs less than 0.
int64_t exhaustiveTuple(const Fits& fits, const Classes& cl, const std::vector<int32_t>& members,
                        int A, int Tmin, int Tmax) {
    int64_t best = kUnreached;
    auto dfs = [&](auto&& self, int w, int layer, int64_t cost) -> void {
        if (cl.end.count(w))
            best = std::min(best, cost);
        const int next = (layer + 1) % A;
        for (int q = w + Tmin; q <= w + Tmax; ++q) {
            if (!cl.tilda.count(q))
                continue;
            if (cl.minus.count(q) && cost >= 0)
                continue;
            self(self, q, next, cost + fits.at[members[next] - 1][q].cost);
        }
    };
    for (int w : cl.minus)
        dfs(dfs, w, 0, fits.at[members[0] - 1][w].cost);
    return best;
}

struct TupleList {
    std::vector<std::vector<int32_t>> members;
    std::vector<int32_t> lengths;
    std::vector<const int32_t*> rows;
    explicit TupleList(std::vector<std::vector<int32_t>> m) : members(std::move(m)) {
        for (const auto& t : members) {
            lengths.push_back(static_cast<int32_t>(t.size()));
            rows.push_back(t.data());
        }
    }
    int32_t count() const { return static_cast<int32_t>(members.size()); }
};

class TuplesDetectionTest : public ::testing::Test {
  protected:
    platform::RecordingWindow window;
    testsupport::SeriesParams tiny = [] {
        testsupport::SeriesParams p;
        p.M = 6;
        p.L = 4;
        p.Tmin = 6;
        p.Tmax = 9;
        p.N = 48;
        p.K = 6;
        p.sigma = 30;
        return p;
    }();
    series::Alphabet alphabet = testsupport::makeAlphabet(tiny.M, tiny.L, 128);

    series::SeriesHeaderPtr seriesOf(const std::vector<int32_t>& subset, uint32_t skew) {
        series::RandomStreams streams;
        for (uint32_t i = 0; i < skew; ++i) {
            series::nextRandom(streams.position);
            series::nextRandom(streams.noise);
            series::nextRandom(streams.cutBegin);
        }
        return tupleSeries(alphabet, tiny, subset, streams);
    }
};

void expectResult(const series::SeriesHeader& h, const ChainsHeader* c, int32_t result,
                  const std::vector<TupleRun>& runs) {
    int32_t best = kUnreached;
    int expected = 0;
    for (size_t k = 0; k < runs.size(); ++k)
        if (runs[k].cost < best)
            best = runs[k].cost, expected = static_cast<int>(k) + 1;
    EXPECT_EQ(result, expected);
    EXPECT_EQ(h.wRecognizedSubset, expected);
    const TupleRun empty;
    const TupleRun& win = expected ? runs[expected - 1] : empty;
    ASSERT_EQ(h.wDetectedQuantity, win.pulses.size());
    for (size_t k = 0; k < win.pulses.size(); ++k) {
        EXPECT_EQ(h.lpDetectedStart[k], win.pulses[k].start);
        EXPECT_EQ(h.lpDetectedEtalon[k], win.pulses[k].etalon);
        EXPECT_EQ(h.lpDetectedCutBegin[k], win.pulses[k].cutBegin);
        EXPECT_EQ(h.lpDetectedCutEnd[k], win.pulses[k].cutEnd);
    }
    ASSERT_EQ(h.wDetectedTuples, static_cast<int16_t>(win.fragments.size()));
    for (size_t f = 0; f < win.fragments.size(); ++f) {
        EXPECT_EQ(h.lpTupleFirst[f], win.fragments[f].first);
        EXPECT_EQ(h.lpTupleLast[f], win.fragments[f].second);
    }
    if (c == nullptr)
        return;
    EXPECT_EQ(c->wSeekingPulsesQuantity, h.wDetectedQuantity);
    std::vector<Chain> offered;
    for (const TupleRun& r : runs)
        offered.push_back({r.cost, r.pulses});
    std::stable_sort(offered.begin(), offered.end(),
                     [](const Chain& a, const Chain& b) { return a.distance < b.distance; });
    offered.resize(std::min<size_t>(offered.size(), c->wMaxSize));
    ASSERT_EQ(c->wPretenders, offered.size());
    for (size_t r = 0; r < offered.size(); ++r) {
        EXPECT_EQ(c->distance[r], offered[r].distance);
        EXPECT_TRUE(samePulses(*c, static_cast<int>(r), offered[r].pulses)) << r;
    }
}

// The procedure equals the literal reference for every tuple, and each tuple's cost is the least
// over the chains the pass admits. The windows are taken from the arguments, so Tmin 0 (the
// literal fallback) and an empty window range are covered too.
TEST_F(TuplesDetectionTest, EqualsReferenceAndExhaustiveSearch) {
    const TupleList tuples({{1, 3}, {2, 4, 6}, {5}, {3, 1}, {6, 2, 5, 4}});
    int exhaustive = 0;
    for (uint32_t skew = 0; skew < 8; ++skew) {
        const auto& planted = tuples.members[skew % tuples.members.size()];
        series::SeriesHeaderPtr h = seriesOf(planted, skew * 13);
        ASSERT_TRUE(h);
        const Classes cl = positionClassesOf(*h);
        for (const auto& [Tmin, Tmax] : std::vector<std::pair<int, int>>{
                 {tiny.Tmin, tiny.Tmax}, {0, tiny.Tmax}, {tiny.Tmin + 3, tiny.Tmax - 2}, {3, 14}}) {
            const uint16_t level = skew % 2 ? 100 : 55;
            ChainsHeaderPtr c = chainsFor(*h);
            const int32_t result =
                TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(),
                                tuples.count(), 1, static_cast<uint16_t>(Tmin),
                                static_cast<uint16_t>(Tmax), level, c.get(), *h, nullptr);
            const Fits fits(alphabet, *h, level);
            std::vector<TupleRun> runs;
            for (const auto& m : tuples.members) {
                runs.push_back(referenceTuple(fits, *h, cl, m, Tmin, Tmax));
                if (Tmin == tiny.Tmin && Tmax == tiny.Tmax) {
                    const int A = std::min<int>(static_cast<int>(m.size()), h->wMaxPulses);
                    EXPECT_EQ(runs.back().cost, exhaustiveTuple(fits, cl, m, A, Tmin, Tmax));
                    ++exhaustive;
                }
                if (level == 100)
                    for (const ChainPulse& p : runs.back().pulses) {
                        EXPECT_EQ(p.cutBegin, 0);
                        EXPECT_EQ(p.cutEnd, tiny.L - 1);
                    }
            }
            expectResult(*h, c.get(), result, runs);
            // Chains start where a first pulse may start and continue where later ones may.
            if (Tmin >= tiny.Tmin || result == 0) {
                for (int k = 0; k < h->wDetectedQuantity; ++k)
                    EXPECT_TRUE((k == 0 ? cl.minus : cl.tilda).count(h->lpDetectedStart[k])) << k;
            }
        }
    }
    EXPECT_EQ(exhaustive, 40);
}

// Narrow Tmin .. Tmax: the starts of later pulses form more separate intervals than there are
// pulse counts, every one kept, so each tuple's cost is the least over the chains the pass admits.
TEST_F(TuplesDetectionTest, NarrowDistancesEqualReferenceAndExhaustiveSearch) {
    const TupleList tuples({{1, 3}, {2, 4, 6}, {5}});
    int compared = 0;
    for (const auto& [N, Tmin, Tmax] : std::vector<std::tuple<uint32_t, uint16_t, uint16_t>>{
             {84, 8, 8}, {94, 9, 9}, {60, 8, 8}}) {  // 19, 19 and 13 intervals, at most 11 pulses
        for (uint32_t skew = 0; skew < 3; ++skew) {
            testsupport::SeriesParams p = tiny;
            p.N = N;
            p.Tmin = Tmin;
            p.Tmax = Tmax;
            const uint16_t minK = series::minPulsesFor(N, p.L, Tmax);
            const uint16_t maxK = series::maxPulsesFor(N, p.L, Tmin);
            p.K = skew % 2 ? minK : maxK;
            series::RandomStreams streams;
            for (uint32_t i = 0; i < skew * 7; ++i)
                series::nextRandom(streams.position);
            series::SeriesHeaderPtr h =
                tupleSeries(alphabet, p, tuples.members[skew % tuples.members.size()], streams);
            ASSERT_TRUE(h);
            const Classes cl = positionClassesOf(*h);
            const uint16_t level = skew == 2 ? 55 : 100;
            ChainsHeaderPtr c = chainsFor(*h);
            const int32_t result =
                TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(),
                                tuples.count(), 1, Tmin, Tmax, level, c.get(), *h, nullptr);
            const Fits fits(alphabet, *h, level);
            std::vector<TupleRun> runs;
            for (const auto& m : tuples.members) {
                runs.push_back(referenceTuple(fits, *h, cl, m, Tmin, Tmax));
                const int A = std::min<int>(static_cast<int>(m.size()), h->wMaxPulses);
                EXPECT_EQ(runs.back().cost, exhaustiveTuple(fits, cl, m, A, Tmin, Tmax));
                ++compared;
            }
            expectResult(*h, c.get(), result, runs);
            EXPECT_NE(0, result);
        }
    }
    EXPECT_EQ(27, compared);
}

TEST_F(TuplesDetectionTest, PlantedTuplesAreRecognised) {
    const series::Alphabet big = testsupport::makeAlphabet();
    testsupport::SeriesParams p;
    p.sigma = 3;
    const TupleList tuples({{3, 7, 12}, {5, 14, 9}, {19, 2, 16}, {4}});
    for (uint16_t K : {7, 18, 29})
        for (int planted = 0; planted < tuples.count(); ++planted) {
            p.K = K;
            series::RandomStreams streams;
            series::SeriesHeaderPtr h = tupleSeries(big, p, tuples.members[planted], streams);
            ChainsHeaderPtr c = chainsFor(*h);
            const int32_t result =
                TuplesDetection(window, big, tuples.lengths.data(), tuples.rows.data(),
                                tuples.count(), 1, p.Tmin, p.Tmax, 100, c.get(), *h, nullptr);
            EXPECT_EQ(result, planted + 1);
            ASSERT_EQ(h->wDetectedQuantity, K);
            for (int k = 0; k < K; ++k) {
                EXPECT_EQ(h->lpDetectedStart[k], h->lpPulseStart[k]) << k;
                EXPECT_EQ(h->lpDetectedEtalon[k], h->lpPulseEtalon[k]) << k;
            }
            const int M = tuples.lengths[planted];
            EXPECT_EQ(h->wDetectedTuples, (K + M - 1) / M);
            EXPECT_EQ(h->lpTupleLast[h->wDetectedTuples - 1], K);
        }
}

TEST_F(TuplesDetectionTest, EqualTuplesKeepTheSmallerNumber) {
    series::SeriesHeaderPtr h = seriesOf({2, 4}, 0);
    const TupleList tuples({{1}, {2, 4}, {2, 4}});
    ChainsHeaderPtr c = chainsFor(*h);
    EXPECT_EQ(2, TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(), 3, 1,
                                 tiny.Tmin, tiny.Tmax, 100, c.get(), *h, nullptr));
    ASSERT_GE(c->wPretenders, 2);
    EXPECT_EQ(c->distance[0], c->distance[1]);
}

// No admissible position at all, no tuples, tuples of no members: nothing found.
TEST_F(TuplesDetectionTest, NothingToFind) {
    series::SeriesHeaderPtr h = seriesOf({1, 2}, 0);
    const TupleList tuples({{1, 2}, {}});
    ChainsHeaderPtr c = chainsFor(*h);
    TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(), 2, 1, tiny.Tmin,
                    tiny.Tmax, 100, c.get(), *h, nullptr);
    ASSERT_GT(h->wDetectedQuantity, 0);

    h->wMinPulses = static_cast<uint16_t>(h->wMaxPulses + 1);  // every position set empty
    for (int32_t count : {2, 0}) {
        int32_t debug = 1;
        EXPECT_EQ(0, TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(),
                                     count, 1, tiny.Tmin, tiny.Tmax, 100, c.get(), *h, &debug));
        EXPECT_EQ(h->wDetectedQuantity, 0);
        EXPECT_EQ(h->wDetectedTuples, 0);
        EXPECT_EQ(h->wRecognizedSubset, 0);
        EXPECT_EQ(c->wSeekingPulsesQuantity, 0);
        EXPECT_EQ(debug, 0);
        ASSERT_EQ(c->wPretenders, count);
        for (int r = 0; r < count; ++r) {
            EXPECT_EQ(c->distance[r], kUnreached);
            EXPECT_EQ(c->lpChainLength[r], 0);
        }
    }
}

TEST_F(TuplesDetectionTest, ListingsWhileDebugRepeatIsOne) {
    series::SeriesHeaderPtr h = seriesOf({1, 3}, 3);
    const TupleList tuples({{1, 3}, {2, 4, 6}});
    const Classes cl = positionClassesOf(*h);
    const Fits fits(alphabet, *h, 100);
    ChainsHeaderPtr c = chainsFor(*h);
    int32_t debug = 1;
    TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(), 2, 1, tiny.Tmin,
                    tiny.Tmax, 100, c.get(), *h, &debug);
    EXPECT_EQ(debug, 0);
    const auto messages = window.messages();
    ASSERT_EQ(messages.size(), 4u);
    for (int k = 0; k < 2; ++k) {
        const TupleRun run = referenceTuple(fits, *h, cl, tuples.members[k], tiny.Tmin, tiny.Tmax);
        EXPECT_EQ(messages[2 * k].text, run.listing1);
        EXPECT_EQ(messages[2 * k + 1].text, run.listing2);
        EXPECT_EQ(messages[2 * k].title, " About TuplesDetection ");
        EXPECT_EQ(messages[2 * k + 1].title, " About TuplesDetection ");
    }
    // The flag was reset: the next run is silent; other values list nothing and are reset too.
    for (int32_t value : {0, 2}) {
        window.clear();
        debug = value;
        TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(), 2, 1,
                        tiny.Tmin, tiny.Tmax, 100, c.get(), *h, &debug);
        EXPECT_TRUE(window.messages().empty());
        EXPECT_EQ(debug, 0);
    }
    // A long series lists every position, however long the text grows.
    const series::Alphabet big = testsupport::makeAlphabet();
    testsupport::SeriesParams p;
    p.N = 4000;
    p.K = 60;
    series::RandomStreams streams;
    std::vector<int32_t> forty(40);
    for (int i = 0; i < 40; ++i)
        forty[i] = i % 20 + 1;
    series::SeriesHeaderPtr g = tupleSeries(big, p, forty, streams);
    ASSERT_TRUE(g);
    const TupleList three({forty});
    window.clear();
    debug = 1;
    TuplesDetection(window, big, three.lengths.data(), three.rows.data(), 1, 1, p.Tmin, p.Tmax, 100,
                    nullptr, *g, &debug);
    const auto long_ = window.messages();
    ASSERT_EQ(long_.size(), 2u);
    EXPECT_EQ(long_[1].text.rfind("omega_minus x omega_tilda: ", 0), 0u);
    EXPECT_GT(long_[1].text.size(), 40u * 100u * 2u);
}

TEST_F(TuplesDetectionTest, WithoutChainsRecordTheResultIsTheSame) {
    series::SeriesHeaderPtr h = seriesOf({2, 4, 6}, 5);
    const TupleList tuples({{1, 3}, {2, 4, 6}});
    ChainsHeaderPtr c = chainsFor(*h);
    const int32_t with =
        TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(), 2, 1,
                        tiny.Tmin, tiny.Tmax, 100, c.get(), *h, nullptr);
    const std::vector<int16_t> starts(h->lpDetectedStart,
                                      h->lpDetectedStart + h->wDetectedQuantity);
    EXPECT_EQ(with, TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(), 2,
                                    1, tiny.Tmin, tiny.Tmax, 100, nullptr, *h, nullptr));
    EXPECT_EQ(starts,
              std::vector<int16_t>(h->lpDetectedStart, h->lpDetectedStart + h->wDetectedQuantity));
}

TEST_F(TuplesDetectionTest, AllocationFailures) {
    series::SeriesHeaderPtr h = seriesOf({1, 3}, 2);
    const TupleList tuples({{1, 3}, {2}});
    ChainsHeaderPtr c = chainsFor(*h);
    TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(), 2, 1, tiny.Tmin,
                    tiny.Tmax, 100, c.get(), *h, nullptr);
    const std::string chainsBefore = chainsListing(*c);
    const uint16_t found = h->wDetectedQuantity;
    const std::vector<int16_t> starts(h->lpDetectedStart, h->lpDetectedStart + found);
    for (const auto& [successes, text] : std::vector<std::pair<long, std::string>>{
             {0, "Нет памяти для EtalonsPartialEnergy!"}, {1, "Нет памяти для G_on_layers!"}}) {
        window.clear();
        int32_t debug = 1;
        {
            platform::FailingAllocations guard(successes);
            EXPECT_EQ(
                0, TuplesDetection(window, alphabet, tuples.lengths.data(), tuples.rows.data(), 2,
                                   1, tiny.Tmin, tiny.Tmax, 100, c.get(), *h, &debug));
        }
        const auto messages = window.messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, text);
        EXPECT_EQ(messages[0].title, "");
        EXPECT_EQ(debug, 1);
        EXPECT_EQ(chainsListing(*c), chainsBefore);
        EXPECT_EQ(h->wDetectedQuantity, found);
        EXPECT_EQ(starts, std::vector<int16_t>(h->lpDetectedStart, h->lpDetectedStart + found));
    }
}

}  // namespace
}  // namespace engine
