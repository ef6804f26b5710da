#include "simulation_graphs.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "image_surface.h"
#include "platform/allocation.h"
#include "recording_surface.h"
#include "simulation_graph_fixture.h"

namespace render {
namespace {

using testing::GraphInputs;
using testing::Grid;
using testing::makeRecord;

// The paint driver's layout for a client of W x H with the recording surface's font.
ScreenLayout screenFor(int32_t W, int32_t H) {
    ScreenLayout l;
    l.lineHeight = 12;
    layoutCellGrid(l, W, H, 20);
    return l;
}

bool isSymbol(const RecordedOp& o) {
    return o.font.face == FontFace::Symbol;
}

std::vector<std::string> symbolTexts(const RecordingSurface& s) {
    std::vector<std::string> out;
    for (const auto& o : s.opsOf(RecordedOp::Text))
        if (isSymbol(o))
            out.push_back(o.text);
    return out;
}

// The six value labels, bottom to top, as drawn.
std::vector<std::string> valueLabels(const RecordingSurface& s) {
    std::vector<std::string> all = symbolTexts(s);
    // The formula (if any) and the font line come first.
    const auto fontLine = std::find_if(all.begin(), all.end(),
                                       [](const std::string& t) { return t.find("->") != t.npos; });
    if (fontLine == all.end() || all.end() - fontLine < 7)
        return {};
    return std::vector<std::string>(fontLine + 1, fontLine + 7);
}

struct Drawing {
    platform::RecordingWindow window;
    RecordingSurface surface;
    ScreenLayout screen = screenFor(800, 600);
    SimulationGraphSettings settings;
    int result = -1;

