#include <gtest/gtest.h>

#include "app/test_session.h"

namespace app {
namespace {

using platform::Rect;
using testing::Session;

TEST(SharedButtons, NextOnTheSeriesScreenOfKind40WithoutSubsetRunsThePipeline) {
    // Kind 40 (kind 36 goes straight to the subset screen): new data, and processing then asks
    // for a subset.
    Session unfixed;
    unfixed.a.screenMode = kSeriesScreen;
    unfixed.paint();
    const uint32_t random = unfixed.a.libraryRandom.state;
    unfixed.click(unfixed.a.layout.nextButtonRect);
    EXPECT_NE(unfixed.a.libraryRandom.state, random);
    EXPECT_EQ(unfixed.a.screenMode, kSubsetScreen);
    EXPECT_FALSE(unfixed.a.lastProcessing.has_value());
}

TEST(SharedButtons, SubsetScreenNextHandsTheSubsetOverOrStays) {
    Session s;
    const uint32_t random = s.a.libraryRandom.state;
    s.click(s.a.layout.nextButtonRect);  // nothing selected (kind 40): stays
    EXPECT_EQ(s.a.screenMode, kSubsetScreen);
    EXPECT_EQ(s.a.libraryRandom.state, random);
    s.click(s.a.candidateCellRects[3]);
    s.click(s.a.layout.nextButtonRect);
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    EXPECT_EQ(s.a.lpSeriesHeader->wSubsetSize, 1);
    EXPECT_EQ(s.a.lpSeriesHeader->lpSubset[0], 4);
}

TEST(SeriesScreenClicks, AReservedSubsetBecomesTheOneInUse) {
    Session s;
    s.command(kCmdRecognition);
    s.command(kCmdSelectSetOfPulses);
    for (int first : {0, 3, 6}) {
        for (int k = first; k < first + 3; ++k)
            s.click(s.a.candidateCellRects[static_cast<size_t>(k)]);
        s.click(s.a.ButtonsWhileSelectedSubsetRect[4]);
    }
    s.click(s.a.ButtonsWhileSelectedSubsetRect[3]);
    ASSERT_EQ(s.a.screenMode, kSeriesScreen);
    // The series view lists the tuples in its pattern-tuples box; the second row is clicked.
    const Rect row = s.a.reservedSubsetRects[1];
    ASSERT_FALSE(row.empty());
    s.click(row);
    EXPECT_EQ(s.a.currentReservedSubset, 2);
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    EXPECT_EQ(s.a.lpSeriesHeader->lpSubset[0], 4);
}

}  // namespace
}  // namespace app
