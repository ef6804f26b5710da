#include "series_header.h"

#include <gtest/gtest.h>

#include "generation.h"
#include "platform/allocation.h"
#include "selection.h"
#include "test_series.h"

namespace series {
namespace {

struct HeaderFixture : ::testing::Test {
    platform::RecordingWindow window;
    Alphabet alphabet = testsupport::makeAlphabet();
    RandomStreams streams;
    std::vector<uint16_t> sequence = std::vector<uint16_t>(200, 1);

    SeriesHeaderPtr generate(SeriesHeaderPtr h, uint32_t N, uint16_t Tmin = 40, uint16_t K = 0) {
        const uint16_t k = K ? K : (minPulsesFor(N, 20, 181) + maxPulsesFor(N, 20, Tmin)) / 2;
        return getCutOffSeries(window, 20, alphabet, 20, Tmin, 181, N, k, sequence.data(), 128, 75,
                               std::move(h), streams);
    }
    void storeSubset(SeriesHeader& h, std::vector<int32_t> subset) {
        setCurrentSubset(window, subset.data(), static_cast<int32_t>(subset.size()), 4, 1, &h);
    }
};

TEST_F(HeaderFixture, LaysOutTheBlockInOrder) {
    auto h = getCutOffSeriesHeader(window, 20, 20, 40, 181, 1200, nullptr);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->dwAllocatedSize, 1200u);
    EXPECT_EQ(h->wPulsesCapacity, 30);
    EXPECT_EQ(h->wMinPulses, 6);
    EXPECT_EQ(h->wMaxPulses, 30);
    EXPECT_EQ(h->wPulsesListCapacity, 20);
    EXPECT_EQ(h->lpPureData, h->sampleBlock.get());
    EXPECT_EQ(h->lpNoisyData, h->lpPureData + 1200);
    int16_t* arrays[] = {h->lpPulseEtalon,    h->lpDetectedEtalon, h->lpPulseStart,
                         h->lpDetectedStart,  h->lpStartMin,       h->lpStartMax,
                         h->lpCutBegin,       h->lpCutEnd,         h->lpDetectedCutBegin,
                         h->lpDetectedCutEnd, h->lpSubset,         h->lpTupleFirst,
                         h->lpTupleLast};
    for (int a = 0; a < 13; ++a)
        EXPECT_EQ(arrays[a], h->lpPureData + 2400 + 30 * a) << a;
}

TEST_F(HeaderFixture, ReusesTheBlockForTheSameOrSmallerSeries) {
    auto h = generate(nullptr, 1200);
    const int16_t* block = h->sampleBlock.get();
    const std::vector<int16_t> first(h->lpPureData, h->lpPureData + 1200);
    h = generate(std::move(h), 1200);
    EXPECT_EQ(h->sampleBlock.get(), block);
    EXPECT_FALSE(std::equal(first.begin(), first.end(), h->lpPureData));
    storeSubset(*h, {3, 4, 5});
    h = generate(std::move(h), 600);
    EXPECT_EQ(h->sampleBlock.get(), block);
    EXPECT_EQ(h->dwAllocatedSize, 1200u);
    EXPECT_EQ(h->dwSeriesSize, 600u);
    EXPECT_EQ(h->wSubsetSize, 3);
    EXPECT_EQ(h->lpSubset[0], 3);
    EXPECT_TRUE(window.messages().empty());
}

TEST_F(HeaderFixture, GrowthRelaysOutClearsAndKeepsAFittingSubset) {
    auto h = generate(nullptr, 600);
    storeSubset(*h, {7, 8});
    h->wSubsetMode = 2;
    h->wSubsetStart = 3;
    h = getCutOffSeriesHeader(window, 20, 20, 20, 181, 1200, std::move(h));  // more pulses
    ASSERT_TRUE(h);
    EXPECT_EQ(h->wPulsesCapacity, 60);
    EXPECT_EQ(h->wSubsetSize, 2);
    EXPECT_EQ(h->wSubsetMode, 2);
    EXPECT_EQ(h->wSubsetStart, 3);
    EXPECT_EQ(h->lpSubset[0], 7);
    EXPECT_EQ(h->lpSubset[1], 8);
    EXPECT_EQ(h->lpPulseStart[0], 0);  // cleared
    EXPECT_EQ(h->lpPureData[0], 0);
}

TEST_F(HeaderFixture, ASubsetLongerThanTheNewCapacityKeepsItsSizeWithClearedEntries) {
    auto h = getCutOffSeriesHeader(window, 20, 20, 20, 181, 600, nullptr);  // 30 pulses
    std::vector<int32_t> long_subset(12, 9);
    storeSubset(*h, long_subset);
    // Longer series with fewer pulses but more samples: 12 > maxPulses 8.
    h = getCutOffSeriesHeader(window, 20, 20, 180, 181, 1400, std::move(h));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->wMaxPulses, 8);
    EXPECT_EQ(h->wSubsetSize, 12);
    for (int i = 0; i < h->wPulsesCapacity; ++i)
        EXPECT_EQ(h->lpSubset[i], 0);
    // Generation reads no entry beyond the capacity and uses etalon 1 for the cleared ones.
    std::vector<uint16_t> seq(8, 5);
    h = getCutOffSeries(window, 20, alphabet, 20, 180, 181, 1400, 8, seq.data(), 128, 100,
                        std::move(h), streams);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(h->lpPulseEtalon[k], 1);
}

