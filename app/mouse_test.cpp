#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/subset_state.h"
#include "app/test_session.h"

namespace app {
namespace {

using platform::Rect;
using testing::Session;

std::vector<uint16_t> required(const AppSettings& a) {
    std::vector<uint16_t> out;
    for (uint16_t k = 1; k <= a.wAlphabetSize; ++k)
        if (a.requiredFlags[k] == 1)
            out.push_back(k);
    return out;
}

bool contains(const std::vector<std::string>& log, const std::string& line) {
    return std::find(log.begin(), log.end(), line) != log.end();
}

// The alphabet screen with fixed whole pulses and the task `taskCommand`.
void toAlphabet(Session& s, int taskCommand) {
    s.command(kCmdFixedWhole);
    s.command(taskCommand);
    s.click(s.a.layout.restartButtonRect);
    ASSERT_EQ(s.a.screenMode, kAlphabetScreen);
}

const Rect& cell(const Session& s, int k) {
    return s.a.layout.pulseCellRects[static_cast<size_t>(k)];
}

TEST(AlphabetClicks, DetectionKeepsOneSelectedEtalon) {
    Session s;
    toAlphabet(s, kCmdDetection);
    ASSERT_EQ(s.a.wTaskKind, series::kDetection);
    ASSERT_EQ(required(s.a), (std::vector<uint16_t>{1}));
    // The selected etalon again: the selection stays, it is the detection etalon, repainted.
    size_t mark = s.host.log().size();
    s.click(cell(s, 0));
    EXPECT_EQ(required(s.a), (std::vector<uint16_t>{1}));
    EXPECT_EQ(s.a.dwDetectionEtalon, 1);
    EXPECT_EQ(s.logSince(mark).size(), 2u);  // its cell, and the previous detection etalon's
    // Another etalon moves the selection there.
    mark = s.host.log().size();
    s.click(cell(s, 4));
    EXPECT_EQ(required(s.a), (std::vector<uint16_t>{5}));
    EXPECT_EQ(s.a.wRequiredCount, 1);
    EXPECT_EQ(s.a.dwDetectionEtalon, 5);
    EXPECT_EQ(s.a.dwPreviousDetectionEtalon, 1);
    const Rect c5 = cell(s, 4), c1 = cell(s, 0);
    const auto grown = [](const Rect& r) {
        return "invalidate " + std::to_string(r.left - 1) + "," + std::to_string(r.top - 1) + "," +
               std::to_string(r.right + 3) + "," + std::to_string(r.bottom + 3) + " erase";
    };
    EXPECT_EQ(s.logSince(mark), (std::vector<std::string>{grown(c5), grown(c1)}));
}

TEST(AlphabetClicks, RecognitionTogglesAndUnselectAllThenNextStays) {
    Session s;
    toAlphabet(s, kCmdRecognition);
    ASSERT_EQ(s.a.wTaskKind, series::kRecognition);
    ASSERT_EQ(s.a.wRequiredCount, 20);  // the tuple task required every etalon
    s.click(cell(s, 2));
    EXPECT_EQ(s.a.wRequiredCount, 19);
    EXPECT_EQ(s.a.requiredFlags[3], 0);
    s.click(cell(s, 2));
    EXPECT_EQ(s.a.wRequiredCount, 20);
    // More than half selected: Unselect All; then toggles, Select All and Unselect All again.
    ASSERT_EQ(s.a.layout.selectAllShown, 0);
    s.click(s.a.layout.selectButtonHitRect);
    EXPECT_EQ(s.a.wRequiredCount, 0);
    s.click(cell(s, 2));
    s.click(cell(s, 7));
    s.click(cell(s, 9));
    s.click(cell(s, 7));
    EXPECT_EQ(required(s.a), (std::vector<uint16_t>{3, 10}));
    ASSERT_EQ(s.a.layout.selectAllShown, 1);
    s.click(s.a.layout.selectButtonRect);
    EXPECT_EQ(s.a.wRequiredCount, 20);
    ASSERT_EQ(s.a.layout.selectAllShown, 0);
    s.click(s.a.layout.selectButtonHitRect);
    EXPECT_TRUE(required(s.a).empty());
    // Next with nothing required: the alphabet screen, no new data.
    const uint32_t random = s.a.libraryRandom.state;
    s.click(s.a.layout.nextButtonRect);
    EXPECT_EQ(s.a.screenMode, kAlphabetScreen);
    EXPECT_EQ(s.a.libraryRandom.state, random);
    EXPECT_FALSE(s.a.lastProcessing.has_value());
}

TEST(AlphabetClicks, NextOnATupleKindWithoutSubsetShowsTheSubsetScreen) {
    Session s;
    s.a.screenMode = kAlphabetScreen;
    s.host.invalidateRect(nullptr, true);
    s.paint();
    const size_t mark = s.host.log().size();
    s.click(s.a.layout.nextButtonRect);
    EXPECT_EQ(s.a.screenMode, kSubsetScreen);
    EXPECT_TRUE(contains(s.logSince(mark), "invalidate 10,0,1114,947 erase"));
    EXPECT_NE(s.surface.findText(" Delete All "), nullptr);
}

TEST(PanelClicks, LostDataIsIgnoredOnWholeKinds) {
    Session s;
    s.command(kCmdFixedCutOff);
    s.host.invalidateRect(nullptr, true);
    s.paint();
    const Rect item = s.a.layout.lostDataItems[2];
    ASSERT_FALSE(item.empty());
    s.command(kCmdFixedWhole);  // the old panel is still on screen
    const size_t mark = s.host.log().size();
    s.click(item);
    EXPECT_EQ(s.a.lostDataSelector.selected, 1);
    EXPECT_EQ(s.a.wSelectedLostData, 0);
    EXPECT_TRUE(s.logSince(mark).empty());
}

TEST(PanelClicks, Length200RequestsThreeOfOneToFivePulses) {
    Session s;
    toAlphabet(s, kCmdRecognition);
    s.click(s.a.layout.seriesLengthItems[0]);
    EXPECT_EQ(s.a.dwSelectedSeriesLength, 200u);
    EXPECT_EQ(s.a.wMinPulses, 1);
    EXPECT_EQ(s.a.wMaxPulses, 5);
    EXPECT_EQ(s.a.wPulsesInSeries, 3);
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    EXPECT_EQ(s.a.dwSeriesLength, 200u);
    EXPECT_EQ(s.a.lpSeriesHeader->wImpulseQuantity, 3);
    EXPECT_EQ(s.a.seriesLengthSelector.selected, 1);
}

TEST(PanelClicks, NothingRequiredOnlyResetsFromTheSelectors) {
    Session s;
    toAlphabet(s, kCmdRecognition);
    s.click(s.a.layout.selectButtonHitRect);  // Unselect All
    ASSERT_EQ(s.a.wRequiredCount, 0);
    const uint32_t random = s.a.libraryRandom.state;
    const size_t mark = s.host.log().size();
    s.click(s.a.layout.noiseLevelItems[1]);
    EXPECT_EQ(s.logSince(mark), (std::vector<std::string>{"invalidate all erase"}));
    EXPECT_EQ(s.a.noiseLevelSelector.selected, 2);
    EXPECT_EQ(s.a.wSelectedNoiseLevel, 35);
    EXPECT_EQ(s.a.wNoiseLevel, 20);
    EXPECT_EQ(s.a.libraryRandom.state, random);
    EXPECT_EQ(s.a.screenMode, kAlphabetScreen);
}

TEST(SharedButtons, NextOnTheSeriesScreenWithoutSubset) {
    // Kind 36: straight to the subset screen, no new data.
    Session fixed;
    fixed.command(kCmdFixedTuples);
    fixed.a.screenMode = kSeriesScreen;
    fixed.paint();
    uint32_t random = fixed.a.libraryRandom.state;
    fixed.click(fixed.a.layout.nextButtonRect);
    EXPECT_EQ(fixed.a.screenMode, kSubsetScreen);
    EXPECT_EQ(fixed.a.libraryRandom.state, random);

    // Kind 40: new data; processing then asks for a subset.
    Session unfixed;
    unfixed.a.screenMode = kSeriesScreen;
    unfixed.paint();
    random = unfixed.a.libraryRandom.state;
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
    // The row of the second tuple in the pattern-tuples box.
    s.a.reservedSubsetRects[1] = Rect{600, 100, 700, 140};
    s.click(650, 120);
    EXPECT_EQ(s.a.currentReservedSubset, 2);
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    EXPECT_EQ(s.a.lpSeriesHeader->lpSubset[0], 4);
}

}  // namespace
}  // namespace app
