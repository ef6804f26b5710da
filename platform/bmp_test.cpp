#include "platform/bmp.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "platform/resources.h"

namespace platform {
namespace {

// Builds BMP files the way the various writers lay them out.
struct BmpLayout {
    uint32_t bits = 24;
    int32_t width = 5;
    int32_t height = 3;        // negative: top-down
    uint32_t headerSize = 40;  // 12 (core), 40, 108 or 124
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    std::vector<uint32_t> values;   // per pixel, top row first: an index or a colour
};

void put(std::vector<uint8_t>& out, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> makeBmp(const BmpLayout& s) {
    const bool core = s.headerSize == 12;
    const bool masks = s.compression == 3 && s.headerSize == 40;
    const uint32_t entry = core ? 3 : 4;
    const uint32_t tableAt = 14 + s.headerSize + (masks ? 12 : 0);
    const uint32_t pixelsAt = tableAt + static_cast<uint32_t>(s.palette.size()) * entry;
    const int32_t h = s.height < 0 ? -s.height : s.height;
    const uint32_t stride = (static_cast<uint32_t>(s.width) * s.bits + 31) / 32 * 4;
    std::vector<uint8_t> out(pixelsAt + stride * h, 0);
    out[0] = 'B';
    out[1] = 'M';
    put(out, 2, static_cast<uint32_t>(out.size()), 4);
    put(out, 10, pixelsAt, 4);
    put(out, 14, s.headerSize, 4);
    if (core) {
        put(out, 18, static_cast<uint32_t>(s.width), 2);
        put(out, 20, static_cast<uint32_t>(s.height), 2);
        put(out, 22, 1, 2);
        put(out, 24, s.bits, 2);
    } else {
        put(out, 18, static_cast<uint32_t>(s.width), 4);
        put(out, 22, static_cast<uint32_t>(s.height), 4);
        put(out, 26, 1, 2);
        put(out, 28, s.bits, 2);
        put(out, 30, s.compression, 4);
        put(out, 46, s.coloursUsed, 4);
        if (s.compression == 3) {
            const size_t at = 54;  // right after the 40-byte part, in every header version
            put(out, at, 0xFF0000, 4);
            put(out, at + 4, 0xFF00, 4);
            put(out, at + 8, 0xFF, 4);
        }
    }
    for (size_t i = 0; i < s.palette.size(); ++i) {
        const size_t at = tableAt + i * entry;
        out[at] = static_cast<uint8_t>(s.palette[i]);
        out[at + 1] = static_cast<uint8_t>(s.palette[i] >> 8);
        out[at + 2] = static_cast<uint8_t>(s.palette[i] >> 16);
    }
    for (int32_t y = 0; y < h; ++y) {
        const size_t rowAt = pixelsAt + stride * static_cast<size_t>(s.height < 0 ? y : h - 1 - y);
        for (int32_t x = 0; x < s.width; ++x) {
            const uint32_t v = s.values[static_cast<size_t>(y) * s.width + x];
            if (s.bits >= 24) {
                put(out, rowAt + x * (s.bits / 8), v, 3);
            } else {
                const uint32_t bit = x * s.bits;
                out[rowAt + bit / 8] |= static_cast<uint8_t>(v << (8 - s.bits - bit % 8));
            }
        }
    }
    return out;
}

// A 5 × 3 picture in each layout, with the colours it must decode to.
struct DecodeCase {
    const char* name;
    BmpLayout layout;
    std::vector<uint32_t> expected;
};

std::vector<DecodeCase> decodeCases() {
    const std::vector<uint32_t> colours = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF,
                                           0x000000, 0x808080, 0xC0C0C0, 0x123456, 0xABCDEF,
                                           0x010203, 0xFEDCBA, 0x7F7F7F, 0x00FFFF, 0xFF00FF};
    const std::vector<uint32_t> pal16 = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                         0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                         0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    const std::vector<uint32_t> idx16 = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15};
    const std::vector<uint32_t> idx2 = {0, 1, 1, 0, 1, 1, 1, 0, 0, 0, 0, 1, 0, 1, 0};
    std::vector<uint32_t> pal256(256);
    for (uint32_t i = 0; i < 256; ++i)
        pal256[i] = i * 0x010101u ^ 0x00FF00u;
    const std::vector<uint32_t> idx256 = {0,   255, 17, 128, 64, 1,  2, 3,
                                          200, 100, 33, 44,  55, 66, 77};
    auto mapped = [](const std::vector<uint32_t>& pal, const std::vector<uint32_t>& idx) {
        std::vector<uint32_t> out;
        for (uint32_t i : idx)
            out.push_back(pal[i]);
        return out;
    };
    const std::vector<uint32_t> pal2 = {0x112233, 0xDDEEFF};
    std::vector<DecodeCase> cases;
    for (int32_t sign : {1, -1}) {
        const bool top = sign < 0;
        cases.push_back({top ? "1-bit top-down" : "1-bit",
                         {1, 5, 3 * sign, 40, 0, 0, pal2, idx2},
                         mapped(pal2, idx2)});
        cases.push_back({top ? "4-bit top-down" : "4-bit",
                         {4, 5, 3 * sign, 40, 0, 0, pal16, idx16},
                         mapped(pal16, idx16)});
        cases.push_back({top ? "8-bit top-down" : "8-bit",
                         {8, 5, 3 * sign, 40, 0, 0, pal256, idx256},
                         mapped(pal256, idx256)});
        cases.push_back({top ? "24-bit top-down" : "24-bit",
                         {24, 5, 3 * sign, 40, 0, 0, {}, colours},
                         colours});
        cases.push_back({top ? "32-bit top-down" : "32-bit",
                         {32, 5, 3 * sign, 40, 0, 0, {}, colours},
                         colours});
    }
    cases.push_back({"4-bit, short palette",
                     {4,
                      5,
                      3,
                      40,
                      0,
                      3,
                      {0x0, 0x123456, 0xFFFFFF},
                      {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}},
                     {0x0, 0x123456, 0xFFFFFF, 0x0, 0x123456, 0xFFFFFF, 0x0, 0x123456, 0xFFFFFF,
                      0x0, 0x123456, 0xFFFFFF, 0x0, 0x123456, 0xFFFFFF}});
    cases.push_back(
        {"core header, 8-bit", {8, 5, 3, 12, 0, 0, pal256, idx256}, mapped(pal256, idx256)});
    cases.push_back({"core header, 24-bit", {24, 5, 3, 12, 0, 0, {}, colours}, colours});
    cases.push_back({"V5 header, 24-bit", {24, 5, 3, 124, 0, 0, {}, colours}, colours});
    cases.push_back({"32-bit bit fields", {32, 5, -3, 40, 3, 0, {}, colours}, colours});
    cases.push_back({"V5 header, 32-bit bit fields", {32, 5, 3, 124, 3, 0, {}, colours}, colours});
    return cases;
}

TEST(DecodeBmp, DecodesEveryUncompressedLayout) {
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> file = makeBmp(c.layout);
        const std::optional<Bitmap> b = decodeBmp(file);
        ASSERT_TRUE(b.has_value());
        EXPECT_EQ(b->width, 5);
        EXPECT_EQ(b->height, 3);
        EXPECT_EQ(b->pixels, c.expected);
    }
}

