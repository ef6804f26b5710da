#include "series_view.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <numeric>
#include <string>

#include "recording_surface.h"
#include "series_layout.h"
#include "series_measures.h"
#include "test_series.h"
#include "view_test_records.h"

namespace render {
namespace {

using testing::defaultScreenLayout;
using testing::makeChains;
using testing::offer;
using testing::opsIn;
using testing::Point;
using testing::polylines;
using testing::setDetected;

// The default screen: work area (10, 10)-(1114, 1011), line height 12, so x0 = 23, graphs
// 884 x 260 at tops 59, 331 and 603, the result text at 881, the alphabet box at (934, 31).
struct SeriesViewFixture : ::testing::Test {
    ScreenLayout layout = defaultScreenLayout();
    series::Alphabet alphabet = ::testsupport::makeAlphabet();
    series::RandomStreams streams;
    SeriesViewSettings settings;
    std::vector<uint16_t> required = std::vector<uint16_t>(20);
    RecordingSurface surface;

    SeriesViewFixture() { std::iota(required.begin(), required.end(), uint16_t{1}); }

    series::SeriesHeaderPtr generate(uint16_t K = 18, int16_t sigma = 20, uint16_t saved = 100) {
        ::testsupport::SeriesParams p;
        p.K = K;
        p.sigma = sigma;
        p.savedLevel = saved;
        std::vector<uint16_t> sequence(K);
        for (uint16_t k = 0; k < K; ++k)
            sequence[k] = static_cast<uint16_t>(k % 20 + 1);
        return ::testsupport::makeSeries(alphabet, p, sequence, streams);
    }
    int draw(const engine::ChainsHeader* chains, const series::SeriesHeader* series,
             ReservedSubsetRects rects = {}) {
        return drawSeriesView(surface, layout, settings, static_cast<uint16_t>(required.size()),
                              required.data(), chains, series, rects);
    }
    // The findings equal to the truth, and a chains record whose best chain is the truth.
    engine::ChainsHeaderPtr detectTruth(series::SeriesHeader& h, uint16_t seriesKind,
                                        uint16_t taskKind) {
        std::vector<PulseEntry> truth;
        for (int k = 0; k < h.wImpulseQuantity; ++k)
            truth.push_back(
                {h.lpPulseStart[k], h.lpPulseEtalon[k], h.lpCutBegin[k], h.lpCutEnd[k]});
        setDetected(h, truth);
        auto chains = makeChains(h.wMaxPulses, seriesKind, taskKind, 75, 60);
        offer(*chains, -1000, truth);
        chains->wSeekingPulsesQuantity = h.wImpulseQuantity;
        return chains;
    }
    static std::string fmt(const char* format, ...) __attribute__((format(printf, 1, 2))) {
        char text[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        return text;
    }
    std::string textStartingWith(std::string_view prefix) const {
        const RecordedOp* o = surface.findText(prefix);
        return o ? o->text : std::string();
    }
    // The vertical axes drawn at x0 (one per graph).
    int graphAxes(int32_t height) const {
        int n = 0;
        for (const auto& line : polylines(surface))
            if (line.size() == 2 && line[0].first == 23 && line[1].first == 23 &&
                line[1].second - line[0].second == height)
                ++n;
        return n;
    }
};

TEST_F(SeriesViewFixture, NothingWithoutASeries) {
    EXPECT_EQ(draw(nullptr, nullptr), 1);
    EXPECT_TRUE(surface.ops().empty());
}

TEST_F(SeriesViewFixture, HeaderLinesOfAMarkedRun) {
    auto h = generate(18, 20, 75);
    auto chains = detectTruth(*h, 8, 4);
    EXPECT_EQ(draw(chains.get(), h.get()), 1);
    const auto texts = surface.opsOf(RecordedOp::Text);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0].text,
              " joint detection and identification for series with unknown number of cut-off "
              "pulses ");
    EXPECT_EQ((Point{texts[0].x1, texts[0].y1}), (Point{23, 4}));  // straddles the frame
    const SeriesEnergies e = seriesEnergies(*h);
    char expected[256];
    std::snprintf(expected, sizeof expected,
                  " series length 1200, Tmin=40, Tmax=181,  amplitude 128, noise level 20, "
                  "allN/S %.3g,  N/S %.3g",
                  e.allNS, e.NS);
    EXPECT_EQ(texts[1].text, expected);
    EXPECT_EQ(texts[1].y1, 4 + 13);
    EXPECT_EQ(texts[2].text,
              " pulses number 18 [6-30], length 20, saved energy level for making/processing "
              "75/60");
    EXPECT_EQ(texts[3].y1, 4 + 13 + 24);
    std::string pulses = " pulses:";
    for (int k = 0; k < 18; ++k)
        pulses += fmt(" %d%c[%d..%d] ", h->lpPulseStart[k], 'a' + k % 20, h->lpCutBegin[k],
                      h->lpCutEnd[k]);
    EXPECT_EQ(texts[3].text, pulses);
    // Whatever the view selected it restored.
    EXPECT_EQ(surface.pen(), Pen{});
    EXPECT_EQ(surface.brush(), Brush{});
    EXPECT_EQ(surface.font(), Font{});
}

TEST_F(SeriesViewFixture, WithoutChainsNoKindsLineAndNoChainTable) {
    auto h = generate();
    draw(nullptr, h.get());
    const auto texts = surface.opsOf(RecordedOp::Text);
    EXPECT_TRUE(texts[0].text.starts_with(" series length 1200, "));
    EXPECT_EQ(texts[0].y1, 4);
    EXPECT_EQ(textStartingWith(" n  measure"), "");
    EXPECT_EQ(textStartingWith(" 0. "), "");
    EXPECT_EQ(textStartingWith("Detected 0 (18) pulses: "), "Detected 0 (18) pulses: ");
    // Nothing restored: the error is the clean series' energy.
    EXPECT_EQ(textStartingWith("Restore Error "),
              fmt("Restore Error %d. ", seriesEnergies(*h).signal));
}

TEST_F(SeriesViewFixture, ZeroAmplitudeIsDrawnWithTheDoubledAmplitude) {
    struct Case {
        int16_t noise, amplitude;
    } cases[] = {{100, 128}, {300, 512}};
    for (const Case& c : cases) {
        auto h = generate(18, c.noise);
        h->wAmplitude = 0;
        surface.clear();
        draw(nullptr, h.get());
        EXPECT_NE(textStartingWith(" series length")
                      .find(" amplitude " + std::to_string(c.amplitude) + ","),
                  std::string::npos)
            << c.noise;
        // Scaled exactly as a series of that amplitude.
        const auto zero = surface.ops();
        h->wAmplitude = c.amplitude;
        surface.clear();
        draw(nullptr, h.get());
        ASSERT_EQ(surface.ops().size(), zero.size());
        for (size_t i = 0; i < zero.size(); ++i) {
            EXPECT_EQ(surface.ops()[i].x1, zero[i].x1);
            EXPECT_EQ(surface.ops()[i].y1, zero[i].y1);
            EXPECT_EQ(surface.ops()[i].x2, zero[i].x2);
            EXPECT_EQ(surface.ops()[i].y2, zero[i].y2);
        }
    }
}

TEST_F(SeriesViewFixture, TheHeaderListsNineteenPulses) {
    auto h = generate(25);
    draw(nullptr, h.get());
    std::string expected = " pulses:";
    for (int k = 0; k < 19; ++k)
        expected += fmt(" %d", h->lpPulseStart[k]);
    EXPECT_EQ(textStartingWith(" pulses:"), expected + "...");
}

TEST_F(SeriesViewFixture, DetectedCountWordAndParentheses) {
    auto h = generate();
    struct Case {
        std::vector<PulseEntry> found;
        std::string expected;
    } cases[] = {
        {{{100, 3, 0, 19}}, "Detected 1 (18) pulse:  100c"},
        {{{100, 3, 0, 19}, {300, 4, 0, 19}}, "Detected 2 (18) pulses:  100c 300d"},
    };
    for (const Case& c : cases) {
        setDetected(*h, c.found);
        surface.clear();
        draw(nullptr, h.get());
        EXPECT_EQ(textStartingWith("Detected"), c.expected);
    }
    auto chains = detectTruth(*h, 1, 1);  // as many found as there are
    surface.clear();
    draw(chains.get(), h.get());
    EXPECT_TRUE(textStartingWith("Detected").starts_with("Detected 18 pulses: "));
}

TEST_F(SeriesViewFixture, TheDetectedListStopsAtTheTenthPulse) {
    auto h = generate();
    auto chains = detectTruth(*h, 1, 1);
    draw(chains.get(), h.get());
    std::string expected = "Detected 18 pulses: ";
    for (int k = 0; k < 9; ++k)
        expected += fmt(" %d", h->lpPulseStart[k]);
    EXPECT_EQ(textStartingWith("Detected"), expected + " ... ");
}

TEST_F(SeriesViewFixture, SixChainLinesAndTheTruePlacement) {
    auto h = generate();
    auto chains = detectTruth(*h, 1, 1);
    for (int r = 1; r < 10; ++r)
        offer(*chains, 1000 * r, {{static_cast<int16_t>(10 * r), 1, 0, 19}});
    ASSERT_EQ(chains->wPretenders, 10);
    draw(chains.get(), h.get());
    ASSERT_NE(surface.findText(" n  measure "), nullptr);
    EXPECT_EQ(surface.findText(" n  measure ")->text, " n  measure ");
    EXPECT_EQ(surface.findText(" n  measure ")->y1, 881 + 24);
    EXPECT_EQ(textStartingWith("  positions"), "  positions of etalons in series");
    EXPECT_EQ(surface.findText("  positions")->x1, 123);
    for (int r = 1; r <= 6; ++r) {
        char head[16];
        std::snprintf(head, sizeof head, "%2d. ", r);
        const RecordedOp* line = surface.findText(head);
        ASSERT_NE(line, nullptr) << r;
        EXPECT_EQ(line->y1, 881 + 24 + 13 + 12 * (r - 1));
    }
    EXPECT_EQ(surface.findText(" 7. "), nullptr);
    EXPECT_EQ(textStartingWith(" 1. "), " 1.     -1000");
    EXPECT_EQ(textStartingWith(" 2. "), " 2.      1000");
    const auto texts = surface.texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "  10"), texts.end());  // chain 2, no letters
    char truth[32];
    std::snprintf(truth, sizeof truth, " 0.   %7d", placementMeasure(*h));
    const RecordedOp* comparison = surface.findText(" 0. ");
    ASSERT_NE(comparison, nullptr);
    EXPECT_EQ(comparison->text, truth);
    EXPECT_EQ(comparison->y1, 881 + 24 + 13 + 12 * 6 + 3);  // (12 + 3) / 4 lower
    EXPECT_EQ(textStartingWith("Restore Error "), "Restore Error 0. ");
}

