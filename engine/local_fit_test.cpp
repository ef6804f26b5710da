#include "engine/local_fit.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace engine {
namespace {

// The fit exactly as defined: every candidate, whole etalon first, then every admissible cut in
// order, replacing only on a strictly smaller 32-bit cost.
LocalFit literalFit(const int16_t* x, uint32_t m, const std::vector<series::PulseHeader>& etalons,
                    uint16_t D) {
    LocalFit best{};
    for (size_t c = 0; c < etalons.size(); ++c) {
        const int16_t* s = etalons[c].lpData.get();
        const int L = etalons[c].wSize;
        std::vector<int32_t> PE(L + 1, 0);
        for (int j = 0; j < L; ++j)
            PE[j + 1] = static_cast<int32_t>(int64_t{PE[j]} + s[j] * s[j]);
        const int32_t E = PE[L];
        const int32_t T = static_cast<int32_t>(int64_t{D} * E / 100);
        auto cost = [&](int b, int e) {
            uint32_t sum = 0;  // wrap-around sum
            for (int i = b; i <= e; ++i)
                sum +=
                    static_cast<uint32_t>(int64_t{s[i]} * (int64_t{s[i]} - 2 * int64_t{x[m + i]}));
            return static_cast<int32_t>(sum);
        };
        const int32_t whole = cost(0, L - 1);
        if (c == 0 || whole < best.cost)
            best = {whole, static_cast<int32_t>(c), 0, static_cast<int16_t>(L - 1)};
        for (int b = 0; b < L; ++b) {
            if (!(T < static_cast<int32_t>(int64_t{E} - PE[b])))
                continue;
            for (int e = b; e < L; ++e) {
                if (!(T < static_cast<int32_t>(int64_t{PE[e + 1]} - PE[b])))
                    continue;
                const int32_t v = cost(b, e);
                if (v < best.cost)
                    best = {v, static_cast<int32_t>(c), static_cast<int16_t>(b),
                            static_cast<int16_t>(e)};
            }
        }
    }
    return best;
}

series::PulseHeader etalonOf(const std::vector<int16_t>& v, uint16_t number) {
    series::PulseHeader p;
    p.wAllocated = p.wSize = static_cast<uint16_t>(v.size());
    p.wNumber = number;
    p.lpData = std::make_unique<int16_t[]>(v.size());
    std::copy(v.begin(), v.end(), p.lpData.get());
    return p;
}

struct Profile {
    const char* name;
    int etalonRange;  // samples drawn from -r..r
    int seriesRange;
    int zeroPercent;  // share of zero samples
    int maxLength;
    int spikePercent = 0;  // share of series samples drawn from the full 16-bit range instead
};

// bestLocalFits over `starts` consecutive starts and bestLocalFit at each, against the oracle.
void compareOnRandomInputs(const Profile& profile, uint32_t seed, int rounds, uint32_t starts = 9) {
    std::mt19937 rng(seed);
    auto draw = [&](int range) {
        if (static_cast<int>(rng() % 100) < profile.zeroPercent)
            return int16_t{0};
        return static_cast<int16_t>(static_cast<int>(rng() % (2 * range + 1)) - range);
    };
    const uint16_t levels[] = {0, 1, 25, 50, 75, 99, 100};
    for (int round = 0; round < rounds; ++round) {
        const int L = 1 + static_cast<int>(rng() % profile.maxLength);
        const int count = 1 + static_cast<int>(rng() % 4);
        std::vector<series::PulseHeader> etalons;
        for (int c = 0; c < count; ++c) {
            std::vector<int16_t> v(L);
            for (auto& s : v)
                s = draw(profile.etalonRange);
            etalons.push_back(etalonOf(v, static_cast<uint16_t>(c + 1)));
        }
        std::vector<int16_t> x(L + starts - 1);
        for (auto& s : x)
            s = static_cast<int>(rng() % 100) < profile.spikePercent ? draw(32767)
                                                                     : draw(profile.seriesRange);
        const uint16_t D = levels[rng() % std::size(levels)];
        std::vector<FitEtalon> fits;
        for (int c = 0; c < count; ++c)
            fits.push_back(prepareFitEtalon(etalons[c], c, D));
        std::vector<LocalFit> batch(starts);
        bestLocalFits(x.data(), 0, starts, fits, batch.data());
        for (uint32_t m = 0; m < starts; ++m) {
            const LocalFit want = literalFit(x.data(), m, etalons, D);
            const LocalFit got = bestLocalFit(x.data(), m, fits);
            ASSERT_EQ(want.cost, batch[m].cost) << profile.name << " batch round " << round;
            ASSERT_EQ(want.candidate, batch[m].candidate) << profile.name << " batch " << round;
            ASSERT_EQ(want.cutBegin, batch[m].cutBegin) << profile.name << " batch " << round;
            ASSERT_EQ(want.cutEnd, batch[m].cutEnd) << profile.name << " batch " << round;
            ASSERT_EQ(want.cost, got.cost) << profile.name << " round " << round << " m " << m;
            ASSERT_EQ(want.candidate, got.candidate) << profile.name << " round " << round;
            ASSERT_EQ(want.cutBegin, got.cutBegin) << profile.name << " round " << round;
            ASSERT_EQ(want.cutEnd, got.cutEnd) << profile.name << " round " << round;
        }
    }
}

const Profile kProfiles[] = {
    {"tiny integers, many ties", 2, 2, 20, 8},
    {"zero stretches", 3, 3, 60, 12},
    {"all zero etalons", 0, 5, 0, 6},
    {"amplitude 128 with noise", 128, 400, 5, 24},
    {"long etalons", 100, 300, 10, 100},
    {"full 16-bit range, wrapping sums", 32767, 32767, 5, 20},
    {"full 16-bit range, long etalons", 32767, 32767, 5, 40},
    {"energies in 32 bits, costs wrapping", 3000, 32767, 5, 40},
    {"sums at the edge of 32 bits", 7000, 8000, 5, 40},
    {"moderate series with rare full-range samples", 3000, 3000, 5, 40, 2},
};

TEST(LocalFit, FastFitEqualsTheLiteralScan) {
    uint32_t seed = 1;
    for (const Profile& p : kProfiles)
        compareOnRandomInputs(p, seed++, 1500);
}

// Runs of starts that fill whole groups of the position-parallel fit, and leave partial ones.
TEST(LocalFit, PositionParallelFitOverRunsOfEveryShape) {
    uint32_t seed = 100;
    for (uint32_t starts : {1u, 15u, 16u, 17u, 32u, 47u})
        for (const Profile& p : kProfiles)
            compareOnRandomInputs(p, seed++, 150, starts);
}

TEST(LocalFit, PositionParallelFitOverManyBlocks) {
    std::mt19937 rng(5);
    std::vector<series::PulseHeader> etalons;
    std::vector<FitEtalon> fits;
    for (int c = 0; c < 3; ++c) {
        std::vector<int16_t> v(20);
        for (auto& s : v)
            s = static_cast<int16_t>(static_cast<int>(rng() % 257) - 128);
        etalons.push_back(etalonOf(v, static_cast<uint16_t>(c + 1)));
        fits.push_back(prepareFitEtalon(etalons.back(), c, 75));
    }
    std::vector<int16_t> x(1300);
    for (auto& s : x)
        s = static_cast<int16_t>(static_cast<int>(rng() % 401) - 200);
    std::vector<LocalFit> batch(1200);
    bestLocalFits(x.data(), 37, 1200, fits, batch.data());
    for (uint32_t t = 0; t < 1200; ++t) {
        const LocalFit want = literalFit(x.data(), 37 + t, etalons, 75);
        ASSERT_EQ(want.cost, batch[t].cost) << t;
        ASSERT_EQ(want.candidate, batch[t].candidate) << t;
        ASSERT_EQ(want.cutBegin, batch[t].cutBegin) << t;
        ASSERT_EQ(want.cutEnd, batch[t].cutEnd) << t;
    }
}

TEST(LocalFit, PreparedEtalon) {
    const series::PulseHeader p = etalonOf({3, 0, -4, 1}, 7);
    const FitEtalon f = prepareFitEtalon(p, 6, 50);
    EXPECT_EQ((std::vector<int32_t>{0, 9, 9, 25, 26}), f.partialEnergy);
    EXPECT_EQ(13, f.threshold);  // (50 * 26) / 100
    EXPECT_EQ(6, f.etalonIndex);
    EXPECT_TRUE(f.exactEnergies);
    // 26 + 2·X·8 <= 2³¹ - 1 up to X = (2³¹ - 27) / 16, above the largest sample magnitude.
    EXPECT_EQ(32768, f.exactMagnitude);
    // b = 0: 9 <= 13, 25 > 13 -> first end 2; b = 1: 16 > 13 -> 2; b = 2: 17 -> 2; b = 3: 1 ->
    // none.
    EXPECT_EQ((std::vector<int16_t>{2, 2, 2, 4}), f.firstAdmissibleEnd);
    EXPECT_EQ(3, f.admissibleBegins);
    EXPECT_EQ(2, prepareFitEtalon(p, 6, 50, 2).length);
    EXPECT_EQ(4, prepareFitEtalon(p, 6, 50, 9).length);

    // Energies near 32 bits: the threshold is D percent of E, its product formed in 64 bits.
    const series::PulseHeader big = etalonOf(std::vector<int16_t>(50, 6000), 1);
    const FitEtalon g = prepareFitEtalon(big, 0, 75);
    EXPECT_EQ(1800000000, g.partialEnergy[50]);
    EXPECT_EQ(1350000000, g.threshold);
    EXPECT_TRUE(g.exactEnergies);
    EXPECT_EQ(13, g.admissibleBegins);  // E - PE[b] > T for b·36000000 < 450000000
    EXPECT_EQ((2147483647 - 1800000000) / (2 * 300000), g.exactMagnitude);
    // An energy beyond 32 bits wraps, and the cuts have no shape to use.
    const FitEtalon w = prepareFitEtalon(etalonOf(std::vector<int16_t>(50, 32767), 1), 0, 75);
    EXPECT_FALSE(w.exactEnergies);
    EXPECT_EQ(-1, w.exactMagnitude);
    EXPECT_EQ(static_cast<int32_t>(53683814450 % 4294967296), w.partialEnergy[50]);
}

TEST(LocalFit, TieBreaks) {
    // Equal candidates: the first stays.
    const series::PulseHeader a = etalonOf({1, 1}, 1), b = etalonOf({1, 1}, 2);
    const int16_t x[] = {1, 1, 0, 0};
    std::vector<FitEtalon> fits{prepareFitEtalon(a, 0, 0), prepareFitEtalon(b, 1, 0)};
    LocalFit f = bestLocalFit(x, 0, fits);
    EXPECT_EQ(-2, f.cost);
    EXPECT_EQ(0, f.candidate);
    EXPECT_EQ(0, f.cutBegin);
    EXPECT_EQ(1, f.cutEnd);
    // At m = 2 every cost is 1 per sample; the best is the shortest admissible cut, earliest:
    // [0,0].
    f = bestLocalFit(x, 2, fits);
    EXPECT_EQ(1, f.cost);
    EXPECT_EQ(0, f.candidate);
    EXPECT_EQ(0, f.cutBegin);
    EXPECT_EQ(0, f.cutEnd);
    // Level 100: only whole etalons.
    fits = {prepareFitEtalon(a, 0, 100)};
    f = bestLocalFit(x, 2, fits);
    EXPECT_EQ(2, f.cost);
    EXPECT_EQ(1, f.cutEnd);
    EXPECT_EQ(-1, bestLocalFit(x, 0, {}).candidate);
}

}  // namespace
}  // namespace engine
