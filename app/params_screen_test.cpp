#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/params_header.h"
#include "app/params_maps.h"
#include "app/params_screen.h"
#include "app/subset_state.h"
#include "app/test_session.h"
#include "platform/allocation.h"

namespace app {
namespace {

using platform::CursorShape;
using platform::Rect;
using render::RecordedOp;
using testing::Session;

// The default window (work area (10, 10)-(1114, 947), 6 x 13 font) shows the chart of the
// start-up series (1200 samples, L 20, Tmin 40, Tmax 181), taken with 18 pulses, at
// plot (325, 162)-(1072, 857): Wp 747, Hp 695.
struct ParamsSession : Session {
    ParamsSession() {
        a.lpSeriesHeader->wImpulseQuantity = 18;
        viewSeriesParameters(a);
        paint();
    }
    ParamsHeader& p() { return *a.lpParamsHeader; }
    const platform::HeadlessHost::EditControl& edit() const {
        return host.editControls().at(kTminEditId);
    }
    // A tuple detection subset, so that leaving the screen processes new data.
    void selectSubset() {
        const int32_t tuple[] = {1, 2};
        setSelectedSubset(a, tuple, 2);
    }
};

const std::string kPartialRepaint = "invalidate 10,0,1116,949";

TEST(ParamsHeaderRecord, DerivedFromTheSeries) {
    platform::HeadlessHost host(100, 100, false, testing::buttonBitmaps());
    host.createEditControl(kTminEditId, "Tmin Text");
    series::SeriesHeader series;
    series.dwSeriesSize = 1200;
    series.wImpulseSize = 20;
    series.wTmin = 40;
    series.wTmax = 181;
    series.wImpulseQuantity = 17;
    ParamsHeaderPtr p = getParamsHeader(host, &series, nullptr);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->wMinPulses, 6);
    EXPECT_EQ(p->wMaxPulses, 30);
    EXPECT_EQ(p->wBoxCount, 25);
    EXPECT_GE(p->wBoxCapacity, 25);
    EXPECT_EQ(p->dwAllocatedLength, 1200);
    EXPECT_EQ(p->a, 0);
    EXPECT_EQ(p->aPlus, 161);
    EXPECT_EQ(p->bMinus, 1019);
    EXPECT_EQ(p->b, 1180);
    EXPECT_EQ(p->wPulses, 17);
    EXPECT_EQ(p->previous.aPlus, 161);
    EXPECT_EQ(p->previous.wTmin, 40);
    EXPECT_EQ(host.editText(kTminEditId), "40");

    // Reused in place while the boxes fit; grown for a longer series.
    ParamsHeader* same = p.get();
    p->wTmin = 77;
    {
        platform::FailingAllocations none(0);
        p = getParamsHeader(host, &series, std::move(p));
    }
    ASSERT_EQ(p.get(), same);
    EXPECT_EQ(p->wTmin, 40);
    series.dwSeriesSize = 4000;
    p = getParamsHeader(host, &series, std::move(p));
    EXPECT_EQ(p->wBoxCount, (4000 + 20) / 40 - 4019 / 181 + 1);
    EXPECT_EQ(p->dwAllocatedLength, 4000);

