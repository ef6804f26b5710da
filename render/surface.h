#pragma once
// The drawing surface every view draws on, with the semantics of the classic window system's
// device context: a current pen, brush, font, text colour and background mode; LineTo does not
// paint its end point; Rectangle and Ellipse are outlined with the pen and filled with the
// brush, their right and bottom edges exclusive; text is placed by its top-left corner. Colours
// are 0x00BBGGRR. Pens, brushes and fonts are values: select* returns the previous one so that
// a view can restore it.

#include <cstdint>
#include <string_view>

#include "platform/geometry.h"

namespace render {

using platform::Bitmap;
using platform::Colour;
using platform::Rect;

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };

struct Pen {
    PenStyle style = PenStyle::Solid;
    int32_t width = 1;
    Colour colour = 0x000000;
    bool operator==(const Pen&) const = default;
};

struct Brush {
    bool hollow = false;  // a hollow brush fills nothing
    Colour colour = 0xFFFFFF;
    bool operator==(const Brush&) const = default;
};

// The stock variable-pitch text font, or a font made for a height (in pixels, the character
// cell from the top of the ascent to the bottom of the descent) and a weight. The Symbol face
// draws Latin letters as the Greek letters of the classic Symbol font.
enum class FontFace { Text, Symbol };
struct Font {
    FontFace face = FontFace::Text;
    int32_t height = 0;  // 0: the stock font's size
    int32_t weight = 400;
    bool operator==(const Font&) const = default;
};

struct TextMetrics {
    int32_t height = 0;  // ascent + descent
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t internalLeading = 0;
    int32_t externalLeading = 0;
    int32_t aveCharWidth = 0;
    int32_t maxCharWidth = 0;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    bool operator==(const Size&) const = default;
};

enum class BkMode { Transparent = 1, Opaque = 2 };

class Surface {
  public:
    virtual ~Surface() = default;

    virtual Pen selectPen(const Pen& pen) = 0;
    virtual Brush selectBrush(const Brush& brush) = 0;
    virtual Font selectFont(const Font& font) = 0;
    virtual Colour setTextColour(Colour colour) = 0;
    virtual Colour setBkColour(Colour colour) = 0;
    virtual Colour bkColour() const = 0;
    virtual BkMode setBkMode(BkMode mode) = 0;

    // Metrics of the selected font.
    virtual TextMetrics textMetrics() = 0;
    // Width and height of a single-byte string in the selected font.
    virtual Size textExtent(std::string_view text) = 0;
    // Draws single-byte text with its top-left corner at (x, y); in opaque mode the text's
    // extent is first filled with the background colour.
    virtual void textOut(int32_t x, int32_t y, std::string_view text) = 0;

    virtual void moveTo(int32_t x, int32_t y) = 0;
    // Draws from the current position up to, not including, (x, y), which becomes current.
    virtual void lineTo(int32_t x, int32_t y) = 0;
    virtual void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // Fills left <= x < right, top <= y < bottom with a colour, no outline.
    virtual void fillRect(const Rect& rect, Colour colour) = 0;
    virtual void setPixel(int32_t x, int32_t y, Colour colour) = 0;
    // The pixel's colour; kInvalidColour outside the surface.
    virtual Colour getPixel(int32_t x, int32_t y) = 0;
    // Copies a stored bitmap with its top-left corner at (x, y), as it is.
    virtual void blit(int32_t x, int32_t y, const Bitmap& bitmap) = 0;
};

inline constexpr Colour kInvalidColour = 0xFFFFFFFF;

// Selects a pen, brush or font for a scope and restores the previous one at its end, as every
// view restores what it selected.
class ScopedPen {
  public:
    ScopedPen(Surface& s, const Pen& pen) : s_(s), old_(s.selectPen(pen)) {}
    ~ScopedPen() { s_.selectPen(old_); }
    ScopedPen(const ScopedPen&) = delete;
    ScopedPen& operator=(const ScopedPen&) = delete;

  private:
    Surface& s_;
    Pen old_;
};

class ScopedBrush {
  public:
    ScopedBrush(Surface& s, const Brush& brush) : s_(s), old_(s.selectBrush(brush)) {}
    ~ScopedBrush() { s_.selectBrush(old_); }
    ScopedBrush(const ScopedBrush&) = delete;
    ScopedBrush& operator=(const ScopedBrush&) = delete;

  private:
    Surface& s_;
    Brush old_;
};

class ScopedFont {
  public:
    ScopedFont(Surface& s, const Font& font) : s_(s), old_(s.selectFont(font)) {}
    ~ScopedFont() { s_.selectFont(old_); }
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

  private:
    Surface& s_;
    Font old_;
};

// Solid pens and brushes of a colour.
inline Pen solidPen(Colour c, int32_t width = 1) {
    return Pen{PenStyle::Solid, width, c};
}
inline Pen dottedPen(Colour c) {
    return Pen{PenStyle::Dot, 1, c};
}
inline Brush solidBrush(Colour c) {
    return Brush{false, c};
}

}  // namespace render