TEST(DecodeBmp, RefusesEveryTruncation) {
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> file = makeBmp(c.layout);
        for (size_t n = 0; n < file.size(); ++n) {
            // A copy of exactly n bytes, so that the sanitizers see any read past its end.
            const std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
            EXPECT_FALSE(decodeBmp(cut).has_value()) << n << " of " << file.size();
        }
    }
}

TEST(DecodeBmp, RefusesMalformedHeadersAndPixels) {
    const BmpLayout valid{
        4, 5, 3, 40, 0, 2, {0x000000, 0xFFFFFF}, {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}};
    ASSERT_TRUE(decodeBmp(makeBmp(valid)).has_value());
    struct Corruption {
        const char* name;
        size_t at;
        uint32_t value;
        int bytes;
    };
    const Corruption corruptions[] = {
        {"magic", 0, 'X', 1},
        {"pixel offset beyond the file", 10, 0x7FFFFFFF, 4},
        {"pixel offset inside the palette", 10, 58, 4},
        {"header size 0", 14, 0, 4},
        {"header size beyond the file", 14, 0xFFFFFFF0u, 4},
        {"header size between core and info", 14, 20, 4},
        {"width 0", 18, 0, 4},
        {"negative width", 18, 0xFFFFFFFBu, 4},
        {"width too large", 18, 40000, 4},
        {"height 0", 22, 0, 4},
        {"height INT32_MIN", 22, 0x80000000u, 4},
        {"too many pixels", 18, 20000, 4},
        {"two planes", 26, 2, 2},
        {"16 bits", 28, 16, 2},
        {"2 bits", 28, 2, 2},
        {"run-length compressed", 30, 2, 4},
        {"bit fields on 4 bits", 30, 3, 4},
        {"more colours than 4 bits hold", 46, 17, 4},
        {"index beyond a 1-colour palette", 46, 1, 4},
    };
    for (const Corruption& c : corruptions) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> file = makeBmp(valid);
        put(file, c.at, c.value, c.bytes);
        if (std::string(c.name) == "too many pixels")
            put(file, 22, 20000, 4);
        EXPECT_FALSE(decodeBmp(file).has_value());
    }
    // Index 3 in a file whose palette has two colours.
    BmpLayout badIndex = valid;
    badIndex.values[7] = 3;
    EXPECT_FALSE(decodeBmp(makeBmp(badIndex)).has_value());
    // Non-standard bit-field masks.
    std::vector<uint8_t> swapped = makeBmp({32, 5, 3, 40, 3, 0, {}, std::vector<uint32_t>(15, 0)});
    put(swapped, 54, 0xFF, 4);
    EXPECT_FALSE(decodeBmp(swapped).has_value());
}

