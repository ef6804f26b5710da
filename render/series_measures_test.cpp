#include "series_measures.h"

#include <gtest/gtest.h>

#include "series_view.h"
#include "view_test_records.h"

namespace render {
namespace {

using testing::addPulse;
using testing::makeChains;
using testing::makeEtalons;
using testing::makeHeader;
using testing::offer;

// Etalons a = {2, -1, 3} and b = {1, 1, 1} in a series of 12 samples: a whole at 1, b at 6 cut
// to samples 1..2; noise on a few samples.
struct MeasuresFixture : ::testing::Test {
    series::Alphabet alphabet = makeEtalons({{2, -1, 3}, {1, 1, 1}});
    series::SeriesHeaderPtr header = makeHeader(alphabet, 3, 12);

    MeasuresFixture() {
        addPulse(*header, 1, 1, 0, 2);
        addPulse(*header, 6, 2, 1, 2);
        int16_t* noisy = header->lpNoisyData;
        noisy[1] = 3;
        noisy[3] = 1;
        noisy[7] = 2;
        noisy[8] = 0;
        noisy[10] = 5;
    }
    int32_t restored(const std::vector<PulseEntry>& chain) {
        auto chains = makeChains(3);
        offer(*chains, 0, chain);
        chains->wSeekingPulsesQuantity = static_cast<uint16_t>(chain.size());
        return restorationError(*chains, *header);
    }
};

TEST_F(MeasuresFixture, PlacementMeasureOverThePlacedSamples) {
    // a: (2 - 6) 2 + (-1 + 2)(-1) + (3 - 2) 3 = -6; b, samples 1..2: (1 - 4) + (1 - 0) = -2.
    EXPECT_EQ(placementMeasure(*header), -8);
}

TEST_F(MeasuresFixture, EnergiesAndRatios) {
    const SeriesEnergies e = seriesEnergies(*header);
    EXPECT_EQ(e.signal, 16);
    EXPECT_EQ(e.noise, 1 + 4 + 1 + 1 + 25);
    EXPECT_EQ(e.pulseNoise, 5 + 2);  // the L samples from each start
    EXPECT_DOUBLE_EQ(e.allNS, 2.0);
    EXPECT_DOUBLE_EQ(e.NS, 7.0 / 16);
}

TEST_F(MeasuresFixture, RatiosAreZeroWithoutSignal) {
    std::fill(header->lpPureData, header->lpPureData + 12, int16_t{0});
    const SeriesEnergies e = seriesEnergies(*header);
    EXPECT_GT(e.noise, 0);
    EXPECT_EQ(e.allNS, 0.0);
    EXPECT_EQ(e.NS, 0.0);
}

TEST_F(MeasuresFixture, RestorationErrorOfTheBestChain) {
    struct Case {
        const char* what;
        std::vector<PulseEntry> chain;
        int32_t expected;
    } cases[] = {
        {"b restored whole adds its first sample", {{1, 1, 0, 2}, {6, 2, 0, 2}}, 1},
        {"the true placement", {{1, 1, 0, 2}, {6, 2, 1, 2}}, 0},
        {"a one sample late", {{2, 1, 0, 2}, {6, 2, 1, 2}}, 4 + 9 + 16 + 9},
        {"no pulses: the clean series' energy", {}, 16},
        // The second span starts inside the first: it becomes current only at the first's
        // last sample, so it restores its last sample alone.
        {"overlapping spans", {{1, 1, 0, 2}, {2, 2, 0, 2}}, 1 + 1 + 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(restored(c.chain), c.expected) << c.what;
}

TEST_F(MeasuresFixture, RestorationErrorReadsOnlyTheLaidOutRow) {
    auto chains = makeChains(3);
    offer(*chains, 0, {{1, 1, 0, 2}, {6, 2, 1, 2}});
    chains->wSeekingPulsesQuantity = 500;  // more than the 3 pulses laid out per row
    EXPECT_EQ(restorationError(*chains, *header), 0);
    EXPECT_EQ(restorationErrorOf(nullptr, *header), 16);
}

TEST_F(MeasuresFixture, CountsAndNumbersOutsideTheRecordsAreNotRead) {
    header->lpPulseEtalon[1] = 99;  // no such etalon
    header->lpCutEnd[0] = 40;       // beyond the etalon
    EXPECT_EQ(placementMeasure(*header), -6);
    header->wImpulseQuantity = 1000;  // above the per-pulse capacity of 3
    header->dwSeriesSize = 5000;      // above the samples laid out
    EXPECT_EQ(placementMeasure(*header), -6);
    seriesEnergies(*header);
    restorationErrorOf(nullptr, *header);
}

TEST(Measures, SumsWrapAt32Bits) {
    series::Alphabet alphabet = makeEtalons({{32767, 32767, 32767}});
    auto h = makeHeader(alphabet, 3, 3, 3, 3);
    addPulse(*h, 0, 1, 0, 2);
    std::fill(h->lpNoisyData, h->lpNoisyData + 3, int16_t{-32768});
    // Each term is (32767 + 65536) * 32767, far beyond 32 bits; the sum is taken modulo 2^32.
    const int64_t term = int64_t{32767 + 65536} * 32767;
    EXPECT_EQ(placementMeasure(*h), static_cast<int32_t>(static_cast<uint32_t>(3 * term)));
    // Restoring nothing leaves 3 * 32767^2, which wraps negative.
    EXPECT_EQ(restorationErrorOf(nullptr, *h),
              static_cast<int32_t>(static_cast<uint32_t>(3 * int64_t{32767} * 32767)));
    EXPECT_EQ(seriesEnergies(*h).noise,
              static_cast<int32_t>(static_cast<uint32_t>(3 * int64_t{65535} * 65535)));
}

}  // namespace
}  // namespace render
