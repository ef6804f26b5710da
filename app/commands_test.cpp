#include "commands.h"

#include <gtest/gtest.h>

#include "app_fixture.h"
#include "series/random.h"
#include "subset_state.h"

namespace app {
namespace {

using testsupport::AppFixture;

// A started program switched to a whole-pulse series kind and a task, painted once so that the
// layout exists.
struct Started : AppFixture {
    Started(int seriesItem = kCmdFixedWhole, int taskItem = kCmdRecognition) {
        EXPECT_TRUE(create());
        command(seriesItem);
        command(taskItem);
        paint();
    }
};

std::vector<uint16_t> sequenceOf(const AppSettings& a) {
    return {a.etalonSequence.get(), a.etalonSequence.get() + a.wMaxPulses};
}

TEST(Pipeline, NextDataDrawsTheSequenceFromTheLibraryGeneratorAndProcesses) {
    Started f(kCmdFixedWhole, kCmdJointDetection);
    f.command(kCmdProcessingNextData);
    const AppSettings& a = f.app;
    // The sequence: list[(value >> 3) mod count] for each of wMaxPulses entries.
    series::LibraryRandom random;
    for (uint16_t i = 0; i < a.wMaxPulses; ++i)
        EXPECT_EQ(static_cast<uint16_t>((random.next() >> 3) % 20 + 1), a.etalonSequence[i]) << i;
    ASSERT_TRUE(a.lpSeriesHeader);
    const series::SeriesHeader& h = *a.lpSeriesHeader;
    EXPECT_EQ(a.wPulsesActual, h.wImpulseQuantity);
    for (int k = 0; k < h.wImpulseQuantity; ++k)
        EXPECT_EQ(a.etalonSequence[k], h.lpPulseEtalon[k]);
    EXPECT_EQ(20, h.wNoiseLevel);
    bool noisy = false;
    for (uint32_t i = 0; i < h.dwSeriesSize; ++i)
        noisy |= h.lpPureData[i] != h.lpNoisyData[i];
    EXPECT_TRUE(noisy);
    ASSERT_TRUE(a.lpChainsHeader);
    EXPECT_GT(a.lpChainsHeader->wPretenders, 0);
    EXPECT_EQ(series::kFixedWhole, a.lpChainsHeader->wSeriesKind);
    EXPECT_EQ(series::kJointDetection, a.lpChainsHeader->wTaskKind);
    ASSERT_TRUE(a.lastProcessing);
    EXPECT_EQ(engine::Procedure::DetectKnownNumber, a.lastProcessing->procedure);
    EXPECT_EQ(kSeriesScreen, a.screenMode);
    EXPECT_EQ(1, a.seriesScreenContent);
    EXPECT_TRUE(f.host.messages().empty());
}

TEST(Pipeline, DetectionAndRecognitionSeriesRepeatTheFirstDrawnEtalon) {
    for (int task : {kCmdRecognition, kCmdDetection}) {
        Started f(kCmdFixedWhole, task);
        f.command(kCmdProcessingNextData);
        const std::vector<uint16_t> s = sequenceOf(f.app);
        for (uint16_t v : s)
            EXPECT_EQ(s[0], v) << task;
    }
}

TEST(Pipeline, TwoNextDataRunsGiveNewSequencesAndNewNoise) {
    Started f(kCmdFixedWhole, kCmdJointDetection);
    f.command(kCmdProcessingNextData);
    const std::vector<uint16_t> first = sequenceOf(f.app);
    const int16_t noiseState = f.app.streams.noise;
    const std::vector<int16_t> noisy(f.app.lpSeriesHeader->lpNoisyData,
                                     f.app.lpSeriesHeader->lpNoisyData + 1200);
    f.command(kCmdProcessingNextData);
    EXPECT_NE(first, sequenceOf(f.app));
    EXPECT_NE(noiseState, f.app.streams.noise);
    EXPECT_NE(noisy, std::vector<int16_t>(f.app.lpSeriesHeader->lpNoisyData,
                                          f.app.lpSeriesHeader->lpNoisyData + 1200));
}

TEST(Pipeline, ProcessingSameDataAfterStartUpAsksForASubsetAndProcessesNothing) {
    AppFixture f;
    ASSERT_TRUE(f.create());
    f.paint();
    f.app.screenMode = kAlphabetScreen;
    f.command(kCmdProcessingSameData);
    EXPECT_EQ(kSubsetScreen, f.app.screenMode);
    EXPECT_EQ(0, f.app.lpChainsHeader->wPretenders);
    EXPECT_FALSE(f.app.lastProcessing);
}

TEST(Pipeline, TupleRecognitionWithoutSubsetsSkipsTheProcedureButShowsTheSeriesScreen) {
    AppFixture f;
    ASSERT_TRUE(f.create());
    f.command(kCmdRecognition);  // task 40 on the start-up tuple series
    f.paint();
    f.command(kProcess);
    EXPECT_FALSE(f.app.lastProcessing);
    EXPECT_EQ(kSeriesScreen, f.app.screenMode);
}

TEST(Pipeline, TupleDetectionRunsWithTheSelectedSubset) {
    AppFixture f;
    ASSERT_TRUE(f.create());
    f.paint();  // prepares the subset state
    const int32_t subset[] = {3, 5, 7};
    setSelectedSubset(f.app, subset, 3);
    f.command(kCmdProcessingNextData);
    ASSERT_TRUE(f.app.lastProcessing);
    EXPECT_EQ(engine::Procedure::DetectTuplesUnknownNumber, f.app.lastProcessing->procedure);
    EXPECT_EQ(kSeriesScreen, f.app.screenMode);
}

TEST(Pipeline, AFailedGenerationSaysSoAndStops) {
    Started f(kCmdFixedWhole, kCmdJointDetection);
    f.app.wTmin = 0;  // no series can be laid out
    f.app.lpSeriesHeader.reset();
    f.command(kGenerate);
    ASSERT_FALSE(f.host.messages().empty());
    EXPECT_EQ("Не могу создать ряд!", f.host.messages().back().text);
    EXPECT_EQ("CM_INFO", f.host.messages().back().title);
    EXPECT_FALSE(f.app.lastProcessing);
}

TEST(Pipeline, AMissingResultRecordSaysSoAndStops) {
    Started f(kCmdFixedWhole, kCmdJointDetection);
    f.app.lpChainsHeader.reset();
    f.app.screenMode = kAlphabetScreen;
    f.command(kCmdProcessingNextData);
    ASSERT_FALSE(f.host.messages().empty());
    EXPECT_EQ("Ошибка addToChainsHeader!", f.host.messages().back().text);
    EXPECT_EQ(" About ChainsHeader ", f.host.messages().back().title);
    EXPECT_EQ(kAlphabetScreen, f.app.screenMode);
}

TEST(Menu, TaskAndSeriesItemsCheckExclusively) {
    AppFixture f;
    ASSERT_TRUE(f.create());
    f.command(kCmdJointDetection);
    f.command(kCmdFixedCutOff);
    EXPECT_EQ((std::vector<int>{40007, 40010}), f.host.checkedMenuItems());
    f.command(kCmdFixedCase);  // does not touch the marks
    EXPECT_EQ((std::vector<int>{40007, 40010}), f.host.checkedMenuItems());
    EXPECT_EQ(series::kFixedWhole, f.app.wSeriesKind);
}

TEST(Menu, WholePulseItemsResetTheLostDataAndCutOffItemsKeepIt) {
    AppFixture f;
    ASSERT_TRUE(f.create());
    f.app.lostDataSelector.selected = 3;
    f.app.wSelectedLostData = 50;
    f.app.wSelectedCreateSavedLevel = f.app.wSelectedProcessSavedLevel = 50;
    f.command(kCmdUnfixedCutOff);
    EXPECT_EQ(50, f.app.wSelectedLostData);
    EXPECT_EQ(3, f.app.lostDataSelector.selected);
    for (int item : {kCmdFixedWhole, kCmdUnfixedWhole, kCmdFixedTuples, kCmdUnfixedTuples}) {
        f.app.wSelectedLostData = 50;
        f.command(item);
        EXPECT_EQ(1, f.app.lostDataSelector.selected) << item;
        EXPECT_EQ(0, f.app.wSelectedLostData) << item;
        EXPECT_EQ(100, f.app.wCreateSavedLevel) << item;
        EXPECT_EQ(100, f.app.wSelectedProcessSavedLevel) << item;
        EXPECT_EQ(100, f.app.wEnteredCreateSavedLevel) << item;
    }
}

TEST(Menu, DetectionOnAWholeSeriesKeepsOnlyTheDetectionEtalon) {
    AppFixture f;
    ASSERT_TRUE(f.create());
    f.command(kCmdFixedWhole);
    f.app.dwDetectionEtalon = 4;
    f.command(kCmdDetection);
    EXPECT_EQ(1, f.app.wTaskKind);
    EXPECT_EQ(1, f.app.wRequiredCount);
    EXPECT_EQ(4, f.app.lpEtalonNumbersList[0]);
    f.command(kCmdRecognition);  // flags stay
    EXPECT_EQ(1, f.app.wRequiredCount);
}

TEST(Repaint, ProcessingInvalidatesTheWorkAreaTheDirtyPanelsAndTheRestartArea) {
    Started f(kCmdFixedWhole, kCmdJointDetection);
    const render::ScreenLayout& l = f.app.layout;
    f.app.restartAreaDirty = 1;
    f.app.noisePanelDirty = 1;
    const size_t before = f.host.log().size();
    f.command(kCmdProcessingNextData);
    std::vector<std::string> log(f.host.log().begin() + static_cast<long>(before),
                                 f.host.log().end());
    const auto rect = [](const Rect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.right) + "," + std::to_string(r.bottom);
    };
    Rect work = l.workAreaRect;
    work.top -= 10;
    work.right += 2;
    work.bottom += 2;
    Rect restart = l.restartAreaRect;
    restart.right += 1;
    restart.bottom += 1;
    EXPECT_EQ((std::vector<std::string>{"invalidate " + rect(work) + " erase",
                                        "invalidate " + rect(l.noiseLevelPanel) + " erase",
                                        "invalidate " + rect(restart) + " erase"}),
              log);
    EXPECT_EQ(0, f.app.restartAreaDirty);
    EXPECT_EQ(0, f.app.noisePanelDirty);
}

TEST(Repaint, TypeMoreDetailsRepaintsWithoutErasing) {
    Started f(kCmdFixedWhole, kCmdJointDetection);
    const size_t before = f.host.log().size();
    f.command(kCmdTypeMoreDetails);
    ASSERT_EQ(before + 1, f.host.log().size());
    EXPECT_EQ(std::string::npos, f.host.log().back().find("erase"));
    EXPECT_EQ(1, f.app.typeMoreDetails);
    f.paint();
    EXPECT_EQ(1, f.app.typeMoreDetails) << "only the series view resets it";
}

TEST(Commands, UnknownAndEmptyIdsDoNothing) {
    Started f;
    const size_t before = f.host.log().size();
    for (int id : {207, 217, 219, 220, 225, 40014, 12345, 0})
        f.command(id);
    EXPECT_EQ(before, f.host.log().size());
}

TEST(Keys, OnlyCodesZeroAndOneRepaint) {
    Started f;
    const size_t before = f.host.log().size();
    for (uint32_t key : {2u, 13u, 65u, 255u})
        f.send(WindowMessageId::KeyDown, key);
    EXPECT_EQ(before, f.host.log().size());
    f.send(WindowMessageId::KeyDown, 1);
    EXPECT_EQ("invalidate all erase", f.host.log().back());
}

}  // namespace
}  // namespace app
