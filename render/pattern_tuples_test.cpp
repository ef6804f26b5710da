#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "recording_surface.h"
#include "series/selection.h"
#include "series_view.h"
#include "test_series.h"
#include "view_test_records.h"

namespace render {
namespace {

using testing::defaultScreenLayout;
using testing::makeChains;
using testing::opsIn;
using testing::Point;
using testing::polylines;

Rect rectOf(const RecordedOp& o) {
    return Rect{o.x1, o.y1, o.x2, o.y2};
}

// The default screen (work area (10, 10)-(1114, 1011), line height 12, x0 23, graphs 884 wide,
// alphabet cells 55 wide, marginX 13, gapY 15) with a generated series of 18 pulses.
struct PatternFixture : ::testing::Test {
    platform::RecordingWindow window;
    ScreenLayout layout = defaultScreenLayout();
    series::Alphabet alphabet = ::testsupport::makeAlphabet();
    series::RandomStreams streams;
    series::SeriesHeaderPtr h =
        ::testsupport::makeSeries(alphabet, ::testsupport::SeriesParams{}, {1}, streams);
    SeriesViewSettings settings;
    std::vector<uint16_t> required = std::vector<uint16_t>(20);
    std::array<Rect, 4> rows{};
    RecordingSurface surface;

    PatternFixture() { std::iota(required.begin(), required.end(), uint16_t{1}); }

    void draw(const engine::ChainsHeader& chains, int32_t capacity = 4) {
        surface.clear();
        drawSeriesView(surface, layout, settings, static_cast<uint16_t>(required.size()),
                       required.data(), &chains, h.get(), {rows.data(), capacity});
    }
    void setSubset(std::vector<int32_t> subset) {
        series::setCurrentSubset(window, subset.data(), static_cast<int32_t>(subset.size()), 4, 1,
                                 h.get());
    }
    // Letters of the etalon cells drawn on a row of the screen, left to right.
    std::vector<Point> lettersAt(int32_t y, std::string_view letter) const {
        std::vector<Point> out;
        for (const RecordedOp& o : surface.opsOf(RecordedOp::Text))
            if (o.y1 == y && o.text == letter)
                out.push_back({o.x1, o.y1});
        return out;
    }
    const RecordedOp* text(std::string_view exact) const {
        for (const RecordedOp& o : surface.ops())
            if (o.kind == RecordedOp::Text && o.text == exact)
                return &o;
        return nullptr;
    }
    bool hasRectangle(const Rect& r) const {
        for (const RecordedOp& o : surface.opsOf(RecordedOp::Rectangle))
            if (rectOf(o) == r)
                return true;
        return false;
    }
};

TEST_F(PatternFixture, TupleDetectionShowsTheSubsetInOneRow) {
    setSubset({3, 5, 7});
    auto chains = makeChains(30, 36, 36);
    draw(*chains);
    // padX = padY = 4; items 63 wide; the box 206 x 101 at the right end of the graphs; with
    // ten alphabet rows it ends with the alphabet box (31 + 968 + 1).
    EXPECT_TRUE(hasRectangle(Rect{702, 897, 908, 1000}));
    EXPECT_EQ(lettersAt(900, " c "), (std::vector<Point>{{710, 900}}));
    EXPECT_EQ(lettersAt(900, " e "), (std::vector<Point>{{777, 900}}));
    EXPECT_EQ(lettersAt(900, " g "), (std::vector<Point>{{844, 900}}));
    const auto lines = polylines(surface);
    // The first item's cell: (710, 898) to (761, 976), its plot from 898 + 16.
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), std::vector<Point>{{710, 914}, {710, 914 + 78}}),
        lines.end());
    const RecordedOp* caption = text(" pattern tuple ");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ((Point{caption->x1, caption->y1}), (Point{808, 890}));  // 899 - (6 + 3)
    EXPECT_TRUE(opsIn(surface, RecordedOp::FillRect, 0x0000FF).empty());
    EXPECT_EQ(rows[0], Rect{});  // detection records no rows
}

TEST_F(PatternFixture, FewAlphabetRowsPutTheBoxAtTheBottom) {
    setSubset({3, 5, 7});
    required = {1, 2, 3};  // two rows: cells 97 high
    auto chains = makeChains(30, 36, 36);
    draw(*chains);
    // Items 117 high, the box 125: top 1011 - 125 - 12 = 874.
    EXPECT_TRUE(hasRectangle(Rect{702, 872, 908, 999}));
}