    int draw(const GraphInputs& in, const simulation::RestErrorHeader* r,
             ReservedSubsetRects rects = {}) {
        surface.clear();
        result =
            DrawDetectionArrayZ(window, surface, screen, settings, uint16_t(in.required.size()),
                                in.required.data(), r, in.series.get(), rects);
        return result;
    }
    SimulationGraphLayout layout(const GraphInputs& in, const simulation::RestErrorHeader* r) {
        RecordingSurface measure;
        return *simulationGraphLayout(measure, screen, settings, uint16_t(in.required.size()),
                                      in.required.data(), r, in.series.get());
    }
};

TEST(SimulationGraphs, RecognitionAxisRunsFromZeroToHalfInTenths) {
    GraphInputs in;
    auto r = makeRecord(Grid{});
    Drawing d;
    d.settings.graphKind = kRecognitionComponentwise;
    ASSERT_EQ(d.draw(in, r.get()), 1);
    EXPECT_EQ(valueLabels(d.surface),
              (std::vector<std::string>{"0.00", "0.10", "0.20", "0.30", "0.40", "0.50"}));
    EXPECT_TRUE(d.window.messages().empty());

    // The labels stand left of the box, level with the grid lines they name.
    const SimulationGraphLayout l = d.layout(in, r.get());
    const GraphBoxLayout& b = l.box;
    EXPECT_EQ(b.height % 40, 0);
    EXPECT_EQ(b.gridStep * 10, b.height);
    EXPECT_EQ(b.dx % 2, 0);
    EXPECT_EQ(b.width, 28 * b.dx);
    for (int i = 0; i <= 5; ++i) {
        const PlacedText& t = b.valueLabels[size_t(i)];
        EXPECT_LT(t.x + 6 * int32_t(t.text.size()), b.left);
        EXPECT_EQ(t.y + b.labelHeight / 2, b.bottom() - 2 * i * b.gridStep);
    }
    // Noise labels under every fourth level, then the sigma.
    EXPECT_EQ(b.labelledLevels, (std::vector<int32_t>{0, 4, 8, 12, 16, 20, 24, 28}));
    EXPECT_EQ(b.noiseLabels.back().text, "140");
    EXPECT_EQ(b.sigma.text, "s");
    EXPECT_GT(b.sigma.x, b.noiseLabels.back().x + 18);
}

TEST(SimulationGraphs, FixedUpperBoundScalesLabelsAndCurves) {
    GraphInputs in;
    Grid g;
    g.P = 1;
    g.L = 3;
    auto r = makeRecord(g);
    r->lpRecognitionErrors[1][0] = 1;  // 0.25 of the repeats at the middle level
    Drawing d;
    d.settings.graphKind = kRecognitionAggregateBounds;
    const auto middleHeight = [&] {
        const SimulationGraphLayout l = d.layout(in, r.get());
        for (const auto& o : d.surface.opsOf(RecordedOp::LineTo))
            if (o.x2 == l.box.left + l.box.dx && o.y1 != o.y2 && o.x1 == l.box.left)
                return l.box.bottom() - o.y2;  // the first stroke of the first curve
        return -1;
    };
    ASSERT_EQ(d.draw(in, r.get()), 1);
    const int32_t loose = middleHeight();
    const int32_t H = d.layout(in, r.get()).box.height;
    EXPECT_EQ(loose, H / 2);

    d.settings.fixedUpperBound = 1;
    d.settings.upperBound = 0.25;
    ASSERT_EQ(d.draw(in, r.get()), 1);
    EXPECT_EQ(valueLabels(d.surface),
              (std::vector<std::string>{"0.00", "0.05", "0.10", "0.15", "0.20", "0.25"}));
    EXPECT_EQ(middleHeight(), H);  // 0.25 is now the top

    // Below 50 thousandths: three decimals.
    d.settings.upperBound = 0.04;
    ASSERT_EQ(d.draw(in, r.get()), 1);
    EXPECT_EQ(valueLabels(d.surface),
              (std::vector<std::string>{"0.000", "0.008", "0.016", "0.024", "0.032", "0.040"}));
    // A bound switched off again gives the rounded top back.
    d.settings.fixedUpperBound = 0;
    ASSERT_EQ(d.draw(in, r.get()), 1);
    EXPECT_EQ(valueLabels(d.surface).back(), "0.50");
}

TEST(SimulationGraphs, CaptionBlockAndInformationLines) {
    GraphInputs in;
    Drawing d;
    d.settings.graphKind = kDetectionComponentwise;
    d.settings.startTime = 1000;
    d.settings.endTime = 1059;
    d.screen = screenFor(1280, 960);
    for (uint16_t P : {3, 4}) {
        Grid g;
        g.P = P;
        auto r = makeRecord(g);
        ASSERT_EQ(d.draw(in, r.get()), 1);
        const auto* involves = d.surface.findText(" involves ");
        ASSERT_TRUE(involves);
        EXPECT_EQ(involves->text, P == 3 ? " involves  6, 8, 10 pulses from [6-30],"
                                         : " involves  6, 8,..., 12 pulses from [6-30],");
        EXPECT_FALSE(isSymbol(*involves));
        const auto* elapsed = d.surface.findText("elapsed time ");
        ASSERT_TRUE(elapsed);
        EXPECT_EQ(elapsed->text, "elapsed time 0:00:59");
        EXPECT_TRUE(d.surface.findText("etEnergy=72000, Rmin=-72000, Rmax=0"));
        EXPECT_TRUE(d.surface.findText(" detection error, componentwise case"));
        // The caption block starts 10 pixels in from the work area's left edge.
        const auto* first = d.surface.findText(" statistical simulation for recognition");
        ASSERT_TRUE(first);
        EXPECT_EQ(first->x1, d.screen.workAreaRect.left + 10);
        EXPECT_EQ(involves->y1 - first->y1, 2 * (12 + 1));
        EXPECT_LT(involves->y1, elapsed->y1);
    }
}

TEST(SimulationGraphs, FontsFormulaAndFontLine) {
    GraphInputs in;
    auto r = makeRecord(Grid{});
    Drawing d;
    d.settings.graphKind = kRestoredAggregate;
    const Font text{FontFace::Text, 13, 400};
    d.surface.selectFont(text);
    ASSERT_EQ(d.draw(in, r.get()), 1);
    EXPECT_EQ(d.surface.font(), text);  // the caller's font again at the end
    // Work area 578 pixels high: (578 + 12) / 25 and (578 + 11) / 22.
    const auto* formula = d.surface.findText("e(s)=");
    ASSERT_TRUE(formula);
    EXPECT_EQ(formula->text, "e(s)=E||C-<C>||2/||C||2");
    EXPECT_EQ(formula->font, (Font{FontFace::Symbol, 23, 408}));
    const auto* fontLine = d.surface.findText(" 26 -> ");
    ASSERT_TRUE(fontLine);
    EXPECT_EQ(fontLine->text, " 26 -> 26");
    EXPECT_EQ(fontLine->font, (Font{FontFace::Symbol, 26, 408}));
    const auto* label = d.surface.findText("0.50");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->font, fontLine->font);
    EXPECT_EQ(d.surface.findText(" from 0 to 140")->font, text);

    d.settings.graphKind = kDetectionAggregate;
    ASSERT_EQ(d.draw(in, r.get()), 1);
    EXPECT_EQ(d.surface.findText("e(s)=")->text, "e(s)=E||h-<h>||2/||h||2");
    d.settings.graphKind = kRecognitionAggregate;
    ASSERT_EQ(d.draw(in, r.get()), 1);
    EXPECT_FALSE(d.surface.findText("e(s)="));

