#include "render/image_surface.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

namespace render {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;
constexpr Colour kRed = platform::rgb(255, 0, 0);
constexpr Colour kGreen = platform::rgb(0, 255, 0);
constexpr Colour kBlue = platform::rgb(0, 0, 255);

using Point = std::pair<int, int>;
using Points = std::set<Point>;

// A picture filled with one colour and a surface over it.
struct Canvas {
    Bitmap picture;
    ImageSurface surface;
    explicit Canvas(int32_t w = 40, int32_t h = 30, Colour fill = kWhite)
        : picture(w, h, platform::colourToPixel(fill)), surface(picture) {}

    Colour at(int x, int y) const { return platform::pixelToColour(picture.at(x, y) & 0xFFFFFF); }
    // Every pixel of colour c.
    Points pixelsOf(Colour c) const {
        Points out;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (at(x, y) == c)
                    out.insert({x, y});
        return out;
    }
    // Every pixel that is no longer `background`.
    Points changed(Colour background = kWhite) const {
        Points out;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (at(x, y) != background)
                    out.insert({x, y});
        return out;
    }
    void line(int x0, int y0, int x1, int y1) {
        surface.moveTo(x0, y0);
        surface.lineTo(x1, y1);
    }
};

Points span(int x0, int x1, int y) {  // x0..x1 inclusive on row y
    Points out;
    for (int x = x0; x <= x1; ++x)
        out.insert({x, y});
    return out;
}

Points box(int l, int t, int r, int b) {  // l..r-1 × t..b-1
    Points out;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            out.insert({x, y});
    return out;
}

TEST(ImageSurface, InitialStateIsBlackPenWhiteBrushOpaqueAtOrigin) {
    Canvas c(20, 10, kRed);
    EXPECT_EQ(c.surface.bkColour(), kWhite);
    c.surface.lineTo(4, 0);  // from the initial current position (0, 0)
    EXPECT_EQ(c.pixelsOf(kBlack), span(0, 3, 0));
    c.surface.rectangle(5, 2, 10, 7);
    EXPECT_EQ(c.pixelsOf(kWhite), box(6, 3, 9, 6));  // white brush inside the black outline
    EXPECT_EQ(c.surface.selectPen(solidPen(kBlue)), (Pen{PenStyle::Solid, 1, kBlack}));
    EXPECT_EQ(c.surface.selectBrush(solidBrush(kBlue)), (Brush{false, kWhite}));
    EXPECT_EQ(c.surface.selectFont(Font{FontFace::Symbol, 20, 700}), Font{});
    EXPECT_EQ(c.surface.setTextColour(kRed), kBlack);
    EXPECT_EQ(c.surface.setBkMode(BkMode::Transparent), BkMode::Opaque);
}

struct LineCase {
    const char* name;
    Point from, to;
    std::vector<Point> painted;  // in drawing order
};

TEST(ImageSurface, LinesPaintUpToButNotIncludingTheEndPoint) {
    const LineCase cases[] = {
        {"horizontal", {2, 3}, {7, 3}, {{2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}}},
        {"horizontal leftwards", {7, 3}, {2, 3}, {{7, 3}, {6, 3}, {5, 3}, {4, 3}, {3, 3}}},
        {"vertical", {5, 1}, {5, 5}, {{5, 1}, {5, 2}, {5, 3}, {5, 4}}},
        {"vertical upwards", {5, 5}, {5, 1}, {{5, 5}, {5, 4}, {5, 3}, {5, 2}}},
        {"diagonal", {1, 1}, {5, 5}, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}},
        {"anti-diagonal", {5, 1}, {1, 5}, {{5, 1}, {4, 2}, {3, 3}, {2, 4}}},
        {"steep", {0, 0}, {2, 6}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 5}}},
        {"shallow", {0, 0}, {6, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
        {"half-way ties round toward the start", {0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},
        {"one pixel", {3, 3}, {4, 3}, {{3, 3}}},
        {"zero length", {3, 3}, {3, 3}, {}},
    };
    for (const LineCase& lc : cases) {
        SCOPED_TRACE(lc.name);
        Canvas c;
        c.line(lc.from.first, lc.from.second, lc.to.first, lc.to.second);
        EXPECT_EQ(c.changed(), Points(lc.painted.begin(), lc.painted.end()));
        EXPECT_EQ(c.at(lc.to.first, lc.to.second), kWhite);
    }
}

TEST(ImageSurface, PolylineEndPointsBecomeCurrentAndJoinWithoutGaps) {
    Canvas c;
    c.surface.moveTo(2, 2);
    c.surface.lineTo(8, 2);
    c.surface.lineTo(8, 6);
    c.surface.lineTo(2, 6);
    c.surface.lineTo(2, 2);
    Points frame = span(2, 8, 2);
    for (Point p : span(2, 8, 6))
        frame.insert(p);
    for (int y = 2; y <= 6; ++y)
        frame.insert({2, y}), frame.insert({8, y});
    EXPECT_EQ(c.changed(), frame);
}

TEST(ImageSurface, LinesClipToThePictureEvenFromFarAway) {
    Canvas c(30, 20);
    c.line(-2000000000, 5, 2000000000, 5);
    c.line(7, 2000000000, 7, -2000000000);
    c.line(-1000000000, -1000000000, 1000000000, 1000000000);
    Points expected = span(0, 29, 5);
    for (int y = 0; y < 20; ++y)
        expected.insert({7, y}), expected.insert({y, y});
    EXPECT_EQ(c.changed(), expected);
}

TEST(ImageSurface, WideSolidPenDrawsAGeometricLineWithRoundEnds) {
    Canvas c;
    c.surface.selectPen(solidPen(kBlack, 3));
    c.line(5, 10, 15, 10);
    // Three rows along the body; the round ends reach one pixel beyond both end points.
    for (int x = 5; x <= 15; ++x)
        for (int y = 9; y <= 11; ++y)
            EXPECT_EQ(c.at(x, y), kBlack) << x << "," << y;
    EXPECT_EQ(c.at(4, 10), kBlack);
    EXPECT_EQ(c.at(16, 10), kBlack);
    EXPECT_EQ(c.at(17, 10), kWhite);
    EXPECT_EQ(c.at(10, 8), kWhite);
    EXPECT_EQ(c.at(10, 12), kWhite);

    Canvas even;
    even.surface.selectPen(solidPen(kBlack, 2));
    even.line(5, 10, 15, 10);
    for (int x = 6; x <= 14; ++x) {
        EXPECT_EQ(even.at(x, 9), kBlack);
        EXPECT_EQ(even.at(x, 10), kBlack);
        EXPECT_EQ(even.at(x, 8), kWhite);
        EXPECT_EQ(even.at(x, 11), kWhite);
    }
}

TEST(ImageSurface, NullPenDrawsNothingButMoves) {
    Canvas c;
    c.surface.selectPen(Pen{PenStyle::Null, 1, kBlack});
    c.surface.lineTo(10, 10);
    c.surface.rectangle(2, 2, 8, 8);
    c.surface.ellipse(10, 2, 20, 8);
    c.surface.selectPen(solidPen(kBlack));
    c.surface.lineTo(12, 10);  // from (10, 10), where the null pen left the position
    EXPECT_EQ(c.changed(), span(10, 11, 10));
}

TEST(ImageSurface, RectangleOutlineAndFillExcludeRightAndBottom) {
    for (bool reversed : {false, true}) {
        Canvas c;
        c.surface.selectBrush(solidBrush(kRed));
        reversed ? c.surface.rectangle(8, 6, 2, 2) : c.surface.rectangle(2, 2, 8, 6);
        EXPECT_EQ(c.pixelsOf(kRed), box(3, 3, 7, 5));
        Points outline = box(2, 2, 8, 6);
        for (Point p : box(3, 3, 7, 5))
            outline.erase(p);
        EXPECT_EQ(c.pixelsOf(kBlack), outline);
    }
}

TEST(ImageSurface, RectangleBrushAndPenVariants) {
    Canvas hollow(20, 20, kGreen);
    hollow.surface.selectBrush(Brush{true, kRed});
    hollow.surface.rectangle(2, 2, 8, 6);
    EXPECT_EQ(hollow.pixelsOf(kGreen).count({4, 4}), 1u);
    EXPECT_EQ(hollow.changed(kGreen).size(), 2u * 6 + 2u * 2);

    Canvas nullPen;
    nullPen.surface.selectPen(Pen{PenStyle::Null, 1, kBlack});
    nullPen.surface.selectBrush(solidBrush(kRed));
    nullPen.surface.rectangle(2, 2, 8, 6);
    EXPECT_EQ(nullPen.changed(), box(2, 2, 7, 5));  // one pixel smaller, as GDI does

    Canvas thin;
    thin.surface.selectBrush(solidBrush(kRed));
    thin.surface.rectangle(4, 2, 5, 8);  // one pixel wide: outline only
    EXPECT_EQ(thin.pixelsOf(kBlack), box(4, 2, 5, 8));
    EXPECT_TRUE(thin.pixelsOf(kRed).empty());

    Canvas empty;
    empty.surface.rectangle(4, 2, 4, 8);
    EXPECT_TRUE(empty.changed().empty());

    Canvas dotted(40, 20, kGreen);
    dotted.surface.selectPen(dottedPen(kBlack));
    dotted.surface.selectBrush(Brush{true, kRed});
    dotted.surface.setBkMode(BkMode::Transparent);
    dotted.surface.rectangle(2, 2, 30, 10);
    // Clockwise from the top-left corner: 3 on, 3 off along the top edge.
    EXPECT_EQ(dotted.at(2, 2), kBlack);
    EXPECT_EQ(dotted.at(4, 2), kBlack);
    EXPECT_EQ(dotted.at(5, 2), kGreen);
    EXPECT_EQ(dotted.at(8, 2), kBlack);
    EXPECT_EQ(dotted.at(16, 5), kGreen);  // inside untouched
}

TEST(ImageSurface, FillRectFillsExactlyTheHalfOpenRectangle) {
    Canvas c;
    c.surface.fillRect(Rect{3, 4, 9, 7}, kBlue);
    EXPECT_EQ(c.changed(), box(3, 4, 9, 7));
    EXPECT_EQ(c.pixelsOf(kBlue), box(3, 4, 9, 7));
    c.surface.fillRect(Rect{9, 4, 3, 7}, kRed);  // inverted: nothing
    c.surface.fillRect(Rect{-100, -100, -50, 200}, kRed);
    EXPECT_TRUE(c.pixelsOf(kRed).empty());
}

TEST(ImageSurface, EllipseIsInscribedInTheHalfOpenBox) {
    struct Case {
        int l, t, r, b;
    };
    for (const Case& e :
         {Case{2, 2, 12, 10}, Case{3, 1, 16, 14}, Case{1, 1, 4, 20}, Case{5, 5, 7, 7}}) {
        SCOPED_TRACE(::testing::Message() << e.l << "," << e.t << "," << e.r << "," << e.b);
        Canvas c;
        c.surface.selectBrush(solidBrush(kRed));
        c.surface.ellipse(e.l, e.t, e.r, e.b);
        const Points all = c.changed();
        ASSERT_FALSE(all.empty());
        int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
        for (auto [x, y] : all) {
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
            // Symmetric about the box centre.
            EXPECT_EQ(all.count({e.l + e.r - 1 - x, y}), 1u);
            EXPECT_EQ(all.count({x, e.t + e.b - 1 - y}), 1u);
        }
        EXPECT_EQ(minX, e.l);
        EXPECT_EQ(maxX, e.r - 1);
        EXPECT_EQ(minY, e.t);
        EXPECT_EQ(maxY, e.b - 1);
        if (e.r - e.l >= 4 && e.b - e.t >= 4) {  // corners stay outside
            EXPECT_EQ(c.at(e.l, e.t), kWhite);
            EXPECT_EQ(c.at(e.r - 1, e.b - 1), kWhite);
        }
        // Every red pixel is enclosed: its four neighbours are painted too.
        for (auto [x, y] : c.pixelsOf(kRed))
            for (Point n : {Point{x - 1, y}, Point{x + 1, y}, Point{x, y - 1}, Point{x, y + 1}})
                EXPECT_EQ(all.count(n), 1u);
    }
}

TEST(ImageSurface, EllipseFillAndOutlineColours) {
    Canvas c;
    c.surface.selectPen(solidPen(kBlue));
    c.surface.selectBrush(solidBrush(kRed));
    c.surface.ellipse(2, 2, 22, 16);
    EXPECT_EQ(c.at(11, 8), kRed);   // centre: the brush
    EXPECT_EQ(c.at(2, 8), kBlue);   // left end of the middle row: the pen
    EXPECT_EQ(c.at(21, 8), kBlue);  // right end (right - 1)
    EXPECT_EQ(c.at(11, 2), kBlue);
    EXPECT_EQ(c.at(11, 15), kBlue);
    EXPECT_EQ(c.at(22, 8), kWhite);
    EXPECT_EQ(c.at(11, 16), kWhite);

    Canvas hollow(30, 20, kGreen);
    hollow.surface.selectBrush(Brush{true, kRed});
    hollow.surface.ellipse(2, 2, 22, 16);
    EXPECT_EQ(hollow.at(11, 8), kGreen);
    EXPECT_EQ(hollow.at(2, 8), kBlack);
    EXPECT_TRUE(hollow.pixelsOf(kRed).empty());

    Canvas wide;
    wide.surface.selectPen(solidPen(kBlue, 3));
    wide.surface.selectBrush(solidBrush(kRed));
    wide.surface.ellipse(5, 5, 25, 25);
    for (int x : {4, 5, 6})
        EXPECT_EQ(wide.at(x, 15), kBlue) << x;
    EXPECT_EQ(wide.at(3, 15), kWhite);
    EXPECT_EQ(wide.at(7, 15), kRed);
    EXPECT_EQ(wide.at(15, 15), kRed);
}

// The pattern of a styled pen along a horizontal line of `length` pixels on green.
std::string patternOf(PenStyle style, BkMode mode, int length) {
    Canvas c(80, 5, kGreen);
    c.surface.selectPen(Pen{style, 1, kBlack});
    c.surface.setBkColour(kBlue);
    c.surface.setBkMode(mode);
    c.line(0, 2, length, 2);
    std::string out;
    for (int x = 0; x <= length; ++x)
        out += c.at(x, 2) == kBlack ? '#' : c.at(x, 2) == kBlue ? '-' : '.';
    return out;
}

TEST(ImageSurface, StyledPensRepeatTheirPatterns) {
    struct Case {
        PenStyle style;
        std::string period;
    };
    const Case cases[] = {
        {PenStyle::Dash, std::string(18, '#') + std::string(6, '-')},
        {PenStyle::Dot, "###---"},
        {PenStyle::DashDot, "#########------###------"},
        {PenStyle::DashDotDot, "#########---###---###---"},
        {PenStyle::Solid, "#"},
    };
    for (const Case& sc : cases) {
        SCOPED_TRACE(static_cast<int>(sc.style));
        std::string expected;
        while (expected.size() < 60)
            expected += sc.period;
        expected = expected.substr(0, 60) + ".";  // the end point stays unpainted
        EXPECT_EQ(patternOf(sc.style, BkMode::Opaque, 60), expected);
        std::string transparent = expected;
        for (char& ch : transparent)
            if (ch == '-')
                ch = '.';
        EXPECT_EQ(patternOf(sc.style, BkMode::Transparent, 60), transparent);
    }
}

TEST(ImageSurface, StylePhaseRunsOnAcrossAPolylineAndRestartsAtMoveTo) {
    Canvas polyline(40, 5, kGreen);
    polyline.surface.selectPen(dottedPen(kBlack));
    polyline.surface.setBkMode(BkMode::Transparent);
    polyline.surface.moveTo(0, 2);
    polyline.surface.lineTo(4, 2);
    polyline.surface.lineTo(13, 2);
    polyline.surface.lineTo(20, 2);
    EXPECT_EQ(polyline.pixelsOf(kBlack), []() {
        Points p;
        for (int x = 0; x < 20; ++x)
            if (x % 6 < 3)
                p.insert({x, 2});
        return p;
    }());

    Canvas restarted(40, 5, kGreen);
    restarted.surface.selectPen(dottedPen(kBlack));
    restarted.surface.setBkMode(BkMode::Transparent);
    restarted.line(0, 2, 4, 2);   // ###-
    restarted.line(4, 2, 10, 2);  // restarts: ###---
    Points expected = span(0, 2, 2);
    for (Point p : span(4, 6, 2))
        expected.insert(p);
    EXPECT_EQ(restarted.pixelsOf(kBlack), expected);

    // Along a diagonal the pattern counts pixels on the major axis.
    Canvas diagonal(20, 20, kGreen);
    diagonal.surface.selectPen(dottedPen(kBlack));
    diagonal.surface.setBkMode(BkMode::Transparent);
    diagonal.line(0, 0, 12, 12);
    Points dots;
    for (int i = 0; i < 12; ++i)
        if (i % 6 < 3)
            dots.insert({i, i});
    EXPECT_EQ(diagonal.pixelsOf(kBlack), dots);
}

TEST(ImageSurface, ClipRegionLimitsEveryOperation) {
    Canvas c(40, 20, kGreen);
    // Two overlapping rectangles and one partly outside the picture.
    c.surface.setClipRegion({Rect{2, 2, 10, 8}, Rect{6, 4, 14, 12}, Rect{30, -5, 50, 3}});
    Points inside = box(2, 2, 10, 8);
    for (Point p : box(6, 4, 14, 12))
        inside.insert(p);
    for (Point p : box(30, 0, 40, 3))
        inside.insert(p);

    c.surface.fillRect(Rect{0, 0, 40, 20}, kRed);
    EXPECT_EQ(c.pixelsOf(kRed), inside);

    Canvas lines(40, 20, kGreen);
    lines.surface.setClipRegion({Rect{2, 2, 10, 8}, Rect{6, 4, 14, 12}, Rect{30, -5, 50, 3}});
    for (int y = 0; y < 20; ++y)
        lines.line(0, y, 40, y);
    lines.surface.selectPen(solidPen(kBlack, 3));
    lines.line(0, 10, 39, 10);
    lines.surface.selectBrush(solidBrush(kRed));
    lines.surface.rectangle(0, 0, 40, 20);
    lines.surface.ellipse(0, 0, 40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            lines.surface.setPixel(x, y, kBlue);
            const bool in = inside.count({x, y}) > 0;
            EXPECT_EQ(lines.at(x, y) != kGreen, in) << x << "," << y;
            EXPECT_EQ(lines.surface.getPixel(x, y), in ? kBlue : kInvalidColour) << x << "," << y;
        }

    // Back to no region: everything is drawable again.
    lines.surface.setClipRegion({});
    lines.surface.setPixel(0, 19, kBlue);
    EXPECT_EQ(lines.surface.getPixel(0, 19), kBlue);
}

TEST(ImageSurface, ClipRegionOutsideThePictureDrawsNothing) {
    Canvas c;
    c.surface.setClipRegion({Rect{100, 100, 200, 200}, Rect{5, 5, 5, 9}});
    c.surface.fillRect(Rect{0, 0, 40, 30}, kRed);
    c.line(0, 0, 39, 29);
    c.surface.setPixel(5, 5, kRed);
    EXPECT_TRUE(c.changed().empty());
    EXPECT_EQ(c.surface.getPixel(5, 5), kInvalidColour);
}

TEST(ImageSurface, GetAndSetPixel) {
    Canvas c(10, 10, kGreen);
    c.surface.setPixel(3, 4, kRed);
    EXPECT_EQ(c.surface.getPixel(3, 4), kRed);
    EXPECT_EQ(c.surface.getPixel(4, 4), kGreen);
    for (Point p : {Point{-1, 0}, Point{0, -1}, Point{10, 0}, Point{0, 10}}) {
        c.surface.setPixel(p.first, p.second, kRed);  // ignored
        EXPECT_EQ(c.surface.getPixel(p.first, p.second), kInvalidColour);
    }
    EXPECT_EQ(c.pixelsOf(kRed), (Points{{3, 4}}));
}

TEST(ImageSurface, WrittenPixelsAreOpaqueRgb32AndReadsIgnoreTheTopByte) {
    Canvas c(10, 10, kGreen);  // the picture's own pixels have a zero top byte
    c.surface.setPixel(1, 1, kRed);
    c.line(0, 5, 9, 5);
    c.surface.fillRect(Rect{0, 7, 3, 9}, kBlue);
    c.surface.blit(6, 0, Bitmap(2, 2, 0x123456));
    for (Point p : {Point{1, 1}, Point{4, 5}, Point{1, 8}, Point{7, 1}})
        EXPECT_EQ(c.picture.at(p.first, p.second) >> 24, 0xFFu);
    EXPECT_EQ(c.picture.at(1, 1), 0xFFFF0000u);
    EXPECT_EQ(c.picture.at(0, 0), 0x0000FF00u);
    EXPECT_EQ(c.surface.getPixel(0, 0), kGreen);
    EXPECT_EQ(c.surface.getPixel(7, 1), 0x563412u);
}

TEST(ImageSurface, ASecondSurfaceOverThePictureSeesThePixels) {
    Bitmap picture(20, 20);
    {
        ImageSurface first(picture);
        first.selectPen(solidPen(kRed));
        first.moveTo(0, 3);
        first.lineTo(10, 3);
    }
    ImageSurface second(picture);
    EXPECT_EQ(second.getPixel(5, 3), kRed);
    EXPECT_EQ(second.getPixel(10, 3), kWhite);
    second.lineTo(0, 5);  // a fresh state: black pen from (0, 0)
    EXPECT_EQ(second.getPixel(0, 2), kBlack);
}

TEST(ImageSurface, ExternalBufferWithStrideLeavesThePaddingAlone) {
    std::vector<uint32_t> buffer(12 * 5, 0xABCDEFu);
    ImageSurface s(buffer.data(), 10, 5, 12);
    s.fillRect(Rect{-5, -5, 50, 50}, kBlack);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(buffer[y * 12 + x], x < 10 ? 0xFF000000u : 0xABCDEFu);
    EXPECT_EQ(s.width(), 10);
    EXPECT_EQ(s.height(), 5);

    ImageSurface bad(buffer.data(), 10, 5, 4);  // stride below the width: nothing to draw on
    bad.fillRect(Rect{0, 0, 10, 5}, kWhite);
    EXPECT_EQ(bad.getPixel(0, 0), kInvalidColour);
    EXPECT_EQ(buffer[0], 0xFF000000u);

    Bitmap broken;  // pixels missing
    broken.width = 5;
    broken.height = 5;
    ImageSurface none(broken);
    none.fillRect(Rect{0, 0, 5, 5}, kWhite);
    none.textOut(0, 0, "x");
    EXPECT_EQ(none.getPixel(0, 0), kInvalidColour);
}

TEST(ImageSurface, BlitCopiesAsItIsAndClips) {
    Bitmap stamp(3, 2);
    const uint32_t colours[] = {0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF, 0x010203};
    std::copy(std::begin(colours), std::end(colours), stamp.pixels.begin());

    Canvas c(10, 10, kGreen);
    c.surface.blit(4, 5, stamp);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(c.picture.at(4 + x, 5 + y) & 0xFFFFFF, colours[y * 3 + x]);
    EXPECT_EQ(c.changed(kGreen).size(), 6u);

    Canvas corner(10, 10, kGreen);
    corner.surface.blit(-1, -1, stamp);  // only the bottom-right 2 × 1 lands
    EXPECT_EQ(corner.changed(kGreen), (Points{{0, 0}, {1, 0}}));
    EXPECT_EQ(corner.picture.at(0, 0) & 0xFFFFFF, 0xDDEEFFu);

    Canvas clipped(10, 10, kGreen);
    clipped.surface.setClipRegion({Rect{5, 0, 6, 10}});
    clipped.surface.blit(4, 5, stamp);
    EXPECT_EQ(clipped.changed(kGreen), (Points{{5, 5}, {5, 6}}));

    Bitmap inconsistent(3, 2);
    inconsistent.pixels.resize(2);
    clipped.surface.blit(0, 0, inconsistent);  // refused, no read past the pixels
    EXPECT_EQ(clipped.changed(kGreen).size(), 2u);
}

TEST(ImageSurface, HugeShapesAreClipped) {
    Canvas c(30, 20);
    c.surface.selectBrush(solidBrush(kRed));
    c.surface.ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    c.surface.rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
    c.surface.selectPen(solidPen(kBlue, 5));
    c.surface.ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    c.line(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(c.at(0, 0), kBlue);
    EXPECT_EQ(c.at(29, 0), kRed);
}

// Clipping skips the steps outside the picture arithmetically: every line drawn on a small
// picture must paint what the same line paints in that window of a large picture.
TEST(ImageSurface, ClippedLinesMatchTheSameLinesInALargerPicture) {
    constexpr int32_t kW = 23, kH = 17, kOffX = 90, kOffY = 80;
    std::mt19937 random(77);
    for (PenStyle style : {PenStyle::Solid, PenStyle::Dot, PenStyle::DashDot}) {
        for (int trial = 0; trial < 400; ++trial) {
            Canvas small(kW, kH, kGreen), large(kW + 2 * kOffX, kH + 2 * kOffY, kGreen);
            for (Canvas* c : {&small, &large}) {
                c->surface.selectPen(Pen{style, 1, kBlack});
                c->surface.setBkColour(kBlue);
            }
            auto coordinate = [&](int32_t extent, int32_t offset) {
                return static_cast<int32_t>(random() % (extent + 2 * offset)) - offset;
            };
            const int32_t x0 = coordinate(kW, kOffX), y0 = coordinate(kH, kOffY);
            const int32_t x1 = coordinate(kW, kOffX), y1 = coordinate(kH, kOffY);
            small.line(x0, y0, x1, y1);
            large.line(x0 + kOffX, y0 + kOffY, x1 + kOffX, y1 + kOffY);
            for (int32_t y = 0; y < kH; ++y)
                for (int32_t x = 0; x < kW; ++x)
                    ASSERT_EQ(small.at(x, y), large.at(x + kOffX, y + kOffY))
                        << "line " << x0 << "," << y0 << " to " << x1 << "," << y1 << " at " << x
                        << "," << y;
        }
    }
}

// Random shapes with random pens, brushes and coordinates (extremes included) on a picture that
// is a window of a larger buffer: nothing is written around the window or outside the region.
TEST(ImageSurface, RandomDrawingStaysInsideThePictureAndTheRegion) {
    constexpr int32_t kW = 37, kH = 23, kPad = 4, kStride = kW + 2 * kPad;
    constexpr uint32_t kGuard = 0x00ABCDEFu;
    std::mt19937 random(2024);
    auto coordinate = [&]() -> int32_t {
        switch (random() % 8) {
            case 0:
                return static_cast<int32_t>(random());  // anywhere in int32_t
            case 1:
                return random() % 2 ? 2147483647 : -2147483647 - 1;
            default:
                return static_cast<int32_t>(random() % 60) - 10;
        }
    };
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<uint32_t> buffer(static_cast<size_t>(kStride) * (kH + 2 * kPad), kGuard);
        ImageSurface s(buffer.data() + kPad * kStride + kPad, kW, kH, kStride);
        std::vector<Rect> region;
        if (trial % 3 != 0)
            for (int i = 0; i < 1 + trial % 4; ++i) {
                const int32_t l = static_cast<int32_t>(random() % 45) - 4;
                const int32_t t = static_cast<int32_t>(random() % 30) - 4;
                region.push_back(Rect{l, t, l + static_cast<int32_t>(random() % 20),
                                      t + static_cast<int32_t>(random() % 15)});
            }
        s.setClipRegion(region);
        auto inRegion = [&](int32_t x, int32_t y) {
            if (region.empty())
                return true;
            for (const Rect& r : region)
                if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                    return true;
            return false;
        };
        for (int op = 0; op < 12; ++op) {
            const PenStyle styles[] = {PenStyle::Solid,   PenStyle::Dash,       PenStyle::Dot,
                                       PenStyle::DashDot, PenStyle::DashDotDot, PenStyle::Null};
            s.selectPen(Pen{styles[random() % 6], static_cast<int32_t>(random() % 7) - 1, kRed});
            s.selectBrush(Brush{random() % 4 == 0, kBlue});
            s.setBkMode(random() % 2 ? BkMode::Opaque : BkMode::Transparent);
            const int32_t a = coordinate(), b = coordinate(), c = coordinate(), d = coordinate();
            switch (random() % 7) {
                case 0:
                    s.moveTo(a, b);
                    s.lineTo(c, d);
                    break;
                case 1:
                    s.rectangle(a, b, c, d);
                    break;
                case 2:
                    s.ellipse(a, b, c, d);
                    break;
                case 3:
                    s.fillRect(Rect{a, b, c, d}, kGreen);
                    break;
                case 4:
                    s.setPixel(a % 50, b % 30, kGreen);
                    break;
                case 5:
                    s.blit(a % 50, b % 30,
                           Bitmap(static_cast<int32_t>(random() % 9) + 1, 5, 0x123456));
                    break;
                default:
                    s.selectFont(Font{random() % 2 ? FontFace::Text : FontFace::Symbol,
                                      static_cast<int32_t>(random() % 40) - 5, 400});
                    s.textOut(a % 50, b % 30, "Wq|\xE9 12");
                    break;
            }
        }
        for (int32_t y = -kPad; y < kH + kPad; ++y)
            for (int32_t x = -kPad; x < kW + kPad; ++x) {
                const uint32_t p = buffer[static_cast<size_t>(y + kPad) * kStride + x + kPad];
                const bool drawable = x >= 0 && x < kW && y >= 0 && y < kH && inRegion(x, y);
                if (!drawable) {
                    ASSERT_EQ(p, kGuard) << "trial " << trial << " at " << x << "," << y;
                }
            }
    }
}

}  // namespace
}  // namespace render
