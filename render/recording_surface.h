#pragma once
// A surface that draws nothing and records every operation with the state it was drawn in, so
// that tests can check the texts, lines and rectangles a view draws. Text metrics are fixed:
// every character is `charWidth` pixels wide and a line `height` pixels high.

#include <string>
#include <vector>

#include "surface.h"

namespace render {

struct RecordedOp {
    enum Kind { MoveTo, LineTo, Rectangle, Ellipse, FillRect, SetPixel, Text, Blit };
    Kind kind = MoveTo;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // points or edges; LineTo: from (x1,y1) to (x2,y2)
    std::string text;                        // Text
    Colour colour = 0;                       // SetPixel, FillRect; Text: the text colour
    Pen pen;
    Brush brush;
    Font font;
    BkMode bkMode = BkMode::Opaque;
    const Bitmap* bitmap = nullptr;  // Blit
};

class RecordingSurface : public Surface {
  public:
    RecordingSurface(int32_t charWidth = 6, int32_t height = 13, int32_t externalLeading = 0)
        : charWidth_(charWidth), height_(height), externalLeading_(externalLeading) {}

    Pen selectPen(const Pen& pen) override { return exchange(pen_, pen); }
    Brush selectBrush(const Brush& brush) override { return exchange(brush_, brush); }
    Font selectFont(const Font& font) override { return exchange(font_, font); }
    Colour setTextColour(Colour c) override { return exchange(textColour_, c); }
    Colour setBkColour(Colour c) override { return exchange(bkColour_, c); }
    Colour bkColour() const override { return bkColour_; }
    BkMode setBkMode(BkMode m) override { return exchange(bkMode_, m); }

    TextMetrics textMetrics() override;
    Size textExtent(std::string_view text) override;
    void textOut(int32_t x, int32_t y, std::string_view text) override;
    void moveTo(int32_t x, int32_t y) override;
    void lineTo(int32_t x, int32_t y) override;
    void rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override;
    void ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override;
    void fillRect(const Rect& rect, Colour colour) override;
    void setPixel(int32_t x, int32_t y, Colour colour) override;
    Colour getPixel(int32_t, int32_t) override { return 0xFFFFFF; }
    void blit(int32_t x, int32_t y, const Bitmap& bitmap) override;

    const std::vector<RecordedOp>& ops() const { return ops_; }
    void clear() { ops_.clear(); }
    // The texts drawn, in order.
    std::vector<std::string> texts() const;
    // The first text op that starts with `prefix`, or null.
    const RecordedOp* findText(std::string_view prefix) const;
    // Every op of a kind.
    std::vector<RecordedOp> opsOf(RecordedOp::Kind kind) const;

    Pen pen() const { return pen_; }
    Brush brush() const { return brush_; }
    Font font() const { return font_; }

  private:
    template <class T>
    static T exchange(T& field, const T& value) {
        T old = field;
        field = value;
        return old;
    }
    RecordedOp op(RecordedOp::Kind kind) const;

    int32_t charWidth_, height_, externalLeading_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Colour textColour_ = 0x000000;
    Colour bkColour_ = 0xFFFFFF;
    BkMode bkMode_ = BkMode::Opaque;
    int32_t x_ = 0, y_ = 0;
    std::vector<RecordedOp> ops_;
};

}  // namespace render