TEST(DecodeBmp, RandomCorruptionsNeverReadOutOfBounds) {
    std::mt19937 random(12345);
    for (const DecodeCase& c : decodeCases()) {
        const std::vector<uint8_t> file = makeBmp(c.layout);
        for (int trial = 0; trial < 200; ++trial) {
            std::vector<uint8_t> mutated = file;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int f = 0; f < flips; ++f)
                mutated[random() % mutated.size()] = static_cast<uint8_t>(random());
            mutated.resize(mutated.size() - random() % 3);
            const std::optional<Bitmap> b = decodeBmp(mutated);
            if (b) {
                EXPECT_GT(b->width, 0);
                EXPECT_GT(b->height, 0);
                EXPECT_EQ(b->pixels.size(), static_cast<size_t>(b->width) * b->height);
            }
        }
    }
}

TEST(EncodeBmp4, MapsToTheNearestPaletteColourAndDecodesBack) {
    Bitmap picture(7, 3, 0);
    const uint32_t source[] = {0x000000, 0x101010, 0x7F7F7F, 0xC8C8C8,
                               0xFFFFFF, 0xF00000, 0x0000F0};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            picture.at(x, y) = source[(x + y) % 7];
    const uint32_t palette[] = {0x000000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0xFF0000, 0x0000FF};
    const uint32_t nearest[] = {0x000000, 0x000000, 0x808080, 0xC0C0C0,
                                0xFFFFFF, 0xFF0000, 0x0000FF};
    const std::vector<uint8_t> file = encodeBmp4(picture, palette);
    ASSERT_EQ(file.size(), 14u + 40 + 64 + 4 * 3);
    const std::optional<Bitmap> back = decodeBmp(file);
    ASSERT_TRUE(back.has_value());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(back->at(x, y), nearest[(x + y) % 7]) << x << "," << y;

    EXPECT_TRUE(encodeBmp4(Bitmap(), palette).empty());
    EXPECT_TRUE(encodeBmp4(picture, {}).empty());
}

uint32_t luminance(uint32_t p) {
    return ((p >> 16 & 0xFF) * 30 + (p >> 8 & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
}

TEST(ButtonBitmaps, EveryButtonIsA16ColourPictureWithFrameFaceAndCaption) {
    std::set<std::vector<uint32_t>> distinct;
    for (const char* name :
         {"ButtonExit", "IDB_BITMAP1", "IDB_BITMAP5", "IDB_BITMAP4", "ButtonStart"}) {
        SCOPED_TRACE(name);
        const std::span<const uint8_t> file = findResource(name);
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(file[28], 4);  // stored with 4 bits per pixel
        const std::optional<Bitmap> b = loadResourceBitmap(name);
        ASSERT_TRUE(b.has_value());
        ASSERT_EQ(b->width, 144);
        ASSERT_EQ(b->height, 32);
        EXPECT_LE(std::set<uint32_t>(b->pixels.begin(), b->pixels.end()).size(), 16u);
        // The frame: the same dark colour at the four corners.
        const uint32_t corner = b->at(0, 0);
        EXPECT_LT(luminance(corner), 64u);
        EXPECT_EQ(b->at(143, 0), corner);
        EXPECT_EQ(b->at(0, 31), corner);
        EXPECT_EQ(b->at(143, 31), corner);
        // A light face beside the caption, dark caption pixels in the middle.
        EXPECT_GE(luminance(b->at(8, 16)), 160u);
        int dark = 0;
        for (int y = 8; y < 24; ++y)
            for (int x = 40; x < 104; ++x)
                dark += luminance(b->at(x, y)) < 64;
        EXPECT_GT(dark, 20);
        distinct.insert(b->pixels);
    }
    EXPECT_EQ(distinct.size(), 5u);
}

TEST(Resources, UnknownNamesFindNothing) {
    EXPECT_TRUE(findResource("ButtonNope").empty());
    EXPECT_TRUE(findResource("").empty());
    EXPECT_TRUE(findResource("buttonexit").empty());  // names are exact
    EXPECT_FALSE(loadResourceBitmap("ButtonNope").has_value());
}

}  // namespace
}  // namespace platform