    // A small work area: heights not above the line height become lineHeight + 2.
    GraphLayoutInput small;
    small.workArea = Rect{10, 10, 400, 209};
    small.lineHeight = 12;
    small.levels = 2;
    small.noiseLevels = {0, 5};
    RecordingSurface s;
    const SimulationGraphLayout l = layoutSimulationGraphs(s, small);
    EXPECT_EQ(l.formulaFont, (Font{FontFace::Symbol, 14, 408}));
    EXPECT_EQ(l.labelFont, (Font{FontFace::Symbol, 14, 408}));
}

TEST(SimulationGraphs, BoundCurvesOfKindThirteen) {
    GraphInputs in;
    Grid g;
    g.noiseFrom = 100;
    g.noiseStep = 100;
    g.L = 5;
    auto r = makeRecord(g);
    Drawing d;
    d.settings.graphKind = kRecognitionAggregateBounds;
    ASSERT_EQ(d.draw(in, r.get()), 1);
    const GraphBoxLayout b = d.layout(in, r.get()).box;
    // The sum curve and two bound curves, three strokes each, from the bottom left corner.
    std::vector<RecordedOp> starts;
    const auto& ops = d.surface.ops();
    for (size_t i = 0; i + 1 < ops.size(); ++i)
        if (ops[i].kind == RecordedOp::MoveTo && ops[i + 1].kind == RecordedOp::LineTo &&
            ops[i].y1 >= b.bottom() && ops[i].x1 <= b.left + 1 && ops[i].x1 >= b.left)
            starts.push_back(ops[i + 1]);
    ASSERT_EQ(starts.size(), 9u);
    for (size_t i = 0; i < 9; ++i) {
        const int32_t dx = i % 3 == 1 ? 1 : 0;
        EXPECT_EQ(starts[i].x2, b.left + (i < 3 ? 0 : b.dx) + dx) << i;
    }
    // Kind 5 has the sum curve alone, with its label.
    d.settings.graphKind = kRecognitionAggregate;
    ASSERT_EQ(d.draw(in, r.get()), 1);
    const auto texts = symbolTexts(d.surface);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "S"), texts.end());
    size_t moves = 0;
    for (const auto& o : d.surface.opsOf(RecordedOp::MoveTo))
        moves += o.y1 >= b.bottom() && o.x1 >= b.left && o.x1 <= b.left + 1;
    EXPECT_EQ(moves, 3u);
}

TEST(SimulationGraphs, NothingToDrawAndFailedWorkingArrays) {
    GraphInputs in;
    auto r = makeRecord(Grid{});
    Drawing d;
    const auto refused = [&](const simulation::RestErrorHeader* record) {
        EXPECT_EQ(d.draw(in, record), 0);
        EXPECT_EQ(d.surface.texts(),
                  (std::vector<std::string>{" no complete statistical simulation to show "}));
        EXPECT_TRUE(d.window.messages().empty());
    };
    refused(nullptr);
    r->ifComplete = 0;  // a run that was stopped or is still going
    refused(r.get());
    r->ifComplete = 1;
    in.series.reset();
    refused(r.get());

    GraphInputs again;
    for (long successes : {0L, 2L}) {
        d.window.clear();
        d.surface.clear();
        platform::FailingAllocations failing(successes);
        EXPECT_EQ(DrawDetectionArrayZ(d.window, d.surface, d.screen, d.settings, 2,
                                      again.required.data(), r.get(), again.series.get(), {}),
                  0);
        EXPECT_TRUE(d.surface.ops().empty());
        ASSERT_EQ(d.window.messages().size(), 1u);
        EXPECT_EQ(d.window.messages()[0].text, "No memory to RestoredErrorNormalizer");
        EXPECT_EQ(d.window.messages()[0].title, " ERROR in DrawDetectionArrayZ ");
    }
}