TEST_F(SeriesViewFixture, ChainPulsesStopAtNineteen) {
    auto h = generate(25);
    auto chains = detectTruth(*h, 2, 4);
    draw(chains.get(), h.get());
    std::string expected;
    for (int k = 0; k < 19; ++k)
        expected += fmt("  %d%c [%d..%d] ", h->lpPulseStart[k], 'a' + k % 20, h->lpCutBegin[k],
                        h->lpCutEnd[k]);
    expected += " ... ";
    const auto texts = surface.texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), expected), 2);  // chain 1 and the truth
    EXPECT_EQ(textStartingWith("  positions"), "  positions and names of etalons in series");
}

TEST_F(SeriesViewFixture, CutRangesOnlyForCutOffKinds) {
    auto h = generate(18, 20, 75);
    for (uint16_t kind : {1, 2, 4, 8, 36, 40}) {
        auto chains = detectTruth(*h, kind, 4);
        surface.clear();
        draw(chains.get(), h.get());
        const bool cut = kind == 2 || kind == 8;
        const std::string pulses = textStartingWith(" pulses:");
        EXPECT_EQ(pulses.find('[') != std::string::npos, cut) << kind;
        EXPECT_EQ(textStartingWith(" 1. ").empty(), false);
        const std::string label = fmt("%da", h->lpPulseStart[0]);
        EXPECT_EQ(
            textStartingWith(label),
            cut ? fmt("%da[%d..%d] ", h->lpPulseStart[0], h->lpCutBegin[0], h->lpCutEnd[0]) : label)
            << kind;
        const std::string tail = textStartingWith(fmt("  %d", h->lpPulseStart[0]));
        EXPECT_EQ(tail.find(" [") != std::string::npos, cut) << kind;
        EXPECT_EQ(textStartingWith(" pulses number").find("saved energy") != std::string::npos,
                  cut);
    }
}

