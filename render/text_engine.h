#pragma once
// The font engine behind ImageSurface's text: DejaVu Sans (regular and bold) rasterised with
// FreeType, antialiased, kerning off.
//
// Sizes. Ascent and descent are the font's Windows ascent and descent scaled to the pixel size
// (em height) and rounded; the cell height is their sum. A font made with a positive height
// gets the largest pixel size whose cell is not above that height (the smallest pixel size when
// even its cell is taller); a negative height asks for that em height, as GDI does; the stock
// font (height 0) is the one made for a 13-pixel cell. Pixel sizes are limited to 1..400.
// Weight 600 and above uses the bold face. The Symbol face draws Latin letters as the Greek
// letters of the classic Symbol font. Text is single-byte: every byte is a Latin-1 code point;
// bytes without a glyph (controls) draw the font's missing-glyph box.
//
// Glyphs are rendered once per size and kept for the life of the engine. Every method is
// thread-safe (one mutex), and a glyph handed out stays valid and unchanged while the engine
// lives.
//
// When the regular font file cannot be found or opened the engine says so once on stderr (and in
// error()), draws no glyphs, and reports metrics derived from the requested height so that
// layout stays sane.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "surface.h"

namespace render {

// One rendered glyph: an 8-bit coverage map placed relative to the pen on the baseline.
struct Glyph {
    int32_t left = 0;               // from the pen position to the bitmap's left column
    int32_t top = 0;                // from the baseline up to the bitmap's top row
    int32_t width = 0;              // bitmap columns
    int32_t rows = 0;               // bitmap rows
    int32_t advance = 0;            // pen advance in whole pixels
    std::vector<uint8_t> coverage;  // rows × width, 0 transparent .. 255 opaque
};

// The glyphs of a string, each with its pen offset from the start of the text.
struct TextRun {
    TextMetrics metrics;
    int32_t width = 0;  // sum of the advances
    struct Item {
        const Glyph* glyph;
        int32_t penX;
    };
    std::vector<Item> items;  // empty when no font could be loaded
};

// Where the engine takes its two font files from.
struct FontFiles {
    std::string regular;
    std::string bold;  // empty or unreadable: the regular face serves bold fonts too
};

class TextEngine {
  public:
    // The engine every surface shares, with the fonts findFontFiles() finds.
    static TextEngine& shared();

    explicit TextEngine(const FontFiles& files);
    ~TextEngine();
    TextEngine(const TextEngine&) = delete;
    TextEngine& operator=(const TextEngine&) = delete;

    // False when the regular face could not be loaded; error() then says why.
    bool available() const { return available_; }
    const std::string& error() const { return error_; }

    TextMetrics metrics(const Font& font);
    // Width (the sum of the advances) and cell height of the text.
    Size extent(const Font& font, std::string_view text);
    // The glyphs to draw the text with, their pen offsets and the font's metrics.
    TextRun layout(const Font& font, std::string_view text);
    // The pixel size (em height) the font is drawn at; 0 without fonts.
    int32_t pixelSize(const Font& font);

  private:
    struct Library;
    struct FaceFile;
    struct Instance;
    // Both take mutex_ held.
    Instance* instance(const Font& font);
    const Glyph& glyph(Instance& inst, uint8_t byte);
    TextMetrics fallbackMetrics(const Font& font) const;

    std::mutex mutex_;
    bool available_ = false;
    std::string error_;
    std::unique_ptr<Library> library_;
    std::unique_ptr<FaceFile> regular_, bold_;
    // Keyed by (bold, symbol, pixel size).
    std::map<std::tuple<bool, bool, int32_t>, std::unique_ptr<Instance>> instances_;
};

// The DejaVu Sans files of this machine: $ARDENTIX_FONT_DIR, the install folders of the usual
// distributions, then fontconfig's fc-match when it is installed; empty strings when not found.
FontFiles findFontFiles();

// The code point a byte of Symbol-face text is drawn as: Latin letters become the Greek letters
// of the classic Symbol font, every other byte stays its Latin-1 code point.
char32_t symbolCodePoint(uint8_t byte);

}  // namespace render
