#include <gtest/gtest.h>

#include "app_fixture.h"
#include "commands.h"
#include "series/series_header.h"
#include "simulation/driver.h"
#include "subset_state.h"

namespace app {
namespace {

using platform::DialogControl;
using platform::HeadlessHost;

// A started program on a whole-pulse series with joint detection, painted once.
struct Program : testsupport::AppFixture {
    explicit Program(int seriesItem = kCmdFixedWhole, int taskItem = kCmdJointDetection) {
        EXPECT_TRUE(create());
        command(seriesItem);
        command(taskItem);
        paint();
    }
    void answer(int dialog, bool ok, std::vector<std::pair<int, std::string>> values = {}) {
        HeadlessHost::DialogAnswer a;
        a.ok = ok;
        for (auto& [id, v] : values)
            a.values.push_back(DialogControl{id, v, v == "1"});
        host.queueDialogAnswer(dialog, a);
    }
    const platform::DialogRequest* shown(int dialog) const {
        const platform::DialogRequest* last = nullptr;
        for (const auto& d : host.dialogsShown())
            if (d.templateId == dialog)
                last = &d;
        return last;
    }
    std::string shownText(int dialog, int control) const {
        const platform::DialogRequest* d = shown(dialog);
        if (!d)
            return "<not shown>";
        for (const auto& c : d->controls)
            if (c.id == control)
                return c.text;
        return "<no control>";
    }
};

TEST(CreateSeries, ProposesTheRangeAndItsMiddleAndGenerates) {
    Program p;
    p.command(kCmdCreateSeries);  // both dialogs answered OK as shown
    EXPECT_EQ("1200", p.shownText(105, 1000));
    EXPECT_EQ("Number of Pulses in Series (from 6 to 30)", p.shownText(106, 1008));
    EXPECT_EQ("18", p.shownText(106, 1007));
    EXPECT_EQ(6, p.app.wMinPulses);
    EXPECT_EQ(30, p.app.wMaxPulses);
    EXPECT_EQ(18, p.app.wPulsesInSeries);
    EXPECT_EQ(series::kCreatedFixed, p.app.wSeriesKind);
    EXPECT_EQ((std::vector<int>{40007, 40008}), p.host.checkedMenuItems());
    EXPECT_EQ(kSeriesScreen, p.app.screenMode);
    ASSERT_TRUE(p.app.lastProcessing);
    EXPECT_EQ(18, p.app.lpSeriesHeader->wImpulseQuantity);
}

TEST(CreateSeries, ACountOutsideTheRangeBecomesItsMiddle) {
    Program p;
    p.answer(106, true, {{1007, "45"}, {1010, "3,4"}, {1011, "35"}});
    p.command(kCmdCreateSeries);
    EXPECT_EQ(18, p.app.wPulsesInSeries);
    EXPECT_EQ(35, p.app.wNoiseLevel);
    EXPECT_EQ(3, p.app.lpSeriesHeader->lpPulseEtalon[0]);
    EXPECT_EQ(4, p.app.lpSeriesHeader->lpPulseEtalon[1]);
}

TEST(CreateSeries, CancelInTheSecondDialogChangesNothing) {
    Program p;
    p.app.wPulsesInSeries = 11;
    p.answer(105, true, {{1000, "600"}, {1001, "30"}});
    p.answer(106, false);
    const uint16_t kind = p.app.wSeriesKind;
    p.command(kCmdCreateSeries);
    EXPECT_EQ(11, p.app.wPulsesInSeries);
    EXPECT_EQ(1200u, p.app.dwSelectedSeriesLength);
    EXPECT_EQ(40, p.app.wTmin);
    EXPECT_EQ(kind, p.app.wSeriesKind);
    EXPECT_FALSE(p.app.lastProcessing);
}

TEST(CreateSeries, KindsOfUnknownCountBecome32AndOthersStay) {
    struct Case {
        int item;
        uint16_t expected;
    };
    for (const Case& c : {Case{kCmdUnfixedWhole, 32}, Case{kCmdFixedCutOff, 2},
                          Case{kCmdUnfixedCutOff, 8}, Case{kCmdFixedWhole, 16}}) {
        Program p(c.item);
        p.command(kCmdCreateSeries);
        EXPECT_EQ(c.expected, p.app.wSeriesKind) << c.item;
    }
}

TEST(CreateSeries, ValuesNoSeriesCanBeMadeWithAreRefusedBeforeAnythingChanges) {
    for (const auto& values :
         std::vector<std::vector<std::pair<int, std::string>>>{{{1001, "0"}},
                                                               {{1003, "0"}},
                                                               {{1001, "200"}},
                                                               {{1000, "10"}},
                                                               {{1000, "40000"}},
                                                               {{1003, "15"}},
                                                               {{1005, "101"}},
                                                               {{1006, "-1"}},
                                                               {{1004, "0"}},
                                                               {{1004, "21"}}}) {
        Program p;
        p.answer(105, true, values);
        p.command(kCmdCreateSeries);
        ASSERT_EQ(1u, p.host.messages().size()) << values[0].first << "=" << values[0].second;
        EXPECT_EQ(1200u, p.app.dwSelectedSeriesLength);
        EXPECT_EQ(40, p.app.wTmin);
        EXPECT_EQ(181, p.app.wTmax);
        EXPECT_EQ(nullptr, p.shown(106)) << "the second dialog was opened";
        EXPECT_FALSE(p.app.lastProcessing);
    }
}

TEST(NewPulses, TheListKeepsItsOrderAndRepetitionsAndBadEntriesBecomeTheirPlace) {
    Program p;
    p.answer(107, true, {{1014, "4"}, {1013, "3,0,25,3"}});
    p.command(kCmdNewPulses);
    ASSERT_EQ(4, p.app.wRequiredCount);
    EXPECT_EQ((std::vector<uint16_t>{3, 2, 3, 3}),
              std::vector<uint16_t>(p.app.lpEtalonNumbersList.get(),
                                    p.app.lpEtalonNumbersList.get() + 4));
    for (uint16_t k = 1; k <= 20; ++k)
        EXPECT_EQ(k == 2 || k == 3 ? 1 : 0, p.app.requiredFlags[k]) << k;
    EXPECT_TRUE(p.host.messages().empty());
}

// A small grid: pulses 6..8, two noise levels, two repeats.
void answerSmallGrid(Program& p, const std::string& increment = "1") {
    p.answer(110, true,
             {{1015, "6"},
              {1016, "8"},
              {1017, increment},
              {1019, "0"},
              {1018, "2"},
              {1020, "10"},
              {1021, "2"}});
}

TEST(Simulation, RunsTheGridAndShowsTheGraphs) {
    Program p;
    answerSmallGrid(p);
    p.command(kCmdStatisticalSimulation);
    ASSERT_FALSE(p.host.messages().empty());
    const platform::Message summary = p.host.messages()[0];
    EXPECT_EQ("getPulseEstAsRepeats", summary.title);
    EXPECT_EQ(
        "Create series parameters:\nдлина серии: 1200\nwTmin: 40\nwTmax: 181\nдлина эталона: 20\n"
        "MinPulses: 6 -> 6\nMaxPulses: 8 -> 8\n\npulses: 3, from 6 to 8 incr 1 \n"
        "noise level: from 0 to 10 incr 10\nnumber of repeats: 2\n",
        summary.text);
    ASSERT_TRUE(p.app.lpRestErrorHeader);
    EXPECT_EQ(1, p.app.lpRestErrorHeader->ifComplete);
    EXPECT_EQ(3, p.app.lpRestErrorHeader->wVariousPulses);
    EXPECT_EQ(2, p.app.seriesScreenContent);
    EXPECT_EQ(kSeriesScreen, p.app.screenMode);
    EXPECT_NE(nullptr, p.shown(113));
    EXPECT_TRUE(p.app.lpSeriesHeader) << "the record of the last cycle stays";
}

TEST(Simulation, AZeroIncrementRunsEveryPulseCount) {
    Program p;
    p.answer(110, true, {{1015, "6"}, {1016, "30"}, {1017, "0"}, {1018, "1"}, {1021, "1"}});
    p.command(kCmdStatisticalSimulation);
    EXPECT_EQ(1, p.app.wPulsesIncrement);
    EXPECT_EQ(25, p.app.wVariousPulsesNumber);
    ASSERT_TRUE(p.app.lpRestErrorHeader);
    EXPECT_EQ(1, p.app.lpRestErrorHeader->ifComplete);
}

TEST(Simulation, TablesEqualADirectRunFromTheSameState) {
    Program p;
    answerSmallGrid(p);
    // The same run done directly on a copy of the state the command starts from.
    series::RandomStreams streams = p.app.streams;
    p.command(kCmdStatisticalSimulation);
    ASSERT_TRUE(p.app.lpRestErrorHeader);
    platform::RecordingWindow w;
    auto record = simulation::getRestErrHeader(w, 3, 2, 2, nullptr);
    ASSERT_EQ(1, simulation::initRestErrHeader(w, 3, 6, 1, 2, 0, 10, 2, record.get()));
    auto header = series::getCutOffSeriesHeader(w, 20, 20, 40, 181, 1200, nullptr);
    simulation::SimulationContext context;
    context.streams = &streams;
    context.threads = 1;
    ASSERT_EQ(
        1, simulation::statCutoffBrelling(w, record.get(), 20, p.app.etalons, p.app.wRequiredCount,
                                          p.app.lpEtalonNumbersList.get(), p.app.wSeriesKind,
                                          p.app.wTaskKind, 100, 100, *header, context));
    for (int t = 0; t < 6; ++t)
        for (int k = 0; k < 2; ++k)
            for (int j = 0; j < 3; ++j)
                EXPECT_EQ(record->table(t)[k][j], p.app.lpRestErrorHeader->table(t)[k][j])
                    << t << "," << k << "," << j;
    EXPECT_EQ(streams, p.app.streams);
}

TEST(Simulation, CancelledSetUpChangesNothing) {
    Program p;
    p.answer(110, false);
    p.command(kCmdStatisticalSimulation);
    EXPECT_FALSE(p.app.lpRestErrorHeader);
    EXPECT_TRUE(p.host.messages().empty());
}

TEST(ShowSimulation, BeforeAnySimulationDoesNothing) {
    Program p;
    const size_t before = p.host.log().size();
    p.command(kCmdShowSimulation);
    EXPECT_EQ(before, p.host.log().size());
    EXPECT_EQ(1, p.app.seriesScreenContent);
}

TEST(ShowSimulation, TheChoicesPickTheGraphKind) {
    Program p(kCmdFixedWhole, kCmdRecognition);
    answerSmallGrid(p);
    p.command(kCmdStatisticalSimulation);
    ASSERT_TRUE(p.app.lpRestErrorHeader && p.app.lpRestErrorHeader->ifComplete);
    struct Case {
        std::vector<std::pair<int, std::string>> values;
        int32_t kind;
    };
    for (const Case& c : std::vector<Case>{{{{1034, "1"}, {1031, "1"}, {1042, "1"}}, 13},
                                           {{{1034, "1"}, {1030, "1"}, {1042, "0"}}, 4},
                                           {{{1029, "1"}, {1031, "1"}}, 3},
                                           {{{1028, "1"}, {1030, "1"}}, 0}}) {
        p.answer(114, true, c.values);
        p.command(kCmdShowSimulation);
        EXPECT_EQ(c.kind, p.app.simGraphKind);
    }
}

}  // namespace
}  // namespace app
