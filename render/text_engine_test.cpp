#include "render/text_engine.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "render/image_surface.h"

namespace render {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kRed = platform::rgb(255, 0, 0);
constexpr Colour kGreen = platform::rgb(0, 255, 0);

using Points = std::set<std::pair<int, int>>;

Points changedPixels(const Bitmap& picture, uint32_t background) {
    Points out;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if ((picture.at(x, y) & 0xFFFFFF) != background)
                out.insert({x, y});
    return out;
}

// The pixels a text changes when drawn transparently at (x, y) on white.
Points inkOf(const Font& font, std::string_view text, int x = 5, int y = 5) {
    Bitmap picture(200, 60);
    ImageSurface s(picture);
    s.selectFont(font);
    s.setBkMode(BkMode::Transparent);
    s.textOut(x, y, text);
    return changedPixels(picture, 0xFFFFFF);
}

class FontTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The bootstrap installs DejaVu Sans: without it the program draws no text at all.
        ASSERT_TRUE(TextEngine::shared().available()) << TextEngine::shared().error();
    }
};

TEST_F(FontTest, StockFontHasAThirteenPixelCell) {
    Bitmap picture(10, 10);
    ImageSurface s(picture);
    const TextMetrics m = s.textMetrics();
    EXPECT_EQ(m.height, 13);
    EXPECT_EQ(m.ascent + m.descent, m.height);
    EXPECT_EQ(m.externalLeading, 0);
    EXPECT_EQ(m.internalLeading, m.height - TextEngine::shared().pixelSize(Font{}));
    EXPECT_GE(m.aveCharWidth, 4);
    EXPECT_LE(m.aveCharWidth, 8);
    EXPECT_GE(m.maxCharWidth, m.aveCharWidth);
    EXPECT_LE(m.maxCharWidth, 3 * m.aveCharWidth);
    EXPECT_EQ(s.textExtent("Exit").cy, 13);
}

TEST_F(FontTest, MadeFontsGetTheTallestCellNotAboveTheHeight) {
    TextEngine& engine = TextEngine::shared();
    for (int32_t h : {6, 9, 13, 14, 16, 20, 27, 40, 72}) {
        for (int32_t weight : {400, 408, 700}) {
            SCOPED_TRACE(::testing::Message() << "height " << h << " weight " << weight);
            const Font font{FontFace::Text, h, weight};
            const TextMetrics m = engine.metrics(font);
            EXPECT_LE(m.height, h);
            EXPECT_GE(m.height, h - 2);
            // One pixel size more would be too tall.
            const int32_t ppem = engine.pixelSize(font);
            EXPECT_GT(engine.metrics(Font{FontFace::Text, -(ppem + 1), weight}).height, h);
        }
    }
    // Too small for any cell: the smallest size; absurdly large: limited.
    EXPECT_EQ(engine.pixelSize(Font{FontFace::Text, 1, 400}), 1);
    EXPECT_EQ(engine.pixelSize(Font{FontFace::Text, 2000000000, 400}), 400);
    EXPECT_EQ(engine.pixelSize(Font{FontFace::Text, -2147483647 - 1, 400}), 400);
    EXPECT_GT(engine.metrics(Font{FontFace::Text, 1, 400}).height, 0);
}

TEST_F(FontTest, ExtentGrowsWithTheText) {
    Bitmap picture(10, 10);
    ImageSurface s(picture);
    EXPECT_EQ(s.textExtent("").cx, 0);
    int32_t previous = 0;
    for (std::string_view text : {"E", "Ex", "Exi", "Exit", "Exit ", "Exit 12"}) {
        const Size e = s.textExtent(text);
        EXPECT_GT(e.cx, previous) << text;
        EXPECT_EQ(e.cy, 13);
        previous = e.cx;
    }
    // Kerning off: the extent of a string is the sum of its characters' extents.
    EXPECT_EQ(s.textExtent("AVAV").cx, 2 * s.textExtent("A").cx + 2 * s.textExtent("V").cx);
    s.selectFont(Font{FontFace::Text, 13, 700});
    EXPECT_GT(s.textExtent("Select All").cx, TextEngine::shared().extent(Font{}, "Select All").cx);
}

TEST_F(FontTest, TextPaintsInsideItsExtentOnly) {
    const Font fonts[] = {Font{}, Font{FontFace::Text, 30, 700}, Font{FontFace::Symbol, 20, 408}};
    for (const Font& font : fonts) {
        SCOPED_TRACE(font.height);
        const std::string_view text = "Wjgy|(\xC9\xE7)_q";
        Bitmap picture(200, 60);
        ImageSurface s(picture);
        s.selectFont(font);
        s.setBkMode(BkMode::Transparent);
        s.textOut(7, 9, text);
        const Size e = s.textExtent(text);
        const Points ink = changedPixels(picture, 0xFFFFFF);
        ASSERT_FALSE(ink.empty());
        for (auto [x, y] : ink) {
            EXPECT_GE(x, 7);
            EXPECT_LT(x, 7 + e.cx);
            EXPECT_GE(y, 9);
            EXPECT_LT(y, 9 + e.cy);
        }
    }
}

