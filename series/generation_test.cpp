#include "generation.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/allocation.h"
#include "series_header.h"
#include "test_series.h"

namespace series {
namespace {

using testsupport::makeAlphabet;

int64_t energyOf(const PulseHeader& e, int b, int end) {
    int64_t s = 0;
    for (int i = b; i <= end; ++i)
        s += int32_t{e.lpData[i]} * e.lpData[i];
    return s;
}

// Checks every invariant of a generated series against its parameters.
void expectValidSeries(const SeriesHeader& h, const Alphabet& alphabet, uint32_t N, uint16_t L,
                       uint16_t Tmin, uint16_t Tmax, uint16_t K, uint16_t savedLevel) {
    ASSERT_EQ(h.dwSeriesSize, N);
    ASSERT_EQ(h.wImpulseQuantity, K);
    ASSERT_GE(K, h.wMinPulses);
    ASSERT_LE(K, h.wMaxPulses);
    ASSERT_LE(h.wMaxPulses, h.wPulsesCapacity);
    std::vector<int> expected(N, 0), owner(N, -1);
    for (int k = 0; k < K; ++k) {
        const int t = h.lpPulseStart[k];
        ASSERT_EQ(h.lpStartMin[k], startLow(N, Tmin, Tmax, K, k));
        ASSERT_EQ(h.lpStartMax[k], startHigh(N, L, Tmin, Tmax, K, k));
        ASSERT_LE(h.lpStartMin[k], t);
        ASSERT_LE(t, h.lpStartMax[k]);
        ASSERT_GE(t, 0);
        ASSERT_LE(t + L, static_cast<int>(N));
        if (k + 1 < K) {
            const int d = h.lpPulseStart[k + 1] - t;
            ASSERT_GE(d, Tmin);
            ASSERT_LE(d, Tmax);
        }
        const int b = h.lpCutBegin[k], e = h.lpCutEnd[k];
        ASSERT_LE(0, b);
        ASSERT_LE(b, e);
        ASSERT_LE(e, L - 1);
        ASSERT_EQ(h.lpDetectedStart[k], -1);
        const PulseHeader& etalon = alphabet[h.lpPulseEtalon[k] - 1];
        const int64_t E = energyOf(etalon, 0, L - 1);
        if (E > INT32_MAX) {
            // A wrapped energy guarantees no share: the cut is only known to lie in the etalon.
        } else if (savedLevel == 100) {
            EXPECT_EQ(b, 0);
            EXPECT_EQ(e, L - 1);
        } else if (E > 0) {
            EXPECT_GT(energyOf(etalon, b, e), (savedLevel * E) / 100) << k;
        }
    }
    // Rebuild the clean series in placement order (later placements overwrite).
    // The placement order is unknown here, so only check pulse samples where they do not overlap.
    std::vector<int> cover(N, 0);
    for (int k = 0; k < K; ++k)
        for (int i = h.lpCutBegin[k]; i <= h.lpCutEnd[k]; ++i)
            ++cover[h.lpPulseStart[k] + i];
    for (int k = 0; k < K; ++k) {
        const PulseHeader& etalon = alphabet[h.lpPulseEtalon[k] - 1];
        for (int i = h.lpCutBegin[k]; i <= h.lpCutEnd[k]; ++i)
            if (cover[h.lpPulseStart[k] + i] == 1) {
                ASSERT_EQ(h.lpPureData[h.lpPulseStart[k] + i], etalon.lpData[i]);
            }
    }
    for (uint32_t s = 0; s < N; ++s) {
        if (cover[s] == 0) {
            ASSERT_EQ(h.lpPureData[s], 0) << s;
        }
        ASSERT_EQ(h.lpNoisyData[s], h.lpPureData[s]);
    }
}

TEST(MakeExtSeries, InvariantsHoldOverManyParameterSets) {
    const Alphabet alphabet = makeAlphabet(20, 20);
    std::mt19937 rng(7);
    RandomStreams streams;
    platform::RecordingWindow window;
    SeriesHeaderPtr header;
    int generated = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const uint16_t L = 20;
        const uint16_t Tmin = std::uniform_int_distribution<int>(1, 60)(rng);
        const uint16_t Tmax = std::uniform_int_distribution<int>(std::max<int>(Tmin, L), 200)(rng);
        const uint32_t N = std::uniform_int_distribution<int>(L, 1500)(rng);
        const uint16_t minP = minPulsesFor(N, L, Tmax), maxP = maxPulsesFor(N, L, Tmin);
        if (minP > maxP)
            continue;
        const uint16_t K = std::uniform_int_distribution<int>(minP, maxP)(rng);
        const uint16_t level = std::uniform_int_distribution<int>(0, 4)(rng) * 25;
        std::vector<uint16_t> sequence(K);
        for (auto& v : sequence)
            v = std::uniform_int_distribution<int>(0, 22)(rng);
        header = getCutOffSeries(window, 20, alphabet, L, Tmin, Tmax, N, K, sequence.data(), 128,
                                 level, std::move(header), streams);
        ASSERT_TRUE(header);
        ASSERT_TRUE(window.messages().empty()) << window.messages()[0].text;
        for (uint16_t k = 0; k < K; ++k) {
            ASSERT_GE(sequence[k], 1);
            ASSERT_LE(sequence[k], 20);
            ASSERT_EQ(header->lpPulseEtalon[k], sequence[k]);
        }
        expectValidSeries(*header, alphabet, N, L, Tmin, Tmax, K, level);
        ++generated;
    }
    EXPECT_GT(generated, 300);
}

// Large amplitudes and long etalons: energies near 32 bits keep the saved share (the threshold's
// product is formed in 64 bits), and energies beyond 32 bits wrap without a fault.
TEST(MakeExtSeries, LargeEtalonEnergies) {
    struct Case {
        int16_t A;
        uint16_t L;
    };
    for (const Case c : {Case{6000, 50}, Case{32767, 50}, Case{32767, 200}, Case{1000, 200}}) {
        const Alphabet alphabet = makeAlphabet(20, c.L, c.A);
        RandomStreams streams;
        platform::RecordingWindow window;
        const uint16_t Tmin = c.L, Tmax = static_cast<uint16_t>(3 * c.L);
        const uint32_t N = 20u * c.L;
        const uint16_t K = 10;
        for (uint16_t level : {0, 75, 100}) {
            std::vector<uint16_t> sequence{3, 7, 9, 11, 12, 13, 14, 15, 16, 17};
            const SeriesHeaderPtr h =
                getCutOffSeries(window, 20, alphabet, c.L, Tmin, Tmax, N, K, sequence.data(), c.A,
                                level, nullptr, streams);
            ASSERT_TRUE(h);
            EXPECT_TRUE(window.messages().empty());
            expectValidSeries(*h, alphabet, N, c.L, Tmin, Tmax, K, level);
        }
    }
}

TEST(MakeExtSeries, SameStreamsGiveTheSameSeries) {
    const Alphabet alphabet = makeAlphabet();
    RandomStreams a, b;
    testsupport::SeriesParams p;
    p.savedLevel = 75;
    p.sigma = 20;
    auto first = testsupport::makeSeries(alphabet, p, {3, 4, 5}, a);
    auto second = testsupport::makeSeries(alphabet, p, {3, 4, 5}, b);
    EXPECT_TRUE(std::equal(first->lpNoisyData, first->lpNoisyData + 1200, second->lpNoisyData));
    EXPECT_EQ(a, b);
    // The streams moved on: a second series from the same header differs.
    auto third = testsupport::makeSeries(alphabet, p, {3, 4, 5}, a, std::move(first));
    EXPECT_FALSE(std::equal(third->lpNoisyData, third->lpNoisyData + 1200, second->lpNoisyData));
}

TEST(MakeExtSeries, DrawsTheRequestedNumber) {
    const Alphabet alphabet = makeAlphabet();
    RandomStreams streams;
    testsupport::SeriesParams p;
    p.K = 10;
    p.sigma = 20;
    testsupport::makeSeries(alphabet, p, {}, streams);
    const RandomStreams start;
    EXPECT_EQ(streams.position, advanceRandom(start.position, 1 + 10));
    EXPECT_EQ(streams.cutBegin, advanceRandom(start.cutBegin, 10));
    EXPECT_EQ(streams.cutEnd, advanceRandom(start.cutEnd, 10));
    EXPECT_EQ(streams.noise, advanceRandom(start.noise, 12 * 1200));
    EXPECT_EQ(streams.subsetOffset, start.subsetOffset);
    EXPECT_EQ(streams.pulseCount, start.pulseCount);
}

TEST(MakeExtSeries, CountBoundsAreInclusiveAndOutsideIsRefused) {
    const Alphabet alphabet = makeAlphabet();
    platform::RecordingWindow window;
    RandomStreams streams;
    std::vector<uint16_t> sequence(40, 1);
    SeriesHeaderPtr h;
    for (uint16_t K : {6, 30}) {
        h = getCutOffSeries(window, 20, alphabet, 20, 40, 181, 1200, K, sequence.data(), 128, 100,
                            std::move(h), streams);
        EXPECT_EQ(h->wImpulseQuantity, K);
    }
    EXPECT_TRUE(window.messages().empty());
    const std::vector<int16_t> before(h->lpPureData, h->lpPureData + 1200);
    const RandomStreams streamsBefore = streams;
    for (uint16_t K : {5, 31}) {
        window.clear();
        h = getCutOffSeries(window, 20, alphabet, 20, 40, 181, 1200, K, sequence.data(), 128, 100,
                            std::move(h), streams);
        ASSERT_EQ(window.messages().size(), 1u);
        const platform::Message m = window.messages()[0];
        EXPECT_EQ(m.title, " makeExtSeries ");
        EXPECT_EQ(m.icon, platform::MessageIcon::Warning);
        EXPECT_EQ(m.text,
                  "Несовместимые входные параметры!\n\ndwSeriesSize: 1200 [1200]\n"
                  "wImpulseSize: 20 [20]\nwMinPulses: 6 [6]\nwMaxPulses: 30 [30]\n"
                  "wImpulseQuantity: " +
                      std::to_string(K) + "\n\n");
        EXPECT_EQ(h->wImpulseQuantity, 30);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), h->lpPureData));
        EXPECT_EQ(streams, streamsBefore);
    }
}

