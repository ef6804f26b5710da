#include "measures.h"

#include <gtest/gtest.h>

#include <cmath>

#include "series/series_header.h"
#include "test_series.h"

namespace simulation {
namespace {

TEST(GraphMeasures, EnergyCorrelationBoundsAndNormalisedCells) {
    platform::RecordingWindow window;
    auto alphabet = testsupport::makeAlphabet();
    series::RandomStreams streams;
    testsupport::SeriesParams p;
    auto h = testsupport::makeSeries(alphabet, p, {1}, streams);  // first pulse: the rectangle
    ASSERT_TRUE(h);
    auto r = getRestErrHeader(window, 1, 1, 4, nullptr);
    r->lpRestoringErrors()[0][0] = 2 * 30 * 72000;
    r->lpDetectionErrors[0][0] = 4 * 161 * 161;
    r->lpRecognitionErrors[0][0] = 1;

    const uint16_t same[] = {1};
    GraphMeasures m = graphMeasures(*r, 1, same, *h);
    EXPECT_EQ(m.etEnergy, 20 * 3600);
    EXPECT_EQ(m.minSq, 3600);
    EXPECT_EQ(m.Rmin, 0);  // a rectangle against itself never correlates negatively
    EXPECT_EQ(m.restoringNormaliser, 2.0 * 30 * 72000);
    EXPECT_EQ(m.detectionNormaliser, 161.0 * 161.0);
    const CellValues v = normalisedCell(*r, m, 0, 0);
    EXPECT_DOUBLE_EQ(v.restoring, 1.0);
    EXPECT_DOUBLE_EQ(v.detection, 1.0);
    EXPECT_DOUBLE_EQ(v.recognition, 0.25);

    const uint16_t opposite[] = {1, 2};  // the rectangle and its negative
    m = graphMeasures(*r, 2, opposite, *h);
    EXPECT_EQ(m.Rmin, -72000);
    EXPECT_EQ(m.restoringNormaliser, 2.0 * 30 * 144000);
}

}  // namespace
}  // namespace simulation
