#include "selection.h"

#include <gtest/gtest.h>

#include "generation.h"
#include "platform/allocation.h"
#include "series_header.h"
#include "test_series.h"

namespace series {
namespace {

TEST(RequiredList, CountsFromOne) {
    platform::RecordingWindow window;
    auto list = getRequiredList(window, 5, nullptr);
    list = getRequiredList(window, 3, std::move(list));
    ASSERT_TRUE(list);
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], 2);
    EXPECT_EQ(list[2], 3);
    {
        platform::FailingAllocations fail(0);
        list = getRequiredList(window, 3, std::move(list));
    }
    EXPECT_EQ(list, nullptr);
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_EQ(window.messages()[0].text, "Нет памяти для newList!");
    EXPECT_EQ(window.messages()[0].title, " getRequiredList ");
}

struct SubsetFixture : ::testing::Test {
    platform::RecordingWindow window;
    Alphabet alphabet = testsupport::makeAlphabet();
    RandomStreams streams;
    SeriesHeaderPtr header = getCutOffSeriesHeader(window, 20, 20, 40, 181, 1200, nullptr);

    // Generates K = 12 pulses of etalon 20 with the subset embedded; returns the etalons.
    std::vector<int> generate(std::vector<int32_t> subset, uint16_t mode, uint16_t start) {
        setCurrentSubset(window, subset.data(), static_cast<int32_t>(subset.size()), mode, start,
                         header.get());
        std::vector<uint16_t> sequence(12, 20);
        header = getCutOffSeries(window, 20, alphabet, 20, 40, 181, 1200, 12, sequence.data(), 128,
                                 100, std::move(header), streams);
        return {header->lpPulseEtalon, header->lpPulseEtalon + 12};
    }
};