    // Without a series the old record is kept as it is.
    p = getParamsHeader(host, nullptr, std::move(p));
    EXPECT_EQ(p.get(), same);
    EXPECT_FALSE(getParamsHeader(host, nullptr, nullptr));
    EXPECT_TRUE(host.messages().empty());
}

TEST(ParamsHeaderRecord, FailedAllocationsReleaseTheRecord) {
    platform::HeadlessHost host(100, 100, false, testing::buttonBitmaps());
    series::SeriesHeader series;
    series.dwSeriesSize = 1200;
    series.wImpulseSize = 20;
    series.wTmin = 40;
    series.wTmax = 181;
    const struct {
        long successes;
        const char* text;
    } cases[] = {{0, "Нет памяти для newParamsHeader!"},
                 {1, "Нет памяти для newParamsHeader->pulsesSelectedAreas!"}};
    for (const auto& c : cases) {
        platform::FailingAllocations failing(c.successes);
        EXPECT_FALSE(getParamsHeader(host, &series, nullptr));
        EXPECT_EQ(host.messages().back().text, c.text);
        EXPECT_EQ(host.messages().back().title, " getParamsHeader ");
    }
}

// A small chart for the maps: plot (100, 100)-(400, 400), positions 0 .. 1000, a+ 100,
// b- 900, 5 pulses of at most 11, Tmin 100, Tmax 200.
ParamsHeader smallChart() {
    ParamsHeader p;
    p.plotRect = Rect{100, 100, 400, 400};
    p.a = 0;
    p.b = 1000;
    p.aPlus = 100;
    p.bMinus = 900;
    p.wPulses = 5;
    p.wMaxPulses = 11;
    p.wTmin = 100;
    p.wTmax = 200;
    p.wEtalonLength = 20;
    return p;
}

TEST(ParamsMaps, PointsOnTheLinesGiveTheirIntervals) {
    ParamsHeader p = smallChart();
    // Pulse 3 at x 160; the Tmax line there at 100 + 2 x 200 = 500 (y 250), the Tmin line at
    // 1000 - 2 x 100 = 800 (y 160). The maps are 0 until the line is hovered.
    EXPECT_EQ(tmaxFromPoint(p, 160, 250), 0);
    EXPECT_EQ(tminFromPoint(p, 160, 160), 0);
    p.tmaxHover = p.tminHover = 1;
    EXPECT_EQ(tmaxFromPoint(p, 160, 250), 202);  // the position one pixel lower
    EXPECT_EQ(tminFromPoint(p, 160, 160), 100);
    // No positive slope: at the first pulse for Tmax, at the last one for Tmin.
    EXPECT_EQ(tmaxFromPoint(p, 100, 250), 0);
    EXPECT_EQ(tminFromPoint(p, 220, 160), 0);
    // Markers: a + (plot bottom - y) (b - a) / (plot height + 1).
    EXPECT_EQ(markerFromPoint(p, 250), 150 * 1000 / 301);
    EXPECT_EQ(markerFromPoint(p, 450), -50 * 1000 / 301);
}

TEST(ParamsMaps, LongSeriesDoNotOverflow) {
    ParamsHeader p = smallChart();
    p.b = 60000;
    p.plotRect = Rect{0, 0, 30000, 30000};
    p.wPulses = 3;
    p.tminHover = 1;
    // (y - top) (b - a) Wp is far beyond 32 bits.
    EXPECT_EQ(tminFromPoint(p, 0, 15000), 15000);
}

TEST(ParamsMaps, ValidityOfDraggedIntervals) {
    ParamsHeader p = smallChart();
    // Tmin from L to Tmax, with room for 5 pulses: at least (900 - 100 + 199) / 200 + 1 = 5.
    const struct {
        int32_t v;
        bool valid;
    } tmin[] = {{19, false}, {20, true}, {200, true}, {201, false}, {0, false}};
    for (const auto& c : tmin)
        EXPECT_EQ(tminIsValid(p, c.v), c.valid) << c.v;
    // Tmax above Tmin and at most b-, and long enough for 5 pulses to span b- - a+.
    const struct {
        int32_t v;
        bool valid;
    } tmax[] = {{100, false}, {199, false}, {200, true}, {900, true}, {901, false}};
    for (const auto& c : tmax)
        EXPECT_EQ(tmaxIsValid(p, c.v), c.valid) << c.v;
    p.wPulses = 4;  // fewer pulses than the start ranges need
    EXPECT_FALSE(tminIsValid(p, 100));
    p.wPulses = 12;  // more than 1000 / 100 + 1
    EXPECT_FALSE(tmaxIsValid(p, 300));
    p.wPulses = 1;
    EXPECT_FALSE(tminIsValid(p, 100));
    p.bMinus = 50;  // overlapping start ranges leave room for a single pulse
    EXPECT_TRUE(tminIsValid(p, 100));
}

TEST(ParamsMaps, LineHitTests) {
    ParamsHeader p;
    p.tmaxLine = HitLine{70, 385, 250, 205, 4};
    // At x 160 the line is rounded(90 x 180 / 180) = 90 above its right end (y 295).
    EXPECT_TRUE(hitTmaxLine(p, 160, 295));
    EXPECT_TRUE(hitTmaxLine(p, 160, 299));
    EXPECT_TRUE(hitTmaxLine(p, 160, 291));
    EXPECT_FALSE(hitTmaxLine(p, 160, 300));
    EXPECT_FALSE(hitTmaxLine(p, 69, 385));
    EXPECT_FALSE(hitTmaxLine(p, 251, 205));
    EXPECT_FALSE(hitTminLine(p, 160, 295));
    p.tminLine = HitLine{50, 100, 50, 300, 4};  // both ends in one column
    EXPECT_TRUE(hitTminLine(p, 50, 303));
    EXPECT_FALSE(hitTminLine(p, 50, 305));
}

TEST(ParamsScreenDrawing, ChartOfTheStartUpSeries) {
    ParamsSession s;
    ASSERT_EQ(s.a.screenMode, kParamsScreen);
    ParamsHeader& p = s.p();
    EXPECT_EQ(p.chartRect, (Rect{289, 127, 1102, 896}));
    EXPECT_EQ(p.plotRect, (Rect{325, 162, 1072, 857}));
    // Boxes around x(m) = 325 + (m - 1) 747 / 29, 12 either side, 6 above and below the axis.
    EXPECT_EQ(p.pulsesSelectedAreas[0], (Rect{441, 851, 465, 863}));
    EXPECT_EQ(p.pulsesSelectedAreas[12].left, 762 - 12);
    // The Tmax line from half step 1 to 7 (the crossing lies at 3.4 pulses), the Tmin line from
    // half step 6 to 37.
    EXPECT_EQ(p.tmaxLine.x1, 312);
    EXPECT_EQ(p.tmaxLine.y1, 815);
    EXPECT_EQ(p.tmaxLine.x2, 389);
    EXPECT_EQ(p.tmaxLine.y2, 496);
    EXPECT_EQ(p.tmaxLine.h, 4);
    EXPECT_EQ(p.tminLine.x1, 377);
    EXPECT_EQ(p.tminLine.y1, 515);
    EXPECT_EQ(p.tminLine.x2, 776);
    EXPECT_EQ(p.tminLine.y2, 150);
    EXPECT_EQ(p.aPlusHandleRect, (Rect{322, 758, 768, 766}));
    EXPECT_EQ(p.bMinusHandleRect, (Rect{322, 253, 768, 261}));
    // Read-outs and the Tmin entry.
    EXPECT_NE(s.surface.findText(" (377,515) - (776,150) "), nullptr);
    EXPECT_NE(s.surface.findText(" (325,162) - (1072,857) "), nullptr);
    EXPECT_NE(s.surface.findText(" w 747, h 695"), nullptr);
    EXPECT_NE(s.surface.findText("40 [40]    "), nullptr);
    EXPECT_NE(s.surface.findText("6 [6]     "), nullptr);    // (1019 + 181 - 161 - 1) / 181 + 1
    EXPECT_NE(s.surface.findText("30 [30]     "), nullptr);  // 1180 / 40 + 1
    const auto texts = s.surface.opsOf(RecordedOp::Text);
    const RecordedOp* label = nullptr;
    for (const auto& op : texts)
        if (op.text == " Tmin ")
            label = &op;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x1, 22);
    EXPECT_EQ(label->y1, 903 - 21 - 13);
    EXPECT_TRUE(s.edit().visible);
    EXPECT_EQ(s.edit().x, 22 + 36);
    EXPECT_EQ(s.edit().y, 869);
    EXPECT_EQ(s.edit().width, 30);
    EXPECT_EQ(s.edit().height, 15);
    EXPECT_EQ(p.cancelButtonRect, (Rect{16, 909, 88, 932}));
    EXPECT_EQ(p.okButtonRect, (Rect{100, 909, 172, 932}));
    EXPECT_EQ(p.changed, 0);
}

