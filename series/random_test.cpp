#include "random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace series {
namespace {

int16_t literalStep(int16_t s) {
    return static_cast<int16_t>((s * 12869 + 6925) & 32767);
}

TEST(NextRandom, FollowsTheLinearCongruentialStep) {
    int16_t state = 12345;
    int16_t expected = 12345;
    for (int i = 0; i < 1000; ++i) {
        expected = literalStep(expected);
        ASSERT_EQ(nextRandom(state), expected);
        ASSERT_EQ(state, expected);
        ASSERT_GE(state, 0);
    }
    int16_t zero = 0;
    EXPECT_EQ(nextRandom(zero), 6925);
}

TEST(NextRandom, HasPeriod32768) {
    int16_t state = 10597;
    for (int i = 0; i < 32768; ++i)
        nextRandom(state);
    EXPECT_EQ(state, 10597);
}

TEST(GaussRandom, SigmaZeroReturnsMeanAndAdvancesTwelveSteps) {
    int16_t state = 10597, reference = 10597;
    EXPECT_EQ(gaussRandom(state, 17, 0), 17);
    for (int i = 0; i < 12; ++i)
        nextRandom(reference);
    EXPECT_EQ(state, reference);
}

TEST(GaussRandom, MatchesTheSumFormula) {
    int16_t state = 3373, copy = 3373;
    for (int draw = 0; draw < 200; ++draw) {
        int32_t sum = 0;
        for (int i = 0; i < 12; ++i)
            sum += nextRandom(copy);
        const int16_t sigma = static_cast<int16_t>(draw % 150);
        EXPECT_EQ(gaussRandom(state, -5, sigma), -5 + (((sum - 196608) * sigma) >> 15));
    }
}

TEST(GaussRandom, HasRoughlyTheRequestedSpread) {
    int16_t state = 10597;
    double sum = 0, sum2 = 0;
    const int n = 8192;
    for (int i = 0; i < n; ++i) {
        const double v = gaussRandom(state, 0, 100);
        sum += v;
        sum2 += v * v;
    }
    EXPECT_NEAR(sum / n, 0.0, 3.0);
    EXPECT_NEAR(std::sqrt(sum2 / n), 100.0, 5.0);
}

TEST(AdvanceRandom, EqualsRepeatedSteps) {
    for (int16_t start : {int16_t{0}, int16_t{123}, int16_t{12345}, int16_t{32767}}) {
        int16_t state = start;
        for (uint64_t steps = 0; steps < 3000; ++steps) {
            ASSERT_EQ(advanceRandom(start, steps), state) << start << " " << steps;
            nextRandom(state);
        }
    }
    EXPECT_EQ(advanceRandom(10597, 32768ull * 1000 + 5), advanceRandom(10597, 5));
}

TEST(LibraryRandom, FirstValuesOfTheClassicGenerator) {
    LibraryRandom r;
    EXPECT_EQ(r.next(), 41);
    EXPECT_EQ(r.next(), 18467);
    EXPECT_EQ(r.next(), 6334);
}

}  // namespace
}  // namespace series