TEST_F(SubsetFixture, FixedModesAreDeterministic) {
    using V = std::vector<int>;
    EXPECT_EQ(generate({1, 2, 3}, 2, 2), (V{20, 1, 2, 3, 20, 20, 20, 20, 20, 20, 20, 20}));
    EXPECT_EQ(generate({1, 2, 3}, 4, 1), (V{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(generate({1, 2, 3, 4, 5}, 4, 9), (V{20, 20, 20, 20, 20, 20, 20, 20, 1, 2, 3, 4}));
    // Start 0 counts as start 1.
    EXPECT_EQ(generate({4, 5}, 4, 0), (V{4, 5, 4, 5, 4, 5, 4, 5, 4, 5, 4, 5}));
    EXPECT_EQ(generate({4, 5}, 7, 1), V(12, 20));  // unknown mode: no embedding
    EXPECT_EQ(streams.subsetOffset, RandomStreams{}.subsetOffset);
    EXPECT_EQ(streams.subsetGaps, RandomStreams{}.subsetGaps);
}

TEST_F(SubsetFixture, RandomModesDrawFromTheirStreams) {
    int16_t offset = RandomStreams{}.subsetOffset;
    {  // mode 1: one copy at p = (draw >> 1) mod (K - s + 1)
        const int p = (nextRandom(offset) >> 1) % (12 - 3 + 1);
        std::vector<int> expected(12, 20);
        for (int i = 0; i < 3; ++i)
            expected[p + i] = i + 1;
        EXPECT_EQ(generate({1, 2, 3}, 1, 1), expected);
    }
    {  // mode 5: phase r = (draw >> 1) mod s, then periodic
        const int r = (nextRandom(offset) >> 1) % 3;
        auto got = generate({1, 2, 3}, 5, 1);
        for (int i = 0; i < 3 - r; ++i)
            EXPECT_EQ(got[i], r + i + 1);
        for (int i = 3 - r; i < 12; ++i)
            EXPECT_EQ(got[i], (i - (3 - r)) % 3 + 1);
    }
    EXPECT_EQ(streams.subsetOffset, offset);
    {  // mode 3: gaps drawn once per copy with span fixed at the start
        int16_t gaps = RandomStreams{}.subsetGaps;
        std::vector<int> expected(12, 20);
        int p = 0;
        const int span = 12 - 0 - 2 + 1;
        do {
            p += (nextRandom(gaps) >> 1) % span;
            for (int i = 0; i < 2 && p < 12; ++i)
                expected[p++] = 7 + i;
        } while (p < 12);
        EXPECT_EQ(generate({7, 8}, 3, 1), expected);
        EXPECT_EQ(streams.subsetGaps, gaps);
    }
}

TEST_F(SubsetFixture, MultipleRandomWithoutRoomIsBackToBack) {
    std::vector<int32_t> subset(12);
    for (int i = 0; i < 12; ++i)
        subset[i] = i + 1;
    // span = K - p - s + 1 = 12 - 1 - 12 + 1 = 0: copies back to back from pulse 2.
    auto got = generate(subset, 3, 2);
    EXPECT_EQ(got[0], 20);
    for (int i = 1; i < 12; ++i)
        EXPECT_EQ(got[i], i);
    EXPECT_EQ(streams.subsetGaps, RandomStreams{}.subsetGaps);
}

TEST_F(SubsetFixture, SetCurrentSubsetStoresAtMostMaxPulses) {
    std::vector<int32_t> subset(40, 3);
    setCurrentSubset(window, subset.data(), 40, 2, 1, header.get());
    EXPECT_EQ(header->wSubsetSize, 40);
    EXPECT_EQ(header->lpSubset[29], 3);
    EXPECT_EQ(header->lpTupleFirst[0], 0);  // nothing written past the subset array
    EXPECT_EQ(setCurrentSubset(window, subset.data(), 3, 2, 1, nullptr), 1);
}

TEST_F(SubsetFixture, StoredSubsetsGrowOnlyAndChooseTheCurrentOne) {
    const int32_t a[] = {1, 2, 3}, b[] = {4, 5}, c[] = {6};
    const int32_t* rows[] = {a, b, c};
    const int32_t lengths[] = {3, 2, 1};
    ASSERT_EQ(addSomeSelectedSubsetToSeriesHeader(window, lengths, rows, 3, 10, 11, 2, 4, 1,
                                                  header.get()),
              1);
    EXPECT_EQ(header->wSubsetsCapacity, 10);
    EXPECT_EQ(header->wSubsetLengthCapacity, 11);
    EXPECT_EQ(header->wSubsetsQuantity, 3);
    EXPECT_EQ(header->selectedSubsetSize, header->subsetsBlock.get());
    EXPECT_EQ(header->selectedSubsetList[0], header->subsetsBlock.get() + 10);
    EXPECT_EQ(header->selectedSubsetList[2], header->subsetsBlock.get() + 10 + 22);
    EXPECT_EQ(header->selectedSubsetList[1][1], 5);
    EXPECT_EQ(header->wSubsetSize, 2);
    EXPECT_EQ(header->lpSubset[0], 4);
    const int16_t* block = header->subsetsBlock.get();
    // Fewer subsets, index 0: the last one becomes current; the storage stays.
    ASSERT_EQ(
        addSomeSelectedSubsetToSeriesHeader(window, lengths, rows, 2, 5, 4, 0, 1, 2, header.get()),
        1);
    EXPECT_EQ(header->subsetsBlock.get(), block);
    EXPECT_EQ(header->wSubsetsCapacity, 10);
    EXPECT_EQ(header->wSubsetsQuantity, 2);
    EXPECT_EQ(header->wSubsetSize, 2);
    EXPECT_EQ(header->wSubsetMode, 1);
    EXPECT_EQ(header->wSubsetStart, 2);
    // Index beyond the count: the last one too.
    addSomeSelectedSubsetToSeriesHeader(window, lengths, rows, 3, 10, 11, 9, 4, 1, header.get());
    EXPECT_EQ(header->wSubsetSize, 1);
    EXPECT_EQ(header->lpSubset[0], 6);
    EXPECT_EQ(addSomeSelectedSubsetToSeriesHeader(window, lengths, rows, 0, 10, 11, 1, 4, 1,
                                                  header.get()),
              0);
    EXPECT_TRUE(window.messages().empty());
}

TEST_F(SubsetFixture, StoredSubsetFailuresReportTheirMessages) {
    const int32_t a[] = {1, 2};
    const int32_t* rows[] = {a};
    const int32_t lengths[] = {2};
    const char* title = " addSomeSelectedSubsetToSeriesHeader ";
    for (long successes : {0L, 1L}) {
        window.clear();
        header->subsetsBlock.reset();
        header->selectedSubsetList.reset();
        header->wSubsetsCapacity = 0;
        platform::FailingAllocations fail(successes);
        EXPECT_EQ(addSomeSelectedSubsetToSeriesHeader(window, lengths, rows, 1, 4, 4, 1, 4, 1,
                                                      header.get()),
                  0);
        ASSERT_EQ(window.messages().size(), 1u);
        EXPECT_EQ(window.messages()[0].text,
                  successes == 0 ? "Нет памяти для lpSeriesHeader->selectedSubsetSize!"
                                 : "Нет памяти для lpSeriesHeader->selectedSubsetList!");
        EXPECT_EQ(window.messages()[0].title, title);
        EXPECT_EQ(header->subsetsBlock, nullptr);
    }
}

}  // namespace
}  // namespace series
