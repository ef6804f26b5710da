#include "startup.h"

#include <gtest/gtest.h>

#include "app_fixture.h"
#include "commands.h"

namespace app {
namespace {

using testsupport::AppFixture;

TEST(StartUp, DefaultsEndOnTheSubsetScreenWithEveryEtalonRequired) {
    AppFixture f;
    ASSERT_TRUE(f.create());
    const AppSettings& a = f.app;
    EXPECT_EQ(40, a.wSeriesKind);
    EXPECT_EQ(1, a.wSelectedTask);
    EXPECT_EQ(36, a.wTaskKind);
    EXPECT_EQ(kSubsetScreen, a.screenMode);
    EXPECT_EQ(20, a.wRequiredCount);
    for (uint16_t k = 1; k <= 20; ++k) {
        EXPECT_EQ(1, a.requiredFlags[k]);
        EXPECT_EQ(k, a.lpEtalonNumbersList[k - 1]);
    }
    EXPECT_EQ(1200u, a.dwSeriesLength);
    EXPECT_EQ(6, a.wMinPulses);
    EXPECT_EQ(30, a.wMaxPulses);
    EXPECT_EQ(18, a.wPulsesInSeries);
    EXPECT_EQ(20, a.wNoiseLevel);
    EXPECT_EQ(0, a.wLostDataLevel);
    EXPECT_EQ(1, a.lostDataSelector.selected);
    EXPECT_EQ(100, a.wCreateSavedLevel);
    EXPECT_EQ(100, a.wProcessSavedLevel);
    EXPECT_EQ(100, a.wSelectedCreateSavedLevel);
    EXPECT_EQ(100, a.wSelectedProcessSavedLevel);
    ASSERT_EQ(30, a.wEtalonSequenceSize);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(1, a.etalonSequence[i]);
    EXPECT_EQ((std::vector<int>{40005, 40032}), f.host.checkedMenuItems());
    ASSERT_TRUE(a.lpChainsHeader);
    EXPECT_EQ(10, a.lpChainsHeader->wMaxSize);
    // The first series exists, without noise.
    ASSERT_TRUE(a.lpSeriesHeader);
    const series::SeriesHeader& h = *a.lpSeriesHeader;
    EXPECT_EQ(a.wPulsesActual, h.wImpulseQuantity);
    for (uint32_t i = 0; i < h.dwSeriesSize; ++i)
        ASSERT_EQ(h.lpPureData[i], h.lpNoisyData[i]);
    EXPECT_TRUE(f.host.editControls().count(kTminEditId));
    EXPECT_EQ("Tmin Text", f.host.editControls().at(kTminEditId).title);
    EXPECT_FALSE(f.host.editControls().at(kTminEditId).visible);
    EXPECT_TRUE(f.host.messages().empty());
}

TEST(StartUp, AMissingBitmapRefusesTheWindowBeforeAnythingElse) {
    for (const auto& b : kButtonBitmaps) {
        AppFixture f(1280, 960, {b.name});
        EXPECT_FALSE(f.create()) << b.name;
        ASSERT_EQ(1u, f.host.messages().size()) << b.name;
        EXPECT_EQ(std::string("No Bitmap <") + b.name + ">", f.host.messages()[0].text);
        EXPECT_EQ("Fatal Error", f.host.messages()[0].title);
        EXPECT_FALSE(f.app.etalons[0].lpData) << "the alphabet was generated after " << b.name;
        EXPECT_FALSE(f.app.lpSeriesHeader);
        EXPECT_TRUE(f.host.checkedMenuItems().empty());
    }
}

TEST(StartUp, DetectionOnAWholeSeriesRequiresOnlyTheDetectionEtalon) {
    AppFixture f;
    f.app.hMainWindow = &f.host;
    f.app.wSeriesKind = series::kFixedWhole;
    f.app.wSelectedTask = series::kDetection;
    f.app.dwEtalonNumber = 3;
    prepareStartState(f.app);
    EXPECT_EQ(kAlphabetScreen, f.app.screenMode);
    EXPECT_EQ(1, f.app.wRequiredCount);
    EXPECT_EQ(3, f.app.lpEtalonNumbersList[0]);
    EXPECT_EQ(3, f.app.dwDetectionEtalon);
    EXPECT_EQ(1, f.app.requiredFlags[3]);
    EXPECT_EQ(0, f.app.requiredFlags[1]);
}

TEST(PulseBounds, FollowTheLengthWithoutClamping) {
    struct Case {
        uint32_t length;
        uint16_t min, max, mid;
    };
    for (const Case& c :
         {Case{1200, 6, 30, 18}, Case{200, 1, 5, 3}, Case{600, 3, 15, 9}, Case{100, 0, 3, 1}}) {
        AppSettings a;
        computePulseBounds(a, c.length);
        EXPECT_EQ(c.min, a.wMinPulses) << c.length;
        EXPECT_EQ(c.max, a.wMaxPulses) << c.length;
        EXPECT_EQ(c.mid, midPulses(a)) << c.length;
    }
}

TEST(TaskKind, TupleSeriesTurnDetectionAndRecognitionIntoTupleTasks) {
    struct Case {
        uint16_t task, series, expected;
    };
    for (const Case& c : {Case{1, 40, 36}, Case{1, 36, 36}, Case{2, 40, 40}, Case{2, 36, 40},
                          Case{1, 8, 1}, Case{2, 1, 2}, Case{4, 40, 4}, Case{64, 36, 64}}) {
        AppSettings a;
        a.wSelectedTask = c.task;
        a.wSeriesKind = c.series;
        deriveTaskKind(a);
        EXPECT_EQ(c.expected, a.wTaskKind) << c.task << " on " << c.series;
    }
}

TEST(Sequences, GrowKeepingOldEntriesAndFillingNewOnesWithTheEtalonNumber) {
    AppSettings a;
    a.dwEtalonNumber = 7;
    ASSERT_TRUE(growEtalonSequence(a, 3));
    a.etalonSequence[1] = 4;
    a.dwEtalonNumber = 9;
    ASSERT_TRUE(growEtalonSequence(a, 5));
    EXPECT_EQ(5, a.wEtalonSequenceSize);
    EXPECT_EQ((std::vector<uint16_t>{7, 4, 7, 9, 9}),
              std::vector<uint16_t>(a.etalonSequence.get(), a.etalonSequence.get() + 5));
    ASSERT_TRUE(growEtalonSequence(a, 2));  // never shrinks
    EXPECT_EQ(5, a.wEtalonSequenceSize);
}

TEST(Exit, ReleasesEverythingAndPostsTheQuit) {
    AppFixture f;
    ASSERT_TRUE(f.create());
    f.command(kCmdExit);
    EXPECT_TRUE(f.host.closeRequested());
    f.send(WindowMessageId::Destroy);
    EXPECT_TRUE(f.host.quitPosted());
    EXPECT_EQ(0, f.host.exitCode());
    EXPECT_FALSE(f.app.lpSeriesHeader);
    EXPECT_FALSE(f.app.lpChainsHeader);
    EXPECT_FALSE(f.app.lpEtalonNumbersList);
    EXPECT_FALSE(f.app.etalonSequence);
    EXPECT_EQ(0, f.app.wEtalonSequenceSize);
    EXPECT_FALSE(f.app.etalons[0].lpData);
    EXPECT_FALSE(f.app.ButtonExit);
    EXPECT_EQ(0, f.app.subsetCapacity);
}

}  // namespace
}  // namespace app
