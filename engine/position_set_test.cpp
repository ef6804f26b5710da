#include "engine/position_set.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "platform/allocation.h"
#include "test_series.h"

namespace engine {
namespace {

platform::RecordingWindow window;

std::set<int> positionsOf(const PositionSet& s) {
    std::set<int> out;
    forEachPosition(&s, [&](uint16_t m) { out.insert(m); });
    return out;
}

void expectWellFormed(const PositionSet& s) {
    ASSERT_LE(s.wCount, s.wCapacity);
    for (uint16_t i = 0; i < s.wCount; ++i) {
        EXPECT_LE(s.lpLow[i], s.lpHigh[i]);
        if (i + 1 < s.wCount) {
            EXPECT_LT(s.lpHigh[i], s.lpLow[i + 1]);
        }
    }
}

PositionSetPtr setOf(std::initializer_list<std::pair<int, int>> intervals, uint16_t capacity) {
    PositionSetPtr s = getPositionSet(window, nullptr, capacity);
    for (auto [lo, hi] : intervals)
        addInterval(window, s.get(), static_cast<uint16_t>(lo), static_cast<uint16_t>(hi));
    return s;
}

TEST(PositionSet, RandomOperationsMatchASetModel) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        PositionSetPtr a = getPositionSet(window, nullptr, 200);
        std::set<int> model;
        for (int op = 0; op < 40; ++op) {
            const int lo = static_cast<int>(rng() % 120);
            const int hi = lo + static_cast<int>(rng() % 12);
            const int kind = static_cast<int>(rng() % 4);
            PositionSetPtr b = getPositionSet(window, nullptr, 200);
            std::set<int> bm;
            for (int j = 0; j < 3; ++j) {
                const int l2 = static_cast<int>(rng() % 120),
                          h2 = l2 + static_cast<int>(rng() % 15);
                addInterval(window, b.get(), static_cast<uint16_t>(l2), static_cast<uint16_t>(h2));
                for (int m = l2; m <= h2; ++m)
                    bm.insert(m);
            }
            switch (kind) {
                case 0:
                    EXPECT_EQ(1, addInterval(window, a.get(), lo, hi));
                    for (int m = lo; m <= hi; ++m)
                        model.insert(m);
                    break;
                case 1:
                    EXPECT_EQ(1, removeInterval(window, a.get(), lo, hi));
                    for (int m = lo; m <= hi; ++m)
                        model.erase(m);
                    break;
                case 2: {
                    EXPECT_EQ(1, intersectSets(window, a.get(), b.get()));
                    std::set<int> r;
                    for (int m : model)
                        if (bm.count(m))
                            r.insert(m);
                    model = r;
                    break;
                }
                default:
                    if (rng() % 2) {
                        EXPECT_EQ(1, addSet(window, a.get(), b.get()));
                        model.insert(bm.begin(), bm.end());
                    } else {
                        EXPECT_EQ(1, removeSet(window, a.get(), b.get()));
                        for (int m : bm)
                            model.erase(m);
                    }
            }
            expectWellFormed(*a);
            ASSERT_EQ(model, positionsOf(*a)) << "round " << round << " op " << op;
        }
        a = copyPositionSet(window, nullptr, a.get());
        EXPECT_EQ(model, positionsOf(*a));
        ASSERT_EQ(1, clipPositionSet(window, a.get(), 30, 70));
        std::set<int> clipped;
        for (int m : model)
            if (m >= 30 && m <= 70)
                clipped.insert(m);
        EXPECT_EQ(clipped, positionsOf(*a));
    }
}

TEST(PositionSet, RefusedOperationsLeaveTheSetUnchanged) {
    struct Case {
        const char* name;
        int (*op)(PositionSet*);
    };
    const Case cases[] = {
        {"reversed add", [](PositionSet* s) { return addInterval(window, s, 9, 8); }},
        {"add over capacity", [](PositionSet* s) { return addInterval(window, s, 40, 41); }},
        {"reversed remove", [](PositionSet* s) { return removeInterval(window, s, 5, 4); }},
        {"split over capacity", [](PositionSet* s) { return removeInterval(window, s, 3, 3); }},
        {"reversed clip", [](PositionSet* s) { return clipPositionSet(window, s, 5, 4); }},
        {"add null set", [](PositionSet* s) { return addSet(window, s, nullptr); }},
        {"remove null set", [](PositionSet* s) { return removeSet(window, s, nullptr); }},
        {"intersect null set", [](PositionSet* s) { return intersectSets(window, s, nullptr); }},
    };
    for (const Case& c : cases) {
        PositionSetPtr s = setOf({{0, 10}, {20, 30}}, 2);
        const std::set<int> before = positionsOf(*s);
        EXPECT_EQ(0, c.op(s.get())) << c.name;
        EXPECT_EQ(before, positionsOf(*s)) << c.name;
        EXPECT_EQ(2, s->wCount) << c.name;
    }
    EXPECT_EQ(0, addInterval(window, nullptr, 1, 2));
    EXPECT_EQ(0, removeInterval(window, nullptr, 1, 2));
    EXPECT_EQ(0, clipPositionSet(window, nullptr, 1, 2));
    PositionSetPtr s = setOf({{0, 10}}, 2);
    EXPECT_EQ(0, addSet(window, nullptr, s.get()));
    EXPECT_EQ(0, intersectSets(window, nullptr, s.get()));
    EXPECT_EQ(nullptr, copyPositionSet(window, nullptr, nullptr));
}

