#pragma once
// A surface that draws on another one and records every operation as the recording surface
// does, with the target's own text metrics: the trace of a real paint.

#include "recording_surface.h"

namespace render {

class TracingSurface : public RecordingSurface {
  public:
    explicit TracingSurface(Surface& target) : target_(target) {}

    Pen selectPen(const Pen& pen) override {
        RecordingSurface::selectPen(pen);
        return target_.selectPen(pen);
    }
    Brush selectBrush(const Brush& brush) override {
        RecordingSurface::selectBrush(brush);
        return target_.selectBrush(brush);
    }
    Font selectFont(const Font& font) override {
        RecordingSurface::selectFont(font);
        return target_.selectFont(font);
    }
    Colour setTextColour(Colour c) override {
        RecordingSurface::setTextColour(c);
        return target_.setTextColour(c);
    }
    Colour setBkColour(Colour c) override {
        RecordingSurface::setBkColour(c);
        return target_.setBkColour(c);
    }
    Colour bkColour() const override { return target_.bkColour(); }
    BkMode setBkMode(BkMode m) override {
        RecordingSurface::setBkMode(m);
        return target_.setBkMode(m);
    }
    TextMetrics textMetrics() override { return target_.textMetrics(); }
    Size textExtent(std::string_view text) override { return target_.textExtent(text); }
    void textOut(int32_t x, int32_t y, std::string_view text) override {
        RecordingSurface::textOut(x, y, text);
        target_.textOut(x, y, text);
    }
    void moveTo(int32_t x, int32_t y) override {
        RecordingSurface::moveTo(x, y);
        target_.moveTo(x, y);
    }
    void lineTo(int32_t x, int32_t y) override {
        RecordingSurface::lineTo(x, y);
        target_.lineTo(x, y);
    }
    void rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override {
        RecordingSurface::rectangle(l, t, r, b);
        target_.rectangle(l, t, r, b);
    }
    void ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override {
        RecordingSurface::ellipse(l, t, r, b);
        target_.ellipse(l, t, r, b);
    }
    void fillRect(const Rect& rect, Colour colour) override {
        RecordingSurface::fillRect(rect, colour);
        target_.fillRect(rect, colour);
    }
    void setPixel(int32_t x, int32_t y, Colour colour) override {
        RecordingSurface::setPixel(x, y, colour);
        target_.setPixel(x, y, colour);
    }
    Colour getPixel(int32_t x, int32_t y) override { return target_.getPixel(x, y); }
    void blit(int32_t x, int32_t y, const Bitmap& bitmap) override {
        RecordingSurface::blit(x, y, bitmap);
        target_.blit(x, y, bitmap);
    }

  private:
    Surface& target_;
};

}  // namespace render