TEST_F(SeriesViewFixture, LettersFollowTheTaskOnceTheRunIsMarked) {
    auto h = generate();
    const std::string first = std::to_string(h->lpPulseStart[0]);
    struct Case {
        uint16_t seriesKind, taskKind;
        bool letters;
    } cases[] = {{1, 1, false}, {1, 4, true}, {4, 2, true}, {0, 0, true}};
    for (const Case& c : cases) {
        auto chains = detectTruth(*h, c.seriesKind, c.taskKind);  // kind 0: not marked
        surface.clear();
        draw(chains.get(), h.get());
        const std::string pulses = textStartingWith(" pulses:");
        const std::string head = " pulses: " + first;
        ASSERT_TRUE(pulses.starts_with(head));
        EXPECT_EQ(pulses.size() > head.size() && pulses[head.size()] == 'a', c.letters)
            << c.taskKind;
        EXPECT_EQ(textStartingWith("Detected").find(first + "a") != std::string::npos, c.letters)
            << c.taskKind;
    }
    // Unmarked, the first detected etalon decides.
    h->lpDetectedEtalon[0] = 0;
    surface.clear();
    draw(nullptr, h.get());
    EXPECT_EQ(textStartingWith(" pulses:").find(first + "a"), std::string::npos);
}

TEST_F(SeriesViewFixture, RecognitionNamesTheEtalonBesideEachChain) {
    auto h = generate();
    for (int k = 0; k < h->wImpulseQuantity; ++k)
        h->lpPulseEtalon[k] = 5;
    auto chains = detectTruth(*h, 1, 2);
    required = {3, 5, 7};
    draw(chains.get(), h.get());
    EXPECT_EQ(textStartingWith(" n et"), " n et  measure ");
    EXPECT_TRUE(textStartingWith(" 1. ").starts_with(" 1.  e   "));
    EXPECT_TRUE(textStartingWith(" 0. ").starts_with(" 0.  e   "));
    // The recognised etalon's cell is grey: place 1 of the list (etalon 5), in the first column
    // (two rows), second row.
    const auto fills = opsIn(surface, RecordedOp::FillRect, 0xA3A3A3);
    ASSERT_EQ(fills.size(), 1u);
    const SeriesLayout l = computeSeriesLayout(layout.workAreaRect, 12, false, 3);
    EXPECT_EQ(fills[0].x1, l.alphabetBoxLeft + l.marginX - 3);
    const int32_t cellTop = l.alphabetBoxTop + l.gapY + l.alphabetCellHeight + l.halfGapY + 12;
    EXPECT_EQ(fills[0].y1, cellTop + 1 + 12 + 3 - 1);
    EXPECT_EQ(surface.findText(" e ")->y1, cellTop + 2);
}