TEST_F(HeaderFixture, AllocationFailuresReleaseTheHeaderWithTheirMessages) {
    struct Case {
        long successes;
        const char* text;
        const char* title;
    };
    const Case cases[] = {
        {0, "Нет памяти для newSeriesHeader->lpPureData!", " getExtSeriesHeader "},
        {1, "Нет памяти для newSeriesHeader->lpPulsesList!", " getExtSeriesHeader "},
    };
    for (const Case& c : cases) {
        window.clear();
        auto h = generate(nullptr, 600);
        h->wPulsesListCapacity = 0;  // forces the list to be laid out again
        {
            platform::FailingAllocations fail(c.successes);
            h = getCutOffSeriesHeader(window, 20, 20, 40, 181, 1200, std::move(h));
        }
        EXPECT_EQ(h, nullptr);
        ASSERT_EQ(window.messages().size(), 1u);
        EXPECT_EQ(window.messages()[0].text, c.text);
        EXPECT_EQ(window.messages()[0].title, c.title);
    }
    window.clear();
    {
        platform::FailingAllocations fail(0);
        auto h = getCutOffSeries(window, 20, alphabet, 20, 40, 181, 1200, 18, sequence.data(), 128,
                                 100, nullptr, streams);
        EXPECT_EQ(h, nullptr);
    }
    ASSERT_EQ(window.messages().size(), 2u);
    EXPECT_EQ(window.messages()[1].text, "Не могу выделить память для lpSeriesHeader!");
    EXPECT_EQ(window.messages()[1].title, " getCutOffSeries ");
    EXPECT_EQ(window.messages()[1].icon, platform::MessageIcon::Warning);
}

TEST_F(HeaderFixture, PartialEnergyFailureLeavesOldBoundsAndZeroedClean) {
    auto h = generate(nullptr, 1200, 40, 18);
    window.clear();
    {
        platform::FailingAllocations fail(0);
        makeExtSeries(window, 20, alphabet, 20, 40, 181, 1200, 10, sequence.data(), 128, 100, *h,
                      streams);
    }
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_EQ(window.messages()[0].text, "Нет памяти для PartialEnergy!");
    EXPECT_EQ(window.messages()[0].title, "");
    EXPECT_EQ(h->wImpulseQuantity, 18);
    EXPECT_EQ(h->lpPureData[h->lpPulseStart[0]], 0);
}

TEST_F(HeaderFixture, RandomCountStaysInRangeAndDrawsOnce) {
    SeriesHeaderPtr h;
    for (int i = 0; i < 200; ++i) {
        const int16_t before = streams.pulseCount;
        h = getRandomCutOffSeries(window, 20, alphabet, 20, 40, 181, 1200, 0, sequence.data(), 128,
                                  75, std::move(h), streams);
        ASSERT_TRUE(h);
        EXPECT_GE(h->wImpulseQuantity, 6);
        EXPECT_LE(h->wImpulseQuantity, 30);
        int16_t expected = before;
        EXPECT_EQ(h->wImpulseQuantity, 6 + (nextRandom(expected) >> 2) % 25);
    }
    EXPECT_TRUE(window.messages().empty());
}

TEST_F(HeaderFixture, RandomCountWithoutFeasibleCountReturnsNullSilently) {
    // L = Tmin = Tmax = 20, N = 30: minPulses 2 > maxPulses 1.
    auto h = getRandomCutOffSeries(window, 20, alphabet, 20, 20, 20, 30, 0, sequence.data(), 128,
                                   100, nullptr, streams);
    EXPECT_EQ(h, nullptr);
    EXPECT_TRUE(window.messages().empty());
    EXPECT_EQ(streams, RandomStreams{});
}

TEST_F(HeaderFixture, FreeAcceptsNull) {
    EXPECT_EQ(freeSeriesHeader(window, nullptr), 1);
    EXPECT_EQ(freeSeriesHeader(window, generate(nullptr, 300)), 1);
}

}  // namespace
}  // namespace series
