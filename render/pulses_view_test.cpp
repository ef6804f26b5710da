#include "pulses_view.h"

#include <gtest/gtest.h>

#include <array>

#include "recording_surface.h"
#include "test_series.h"
#include "view_test_records.h"

namespace render {
namespace {

using testing::defaultScreenLayout;
using testing::makeEtalons;
using testing::opsIn;
using testing::Point;
using testing::polylines;
using Polyline = std::vector<Point>;

struct PulsesViewFixture : ::testing::Test {
    ScreenLayout layout = defaultScreenLayout();
    series::Alphabet alphabet = ::testsupport::makeAlphabet();
    std::array<uint16_t, 21> flags{};
    RecordingSurface surface;

    void draw(uint16_t size = 20, int32_t amplitude = 128) {
        drawPulsesView(surface, layout, alphabet, size, amplitude, flags.data());
    }
};

TEST_F(PulsesViewFixture, EveryEtalonInItsCellWithNumberAndEnergy) {
    draw();
    const auto texts = surface.opsOf(RecordedOp::Text);
    ASSERT_EQ(texts.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        char expected[64];
        std::snprintf(expected, sizeof expected, " pulse %d [%d]", i + 1,
                      series::etalonEnergy(alphabet[i]));
        EXPECT_EQ(texts[i].text, expected);
        EXPECT_EQ(texts[i].x1, layout.pulseCellRects[i].left + 5);
        EXPECT_EQ(texts[i].y1, layout.pulseCellRects[i].top + 5);
    }
    // The 5 x 4 grid: cell 6 opens the second row.
    EXPECT_EQ(layout.pulseCellRects[5].left, layout.pulseCellRects[0].left);
    EXPECT_GT(layout.pulseCellRects[5].top, layout.pulseCellRects[4].top);
    // The work area's frame comes first.
    const Rect& w = layout.workAreaRect;
    const int32_t W = w.right - w.left + 1, H = w.bottom - w.top + 1;
    EXPECT_EQ(polylines(surface)[0], (Polyline{{w.left, w.top},
                                               {w.left, w.top + H},
                                               {w.left + W, w.top + H},
                                               {w.left + W, w.top},
                                               {w.left, w.top}}));
    EXPECT_EQ(surface.pen(), Pen{});
}

TEST_F(PulsesViewFixture, AxesAndABoldShapeEndingSixPixelsShort) {
    series::Alphabet small = makeEtalons({{128, -128, 64}});
    drawPulsesView(surface, layout, small, 1, 128, flags.data());
    const Rect& c = layout.pulseCellRects[0];
    const int32_t x = c.left + 5, y = c.top + 5 + layout.lineHeight;
    const int32_t w = layout.cellInnerWidth, h = layout.cellInnerHeight - layout.lineHeight;
    const auto lines = polylines(surface);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[1], (Polyline{{x, y}, {x, y + h}}));
    EXPECT_EQ(lines[2], (Polyline{{x, y + h / 2}, {x + w - 1, y + h / 2}}));
    const int32_t mid = x + (w - 6) / 2;
    const Polyline shape{{x, y + h / 2},
                         {x, y + h - 256 * h / 256},
                         {mid, y + h},
                         {x + w - 6, y + h - 192 * h / 256},
                         {x + w - 6, y + h / 2}};
    EXPECT_EQ(lines[3], shape);
    Polyline right = shape, up = shape;
    for (Point& p : right)
        ++p.first;
    for (Point& p : up)
        --p.second;
    EXPECT_EQ(lines[4], right);
    EXPECT_EQ(lines[5], up);
}

TEST_F(PulsesViewFixture, ColoursAndBordersFollowTheRequiredFlag) {
    flags[1] = 1;  // etalon 1 required
    flags[2] = 2;  // any other value is not
    draw(2);
    EXPECT_EQ(opsIn(surface, RecordedOp::LineTo, 0xFF0000).size(), 3u * 21);  // 3 x (20 + 1)
    EXPECT_EQ(opsIn(surface, RecordedOp::LineTo, 0x7F0000).size(), 3u * 21);
    const auto grey = polylines(surface);
    const Rect& c = layout.pulseCellRects[0];
    const int32_t cw = layout.cellWidth, ch = layout.cellHeight;
    auto box = [](int32_t x, int32_t y, int32_t w, int32_t h) {
        return Polyline{{x, y}, {x, y + h}, {x + w, y + h}, {x + w, y}, {x, y}};
    };
    EXPECT_EQ(opsIn(surface, RecordedOp::LineTo, 0xA3A3A3).size(), 12u);
    EXPECT_EQ(opsIn(surface, RecordedOp::LineTo, 0x7F7F7F).size(), 4u);
    const auto lines = polylines(surface);
    EXPECT_NE(std::find(lines.begin(), lines.end(), box(c.left, c.top, cw, ch)), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), box(c.left + 1, c.top + 1, cw - 2, ch - 2)),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), box(c.left - 1, c.top - 1, cw + 2, ch + 2)),
              lines.end());
    const Rect& d = layout.pulseCellRects[1];
    EXPECT_NE(std::find(lines.begin(), lines.end(), box(d.left, d.top, cw, ch)), lines.end());
    EXPECT_EQ(surface.pen(), Pen{});
}

TEST_F(PulsesViewFixture, DegenerateEtalonsAndSizesDrawWithoutFailing) {
    series::Alphabet odd = makeEtalons({{5}, {1, 2, 3}});
    drawPulsesView(surface, layout, odd, 2, 0, nullptr);  // amplitude 0, no flags
    const Rect& c = layout.pulseCellRects[0];
    const int32_t x = c.left + 5, y = c.top + 5 + layout.lineHeight;
    const int32_t w = layout.cellInnerWidth, h = layout.cellInnerHeight - layout.lineHeight;
    EXPECT_EQ(polylines(surface)[3], (Polyline{{x, y + h / 2}, {x + w - 6, y + h / 2}}));
    surface.clear();
    // More etalons asked for than the alphabet or the grid has.
    drawPulsesView(surface, layout, odd, 500, 128, flags.data());
    EXPECT_EQ(surface.texts().size(), 2u);
}

}  // namespace
}  // namespace render