TEST_F(SeriesViewFixture, AlphabetColumnCaptionAndCells) {
    auto h = generate();
    draw(nullptr, h.get());
    const RecordedOp* caption = surface.findText(" Alphabet, ");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text, " Alphabet, 20 items ");
    EXPECT_EQ((Point{caption->x1, caption->y1}), (Point{934 + 7, 31 - 15}));
    // Column by column: places 0..9 in the first column, 10..19 in the second.
    const RecordedOp* b = surface.findText(" b ");
    const RecordedOp* k = surface.findText(" k ");
    ASSERT_TRUE(b && k);
    EXPECT_EQ((Point{b->x1, b->y1}), (Point{934 + 13, 31 + 15 + (73 + 8 + 12) + 2}));
    EXPECT_EQ((Point{k->x1, k->y1}), (Point{934 + 13 + 55 + 26, 31 + 15 + 2}));

    required = {4};
    surface.clear();
    draw(nullptr, h.get());
    EXPECT_EQ(textStartingWith(" Alphabet"), " Alphabet, 1 item ");
    // A narrow work area: the box is below 100 pixels wide.
    layout.workAreaRect = Rect{10, 10, 600, 700};
    surface.clear();
    draw(nullptr, h.get());
    EXPECT_EQ(textStartingWith(" Alph"), " Alph: 1 ");
}