TEST_F(PatternFixture, ALongSubsetIsNarrowedToTheGraphWidth) {
    std::vector<int32_t> subset(15);
    std::iota(subset.begin(), subset.end(), 1);
    setSubset(subset);
    auto chains = makeChains(30, 36, 36);
    draw(*chains);
    // 67 * 15 + 5 > 884: items (884 - 5) / 15 - 4 = 54 wide, the box 58 * 15 + 5 = 875.
    EXPECT_TRUE(hasRectangle(Rect{33, 897, 33 + 875, 1000}));
    EXPECT_EQ(lettersAt(900, " a "), (std::vector<Point>{{41, 900}}));
    EXPECT_EQ(lettersAt(900, " b "), (std::vector<Point>{{41 + 58, 900}}));
}

TEST_F(PatternFixture, NoBoxWithoutTupleSeriesOrSubset) {
    auto chains = makeChains(30, 36, 36);
    draw(*chains);  // no subset
    EXPECT_EQ(text(" pattern tuple "), nullptr);
    setSubset({3, 5, 7});
    auto plain = makeChains(30, 8, 36);
    draw(*plain);
    EXPECT_EQ(text(" pattern tuple "), nullptr);
}

struct RecognitionFixture : PatternFixture {
    RecognitionFixture() {
        const int32_t lengths[] = {2, 3, 1};
        const int32_t a[] = {1, 2}, b[] = {3, 4, 5}, c[] = {6};
        const int32_t* subsets[] = {a, b, c};
        series::addSomeSelectedSubsetToSeriesHeader(window, lengths, subsets, 3, 3, 3, 1, 4, 1,
                                                    h.get());
    }
};

TEST_F(RecognitionFixture, EveryStoredSubsetInARowOfItsOwn) {
    auto chains = makeChains(30, 40, 40);
    settings.currentReservedSubset = 2;
    h->wRecognizedSubset = 3;
    draw(*chains);
    // padX = padY = 2; items 55 wide and (89 * 8 + 5) / 9 = 79 high; three rows of up to three
    // items: the box 174 x 245 at the right end of the work area, 2 above its bottom.
    EXPECT_TRUE(hasRectangle(Rect{927, 762, 1101, 1009}));
    EXPECT_EQ(rows[0], (Rect{929, 765, 1103, 846}));
    EXPECT_EQ(rows[1], (Rect{929, 846, 1103, 927}));
    EXPECT_EQ(rows[2], (Rect{929, 927, 1103, 1008}));
    EXPECT_EQ(rows[3], Rect{});
    EXPECT_EQ(lettersAt(764, " a "), (std::vector<Point>{{931, 764}}));
    EXPECT_EQ(lettersAt(764, " b "), (std::vector<Point>{{988, 764}}));
    EXPECT_EQ(lettersAt(845, " e "), (std::vector<Point>{{931 + 2 * 57, 845}}));
    EXPECT_EQ(lettersAt(926, " f "), (std::vector<Point>{{931, 926}}));
    // The current reserved subset red, the recognised one grey.
    const auto red = opsIn(surface, RecordedOp::FillRect, 0x0000FF);
    ASSERT_EQ(red.size(), 3u);
    EXPECT_EQ(red[0].x1, 931 - 3);
    EXPECT_EQ(red[0].y1, 843 + 16 - 1);
    const auto grey = opsIn(surface, RecordedOp::FillRect, 0xA3A3A3);
    ASSERT_EQ(grey.size(), 1u);
    EXPECT_EQ(grey[0].y1, 924 + 16 - 1);
    const RecordedOp* caption = text(" pattern tuples ");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ((Point{caption->x1, caption->y1}), (Point{995, 755}));
}

TEST_F(RecognitionFixture, TheRecognisedSubsetWinsOverTheCurrentOne) {
    auto chains = makeChains(30, 40, 40);
    settings.currentReservedSubset = 1;
    h->wRecognizedSubset = 1;
    draw(*chains, 2);
    EXPECT_TRUE(opsIn(surface, RecordedOp::FillRect, 0x0000FF).empty());
    EXPECT_EQ(opsIn(surface, RecordedOp::FillRect, 0xA3A3A3).size(), 2u);
    // Only as many rows as the rectangles can hold are recorded.
    EXPECT_EQ(rows[1], (Rect{929, 846, 1103, 927}));
    EXPECT_EQ(rows[2], Rect{});
}

TEST_F(RecognitionFixture, NoStoredSubsetsNoBox) {
    h->wSubsetsQuantity = 0;
    auto chains = makeChains(30, 40, 40);
    draw(*chains);
    EXPECT_EQ(text(" pattern tuples "), nullptr);
    EXPECT_EQ(rows[0], Rect{});
}

}  // namespace
}  // namespace render