TEST_F(FontTest, OpaqueTextFillsItsExtentWithTheBackground) {
    Bitmap picture(100, 40, 0x0000FF);  // blue
    ImageSurface s(picture);
    s.setBkColour(kGreen);
    s.setTextColour(kRed);
    s.textOut(10, 5, "Next");
    const Size e = s.textExtent("Next");
    int red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const Colour c = s.getPixel(x, y);
            const bool inside = x >= 10 && x < 10 + e.cx && y >= 5 && y < 5 + e.cy;
            if (!inside)
                EXPECT_EQ(c, platform::pixelToColour(0x0000FF)) << x << "," << y;
            else
                EXPECT_EQ(c >> 16 & 0xFF, 0u) << x << "," << y;  // a blend of red over green
            red += c == kRed;
        }
    EXPECT_GT(red, 0);  // fully covered pixels take the text colour
    EXPECT_EQ(s.getPixel(10, 5), kGreen);
    EXPECT_EQ(s.getPixel(10 + e.cx - 1, 5 + e.cy - 1), kGreen);
}

TEST_F(FontTest, TextIsClippedByTheRegionAndNotBlendedTwiceWhereRectanglesOverlap) {
    Bitmap once(120, 40);
    {
        ImageSurface s(once);
        s.setClipRegion({Rect{0, 0, 40, 40}});
        s.textOut(5, 5, "Unselect All");
    }
    Bitmap twice(120, 40);
    {
        ImageSurface s(twice);
        s.setClipRegion({Rect{0, 0, 40, 40}, Rect{0, 0, 40, 40}, Rect{20, 0, 30, 40}});
        s.textOut(5, 5, "Unselect All");
    }
    EXPECT_EQ(once.pixels, twice.pixels);
    for (auto [x, y] : changedPixels(once, 0xFFFFFF))
        EXPECT_LT(x, 40);
    EXPECT_FALSE(changedPixels(once, 0xFFFFFF).empty());
}

TEST_F(FontTest, SymbolFaceDrawsGreekLetters) {
    const Font text{};
    const Font symbol{FontFace::Symbol, 0, 400};
    EXPECT_NE(inkOf(text, "a"), inkOf(symbol, "a"));
    EXPECT_NE(inkOf(text, "W"), inkOf(symbol, "W"));
    // Digits and signs are the same glyphs in both faces.
    EXPECT_EQ(inkOf(text, "12.5%"), inkOf(symbol, "12.5%"));
    // The bold face is another face.
    EXPECT_NE(inkOf(text, "Exit"), inkOf(Font{FontFace::Text, 0, 700}, "Exit"));
}

TEST(SymbolCodePoint, MapsLettersLikeTheClassicSymbolFont) {
    const std::pair<char, char32_t> cases[] = {
        {'a', U'α'}, {'b', U'β'}, {'c', U'χ'}, {'d', U'δ'}, {'e', U'ε'}, {'f', U'φ'}, {'g', U'γ'},
        {'h', U'η'}, {'i', U'ι'}, {'k', U'κ'}, {'l', U'λ'}, {'m', U'μ'}, {'n', U'ν'}, {'o', U'ο'},
        {'p', U'π'}, {'q', U'θ'}, {'r', U'ρ'}, {'s', U'σ'}, {'t', U'τ'}, {'u', U'υ'}, {'w', U'ω'},
        {'x', U'ξ'}, {'y', U'ψ'}, {'z', U'ζ'}, {'A', U'Α'}, {'C', U'Χ'}, {'D', U'Δ'}, {'F', U'Φ'},
        {'G', U'Γ'}, {'L', U'Λ'}, {'P', U'Π'}, {'Q', U'Θ'}, {'S', U'Σ'}, {'W', U'Ω'}, {'X', U'Ξ'},
        {'Y', U'Ψ'}, {'0', U'0'}, {'9', U'9'}, {'(', U'('}, {'|', U'|'}, {' ', U' '}, {'-', U'-'},
    };
    for (auto [byte, cp] : cases)
        EXPECT_EQ(symbolCodePoint(static_cast<uint8_t>(byte)), cp) << byte;
    EXPECT_EQ(symbolCodePoint(0xE9), char32_t{0xE9});
}

TEST(TextEngine, WithoutFontsDrawsNothingAndKeepsSaneMetrics) {
    TextEngine engine(FontFiles{"/nonexistent/DejaVuSans.ttf", ""});
    EXPECT_FALSE(engine.available());
    EXPECT_NE(engine.error().find("/nonexistent/DejaVuSans.ttf"), std::string::npos);
    const TextMetrics stock = engine.metrics(Font{});
    EXPECT_EQ(stock.height, 13);
    EXPECT_EQ(stock.ascent + stock.descent, 13);
    EXPECT_GT(stock.aveCharWidth, 0);
    EXPECT_GE(stock.maxCharWidth, stock.aveCharWidth);
    EXPECT_EQ(engine.metrics(Font{FontFace::Text, 30, 700}).height, 30);
    EXPECT_EQ(engine.extent(Font{}, "abc"), (Size{3 * stock.aveCharWidth, 13}));
    EXPECT_TRUE(engine.layout(Font{}, "abc").items.empty());
    EXPECT_EQ(engine.pixelSize(Font{}), 0);

    TextEngine notAFont(FontFiles{"/proc/self/status", ""});
    EXPECT_FALSE(notAFont.available());
    EXPECT_EQ(notAFont.metrics(Font{}).height, 13);
}

TEST(TextEngine, FindsTheDejaVuFiles) {
    const FontFiles files = findFontFiles();
    EXPECT_NE(files.regular.find("DejaVuSans.ttf"), std::string::npos);
    TextEngine engine(files);
    EXPECT_TRUE(engine.available());
}

}  // namespace
}  // namespace render