TEST(ParamsScreenDrawing, PickingAPulseCountRepaintsWithoutErasing) {
    ParamsSession s;
    const LineSegment oldTmax = s.p().drawn.tmax;
    const size_t mark = s.host.log().size();
    s.click(s.p().pulsesSelectedAreas[4]);
    EXPECT_EQ(s.p().wPulses, 10);
    EXPECT_EQ(s.logSince(mark), (std::vector<std::string>{kPartialRepaint}));
    // No fill of the work area; the old Tmax line painted over in the chart's near-white.
    for (const auto& op : s.surface.opsOf(RecordedOp::FillRect))
        EXPECT_FALSE(op.x1 == 10 && op.y1 == 10) << op.x2 << "," << op.y2;
    bool paintedOver = false;
    for (const auto& op : s.surface.opsOf(RecordedOp::LineTo))
        paintedOver |= op.pen.colour == 0xFAFAFA && op.x1 == oldTmax.x1 && op.y1 == oldTmax.y1 &&
                       op.x2 == oldTmax.x2 && op.y2 == oldTmax.y2;
    EXPECT_TRUE(paintedOver);
    EXPECT_EQ(s.p().previous.wPulses, 10);
}

TEST(ParamsScreenMouse, HoveringShowsSizingCursorsAndCapturesTheMouse) {
    ParamsSession s;
    s.move(500, 762);  // on the a+ guide
    EXPECT_EQ(s.p().aPlusHover, 1);
    EXPECT_EQ(s.host.cursor(), CursorShape::SizeVertical);
    EXPECT_TRUE(s.host.mouseCaptured());
    s.move(350, 658);  // off the guide, on the Tmax line
    EXPECT_EQ(s.p().aPlusHover, 0);
    EXPECT_EQ(s.p().tmaxHover, 1);
    EXPECT_EQ(s.host.cursor(), CursorShape::SizeDiagonal);
    EXPECT_TRUE(s.host.mouseCaptured());
    s.move(600, 600);
    EXPECT_EQ(s.p().tmaxHover, 0);
    EXPECT_EQ(s.host.cursor(), CursorShape::Arrow);
    EXPECT_FALSE(s.host.mouseCaptured());
}