TEST(PositionSet, UnionMergesOverlappingAndTouchingIntervals) {
    PositionSetPtr s = setOf({{10, 20}, {30, 40}, {21, 29}}, 2);
    ASSERT_EQ(1, s->wCount);
    EXPECT_EQ(10, s->lpLow[0]);
    EXPECT_EQ(40, s->lpHigh[0]);
    EXPECT_EQ(1, addInterval(window, s.get(), 0, 65535));
    EXPECT_EQ(65535, s->lpHigh[0]);
    EXPECT_EQ(1, removeInterval(window, s.get(), 65535, 65535));
    EXPECT_EQ(65534, s->lpHigh[0]);
}

// Sets of many intervals: unions placed before, between, across and after them, and the refusal
// when the capacity is reached.
TEST(PositionSet, UnionOfManyIntervals) {
    PositionSetPtr s = getPositionSet(window, nullptr, 151);
    std::set<int> model;
    for (int k = 0; k < 150; ++k) {
        ASSERT_EQ(1, addInterval(window, s.get(), static_cast<uint16_t>(10 + 4 * k),
                                 static_cast<uint16_t>(11 + 4 * k)));
        model.insert({10 + 4 * k, 11 + 4 * k});
    }
    ASSERT_EQ(150, s->wCount);
    const std::pair<int, int> adds[] = {{0, 5}, {13, 13}, {100, 130}, {700, 800}, {0, 9}};
    for (auto [lo, hi] : adds) {
        EXPECT_EQ(
            1, addInterval(window, s.get(), static_cast<uint16_t>(lo), static_cast<uint16_t>(hi)));
        for (int m = lo; m <= hi; ++m)
            model.insert(m);
        expectWellFormed(*s);
        EXPECT_EQ(model, positionsOf(*s)) << lo << ".." << hi;
    }
    // 143 intervals now; isolated points fill the capacity, then one more is refused.
    const uint16_t count = s->wCount;
    for (int k = 0; count + k < 151; ++k)
        ASSERT_EQ(1, addInterval(window, s.get(), static_cast<uint16_t>(900 + 2 * k),
                                 static_cast<uint16_t>(900 + 2 * k)));
    EXPECT_EQ(151, s->wCount);
    EXPECT_EQ(0, addInterval(window, s.get(), 2000, 2000));
    EXPECT_EQ(151, s->wCount);
}

TEST(PositionSet, IntersectionKeepsOnlyPiecesThatFit) {
    // {0..100} ∩ {10..20, 30..40, 50..60} needs three intervals; capacity 2 keeps the first two.
    PositionSetPtr a = setOf({{0, 100}}, 2);
    PositionSetPtr b = setOf({{10, 20}, {30, 40}, {50, 60}}, 3);
    EXPECT_EQ(1, intersectSets(window, a.get(), b.get()));
    ASSERT_EQ(2, a->wCount);
    EXPECT_EQ(10, a->lpLow[0]);
    EXPECT_EQ(40, a->lpHigh[1]);
    // Intersecting a set with itself keeps it.
    PositionSetPtr c = setOf({{3, 5}, {9, 12}}, 4);
    EXPECT_EQ(1, intersectSets(window, c.get(), c.get()));
    EXPECT_EQ((std::set<int>{3, 4, 5, 9, 10, 11, 12}), positionsOf(*c));
}

