#include "mouse.h"

#include <gtest/gtest.h>

#include "app_fixture.h"
#include "commands.h"

namespace app {
namespace {

using testsupport::AppFixture;

// Started, switched to a series kind and a task, on the alphabet screen, painted.
struct OnAlphabet : AppFixture {
    OnAlphabet(int seriesItem, int taskItem) {
        EXPECT_TRUE(create());
        command(seriesItem);
        command(taskItem);
        app.screenMode = kAlphabetScreen;
        paint();
    }
    const Rect& cell(int etalon) const { return app.layout.pulseCellRects[etalon - 1]; }
    int selectedCount() const {
        int n = 0;
        for (int k = 1; k <= 20; ++k)
            n += app.requiredFlags[k] == 1;
        return n;
    }
};

TEST(AlphabetClicks, DetectionKeepsASingleSelectionThatFollowsTheClick) {
    OnAlphabet f(kCmdFixedWhole, kCmdDetection);
    ASSERT_EQ(1, f.selectedCount());
    f.clickCentre(f.cell(5));
    EXPECT_EQ(1, f.selectedCount());
    EXPECT_EQ(1, f.app.requiredFlags[5]);
    EXPECT_EQ(5, f.app.dwDetectionEtalon);
    EXPECT_EQ(1, f.app.dwPreviousDetectionEtalon);
    EXPECT_EQ(1, f.app.restartAreaDirty);
    // Clicking the selected etalon keeps it and still makes it the detection etalon.
    const size_t before = f.host.log().size();
    f.clickCentre(f.cell(5));
    EXPECT_EQ(1, f.app.requiredFlags[5]);
    EXPECT_EQ(5, f.app.dwDetectionEtalon);
    EXPECT_EQ(5, f.app.dwPreviousDetectionEtalon);
    EXPECT_GT(f.host.log().size(), before) << "the cells are repainted";
    EXPECT_EQ(kAlphabetScreen, f.app.screenMode);
}

TEST(AlphabetClicks, OtherTasksToggleAndRepaintTheCellAndTheSelectButton) {
    OnAlphabet f(kCmdFixedWhole, kCmdJointDetection);
    ASSERT_EQ(20, f.selectedCount());
    f.clickCentre(f.cell(3));
    EXPECT_EQ(0, f.app.requiredFlags[3]);
    EXPECT_EQ(19, f.app.wRequiredCount);
    Rect r = f.cell(3);
    const std::string grown = "invalidate " + std::to_string(r.left - 1) + "," +
                              std::to_string(r.top - 1) + "," + std::to_string(r.right + 3) + "," +
                              std::to_string(r.bottom + 3) + " erase";
    const auto& log = f.host.log();
    EXPECT_EQ(grown, log[log.size() - 2]);
    const Rect& s = f.app.layout.selectButtonRect;
    EXPECT_EQ("invalidate " + std::to_string(s.left) + "," + std::to_string(s.top) + "," +
                  std::to_string(s.right) + "," + std::to_string(s.bottom) + " erase",
              log.back());
    f.clickCentre(f.cell(3));
    EXPECT_EQ(1, f.app.requiredFlags[3]);
}

TEST(AlphabetClicks, UnselectAllThenNextStaysOnTheAlphabetWithoutProcessing) {
    OnAlphabet f(kCmdFixedWhole, kCmdRecognition);
    ASSERT_EQ(0, f.app.layout.selectAllShown);
    f.clickCentre(f.app.layout.selectButtonRect);
    EXPECT_EQ(0, f.app.wRequiredCount);
    EXPECT_EQ(0, f.selectedCount());
    f.paint();
    EXPECT_EQ(1, f.app.layout.selectAllShown);
    f.clickCentre(f.app.layout.nextButtonRect);
    EXPECT_EQ(kAlphabetScreen, f.app.screenMode);
    EXPECT_FALSE(f.app.lastProcessing);
    f.clickCentre(f.app.layout.selectButtonRect);  // Select All
    EXPECT_EQ(20, f.app.wRequiredCount);
    EXPECT_EQ(20, f.app.lpEtalonNumbersList[19]);
}

TEST(AlphabetClicks, NextProcessesAndShowsTheSeriesScreen) {
    OnAlphabet f(kCmdFixedWhole, kCmdRecognition);
    f.clickCentre(f.app.layout.nextButtonRect);
    EXPECT_EQ(kSeriesScreen, f.app.screenMode);
    ASSERT_TRUE(f.app.lastProcessing);
    EXPECT_EQ(engine::Procedure::RecognizeKnownNumber, f.app.lastProcessing->procedure);
}

TEST(AlphabetClicks, NextOnATupleKindWithoutSubsetGoesToTheSubsetScreen) {
    OnAlphabet f(kCmdFixedTuples, kCmdJointDetection);
    f.clickCentre(f.app.layout.nextButtonRect);
    EXPECT_EQ(kSubsetScreen, f.app.screenMode);
    EXPECT_FALSE(f.app.lastProcessing);
}

TEST(Panels, ALengthPickSetsTheRangeBeforeProcessing) {
    OnAlphabet f(kCmdFixedWhole, kCmdJointDetection);
    f.clickCentre(f.app.layout.seriesLengthItems[0]);  // 200
    EXPECT_EQ(1, f.app.seriesLengthSelector.selected);
    EXPECT_EQ(200u, f.app.dwSeriesLength);
    EXPECT_EQ(1, f.app.wMinPulses);
    EXPECT_EQ(5, f.app.wMaxPulses);
    EXPECT_EQ(3, f.app.wPulsesInSeries);
    EXPECT_EQ(3, f.app.lpSeriesHeader->wImpulseQuantity);
    EXPECT_EQ(kSeriesScreen, f.app.screenMode);
    EXPECT_EQ(1, f.app.lengthPanelDirty == 0 ? 1 : 0) << "the repaint clears the flag";
}

TEST(Panels, WithNothingRequiredAPickOnlyResetsFromTheSelectors) {
    OnAlphabet f(kCmdFixedWhole, kCmdJointDetection);
    f.clickCentre(f.app.layout.selectButtonRect);  // Unselect All
    ASSERT_EQ(0, f.app.wRequiredCount);
    f.paint();
    f.clickCentre(f.app.layout.noiseLevelItems[2]);
    EXPECT_EQ(3, f.app.noiseLevelSelector.selected);
    EXPECT_EQ(50, f.app.wSelectedNoiseLevel);
    EXPECT_EQ(20, f.app.wNoiseLevel) << "nothing generated";
    EXPECT_EQ("invalidate all erase", f.host.log().back());
    EXPECT_FALSE(f.app.lastProcessing);
}

TEST(Panels, LostDataClicksCountOnlyForCutOffKinds) {
    OnAlphabet cut(kCmdFixedCutOff, kCmdJointDetection);
    const Rect item = cut.app.layout.lostDataItems[2];
    cut.clickCentre(item);
    EXPECT_EQ(3, cut.app.lostDataSelector.selected);
    EXPECT_EQ(50, cut.app.wLostDataLevel);
    EXPECT_EQ(50, cut.app.wCreateSavedLevel);

    OnAlphabet whole(kCmdFixedWhole, kCmdJointDetection);
    whole.app.layout.lostDataItems[2] = item;  // an old panel image still on screen
    whole.clickCentre(item);
    EXPECT_EQ(1, whole.app.lostDataSelector.selected);
    EXPECT_FALSE(whole.app.lastProcessing);
}

TEST(SharedButtons, RestartReturnsToTheAlphabetOrTheSubsetScreen) {
    OnAlphabet f(kCmdFixedWhole, kCmdJointDetection);
    f.clickCentre(f.app.layout.nextButtonRect);
    ASSERT_EQ(kSeriesScreen, f.app.screenMode);
    f.paint();
    f.clickCentre(f.app.layout.restartButtonRect);
    EXPECT_EQ(kAlphabetScreen, f.app.screenMode);

    OnAlphabet t(kCmdFixedTuples, kCmdJointDetection);
    t.app.screenMode = kSeriesScreen;
    t.paint();
    t.clickCentre(t.app.layout.restartButtonRect);
    EXPECT_EQ(kSubsetScreen, t.app.screenMode);
}

TEST(SharedButtons, NextOnTheSeriesScreenOfKind36WithoutSubsetAsksForOne) {
    OnAlphabet f(kCmdFixedTuples, kCmdDetection);
    f.app.screenMode = kSeriesScreen;
    f.paint();
    f.clickCentre(f.app.layout.nextButtonRect);
    EXPECT_EQ(kSubsetScreen, f.app.screenMode);
    EXPECT_FALSE(f.app.lastProcessing);
}

TEST(SharedButtons, ExitAsksTheWindowToClose) {
    OnAlphabet f(kCmdFixedWhole, kCmdJointDetection);
    f.clickCentre(f.app.layout.exitButtonRect);
    EXPECT_TRUE(f.host.closeRequested());
}

TEST(Mouse, MovesAndReleasesOutsideTheParameterScreenDoNothing) {
    OnAlphabet f(kCmdFixedWhole, kCmdJointDetection);
    const size_t before = f.host.log().size();
    f.send(WindowMessageId::MouseMove, 0, pointParam(30, 30));
    f.send(WindowMessageId::LeftButtonUp, 0, pointParam(30, 30));
    EXPECT_EQ(before, f.host.log().size());
}

}  // namespace
}  // namespace app