TEST(SimulationGraphs, PatternPanelRowsForTheMouse) {
    GraphInputs in;
    in.storeTuples({{1, 2, 3}, {4, 5}, {6, 7, 8}});
    Grid g;
    g.seriesKind = 40;
    g.taskKind = 40;
    auto r = makeRecord(g);
    Drawing d;
    d.settings.graphKind = kRecognitionComponentwiseBounds;
    Rect rows[3] = {};
    const Rect untouched{1, 2, 3, 4};
    rows[2] = untouched;
    ASSERT_EQ(d.draw(in, r.get(), {rows, 2}), 1);
    EXPECT_TRUE(d.surface.findText(" pattern tuples "));
    const SimulationGraphLayout l = d.layout(in, r.get());
    ASSERT_TRUE(l.pattern.shown);
    EXPECT_EQ(l.pattern.rowsShown, 3);
    EXPECT_EQ(rows[0], l.pattern.rowRect(0));
    EXPECT_EQ(rows[1], l.pattern.rowRect(1));
    EXPECT_EQ(rows[2], untouched);  // beyond the capacity given
    EXPECT_EQ(rows[1].top - rows[0].top, l.pattern.itemHeight + l.pattern.padY);
    // Below the information lines, at the left margin, with the graph beside it.
    EXPECT_EQ(l.pattern.left, d.screen.workAreaRect.left + 10);
    EXPECT_GT(l.pattern.caption.y, l.infoLines.back().y);
    EXPECT_GT(l.box.left, l.pattern.left + l.pattern.width);

    // A detection run on a tuple series shows its one pattern tuple; other series none.
    GraphInputs single;
    single.storeSubset({3, 1, 4, 1, 5});
    g.taskKind = 36;
    g.seriesKind = 36;
    r = makeRecord(g);
    ASSERT_EQ(d.draw(single, r.get()), 1);
    EXPECT_TRUE(d.surface.findText(" pattern tuple "));
    EXPECT_FALSE(d.surface.findText(" pattern tuples "));
    g.seriesKind = 8;
    r = makeRecord(g);
    ASSERT_EQ(d.draw(single, r.get()), 1);
    EXPECT_FALSE(d.surface.findText(" pattern tuple"));
}

TEST(SimulationGraphs, AlphabetPanelAtTheUpperRight) {
    GraphInputs in;
    auto r = makeRecord(Grid{});
    Drawing d;
    d.screen = screenFor(1280, 960);
    in.required = {1};
    ASSERT_EQ(d.draw(in, r.get()), 1);
    EXPECT_TRUE(d.surface.findText(" Alphabet, 1 item "));
    const SimulationGraphLayout l = d.layout(in, r.get());
    EXPECT_EQ(l.alphabet.left + l.alphabet.width + l.alphabet.marginX - 1,
              d.screen.workAreaRect.right);
    const auto boxes = d.surface.opsOf(RecordedOp::Rectangle);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].x1, l.alphabet.left);
    EXPECT_EQ(boxes[0].y1, l.alphabet.top);

    d.screen = screenFor(800, 600);  // a box below 100 pixels takes the short caption
    in.required = {1, 2, 3};
    ASSERT_EQ(d.draw(in, r.get()), 1);
    EXPECT_TRUE(d.surface.findText(" Alph: 3 "));
    const SimulationGraphLayout small = d.layout(in, r.get());
    EXPECT_EQ(small.alphabet.rows, 2);
    EXPECT_EQ(
        small.alphabet.cell(2, 12).left,
        small.alphabet.cell(0, 12).left + small.alphabet.cellWidth + 2 * small.alphabet.marginX);
}

// Records like RecordingSurface but measures text with the pixel surface's fonts.
class RealMetricsSurface : public RecordingSurface {
  public:
    Font selectFont(const Font& font) override {
        image_.selectFont(font);
        return RecordingSurface::selectFont(font);
    }
    TextMetrics textMetrics() override { return image_.textMetrics(); }
    Size textExtent(std::string_view text) override { return image_.textExtent(text); }

  private:
    Bitmap picture_{1, 1};
    ImageSurface image_{picture_};
};

// The extent of a recorded op, for the containment check.
Rect extentOf(Surface& measure, const RecordedOp& o) {
    switch (o.kind) {
        case RecordedOp::Text: {
            ScopedFont f(measure, o.font);
            const Size e = measure.textExtent(o.text);
            return Rect{o.x1, o.y1, o.x1 + e.cx - 1, o.y1 + e.cy - 1};
        }
        case RecordedOp::LineTo:
            return Rect{std::min(o.x1, o.x2), std::min(o.y1, o.y2), std::max(o.x1, o.x2),
                        std::max(o.y1, o.y2)};
        case RecordedOp::Rectangle:
            return Rect{o.x1, o.y1, o.x2 - 1, o.y2 - 1};
        default:
            return Rect{o.x1, o.y1, o.x1, o.y1};
    }
}

bool inside(const Rect& inner, const Rect& outer) {
    return outer.left <= inner.left && inner.right <= outer.right && outer.top <= inner.top &&
           inner.bottom <= outer.bottom;
}

