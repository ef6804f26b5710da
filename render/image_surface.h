#pragma once
// A surface that draws into a 32-bit picture in memory (pixels 0x00RRGGBB, rows top to bottom)
// with the device-context semantics of surface.h, to the pixel: lines, styled pens, rectangles,
// ellipses and pixels are rasterised here; text goes through the font engine (text_engine.h).
// Drawing is clipped to the picture and to the clip region, if one is set.

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
    // (implementation state: pixel buffer, clip, current objects, pen style phase)
    uint32_t* pixels_;
    int32_t width_, height_, stride_;
    std::vector<Rect> clip_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Colour textColour_ = 0x000000;
    Colour bkColour_ = 0xFFFFFF;
    BkMode bkMode_ = BkMode::Opaque;
    int32_t x_ = 0, y_ = 0;
};

}  // namespace render