TEST(MakeExtSeries, IncompatibleParametersAreRefusedAndChangeNothing) {
    const Alphabet alphabet = makeAlphabet();
    struct Case {
        uint16_t L, Tmin, Tmax;
        uint32_t N;
    };
    const Case cases[] = {{20, 0, 181, 1200}, {20, 50, 40, 1200},   {30, 10, 25, 1200},
                          {20, 40, 181, 10},  {20, 40, 181, 40000}, {0, 40, 181, 1200}};
    for (const Case& c : cases) {
        platform::RecordingWindow window;
        RandomStreams streams;
        auto h = testsupport::makeSeries(alphabet, {}, {}, streams);
        const RandomStreams before = streams;
        std::vector<uint16_t> sequence(100, 1);
        h = getCutOffSeries(window, 20, alphabet, c.L, c.Tmin, c.Tmax, c.N, 5, sequence.data(), 128,
                            100, std::move(h), streams);
        ASSERT_TRUE(h);
        ASSERT_EQ(window.messages().size(), 1u) << c.N;
        EXPECT_EQ(window.messages()[0].text.rfind("Несовместимые входные параметры!", 0), 0u);
        EXPECT_EQ(h->dwSeriesSize, 1200u);
        EXPECT_EQ(h->wTmin, 40);
        EXPECT_EQ(streams, before);
        // The random-count entry point refuses the same way.
        window.clear();
        h = getRandomCutOffSeries(window, 20, alphabet, c.L, c.Tmin, c.Tmax, c.N, 5,
                                  sequence.data(), 128, 100, std::move(h), streams);
        ASSERT_TRUE(h);
        EXPECT_EQ(window.messages().size(), 1u);
        EXPECT_EQ(streams, before);
    }
}

