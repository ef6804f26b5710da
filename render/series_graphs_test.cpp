#include "series_graphs.h"

#include <gtest/gtest.h>

#include "recording_surface.h"
#include "view_test_records.h"

namespace render {
namespace {

using testing::addPulse;
using testing::makeEtalons;
using testing::makeHeader;
using testing::opsIn;
using testing::pixels;
using testing::Point;
using testing::polylines;
using testing::setDetected;
using Polyline = std::vector<Point>;

// A graph 100 x 40 at the origin for 11 samples with E = 20: sample i at x = 10 i, value v at
// y = 20 - v, the zero line at 20. Etalons a = {4, -2, 6}, b = {-4, -4, -4}; a whole at 1, b at
// 6 cut to samples 1..2.
struct GraphFixture : ::testing::Test {
    const Rect graph{0, 0, 100, 40};
    static constexpr int32_t E = 20;
    series::Alphabet alphabet = makeEtalons({{4, -2, 6}, {-4, -4, -4}});
    series::SeriesHeaderPtr header = makeHeader(alphabet, 3, 11);
    RecordingSurface surface;

    GraphFixture() {
        addPulse(*header, 1, 1, 0, 2);
        addPulse(*header, 6, 2, 1, 2);
    }
};

TEST_F(GraphFixture, AxesAndOutline) {
    drawGraphAxes(surface, graph);
    EXPECT_EQ(polylines(surface), (std::vector<Polyline>{{{0, 0}, {0, 40}}, {{0, 20}, {100, 20}}}));
    drawGraphOutline(surface, graph);
    const auto rects = surface.opsOf(RecordedOp::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ((Rect{rects[0].x1, rects[0].y1, rects[0].x2, rects[0].y2}), (Rect{0, 0, 101, 41}));
}

TEST_F(GraphFixture, PulseShapesWholeAndCut) {
    drawPulseShapes(surface, graph, E, *header);
    EXPECT_EQ(polylines(surface), (std::vector<Polyline>{
                                      {{10, 20}, {10, 16}, {20, 22}, {30, 14}, {30, 20}},
                                      {{60, 20}, {60, 24}, {70, 24}, {80, 24}, {80, 20}},
                                  }));
    surface.clear();
    // A cut pulse still leaves the zero line at its start and returns below its cut end.
    drawCutPulses(surface, graph, E, *header);
    EXPECT_EQ(polylines(surface), (std::vector<Polyline>{
                                      {{10, 20}, {10, 16}, {20, 22}, {30, 14}, {30, 20}},
                                      {{60, 20}, {70, 24}, {80, 24}, {80, 20}},
                                  }));
    EXPECT_EQ(surface.pen(), Pen{});
}

TEST_F(GraphFixture, DetectedShapesSkipPulsesWithoutEtalon) {
    setDetected(*header, {{2, 2, 0, 2}, {7, 0, 0, 2}, {8, 55, 0, 2}});
    drawDetectedShapes(surface, graph, E, *header);
    EXPECT_EQ(polylines(surface),
              (std::vector<Polyline>{{{20, 20}, {20, 24}, {30, 24}, {40, 24}, {40, 20}}}));
}

TEST_F(GraphFixture, NoisySeriesInBlueFromTheZeroLine) {
    header->lpNoisyData[3] = 7;
    drawNoisySeries(surface, graph, E, *header);
    const auto lines = polylines(surface);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].size(), 12u);
    EXPECT_EQ(lines[0][0], (Point{0, 20}));
    EXPECT_EQ(lines[0][1], (Point{0, 20}));   // sample 0
    EXPECT_EQ(lines[0][2], (Point{10, 16}));  // sample 1 = 4
    EXPECT_EQ(lines[0][4], (Point{30, 13}));  // sample 3 = 7
    EXPECT_EQ(lines[0][11], (Point{100, 20}));
    EXPECT_EQ(opsIn(surface, RecordedOp::LineTo, 0xFF0000).size(), 11u);
    EXPECT_EQ(surface.pen(), Pen{});
}

TEST_F(GraphFixture, OneSampleSeriesDrawsAtTheLeftEdge) {
    series::Alphabet one = makeEtalons({{5}});
    auto h = makeHeader(one, 1, 1, 1, 1);
    addPulse(*h, 0, 1, 0, 0);
    drawNoisySeries(surface, graph, E, *h);
    drawPulseShapes(surface, graph, E, *h);
    for (const Polyline& line : polylines(surface))
        for (const Point& p : line)
            EXPECT_EQ(p.first, 0);
}

TEST_F(GraphFixture, ShadingDotsBetweenZeroLineAndCurve) {
    shadePulses(surface, graph, E, *header);
    for (const RecordedOp& o : surface.opsOf(RecordedOp::SetPixel))
        EXPECT_EQ(o.colour, 0x000000u);
    std::set<Point> expected;
    // a, sample 0 (value 4, offset 16, step 6 over 10 columns: the offset stays 16): every
    // second row upward from 20 - phase while above the curve.
    for (int x = 10; x < 20; ++x)
        for (int r = 20 - (x % 2); r > 16; r -= 2)
            expected.insert({x, r});
    // a, sample 1 (offset 22, step -8): the offset walks 22, 21, 20, 19, ... 13.
    const int offsets[10] = {22, 21, 20, 19, 18, 17, 16, 15, 14, 13};
    for (int x = 20; x < 30; ++x) {
        const int g = offsets[x - 20];
        const int phase = x % 2;
        if (g > 20)
            for (int r = 20 + phase; r < g; r += 2)
                expected.insert({x, r});
        else
            for (int r = 20 - phase; r > g; r -= 2)
                expected.insert({x, r});
    }
    // b, sample 1 only (its cut end has no columns): below the zero line, offset 24.
    for (int x = 70; x < 80; ++x)
        for (int r = 20 + (x % 2); r < 24; r += 2)
            expected.insert({x, r});
    EXPECT_EQ(pixels(surface), expected);
    EXPECT_TRUE(pixels(surface).count({20, 20}));
    EXPECT_FALSE(pixels(surface).count({21, 21}));
}

TEST_F(GraphFixture, LabelsHangBelowTheGraph) {
    struct Case {
        uint16_t seriesKind;
        bool withNames;
        std::vector<std::string> texts;
    } cases[] = {
        {8, true, {"1a[0..2] ", "6b[1..2] "}},
        {2, false, {"1[0..2] ", "6[1..2] "}},
        {1, true, {"1a", "6b"}},
        {40, false, {"1", "6"}},
    };
    for (const Case& c : cases) {
        surface.clear();
        drawPulseLabels(surface, graph, c.seriesKind, PulseSet::True, c.withNames, *header);
        EXPECT_EQ(surface.texts(), c.texts) << c.seriesKind;
        const auto texts = surface.opsOf(RecordedOp::Text);
        EXPECT_EQ(texts[0].x1, 5);
        EXPECT_EQ(texts[1].x1, 55);
        EXPECT_EQ(texts[0].y1, 39);
    }
    surface.clear();
    setDetected(*header, {{3, 2, 1, 1}});
    drawPulseLabels(surface, graph, 8, PulseSet::Detected, true, *header);
    EXPECT_EQ(surface.texts(), (std::vector<std::string>{"3b[1..1] "}));
}

TEST_F(GraphFixture, BracketsRoundDetectedPulses) {
    setDetected(*header, {{2, 1, 1, 1}});
    bracketDetectedPulses(surface, *header, graph);
    // Span columns 20 and 40 (samples 2 and 4), reach 13: rows 20 +- 0, 2, ... 12; the rows
    // 20 +- 14 in every second column 20 .. 40; the cut lines both in column 30.
    std::set<Point> expected;
    for (int m = 0; m < 13; m += 2)
        for (int x : {20, 40, 30})
            expected.insert({x, 20 - m}), expected.insert({x, 20 + m});
    for (int x = 20; x <= 40; x += 2)
        expected.insert({x, 6}), expected.insert({x, 34});
    EXPECT_EQ(pixels(surface), expected);
    EXPECT_EQ(expected.size(), 61u);
}

struct TupleFixture : ::testing::Test {
    // One column per sample: sample i at column i of a graph 10 wide.
    const Rect graph{0, 0, 10, 40};
    series::Alphabet alphabet = makeEtalons({{1, 1, 1}, {2, 2, 2}});
    series::SeriesHeaderPtr header = makeHeader(alphabet, 3, 11);
    RecordingSurface surface;

