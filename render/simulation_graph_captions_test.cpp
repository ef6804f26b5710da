#include "simulation_graph_captions.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "simulation_graph_fixture.h"
#include "simulation_graphs.h"

namespace render {
namespace {

using testing::GraphInputs;
using testing::Grid;
using testing::makeRecord;

TEST(SimulationGraphCaptions, GraphKindFromTheShowChoices) {
    const struct {
        int32_t handling, view, bounds, kind;
    } cases[] = {
        {1, 1, 0, 0}, {1, 2, 1, 1}, {0, 7, 0, 1},  {2, 1, 1, 2},  {2, 2, 0, 3},  {2, 0, 0, 3},
        {3, 1, 0, 4}, {3, 2, 0, 5}, {3, 1, 1, 12}, {3, 2, 1, 13}, {3, 3, 5, 13},
    };
    for (const auto& c : cases)
        EXPECT_EQ(graphKindFor(c.handling, c.view, c.bounds), c.kind)
            << c.handling << " " << c.view << " " << c.bounds;
}

TEST(SimulationGraphCaptions, InvolvesListsAllCountsBelowFourElseTheFirstTwoAndTheLast) {
    GraphInputs in;
    const struct {
        uint16_t P;
        const char* text;
    } cases[] = {
        {1, " involves  6 pulses from [6-30],"},
        {3, " involves  6, 8, 10 pulses from [6-30],"},
        {4, " involves  6, 8,..., 12 pulses from [6-30],"},
        {12, " involves  6, 8,..., 28 pulses from [6-30],"},
    };
    for (const auto& c : cases) {
        Grid g;
        g.P = c.P;
        EXPECT_EQ(involvesText(*makeRecord(g), *in.series), c.text);
    }
}

TEST(SimulationGraphCaptions, CaptionBlockLines) {
    GraphInputs in;
    Grid g;
    g.repeats = 100;
    auto r = makeRecord(g);
    EXPECT_EQ(simulationCaptionLines(*r, *in.series, 128, kRecognitionAggregateBounds),
              (std::vector<std::string>{
                  " statistical simulation for recognition in series with unknown number of "
                  "cut-off pulses ",
                  " series length 1200, ",
                  " involves  6, 8, 10 pulses from [6-30],",
                  " with length 20, amplitude 128",
                  " Tmin=40, Tmax=181,",
                  " number of 29 noise levels",
                  " from 0 to 140 with step 5",
                  " recognition error, agregate form",
                  " for volume of  100 repeats",
              }));
    // One noise level has no step; a kind without a graph has an empty caption.
    g.L = 1;
    g.noiseFrom = 35;
    r = makeRecord(g);
    const auto lines = simulationCaptionLines(*r, *in.series, 0, 9);
    EXPECT_EQ(lines[3], " with length 20, amplitude 0");
    EXPECT_EQ(lines[6], " from 35 to 35 with step 0");
    EXPECT_EQ(lines[7], "");
    for (int32_t kind : {0, 1, 2, 3, 4, 5, 12, 13})
        EXPECT_EQ(simulationCaptionLines(*r, *in.series, 0, kind)[7], graphKindCaption(kind));
    EXPECT_EQ(graphKindCaption(0), " restored error, componentwise case");
    EXPECT_EQ(graphKindCaption(3), " detection error, agregate form");
    EXPECT_EQ(graphKindCaption(12), " recognition error, componentwise case");
}

TEST(SimulationGraphCaptions, TimeStampsAndElapsedTime) {
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(calendarText(0), "Thu Jan  1 00:00:00 1970");
    EXPECT_EQ(calendarText(1700000000), "Tue Nov 14 22:13:20 2023");
    const struct {
        std::time_t start, end;
        const char* text;
    } cases[] = {
        {1000, 1059, "elapsed time 0:00:59"},      {0, 3725, "elapsed time 1:02:05"},
        {0, 36000 + 599, "elapsed time 10:09:59"}, {5, 5, "elapsed time 0:00:00"},
        {100, 40, "elapsed time 0:00:00"},  // a clock set back
    };
    for (const auto& c : cases)
        EXPECT_EQ(elapsedTimeText(c.start, c.end), c.text);
    simulation::GraphMeasures m;
    m.etEnergy = 72000;
    m.Rmin = -72000;
    m.Rmax = 5;
    EXPECT_EQ(informationLines(m, 1000, 1059),
              (std::vector<std::string>{"etEnergy=72000, Rmin=-72000, Rmax=5", "",
                                        "Thu Jan  1 00:16:40 1970", "Thu Jan  1 00:17:39 1970", "",
                                        "elapsed time 0:00:59"}));
}

TEST(SimulationGraphCaptions, PanelCaptionsFormulaAndLabels) {
    EXPECT_EQ(alphabetCaption(20, 100), " Alphabet, 20 items ");
    EXPECT_EQ(alphabetCaption(1, 168), " Alphabet, 1 item ");
    EXPECT_EQ(alphabetCaption(20, 99), " Alph: 20 ");
    EXPECT_EQ(alphabetCaption(1, 93), " Alph: 1 ");
    EXPECT_EQ(formulaText(0), "e(s)=E||C-<C>||2/||C||2");
    EXPECT_EQ(formulaText(1), "e(s)=E||C-<C>||2/||C||2");
    EXPECT_EQ(formulaText(3), "e(s)=E||h-<h>||2/||h||2");
    EXPECT_EQ(formulaText(12), "");

    const struct {
        int64_t Z;
        const char* labels[6];
    } cases[] = {
        {500, {"0.00", "0.10", "0.20", "0.30", "0.40", "0.50"}},
        {250, {"0.00", "0.05", "0.10", "0.15", "0.20", "0.25"}},
        {50, {"0.00", "0.01", "0.02", "0.03", "0.04", "0.05"}},
        {25, {"0.000", "0.005", "0.010", "0.015", "0.020", "0.025"}},
        {2000, {"0.00", "0.40", "0.80", "1.20", "1.60", "2.00"}},
    };
    for (const auto& c : cases)
        for (int i = 0; i <= 5; ++i)
            EXPECT_EQ(valueLabel(i, c.Z), c.labels[i]) << "Z = " << c.Z;
    EXPECT_EQ(noiseLabel(5), "  5");
    EXPECT_EQ(noiseLabel(140), "140");
    EXPECT_EQ(noiseLabel(1500), "1500");
}

}  // namespace
}  // namespace render