bool intersect(const Rect& a, const Rect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

struct LayoutCase {
    const char* name;
    int32_t kind;
    Grid grid;
    std::vector<uint16_t> required;
    std::vector<std::vector<int32_t>> tuples;
    std::vector<int32_t> subset;
};

std::vector<LayoutCase> layoutCases() {
    std::vector<uint16_t> all20;
    for (uint16_t i = 1; i <= 20; ++i)
        all20.push_back(i);
    std::vector<std::vector<int32_t>> tenTuples;
    for (int32_t t = 0; t < 10; ++t)
        tenTuples.push_back({1 + t, 2 + t, 3 + t});
    return {
        {"joint detection, 25 pulse counts",
         kDetectionComponentwise,
         Grid{25, 6, 1, 29, 0, 5, 100, 8, 4, 75},
         all20,
         {},
         {}},
        {"ten tuples with bounds",
         kRecognitionComponentwiseBounds,
         Grid{3, 6, 2, 29, 0, 5, 100, 40, 40, 100},
         all20,
         tenTuples,
         {}},
        {"one pattern tuple, dense levels",
         kRestoredComponentwise,
         Grid{4, 6, 2, 60, 0, 500, 9, 36, 36, 100},
         {1, 2, 3, 4, 5},
         {},
         {1, 2, 3, 4, 5, 6}},
        {"one etalon, two levels",
         kRestoredAggregate,
         Grid{1, 30, 1, 2, 0, 50, 10, 1, 1, 100},
         {7},
         {},
         {}},
    };
}

// At 800 x 600, 1280 x 960 and 1920 x 1080 the blocks lie in the work area without touching
// each other, the graph keeps a box of two grid heights at least, every tuple row fits, and
// every op drawn lies in one of the blocks.
template <class S>
void checkBlocksDoNotOverlap() {
    for (const LayoutCase& c : layoutCases()) {
        GraphInputs in;
        in.required = c.required;
        if (!c.tuples.empty())
            in.storeTuples(c.tuples);
        if (!c.subset.empty())
            in.storeSubset(c.subset);
        auto r = makeRecord(c.grid);
        for (auto [W, H] : {std::pair{800, 600}, {1280, 960}, {1920, 1080}}) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(W) + "x" +
                         std::to_string(H));
            S surface, measure;
            const TextMetrics m = measure.textMetrics();
            ScreenLayout screen;
            screen.lineHeight = m.height + m.externalLeading - 1;
            layoutCellGrid(screen, W, H, 20);
            SimulationGraphSettings settings;
            settings.graphKind = c.kind;
            platform::RecordingWindow window;
            Rect rows[10];
            const uint16_t n = uint16_t(in.required.size());
            ASSERT_EQ(DrawDetectionArrayZ(window, surface, screen, settings, n, in.required.data(),
                                          r.get(), in.series.get(), {rows, 10}),
                      1);
            const SimulationGraphLayout l = *simulationGraphLayout(
                measure, screen, settings, n, in.required.data(), r.get(), in.series.get());
            const auto& blocks = l.blocks;
            EXPECT_GE(blocks.size(), 5u);
            for (size_t i = 0; i < blocks.size(); ++i) {
                EXPECT_TRUE(inside(blocks[i].rect, screen.workAreaRect)) << blocks[i].name;
                for (size_t j = i + 1; j < blocks.size(); ++j)
                    EXPECT_FALSE(intersect(blocks[i].rect, blocks[j].rect))
                        << blocks[i].name << " and " << blocks[j].name;
            }
            EXPECT_GE(l.box.height, 80);
            if (!c.tuples.empty()) {
                EXPECT_EQ(l.pattern.rowsShown, 10);
            }
            for (const RecordedOp& o : surface.ops()) {
                if (o.kind == RecordedOp::MoveTo)
                    continue;
                const Rect e = extentOf(measure, o);
                const bool placed = std::any_of(blocks.begin(), blocks.end(),
                                                [&](const auto& b) { return inside(e, b.rect); });
                EXPECT_TRUE(placed) << "op " << o.kind << " '" << o.text << "' at " << e.left << ","
                                    << e.top << "-" << e.right << "," << e.bottom;
            }
        }
    }
}

TEST(SimulationGraphs, BlocksDoNotOverlapFromEightHundredBySixHundredUp) {
    checkBlocksDoNotOverlap<RecordingSurface>();
}

TEST(SimulationGraphs, BlocksDoNotOverlapWithTheRealFonts) {
    checkBlocksDoNotOverlap<RealMetricsSurface>();
}

}  // namespace
}  // namespace render