TEST(ParamsScreenMouse, DraggingTheMarkers) {
    ParamsSession s;
    s.move(500, 762);
    s.down(500, 762);
    EXPECT_EQ(s.p().aPlusDrag, 1);
    s.move(500, 700);
    EXPECT_EQ(s.p().aPlus, 157 * 1180 / 696);
    const size_t mark = s.host.log().size();
    s.up(500, 690);
    EXPECT_EQ(s.p().aPlusDrag, 0);
    EXPECT_EQ(s.p().aPlus, 167 * 1180 / 696);
    EXPECT_EQ(s.logSince(mark), (std::vector<std::string>{kPartialRepaint}));
    s.paint();
    // The guide follows: a+ 283 is drawn at 857 - (566 x 695 + 1180) / 2360 = 690.
    EXPECT_EQ(s.p().aPlusHandleRect.top, 686);
    // b- alike, from its own guide.
    s.move(400, 257);
    s.down(400, 257);
    s.move(400, 300);
    s.up(400, 300);
    EXPECT_EQ(s.p().bMinus, 557 * 1180 / 696);
    EXPECT_EQ(s.a.wTmax, 181);  // nothing of the chart reaches the settings
}

TEST(ParamsScreenMouse, DragsLeavingTheValidRangeEndWithTheLastValidValue) {
    ParamsSession s;
    // The Tmax line: grabbed at (350, 658), dragged to Tmax 285, then below the plot.
    s.move(350, 658);
    s.down(350, 658);
    ASSERT_EQ(s.p().tmaxDrag, 1);
    s.move(350, 600);
    EXPECT_EQ(s.p().wTmax, 285);
    s.move(350, 880);
    EXPECT_EQ(s.p().tmaxDrag, 0);
    EXPECT_EQ(s.p().wTmax, 285);
    s.up(350, 880);
    EXPECT_EQ(s.p().wTmax, 285);

    // The Tmin line: grabbed at (500, 402), dragged to Tmin 36, then towards a Tmin below L.
    ParamsSession t;
    t.move(500, 402);
    t.down(500, 402);
    ASSERT_EQ(t.p().tminDrag, 1);
    t.move(500, 380);
    EXPECT_EQ(t.p().wTmin, 36);
    t.move(500, 170);
    EXPECT_EQ(t.p().tminDrag, 0);
    EXPECT_EQ(t.p().wTmin, 36);
    // A release takes a valid value once more.
    t.move(500, 402);
    t.down(500, 402);
    t.up(500, 380);
    EXPECT_EQ(t.p().tminDrag, 0);
    EXPECT_EQ(t.a.wTmin, 40);
}