TEST(MakeExtSeries, OutOfRangeEtalonsBecomeOneInHeaderAndSequence) {
    const Alphabet alphabet = makeAlphabet();
    platform::RecordingWindow window;
    RandomStreams streams;
    std::vector<uint16_t> sequence = {0, 21, 5, 65535, 20, 1};
    auto h = getCutOffSeries(window, 20, alphabet, 20, 40, 181, 300, 6, sequence.data(), 128, 100,
                             nullptr, streams);
    ASSERT_TRUE(h);
    EXPECT_EQ(sequence, (std::vector<uint16_t>{1, 1, 5, 1, 20, 1}));
    EXPECT_EQ(h->lpFirstPulse, &alphabet[0]);
}

TEST(MakeExtSeries, OverlappingPulsesKeepTheLaterPlacement) {
    const Alphabet alphabet = makeAlphabet();
    platform::RecordingWindow window;
    for (int trial = 0; trial < 20; ++trial) {
        RandomStreams streams;
        streams.position = static_cast<int16_t>(trial * 1000);
        std::vector<uint16_t> sequence = {1, 2, 1, 2, 1, 2, 1, 2};
        auto h = getCutOffSeries(window, 20, alphabet, 20, 10, 20, 100, 8, sequence.data(), 128,
                                 100, nullptr, streams);
        ASSERT_TRUE(h);
        // Recompute the placement order from the first draw and replay the writes.
        int16_t position = static_cast<int16_t>(trial * 1000);
        const int k0 = (nextRandom(position) >> 2) % 8;
        std::vector<int> order;
        for (int k = k0; k < 8; ++k)
            order.push_back(k);
        for (int k = k0 - 1; k >= 0; --k)
            order.push_back(k);
        std::vector<int16_t> clean(100, 0);
        for (int k : order)
            for (int i = 0; i < 20; ++i)
                clean[h->lpPulseStart[k] + i] = alphabet[sequence[k] - 1].lpData[i];
        EXPECT_TRUE(std::equal(clean.begin(), clean.end(), h->lpPureData));
    }
}

