#include "paint.h"

#include <gtest/gtest.h>

#include "app_fixture.h"
#include "commands.h"
#include "render/value_selector.h"

namespace app {
namespace {

using testsupport::AppFixture;

TEST(Layout, ButtonColumnFromTheBottomUpAndTheRestartButtonMovingBy42) {
    struct Case {
        int task;
        bool select;
    };
    for (const Case& c : {Case{kCmdJointDetection, true}, Case{kCmdDetection, false}}) {
        AppFixture f(1280, 960);
        ASSERT_TRUE(f.create());
        f.command(kCmdFixedWhole);
        f.command(c.task);
        f.paint();
        const render::ScreenLayout& l = f.app.layout;
        EXPECT_EQ((Rect{1126, 918, 1269, 949}), l.exitButtonRect);
        EXPECT_EQ((Rect{1126, 876, 1269, 907}), l.nextButtonRect);
        const int restartTop = c.select ? 960 - 168 : 960 - 126;
        EXPECT_EQ((Rect{1126, restartTop, 1269, restartTop + 31}), l.restartButtonRect);
        EXPECT_EQ((Rect{1126, restartTop - 42, 1269, 865}), l.restartAreaRect);
        if (c.select) {
            EXPECT_EQ((Rect{1126, 834, 1269, 865}), l.selectButtonRect);
        }
    }
}

TEST(Layout, CellGridShapesFollowTheAlphabetSize) {
    struct Case {
        int n, columns, rows;
    };
    for (const Case& c : {Case{20, 5, 4}, Case{6, 3, 2}, Case{7, 4, 3}, Case{1, 2, 1},
                          Case{2, 2, 1}, Case{13, 5, 4}, Case{12, 4, 3}}) {
        const render::GridShape g = render::cellGridShape(c.n);
        EXPECT_EQ(c.columns, g.columns) << c.n;
        EXPECT_EQ(c.rows, g.rows) << c.n;
    }
}

TEST(Layout, WorkAreaAndCellsOfTheDefaultAlphabet) {
    AppFixture f(1280, 960);
    ASSERT_TRUE(f.create());
    f.paint();
    const render::ScreenLayout& l = f.app.layout;
    // Aw = 1280 - 154 - 20 + 1 = 1107, Ah = 941; 5 columns, 4 rows.
    EXPECT_EQ(209, l.cellWidth);   // (1107 - 60) / 5
    EXPECT_EQ(222, l.cellHeight);  // (941 - 50) / 4
    EXPECT_EQ(199, l.cellInnerWidth);
    EXPECT_EQ(212, l.cellInnerHeight);
    EXPECT_EQ((Rect{10, 10, 10 + 209 * 5 + 60 - 1, 10 + 222 * 4 + 50 - 1}), l.workAreaRect);
    EXPECT_EQ((Rect{20, 20, 228, 241}), l.pulseCellRects[0]);
    EXPECT_EQ((Rect{20 + 4 * 219, 20 + 3 * 232, 20 + 4 * 219 + 208, 20 + 3 * 232 + 221}),
              l.pulseCellRects[19]);
    EXPECT_EQ(12, l.lineHeight);  // recording metrics: height 13, no leading
}

TEST(Layout, PanelsFollowTheSeriesKind) {
    for (int item : {kCmdFixedCutOff, kCmdUnfixedCutOff, kCmdFixedWhole, kCmdUnfixedTuples}) {
        AppFixture f(1280, 960);
        ASSERT_TRUE(f.create());
        f.command(item);
        f.paint();
        const render::ScreenLayout& l = f.app.layout;
        const int lh = l.lineHeight;
        EXPECT_EQ((Rect{l.workAreaRect.right + 10, l.workAreaRect.top, 1270,
                        l.workAreaRect.top + 6 * lh}),
                  l.seriesLengthPanel);
        EXPECT_EQ(l.seriesLengthPanel.bottom + lh, l.noiseLevelPanel.top);
        const bool cut = item == kCmdFixedCutOff || item == kCmdUnfixedCutOff;
        if (cut) {
            EXPECT_EQ(l.noiseLevelPanel.bottom + lh, l.lostDataPanel.top);
            EXPECT_EQ(l.lostDataPanel.bottom, l.panelsBottom);
        } else {
            EXPECT_EQ(l.noiseLevelPanel.bottom, l.panelsBottom);
        }
    }
}

TEST(Paint, ScreensStampTheirButtons) {
    struct Case {
        int32_t mode;
        int blits;  // restart only on the series screen; the select button only for task 4
    };
    for (const Case& c : {Case{kAlphabetScreen, 3}, Case{kSeriesScreen, 4}, Case{kSubsetScreen, 3},
                          Case{kParamsScreen, 3}, Case{7, 0}}) {
        AppFixture f;
        ASSERT_TRUE(f.create());
        f.command(kCmdFixedWhole);
        f.command(kCmdJointDetection);
        f.app.screenMode = c.mode;
        const render::RecordingSurface s = f.paint();
        EXPECT_EQ(c.blits, static_cast<int>(s.opsOf(render::RecordedOp::Blit).size())) << c.mode;
        EXPECT_NE(nullptr, s.findText(" series length: ")) << c.mode;
        EXPECT_NE(nullptr, s.findText(" noise level: ")) << c.mode;
    }
}

TEST(Paint, SelectButtonShowsSelectAllUpToHalfTheEtalons) {
    AppFixture f;
    ASSERT_TRUE(f.create());
    f.command(kCmdFixedWhole);
    f.command(kCmdJointDetection);
    f.app.screenMode = kAlphabetScreen;
    f.app.requiredFlags.fill(0);
    for (int k = 1; k <= 10; ++k)
        f.app.requiredFlags[k] = 1;
    render::RecordingSurface s = f.paint();
    EXPECT_EQ(1, f.app.layout.selectAllShown);
    const auto blits = s.opsOf(render::RecordedOp::Blit);
    EXPECT_EQ(&*f.app.IDB_BITMAP5, blits.back().bitmap);
    f.app.requiredFlags[11] = 1;
    s = f.paint();
    EXPECT_EQ(0, f.app.layout.selectAllShown);
    EXPECT_EQ(&*f.app.IDB_BITMAP4, s.opsOf(render::RecordedOp::Blit).back().bitmap);
    f.app.requiredFlags[11] = 2;  // only 1 counts as selected
    f.paint();
    EXPECT_EQ(1, f.app.layout.selectAllShown);
}

// The dot of a selector panel: black when the picked value is the applied one, grey otherwise;
// an index outside the list marks the first entry.
TEST(ValueSelector, DotMarksThePickedEntry) {
    struct Case {
        int32_t selected, current;
        size_t dotEntry;
        platform::Colour fill;
    };
    const int32_t values[] = {20, 35, 50};
    for (const Case& c :
         {Case{2, 35, 1, render::kSelectorApplied}, Case{2, 20, 1, render::kSelectorPending},
          Case{0, 20, 0, render::kSelectorApplied}, Case{4, 50, 0, render::kSelectorPending}}) {
        render::RecordingSurface s;
        std::array<Rect, 3> items{};
        render::drawValueSelector(s, Rect{100, 50, 299, 122}, items, " noise level: ", 3, values,
                                  c.selected, c.current, 12);
        const auto ellipses = s.opsOf(render::RecordedOp::Ellipse);
        ASSERT_EQ(4u, ellipses.size());
        const render::RecordedOp& dot = ellipses.back();
        EXPECT_EQ(c.fill, dot.brush.colour) << c.selected;
        EXPECT_EQ(items[c.dotEntry].left + 1, dot.x1);  // inset (12 + 1) >> 3 = 1
        EXPECT_EQ(items[c.dotEntry].top + 1, dot.y1);
        EXPECT_EQ(items[c.dotEntry].left + 11, dot.x2);
        EXPECT_EQ((Rect{110, 68, 290, 85}), items[0]);  // y = 50 + 6 + 12, w = 200
        EXPECT_EQ(86, items[1].top);
        EXPECT_NE(nullptr, s.findText("    35 "));
    }
}

}  // namespace
}  // namespace app