TEST(ParamsScreenButtons, OkWithoutTypingReappliesTheSeriesTmin) {
    ParamsSession s;
    s.selectSubset();
    s.move(500, 402);
    s.down(500, 402);
    s.move(500, 380);
    s.up(500, 380);
    ASSERT_EQ(s.p().wTmin, 36);
    s.click(s.p().okButtonRect);
    EXPECT_EQ(s.a.wTmin, 40);
    EXPECT_EQ(s.a.wTmax, 181);
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    EXPECT_TRUE(s.a.lastProcessing.has_value());
    EXPECT_FALSE(s.edit().visible);
    EXPECT_EQ(s.edit().y, 1000);
    EXPECT_EQ(s.edit().width, 0);
}

TEST(ParamsScreenButtons, OkAppliesATypedTmin) {
    ParamsSession s;
    s.selectSubset();
    s.host.setEditText(kTminEditId, " 55 ");
    s.click(s.p().okButtonRect);
    EXPECT_EQ(s.a.wTmin, 55);
    EXPECT_EQ(s.a.lpSeriesHeader->wTmin, 55);
    EXPECT_EQ(s.a.wMaxPulses, (1200 - 20 + 55) / 55);
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    EXPECT_TRUE(s.messages().empty());
}

TEST(ParamsScreenButtons, OkRefusesATminOutsideItsRange) {
    for (const char* text : {"", "abc", "0", "19", "182", "-40", "40.5", "4 0", "99999999999"}) {
        SCOPED_TRACE(text);
        ParamsSession s;
        s.selectSubset();
        const uint32_t random = s.a.libraryRandom.state;
        s.host.setEditText(kTminEditId, text);
        s.click(s.p().okButtonRect);
        ASSERT_EQ(s.messages().size(), 1u);
        EXPECT_EQ(s.messages()[0].title, " Tmin ");
        EXPECT_EQ(s.messages()[0].text, "Tmin must be a whole number from 20 to 181");
        EXPECT_EQ(s.a.wTmin, 40);
        EXPECT_EQ(s.a.screenMode, kParamsScreen);
        EXPECT_EQ(s.a.libraryRandom.state, random);
        EXPECT_TRUE(s.edit().visible);
    }
    // The bounds themselves are accepted.
    EXPECT_EQ(parseTmin("20", 20, 181), 20);
    EXPECT_EQ(parseTmin("181", 20, 181), 181);
}

TEST(ParamsScreenButtons, CancelLeavesTmin) {
    ParamsSession s;
    s.selectSubset();
    s.host.setEditText(kTminEditId, "60");
    s.click(s.p().cancelButtonRect);
    EXPECT_EQ(s.a.wTmin, 40);
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    EXPECT_TRUE(s.a.lastProcessing.has_value());
    EXPECT_FALSE(s.edit().visible);
    EXPECT_EQ(s.edit().x, 0);
    EXPECT_EQ(s.edit().y, 0);
    EXPECT_EQ(s.edit().width, 0);

    // A tuple kind without a subset goes to the subset screen instead.
    ParamsSession t;
    t.click(t.p().cancelButtonRect);
    EXPECT_EQ(t.a.screenMode, kSubsetScreen);
    EXPECT_FALSE(t.a.lastProcessing.has_value());
}

TEST(ParamsScreenButtons, LeavingThroughTheSharedButtonsHidesTheEntry) {
    ParamsSession s;
    s.selectSubset();
    s.move(500, 762);  // hovering a marker
    ASSERT_TRUE(s.host.mouseCaptured());
    s.click(s.a.layout.nextButtonRect);
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    EXPECT_FALSE(s.edit().visible);
    EXPECT_FALSE(s.host.mouseCaptured());
    EXPECT_EQ(s.host.cursor(), CursorShape::Arrow);
}

TEST(ParamsScreenDrawing, WithoutARecordTheChartIsLeftAlone) {
    Session s;
    s.a.screenMode = kParamsScreen;
    ASSERT_FALSE(s.a.lpParamsHeader);
    s.host.invalidateRect(nullptr, true);
    s.paint();
    EXPECT_EQ(s.surface.findText(" Cancel "), nullptr);
    EXPECT_EQ(s.surface.findText(" Tmin "), nullptr);
    const size_t mark = s.host.log().size();
    s.move(600, 500);
    s.click(600, 500);
    EXPECT_EQ(s.a.screenMode, kParamsScreen);
    EXPECT_TRUE(s.logSince(mark).empty());
}

}  // namespace
}  // namespace app
