// The interactive screens as the headless program paints them into its picture: the colours
// of the subset screen, and the parameter screen's partial updates while lines and markers are
// dragged (old lines painted over, the background never erased).

#include <gtest/gtest.h>

#include "app_fixture.h"
#include "commands.h"
#include "headless_session.h"
#include "params_header.h"
#include "params_screen.h"

namespace app {
namespace {

constexpr uint32_t kLight = 0xEBF0E1;  // 0xE1F0EB as a picture pixel
constexpr uint32_t kChart = 0xFAFAFA;
constexpr uint32_t kRed = 0xFF0000;  // the Tmax line's 0x0000FF
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGrey = 0xA3A3A3;

struct Painted {
    platform::HeadlessHost host{1280, 960, false, testsupport::fakeBitmaps()};
    AppSettings app;
    HeadlessSession session{app, host};
    Painted() {
        computeDerivedInitialValues(app);
        EXPECT_TRUE(session.create());
    }
    ~Painted() { session.destroy(); }
    uint32_t pixel(int32_t x, int32_t y) { return host.picture().at(x, y) & 0xFFFFFFu; }
    void clickCentre(const Rect& r) {
        session.click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
};

TEST(SubsetScreenPixels, LightScreenWhitePanelGreyMarkedEntry) {
    Painted p;
    const AppSettings& a = p.app;
    const Rect& w = a.layout.workAreaRect;
    EXPECT_EQ(kLight, p.pixel(w.left + 1, a.selectedStripRect.bottom + 2));
    EXPECT_EQ(kLight, p.pixel(w.right - 1, w.bottom - 1));
    // Between the cells of the upper panel, and inside the strip.
    const Rect& c0 = a.candidateCellRects[0];
    EXPECT_EQ(kWhite, p.pixel(c0.right + 2, c0.top + 5));
    EXPECT_EQ(kWhite, p.pixel(a.selectedStripRect.left + 2, a.selectedStripRect.top + 2));
    // A marked entry is drawn on grey, an unmarked one is not.
    p.clickCentre(a.candidateCellRects[0]);
    p.clickCentre(a.candidateCellRects[1]);
    p.clickCentre(a.possibleSubsetRect[1]);
    const auto greyIn = [&](const Rect& r) {
        int n = 0;
        for (int32_t y = r.top; y <= r.bottom; ++y)
            for (int32_t x = r.left; x <= r.right; ++x)
                n += p.pixel(x, y) == kGrey;
        return n;
    };
    EXPECT_GT(greyIn(a.possibleSubsetRect[1]), 100);
    EXPECT_EQ(0, greyIn(a.possibleSubsetRect[0]));
}

struct ParamsPainted : Painted {
    ParamsPainted() {
        viewSeriesParameters(app);
        session.paint();
    }
    ParamsHeader& record() { return *app.lpParamsHeader; }
    void drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        session.mouseMove(x0, y0);
        session.buttonDown(x0, y0);
        session.mouseMove(x1, y1);
        session.buttonUp(x1, y1);
    }
};

// A point of a hit line, x a quarter of the way along.
std::pair<int32_t, int32_t> onLine(const HitLine& l) {
    const int32_t x = l.x1 + (l.x2 - l.x1) / 4;
    const int32_t dy = (l.x2 - x) * (l.y1 - l.y2) / std::max(l.x2 - l.x1, 1);
    return {x, l.y2 + dy};
}

TEST(ParamsScreenPixels, DraggingTheTmaxLinePaintsOverTheOldLineOnly) {
    ParamsPainted p;
    const Rect frame{p.app.layout.workAreaRect.left + 3, p.app.layout.workAreaRect.top + 3, 0, 0};
    const LineSegment before = p.record().drawn.tmax;
    ASSERT_EQ(kRed, p.pixel(before.x1, before.y1));
    EXPECT_EQ(kChart, p.pixel(p.record().plotRect.right - 2, p.record().plotRect.top + 2));
    EXPECT_EQ(kLight, p.pixel(frame.left, frame.top));

    const auto [x, y] = onLine(p.record().tmaxLine);
    p.drag(x, y, x, y - 60);  // steeper: a larger Tmax
    EXPECT_GT(p.record().wTmax, 181);
    EXPECT_EQ(0, p.record().tmaxDrag);
    EXPECT_EQ(181, p.app.wTmax);
    const LineSegment after = p.record().drawn.tmax;
    ASSERT_NE(before, after);
    // The old start is painted over in the chart's colour, the new one is drawn, and the
    // background around the chart was not erased to white.
    EXPECT_EQ(kChart, p.pixel(before.x1, before.y1));
    EXPECT_EQ(kRed, p.pixel(after.x1, after.y1));
    EXPECT_EQ(kLight, p.pixel(frame.left, frame.top));
    EXPECT_TRUE(p.host.editControls().at(kTminEditId).visible);
}

TEST(ParamsScreenPixels, DraggingAMarkerMovesItsDottedGuide) {
    ParamsPainted p;
    const LineSegment before = p.record().drawn.aPlusGuide;
    const auto dots = [&](const LineSegment& g) {
        int n = 0;
        for (int32_t x = g.x1; x <= g.x2; x += 2)
            n += p.pixel(x, g.y1) == 0x000000u;
        return n;
    };
    const int all = (before.x2 - before.x1) / 2 + 1;
    ASSERT_GE(dots(before), all - 3);                      // a line or two may cross it
    EXPECT_EQ(kChart, p.pixel(before.x1 + 1, before.y1));  // every second pixel
    const int32_t x = (before.x1 + before.x2) / 2;
    p.drag(x, before.y1, x, before.y1 - 40);
    EXPECT_GT(p.record().aPlus, 161);
    const LineSegment after = p.record().drawn.aPlusGuide;
    EXPECT_NEAR(after.y1, before.y1 - 40, 2);
    EXPECT_GE(dots(after), all - 3);
    EXPECT_LE(dots(before), 2);  // the old guide painted over, but for the axis it crosses
}

}  // namespace
}  // namespace app