TEST(MakeExtSeries, SavedLevelZeroNeverGivesAnEmptyPart) {
    const Alphabet alphabet = makeAlphabet();
    RandomStreams streams;
    testsupport::SeriesParams p;
    p.savedLevel = 0;
    for (int trial = 0; trial < 30; ++trial) {
        auto h = testsupport::makeSeries(alphabet, p, {9, 10, 3, 7, 12}, streams);
        for (int k = 0; k < p.K; ++k) {
            const PulseHeader& e = alphabet[h->lpPulseEtalon[k] - 1];
            EXPECT_GT(energyOf(e, h->lpCutBegin[k], h->lpCutEnd[k]), 0);
        }
    }
}

TEST(AddNoise, AddsTwelveDrawSamplesAndWrapsToSixteenBits) {
    const Alphabet alphabet = makeAlphabet();
    RandomStreams streams;
    auto h = testsupport::makeSeries(alphabet, {}, {}, streams);
    platform::RecordingWindow window;
    int16_t noise = 10597, reference = 10597;
    h->lpPureData[0] = 32767;  // wraps when noise is added
    addNoise(window, 3000, 128, *h, noise);
    EXPECT_EQ(h->wNoiseLevel, 3000);
    for (uint32_t i = 0; i < 1200; ++i) {
        const int32_t v = h->lpPureData[i] + gaussRandom(reference, 0, 3000);
        ASSERT_EQ(h->lpNoisyData[i], static_cast<int16_t>(v));
    }
    EXPECT_EQ(noise, reference);
}

}  // namespace
}  // namespace series
