#include "simulation_graph_scale.h"

#include <gtest/gtest.h>

#include <cmath>

#include "simulation_graph_curves.h"
#include "simulation_graph_fixture.h"
#include "simulation_graphs.h"

namespace render {
namespace {

using testing::GraphInputs;
using testing::Grid;
using testing::makeRecord;

constexpr int64_t kRestoring = 2 * 30 * (72000 + 72000);  // 2 Kmax (etEnergy - Rmin)
constexpr int64_t kD0 = 161 * 161;                        // (Tmax - len)^2

// The normalisers of a record over the fixture's series, in arrays owned here.
struct Normalised {
    std::vector<int64_t> restoring, detection, recognition;
    GraphNormalisers g;
    Normalised(const simulation::RestErrorHeader& r, const GraphInputs& in)
        : restoring(r.wVariousPulses, 1),
          detection(r.wVariousPulses, 1),
          recognition(r.wVariousPulses, 1) {
        g.restoring = restoring.data();
        g.detection = detection.data();
        g.recognition = recognition.data();
        computeGraphNormalisers(g, r, uint16_t(in.required.size()), in.required.data(), *in.series);
    }
};

TEST(SimulationGraphScale, NormalisersOfTheRectangleAndItsNegative) {
    GraphInputs in;
    auto r = makeRecord(Grid{});
    Normalised n(*r, in);
    EXPECT_EQ(n.g.measures.etEnergy, 72000);
    EXPECT_EQ(n.g.measures.minSq, 3600);
    EXPECT_EQ(n.g.measures.Rmin, -72000);
    EXPECT_EQ(n.g.measures.Rmax, 0);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(n.restoring[size_t(j)], kRestoring);
        EXPECT_EQ(n.detection[size_t(j)], kD0);
        EXPECT_EQ(n.recognition[size_t(j)], 4);
    }
    // One required etalon: the rectangle against itself never correlates negatively.
    in.required = {1};
    Normalised same(*r, in);
    EXPECT_EQ(same.g.measures.Rmin, 0);
    EXPECT_EQ(same.restoring[0], 2 * 30 * 72000);
}

TEST(SimulationGraphScale, AxisTopRoundsToOneTwoOrFiveTimesAPowerOfTen) {
    const struct {
        int64_t q, z;
    } cases[] = {{300, 500},   {120, 200},   {50, 50},     {490, 500},   {240, 250}, {500, 500},
                 {1000, 1000}, {1001, 2000}, {1250, 2000}, {2000, 2000}, {1, 1},     {0, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(roundAxisTop(c.q), c.z) << "Q = " << c.q;
    EXPECT_EQ(axisTop(300, 1, 0.25), 250);
    EXPECT_EQ(axisTop(300, 1, 0.0), 500);   // a bound of 0 is not used
    EXPECT_EQ(axisTop(300, 0, 0.25), 500);  // nor one that is not switched on
    EXPECT_EQ(axisTop(300, 1, 0.0004), 1);  // below a thousandth: the least scale
    EXPECT_EQ(axisTop(300, 1, 1e300), 1000000000000);
}

TEST(SimulationGraphScale, ProvisionalTopPerKind) {
    GraphInputs in;
    Grid grid;
    grid.P = 2;
    grid.L = 3;
    auto r = makeRecord(grid);
    Normalised n(*r, in);
    const auto top = [&](int32_t kind) { return provisionalAxisTop(kind, *r, n.g); };

    // Empty tables: the least tops.
    EXPECT_EQ(top(kRestoredComponentwise), 50);
    EXPECT_EQ(top(kRestoredAggregate), 490);  // 0.49 P / P
    EXPECT_EQ(top(kDetectionComponentwise), 300);
    EXPECT_EQ(top(kDetectionAggregate), 240);
    for (int32_t kind : {4, 5, 12, 13, 7})
        EXPECT_EQ(top(kind), 500);

    // Restoring: 0.37 of the normaliser in one cell, 1.5 and 1.0 at another level.
    r->lpRestoringErrors()[0][1] = int32_t(kRestoring * 37 / 100);
    EXPECT_EQ(top(kRestoredComponentwise), 370);
    r->lpRestoringErrors()[2][0] = int32_t(kRestoring * 3 / 2);
    r->lpRestoringErrors()[2][1] = int32_t(kRestoring);
    EXPECT_EQ(top(kRestoredComponentwise), 1500);
    EXPECT_EQ(top(kRestoredAggregate), 1250);  // (1.5 + 1.0) / 2

    // Detection: (u + 2 max) / (2u) = 4 D0 gives sqrt(4) = 2.
    r->lpDetectionErrors[1][1] = 414734;
    EXPECT_EQ((4 + 2 * 414734) / 8, 4 * kD0);
    EXPECT_EQ(top(kDetectionComponentwise), 2000);
    // Aggregate: the sum at a level over P D0 u = 0.25 gives 0.5.
    r->lpDetectionErrors[1][1] = 0;
    r->lpDetectionErrors[2][0] = int32_t(2 * kD0 * 4 / 4);
    EXPECT_EQ(top(kDetectionAggregate), 500);
}

TEST(SimulationGraphCurves, HeightsStrokesAndLabelsPerKind) {
    GraphInputs in;
    Grid grid;
    grid.P = 2;
    grid.L = 3;
    auto r = makeRecord(grid);
    Normalised n(*r, in);
    r->lpRestoringErrors()[1][0] = int32_t(kRestoring / 10);  // 0.1
    r->lpRestoringErrors()[1][1] = int32_t(kRestoring / 2);   // 0.5
    r->lpDetectionErrors[2][0] = 4147;                        // sqrt(4147 / 4 / 161^2) = 0.19999
    r->lpRecognitionErrors[1][0] = 1;                         // 1 of 4
    r->lpRecognitionErrors[1][1] = 2;
    const int32_t H = 200;
    const int64_t Z = 500;
    const auto curves = [&](int32_t kind) { return graphCurves(kind, *r, *in.series, n.g, Z, H); };

    auto c = curves(kRestoredComponentwise);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].heights, (std::vector<int32_t>{0, 40, 0}));
    EXPECT_EQ(c[1].heights, (std::vector<int32_t>{0, 200, 0}));
    EXPECT_EQ(c[0].label, "6");
    EXPECT_EQ(c[1].label, "8");
    EXPECT_EQ(c[0].strokes, (std::vector<StrokeOffset>{{0, 0}, {0, 1}}));

    c = curves(kRestoredAggregate);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].heights, (std::vector<int32_t>{0, 120, 0}));  // (0.1 + 0.5) / 2
    EXPECT_EQ(c[0].label, "");

    c = curves(kDetectionComponentwise);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].heights, (std::vector<int32_t>{0, 0, 79}));
    EXPECT_EQ(c[0].strokes, (std::vector<StrokeOffset>{{0, 0}, {0, 1}, {1, 0}}));

    c = curves(kDetectionAggregate);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].heights[2], 56);  // sqrt(4147 / (2 161^2 4)) = 0.14142
    EXPECT_EQ(c[0].label, "2");
    EXPECT_EQ(c[0].strokes.size(), 2u);

    for (int32_t kind : {kRecognitionComponentwise, kRecognitionComponentwiseBounds}) {
        c = curves(kind);
        ASSERT_EQ(c.size(), kind == 4 ? 2u : 4u);
        EXPECT_EQ(c[0].heights, (std::vector<int32_t>{0, 100, 0}));
        EXPECT_EQ(c[1].heights, (std::vector<int32_t>{0, 200, 0}));
        EXPECT_EQ(c[0].strokes, (std::vector<StrokeOffset>{{0, 0}, {1, 0}, {0, 1}}));
    }
    for (int32_t kind : {kRecognitionAggregate, kRecognitionAggregateBounds}) {
        c = curves(kind);
        ASSERT_EQ(c.size(), kind == 5 ? 1u : 3u);
        EXPECT_EQ(c[0].heights, (std::vector<int32_t>{0, 150, 0}));  // 3 of 8
        EXPECT_EQ(c[0].label, "S");
    }
    EXPECT_TRUE(curves(6).empty());

    // A value above the top stays on the box's top edge.
    r->lpRecognitionErrors[1][1] = 4;
    EXPECT_EQ(graphCurves(kRecognitionComponentwise, *r, *in.series, n.g, 250, H)[1].heights[1], H);
}

