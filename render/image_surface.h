#pragma once
// A surface that draws into a 32-bit picture in memory (pixels 0x00RRGGBB, rows top to bottom)
// with the device-context semantics of surface.h, to the pixel: lines, styled pens, rectangles,
// ellipses and pixels are rasterised here; text goes through the font engine (text_engine.h).
// Drawing is clipped to the picture and to the clip region, if one is set.
//
// Every pixel this surface writes has 0xFF in its top byte, so that the buffer is a valid
// RGB32 display image; colours are compared and read back ignoring that byte.
//
// Rasterisation rules:
// - lineTo with a 1-pixel pen steps along the major axis from the current position and stops
//   before the end point; the minor coordinate is the exact one rounded, halves toward the
//   start. A zero-length line paints nothing.
// - Styled pens (1 pixel wide only; wider styled pens draw solid) repeat, one unit per pixel
//   along the major axis: Dash 18 on 6 off, Dot 3 on 3 off, DashDot 9/6/3/6, DashDotDot
//   9/3/3/3/3/3. The pattern continues across consecutive lineTo calls and restarts at moveTo.
//   Gaps get the background colour in opaque mode and are left alone in transparent mode.
// - A solid pen wider than 1 draws a geometric line: every pixel whose centre lies within half
//   the width of the segment, with round ends, so the end point and its neighbourhood are
//   painted too. For even widths the pixel centres are taken half a pixel right and down, so a
//   horizontal line of width w covers exactly w rows (w / 2 above the line, the rest below).
// - rectangle and ellipse normalise their corners; the shape covers left..right-1 ×
//   top..bottom-1. The brush fills the inside of the 1-pixel outline; with the null pen the
//   brush alone fills left..right-2 × top..bottom-2 (the shape is one pixel smaller, as in
//   GDI). A wide pen strokes the outline centred on it (rectangle corners rounded). Ellipse
//   outlines ignore the pen style.
// - textOut draws inside its extent only: glyph parts outside the text cell are cut off.
// - getPixel answers kInvalidColour outside the picture and outside the clip region, as GDI does.
#include <cstddef>
#include <utility>
#include <vector>

#include "surface.h"

namespace render {

class ImageSurface : public Surface {
  public:
    // Draws into `picture`, which must outlive the surface.
    explicit ImageSurface(Bitmap& picture);
    // Draws into an external buffer of `height` rows of `stride` pixels (e.g. a QImage's bits).
    ImageSurface(uint32_t* pixels, int32_t width, int32_t height, int32_t stride);

    // Limits drawing to the union of `region` (right and bottom exclusive); empty: no limit.
    void setClipRegion(std::vector<Rect> region);

    Pen selectPen(const Pen& pen) override;
    Brush selectBrush(const Brush& brush) override;
    Font selectFont(const Font& font) override;
    Colour setTextColour(Colour colour) override;
    Colour setBkColour(Colour colour) override;
    Colour bkColour() const override;
    BkMode setBkMode(BkMode mode) override;

    TextMetrics textMetrics() override;
    Size textExtent(std::string_view text) override;
    void textOut(int32_t x, int32_t y, std::string_view text) override;

    void moveTo(int32_t x, int32_t y) override;
    void lineTo(int32_t x, int32_t y) override;
    void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void fillRect(const Rect& rect, Colour colour) override;
    void setPixel(int32_t x, int32_t y, Colour colour) override;
    Colour getPixel(int32_t x, int32_t y) override;
    void blit(int32_t x, int32_t y, const Bitmap& bitmap) override;

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }

  private:
    // The clip region as horizontal bands of disjoint spans (right and bottom exclusive).
    struct Span {
        int32_t left, right;
    };
    struct Band {
        int32_t top, bottom;
        uint32_t first, count;  // its spans in spans_
    };

    // A 1-pixel line as steps along its major axis (see thinLineSteps).
    struct LineSteps {
        bool xMajor;
        int64_t major, minor;  // the absolute extents along the two axes, major >= minor
        int64_t m0, n0;        // start on the major and the minor axis
        int64_t ms, ns;        // directions, +1 or -1
    };

    static uint32_t toPixel(Colour c) { return 0xFF000000u | platform::colourToPixel(c); }
    uint32_t* row(int32_t y) const { return pixels_ + static_cast<ptrdiff_t>(y) * stride_; }
    bool inBox(int64_t x, int64_t y) const {
        return x >= box_.left && x < box_.right && y >= box_.top && y < box_.bottom;
    }
    const Band* bandAt(int32_t y) const;
    bool visible(int64_t x, int64_t y) const;
    bool inSpans(const Band& band, int64_t x) const;
    // Calls f(y, x0, x1) for every visible stretch x0 <= x < x1 of row y within [left, right).
    template <class F>
    void forEachVisibleRun(int64_t y, int64_t left, int64_t right, F&& f) const;
    void fillSpan(int64_t y, int64_t left, int64_t right, uint32_t pixel);
    void fillBox(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t pixel);

    // A 1-pixel line with the current pen, its style starting at `phase`, which it advances.
    void thinLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t& phase);
    template <bool Region, bool Styled>
    void thinLineSteps(const LineSteps& s, int64_t first, int64_t last, uint32_t phase);
    void wideLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, uint32_t pixel);

    uint32_t* pixels_;
    int32_t width_, height_, stride_;
    std::vector<Rect> clip_;   // as set; empty: no region
    Rect box_;                 // bounding box of what may be drawn, inside the picture
    bool region_ = false;      // false: box_ is the whole clip
    std::vector<Band> bands_;  // sorted by top, disjoint
    std::vector<Span> spans_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Colour textColour_ = 0x000000;
    Colour bkColour_ = 0xFFFFFF;
    BkMode bkMode_ = BkMode::Opaque;
    int32_t x_ = 0, y_ = 0;
    uint32_t phase_ = 0;  // styled-pen position, 0..23, restarted by moveTo
};

}  // namespace render