    TupleFixture() {
        setDetected(*header, {{1, 1, 0, 2}, {6, 2, 0, 2}});
        header->wDetectedTuples = 1;
        header->lpTupleFirst[0] = 1;
        header->lpTupleLast[0] = 2;
    }
};

TEST_F(TupleFixture, BackgroundSpansTheTupleWidenedInsideTheGraph) {
    drawTupleMarks(surface, *header, graph, 2);
    const auto rects = surface.opsOf(RecordedOp::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    // Columns 1 .. 8 widen to 0 (not below the left edge) .. 9 (not beyond width - 1); rows
    // 20 -+ 3 * 40 / 8.
    EXPECT_EQ((Rect{rects[0].x1, rects[0].y1, rects[0].x2, rects[0].y2}), (Rect{0, 5, 9, 35}));
    EXPECT_EQ(rects[0].pen, solidPen(0xB2BFC0));
    EXPECT_EQ(rects[0].brush, solidBrush(0xB2BFC0));
    EXPECT_EQ(surface.pen(), Pen{});
    EXPECT_EQ(surface.brush(), Brush{});
}

TEST_F(TupleFixture, WideningByTwoColumnsEachWay) {
    const Rect wide{0, 0, 100, 40};
    fillDetectedTuples(surface, *header, wide);
    const auto r = surface.opsOf(RecordedOp::Rectangle).at(0);
    EXPECT_EQ(r.x1, 8);   // column 10 - 2
    EXPECT_EQ(r.x2, 82);  // column 80 + 2
}

TEST_F(TupleFixture, DottedFrameAndNoMarks) {
    drawTupleMarks(surface, *header, graph, 1);
    const std::set<Point> dots = pixels(surface);
    // Columns 0 and 9 at rows 20 +- 0 .. 14 (reach 15), rows 20 +- 16 in columns 0, 2, .. 8.
    EXPECT_TRUE(dots.count({0, 20}) && dots.count({9, 6}) && dots.count({9, 34}));
    EXPECT_TRUE(dots.count({0, 4}) && dots.count({8, 36}));
    EXPECT_FALSE(dots.count({9, 4}) || dots.count({1, 4}) || dots.count({0, 21}));
    EXPECT_EQ(dots.size(), 2u * 15 + 10);
    surface.clear();
    drawTupleMarks(surface, *header, graph, 0);
    EXPECT_TRUE(surface.ops().empty());
}

TEST_F(TupleFixture, TuplesNamingPulsesNotFoundAreSkipped) {
    header->wDetectedTuples = 3;
    header->lpTupleFirst[1] = 0;  // 1-based: no pulse 0
    header->lpTupleLast[1] = 1;
    header->lpTupleFirst[2] = 2;
    header->lpTupleLast[2] = 9;  // only two pulses were found
    fillDetectedTuples(surface, *header, graph);
    EXPECT_EQ(surface.opsOf(RecordedOp::Rectangle).size(), 1u);
    header->wDetectedTuples = 30000;  // above the per-pulse capacity
    fillDetectedTuples(surface, *header, graph);
}

}  // namespace
}  // namespace render