TEST(SimulationGraphCurves, RecognitionBoundsFromTheSecondLevelOn) {
    GraphInputs in;
    Grid grid;
    grid.P = 1;
    grid.L = 3;
    grid.noiseFrom = 1000;
    grid.noiseStep = 1000;
    grid.taskKind = 2;
    auto r = makeRecord(grid);
    Normalised n(*r, in);

    // e1 = (4 (72000 + 72000) + 4) / 8; p = (75 72000 + 50) / 100, e2 = (4 p + 8) / 16.
    const RecognitionBounds b = recognitionBounds(*r, *in.series, n.g.measures, 2000);
    EXPECT_EQ(b.e1, 72000);
    EXPECT_EQ(b.e2, 13500);
    EXPECT_DOUBLE_EQ(b.first, 0.5 - 0.5 * std::sqrt(1 - std::exp(-30.0 * 72000 / 4e6)));
    EXPECT_DOUBLE_EQ(b.second, 0.5 * std::exp(-6.0 * 13500 / 4e6));
    // Without noise both bounds vanish.
    const RecognitionBounds quiet = recognitionBounds(*r, *in.series, n.g.measures, 0);
    EXPECT_EQ(quiet.first, 0.0);
    EXPECT_EQ(quiet.second, 0.0);

    for (int64_t Z : {int64_t{500}, int64_t{250}}) {
        const auto c = graphCurves(kRecognitionAggregateBounds, *r, *in.series, n.g, Z, 200);
        ASSERT_EQ(c.size(), 3u);
        for (int i = 1; i <= 2; ++i) {
            EXPECT_EQ(c[size_t(i)].firstLevel, 1);
            ASSERT_EQ(c[size_t(i)].heights.size(), 2u);
            EXPECT_EQ(c[size_t(i)].label, "");
        }
        for (int k = 1; k <= 2; ++k) {
            const RecognitionBounds at =
                recognitionBounds(*r, *in.series, n.g.measures, 1000 * (k + 1));
            // Kept within the box when the bound lies above the top.
            const auto expected = [&](double v) {
                return std::min(200, int32_t(std::floor(200 * v * 1000 / double(Z))));
            };
            EXPECT_EQ(c[1].heights[size_t(k - 1)], expected(at.first));
            EXPECT_EQ(c[2].heights[size_t(k - 1)], expected(at.second));
        }
    }

    // Tuple series: p is the greatest member energy itself.
    r->wSeriesKind = 36;
    EXPECT_EQ(recognitionBounds(*r, *in.series, n.g.measures, 2000).e2, (4 * 72000 + 8) / 16);
}

}  // namespace
}  // namespace render
