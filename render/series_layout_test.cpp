#include "series_layout.h"

#include <gtest/gtest.h>

#include "series_view.h"

namespace render {
namespace {

TEST(SeriesLayout, GraphsTextAndAlphabetBoxOfAWorkArea) {
    // W = 1100, H = 980, lh = 12; 20 required etalons need more room than eight rows give.
    const SeriesLayout l = computeSeriesLayout(Rect{10, 10, 1109, 989}, 12, false, 20);
    EXPECT_EQ(l.W, 1100);
    EXPECT_EQ(l.H, 980);
    EXPECT_EQ(l.marginX, 13);
    EXPECT_EQ(l.x0, 23);
    EXPECT_EQ(l.gapY, 15);
    EXPECT_EQ(l.halfGapY, 7);
    EXPECT_EQ(l.graphWidth, 880);
    EXPECT_EQ(l.graphHeight, 252);
    EXPECT_EQ(l.graphTop[0], 59);
    EXPECT_EQ(l.graphTop[1], 323);
    EXPECT_EQ(l.graphTop[2], 587);
    EXPECT_EQ(l.resultTop, 857);
    EXPECT_EQ(l.alphabetRows, 10);
    EXPECT_EQ(l.alphabetCellWidth, 55);
    EXPECT_EQ(l.alphabetBoxWidth, 168);
    EXPECT_EQ(l.alphabetBoxLeft, 929);
    EXPECT_EQ(l.alphabetBoxTop, 31);
    EXPECT_EQ(l.alphabetSpace, 946);
    EXPECT_EQ(l.alphabetCellHeight, 72);  // (946 - 30) / 10 - 19
    EXPECT_EQ(l.alphabetBoxHeight, 946);
    EXPECT_EQ(graphRect(l, 1), (Rect{23, 323, 903, 575}));
}

TEST(SeriesLayout, FewEtalonsKeepTheCellHeightOfEightRows) {
    const SeriesLayout l = computeSeriesLayout(Rect{10, 10, 1109, 989}, 12, false, 3);
    EXPECT_EQ(l.alphabetRows, 2);
    EXPECT_EQ(l.alphabetCellHeight, 95);  // 916 / 8 - 19
    EXPECT_EQ(l.alphabetBoxHeight, 258);  // (95 + 19) * 2 + 30
}

TEST(SeriesLayout, NoRequiredEtalonsGiveAnEmptyBox) {
    const SeriesLayout l = computeSeriesLayout(Rect{0, 0, 99, 39}, 12, false, 0);
    EXPECT_EQ(l.alphabetRows, 0);
    EXPECT_EQ(l.alphabetBoxHeight, 2 * l.gapY);
}

TEST(SeriesLayout, OddGraphHeightIsRaisedAndTheSpecialSizeIsFixed) {
    // 330 * (1001 - 216) / 1000 = 259, raised to 260.
    EXPECT_EQ(computeSeriesLayout(Rect{0, 0, 999, 1000}, 12, false, 4).graphHeight, 260);
    const SeriesLayout special = computeSeriesLayout(Rect{10, 10, 1109, 989}, 12, true, 4);
    EXPECT_EQ(special.graphWidth, 618);
    EXPECT_EQ(special.graphHeight, 112);
    EXPECT_EQ(special.graphTop[1], 59 + 112 + 12);
}

TEST(SeriesLayout, DrawingAmplitudeDoublesFrom128UpToTheNoise) {
    struct Case {
        int32_t amplitude, noise, expected;
    } cases[] = {{128, 20, 128}, {0, 100, 128},     {0, 128, 128},     {0, 129, 256},
                 {0, 300, 512},  {0, 16385, 32768}, {0, 32767, 32768}, {0, 40000, 32768},
                 {50, 1000, 50}, {-7, 0, -7},       {0, -5, 128}};
    for (const Case& c : cases)
        EXPECT_EQ(drawingAmplitude(c.amplitude, c.noise), c.expected)
            << c.amplitude << " " << c.noise;
}

TEST(SeriesLayout, HalfRangeFromAmplitudeOrNoise) {
    struct Case {
        int32_t amplitude, noise, expected;
    } cases[] = {
        {128, 20, 144},     // 8 * 20 / 3 = 53 < 128
        {128, 48, 144},     // 128 is not above 128: S = 128 either way
        {128, 100, 299},    // S = 266, 266 + 33
        {512, 300, 900},    // S = 800
        {29126, 0, 32766},  // the largest sum a 16-bit value holds is kept
        {32767, 0, 32767},  // 36862 would wrap: held at the largest value
        {0, 0, 1},          // no range at all: 1, never a division by zero
        {-5, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(graphHalfRange(c.amplitude, c.noise), c.expected)
            << c.amplitude << " " << c.noise;
}

TEST(SeriesLayout, MappingTruncatesTowardZero) {
    const GraphMapping map(Rect{10, 20, 160, 120}, 101, 100);
    EXPECT_EQ(map.column(50), 75);
    EXPECT_EQ(map.column(-1), -1);  // -150 / 100
    EXPECT_EQ(map.x(100), 160);
    EXPECT_EQ(map.zeroLine(), 70);
    EXPECT_EQ(map.y(100), 20);
    EXPECT_EQ(map.y(-100), 120);
    EXPECT_EQ(map.y(0), 70);
    EXPECT_EQ(map.y(33), 54);   // 120 - 13300 / 200
    EXPECT_EQ(map.y(-33), 87);  // 120 - 6700 / 200
}

TEST(SeriesLayout, ShortSeriesMapEverySampleToTheLeftEdge) {
    for (uint32_t N : {0u, 1u}) {
        const GraphMapping map(Rect{10, 20, 160, 120}, N, 100);
        EXPECT_EQ(map.x(0), 10);
        EXPECT_EQ(map.x(5), 10);
    }
}

}  // namespace
}  // namespace render