TEST_F(SeriesViewFixture, ThreeOutlinedGraphsOrTheSpecialSizeWithout) {
    auto h = generate();
    auto chains = detectTruth(*h, 1, 4);
    draw(chains.get(), h.get());
    EXPECT_EQ(graphAxes(260), 3);
    int outlines = 0;
    for (const RecordedOp& r : surface.opsOf(RecordedOp::Rectangle))
        outlines += r.x1 == 23 && r.x2 == 23 + 884 + 1 && r.y2 - r.y1 == 261;
    EXPECT_EQ(outlines, 3);

    settings.specialGraphSize = 1;
    surface.clear();
    draw(chains.get(), h.get());
    EXPECT_EQ(graphAxes(112), 3);
    for (const RecordedOp& r : surface.opsOf(RecordedOp::Rectangle))
        EXPECT_NE(r.x1, 23);
    const auto lines = polylines(surface);
    const bool zeroLine =
        std::find(lines.begin(), lines.end(),
                  std::vector<Point>{{23, 59 + 56}, {23 + 618, 59 + 56}}) != lines.end();
    EXPECT_TRUE(zeroLine);
}

TEST_F(SeriesViewFixture, TheRestoredGraphNeedsEveryDetectedEtalon) {
    auto h = generate();
    auto chains = detectTruth(*h, 1, 4);
    h->lpDetectedEtalon[5] = 0;
    draw(chains.get(), h.get());
    EXPECT_EQ(graphAxes(260), 2);
    setDetected(*h, {});  // none found: drawn
    surface.clear();
    draw(chains.get(), h.get());
    EXPECT_EQ(graphAxes(260), 3);
}

TEST_F(SeriesViewFixture, OptionalMarksOfTheGraphs) {
    auto h = generate();
    auto chains = detectTruth(*h, 1, 4);
    settings.shadedOriginalPulses = 0;
    draw(chains.get(), h.get());
    EXPECT_TRUE(surface.opsOf(RecordedOp::SetPixel).empty());
    settings.highlightDetectedPulses = 1;
    surface.clear();
    draw(chains.get(), h.get());
    // Brackets in all three graphs.
    int graphsBracketed = 0;
    for (int g = 0; g < 3; ++g) {
        const int32_t mid = layout.workAreaRect.top + 49 + 272 * g + 130;
        bool found = false;
        for (const RecordedOp& o : surface.opsOf(RecordedOp::SetPixel))
            found |= o.y1 == mid;
        graphsBracketed += found;
    }
    EXPECT_EQ(graphsBracketed, 3);
}