TEST(PositionSet, GetReusesGrowsAndReleasesOnFailure) {
    PositionSetPtr s = setOf({{1, 2}, {5, 6}}, 4);
    const PositionSet* record = s.get();
    const uint16_t* storage = s->lpLow;
    s = getPositionSet(window, std::move(s), 3);  // smaller request: kept, emptied
    ASSERT_TRUE(s);
    EXPECT_EQ(record, s.get());
    EXPECT_EQ(storage, s->lpLow);
    EXPECT_EQ(4, s->wCapacity);
    EXPECT_EQ(0, s->wCount);
    s = getPositionSet(window, std::move(s), 9);  // larger: new storage
    ASSERT_TRUE(s);
    EXPECT_EQ(9, s->wCapacity);
    EXPECT_EQ(s->lpLow + 9, s->lpHigh);
    {
        platform::FailingAllocations fail(0);
        EXPECT_EQ(nullptr, getPositionSet(window, std::move(s), 20));
        EXPECT_EQ(nullptr, getPositionSet(window, nullptr, 1));
    }
    EXPECT_EQ(nullptr, freePositionSet(window, setOf({{1, 1}}, 1)));
    EXPECT_EQ(nullptr, freePositionSet(window, nullptr));
    EXPECT_TRUE(window.messages().empty());
}

// The three sets equal the unions of their defining intervals, also where a narrow Tmin .. Tmax
// makes the later starts many separate intervals.
TEST(PositionSet, OmegaSetsOfASeries) {
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, 20);
    struct Case {
        uint32_t N;
        uint16_t Tmin, Tmax, K;
    };
    for (const Case c :
         {Case{1200, 40, 181, 10}, Case{300, 30, 60, 6}, Case{150, 40, 181, 1}, Case{60, 25, 30, 2},
          Case{1111, 77, 77, 15}, Case{1200, 24, 26, 47}, Case{2000, 20, 21, 97}}) {
        series::RandomStreams streams;
        testsupport::SeriesParams p;
        p.M = 4;
        p.N = c.N;
        p.Tmin = c.Tmin;
        p.Tmax = c.Tmax;
        p.K = c.K;
        series::SeriesHeaderPtr h = testsupport::makeSeries(alphabet, p, {}, streams);
        ASSERT_TRUE(h);
        const OmegaSets sets = buildOmegaSets(window, *h);
        const int N = static_cast<int>(c.N), L = 20, Tmin = c.Tmin, Tmax = c.Tmax;
        std::set<int> minus, tilda, end;
        auto put = [](std::set<int>& s, int lo, int hi) {
            for (int m = std::max(lo, 0); m <= hi; ++m)
                s.insert(m);
        };
        for (int l = h->wMinPulses; l <= h->wMaxPulses; ++l) {
            put(minus, std::max(0, N - l * Tmax), std::min(Tmax - L, N - L - (l - 1) * Tmin));
            for (int k = 1; k < l; ++k)
                put(tilda, std::max(k * Tmin, N - (l - k) * Tmax),
                    std::min((k + 1) * Tmax - L, N - L - (l - 1 - k) * Tmin));
            put(end, std::max((l - 1) * Tmin, N - Tmax), std::min(l * Tmax - L, N - L));
        }
        for (const PositionSet* s :
             {sets.omega_minus.get(), sets.omega_tilda.get(), sets.omega_end.get()}) {
            ASSERT_TRUE(s);
            EXPECT_LE(s->wCapacity, (N - L + 2) / 2);  // never more than the positions hold apart
            expectWellFormed(*s);
        }
        EXPECT_EQ(minus, positionsOf(*sets.omega_minus)) << c.N;
        EXPECT_EQ(tilda, positionsOf(*sets.omega_tilda)) << c.N;
        EXPECT_EQ(end, positionsOf(*sets.omega_end)) << c.N;
        if (h->wMaxPulses == 1) {
            EXPECT_EQ(0, sets.omega_tilda->wCount);
        }
        if (c.Tmin == 77) {
            // [77k, 77k + 13] for k = 1 .. 14 and [77k + 33, 77k + 57] for k = 1 .. 13
            EXPECT_EQ(27, sets.omega_tilda->wCount);
        }
    }
}

TEST(PositionSet, OmegaSetWithoutStorageIsAbsent) {
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, 20);
    series::RandomStreams streams;
    testsupport::SeriesParams p;
    p.M = 4;
    p.K = 10;
    series::SeriesHeaderPtr h = testsupport::makeSeries(alphabet, p, {}, streams);
    platform::FailingAllocations fail(1);
    const OmegaSets sets = buildOmegaSets(window, *h);
    EXPECT_TRUE(sets.omega_minus);
    EXPECT_FALSE(sets.omega_tilda);
    EXPECT_FALSE(sets.omega_end);
}

}  // namespace
}  // namespace engine
