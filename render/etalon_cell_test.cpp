#include <gtest/gtest.h>

#include "recording_surface.h"
#include "series_view.h"
#include "view_test_records.h"

namespace render {
namespace {

using testing::makeEtalons;
using testing::opsIn;
using testing::Point;
using testing::polylines;
using Polyline = std::vector<Point>;

// A cell 40 x 30 at (100, 200), line height 12: the plot starts at 200 + 1 + 12 + 3 = 216,
// its zero line at 231. Etalon a = {4, -2, 6} at amplitude 20 has the points (100, 228),
// (120, 233), (140, 227).
struct CellFixture : ::testing::Test {
    series::Alphabet alphabet = makeEtalons({{4, -2, 6}, {7}});
    const Rect cell{100, 200, 140, 230};
    RecordingSurface surface;
    const Polyline curve{{100, 231}, {100, 228}, {120, 233}, {140, 227}, {140, 231}};

    static Polyline shifted(Polyline line, int dx, int dy) {
        for (Point& p : line)
            p.first += dx, p.second += dy;
        return line;
    }
};

TEST_F(CellFixture, LetterAxesAndCurve) {
    drawEtalonCell(surface, alphabet[0], 20, 0, cell, 12);
    ASSERT_NE(surface.findText(" a "), nullptr);
    EXPECT_EQ(surface.findText(" a ")->x1, 100);
    EXPECT_EQ(surface.findText(" a ")->y1, 202);
    EXPECT_EQ(polylines(surface),
              (std::vector<Polyline>{{{100, 216}, {100, 246}}, {{100, 231}, {145, 231}}, curve}));
    EXPECT_TRUE(surface.opsOf(RecordedOp::FillRect).empty());
}

TEST_F(CellFixture, HighlightFillsTheCellAndDrawsABoldWhiteCurve) {
    struct Case {
        int highlight;
        Colour fill;
    } cases[] = {{1, 0xA3A3A3}, {2, 0x0000FF}};
    for (const Case& c : cases) {
        surface.clear();
        drawEtalonCell(surface, alphabet[0], 20, c.highlight, cell, 12);
        const auto fills = surface.opsOf(RecordedOp::FillRect);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].colour, c.fill);
        EXPECT_EQ((Rect{fills[0].x1, fills[0].y1, fills[0].x2, fills[0].y2}),
                  (Rect{97, 215, 146, 247}));
        EXPECT_EQ(polylines(surface), (std::vector<Polyline>{{{100, 216}, {100, 246}},
                                                             {{100, 231}, {145, 231}},
                                                             curve,
                                                             shifted(curve, 1, 0),
                                                             shifted(curve, 0, -1)}));
        for (const RecordedOp& o : surface.opsOf(RecordedOp::LineTo))
            EXPECT_EQ(o.pen, solidPen(0xFFFFFF));
        EXPECT_EQ(surface.pen(), Pen{});
    }
}

TEST_F(CellFixture, UnscalableEtalonsDrawAFlatLine) {
    const Polyline flat{{100, 231}, {140, 231}};
    drawEtalonCell(surface, alphabet[1], 20, 0, cell, 12);  // one sample
    EXPECT_EQ(polylines(surface).back(), flat);
    surface.clear();
    drawEtalonCell(surface, alphabet[0], 0, 0, cell, 12);  // amplitude 0
    EXPECT_EQ(polylines(surface).back(), flat);
    surface.clear();
    series::PulseHeader empty;
    empty.wNumber = 3;
    drawEtalonCell(surface, empty, 20, 2, cell, 12);  // no samples: letter and axes only
    EXPECT_NE(surface.findText(" c "), nullptr);
    EXPECT_EQ(polylines(surface).size(), 2u);
}

}  // namespace
}  // namespace render