TEST_F(SeriesViewFixture, TupleResultsListTheTuples) {
    auto h = generate();
    auto chains = makeChains(30, 36, 36);
    setDetected(*h, {{40, 1, 0, 19}, {90, 2, 0, 19}, {200, 3, 0, 19}, {260, 4, 0, 19}});
    h->wDetectedTuples = 2;
    h->lpTupleFirst[0] = 1, h->lpTupleLast[0] = 2;
    h->lpTupleFirst[1] = 3, h->lpTupleLast[1] = 4;
    draw(chains.get(), h.get());
    EXPECT_EQ(textStartingWith("Detected"), "Detected 4 (18) pulses:  {40a 90b}  {200c 260d} ");

    // A tuple starting beyond the twentieth pulse ends the list.
    std::vector<PulseEntry> many;
    for (int k = 0; k < 22; ++k)
        many.push_back({static_cast<int16_t>(50 * k), 1, 0, 19});
    setDetected(*h, many);
    h->wDetectedTuples = 3;
    h->lpTupleFirst[0] = 1, h->lpTupleLast[0] = 1;
    h->lpTupleFirst[1] = 19, h->lpTupleLast[1] = 19;  // index 18
    h->lpTupleFirst[2] = 20, h->lpTupleLast[2] = 22;  // index 19
    surface.clear();
    draw(chains.get(), h.get());
    EXPECT_EQ(textStartingWith("Detected"), "Detected 22 (18) pulses:  {0a}  {900a}  ... ");
    // Tuple marks in graph 1 whatever the series kind, in graphs 2 and 3 only on tuple series.
    EXPECT_EQ(opsIn(surface, RecordedOp::Rectangle, 0xB2BFC0).size(), 3u * 3);
    auto detectionOnly = makeChains(30, 1, 36);
    surface.clear();
    draw(detectionOnly.get(), h.get());
    EXPECT_EQ(opsIn(surface, RecordedOp::Rectangle, 0xB2BFC0).size(), 3u);
}

TEST_F(SeriesViewFixture, CountsBeyondTheCapacitiesAreNotRead) {
    auto h = generate();
    auto chains = detectTruth(*h, 40, 40);
    h->wDetectedQuantity = 60000;
    h->wImpulseQuantity = 60000;
    h->wDetectedTuples = 30000;
    h->wSubsetSize = 60000;
    h->wSubsetsQuantity = 60000;
    h->dwSeriesSize = 60000;
    chains->lpChainLength[0] = 100000;
    chains->wPretenders = 500;
    chains->wSeekingPulsesQuantity = 60000;
    required = {1, 2, 99, 0};
    settings.highlightDetectedPulses = 1;
    EXPECT_EQ(draw(chains.get(), h.get()), 1);
    chains->wTaskKind = 36;
    EXPECT_EQ(draw(chains.get(), h.get()), 1);
    EXPECT_EQ(drawSeriesView(surface, layout, settings, 5, nullptr, chains.get(), h.get(), {}), 1);
}

TEST_F(SeriesViewFixture, RecordsWithoutStorageDrawOnlyTheirTexts) {
    series::SeriesHeader series;
    series.dwSeriesSize = 1200;
    series.wImpulseQuantity = 18;
    series.wDetectedQuantity = 3;
    series.wSubsetsQuantity = 2;
    engine::ChainsHeader chains;
    chains.wPretenders = 3;
    chains.wSeekingPulsesQuantity = 3;
    chains.wKindsMark = 2;
    chains.wSeriesKind = 40;
    chains.wTaskKind = 40;
    EXPECT_EQ(draw(&chains, &series), 1);
    // Kinds without name texts print as the runtime library prints a null text.
    EXPECT_EQ(textStartingWith(" (null) for series with (null) "),
              " (null) for series with (null) ");
    EXPECT_EQ(textStartingWith("Restore Error "), "Restore Error 0. ");
    EXPECT_EQ(surface.findText(" 1. "), nullptr);
}

}  // namespace
}  // namespace render
