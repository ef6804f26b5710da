#include "recording_surface.h"

namespace render {

RecordedOp RecordingSurface::op(RecordedOp::Kind kind) const {
    RecordedOp o{};
    o.kind = kind;
    o.pen = pen_;
    o.brush = brush_;
    o.font = font_;
    o.bkMode = bkMode_;
    o.colour = textColour_;
    return o;
}

TextMetrics RecordingSurface::textMetrics() {
    const int32_t h = font_.height > 0 ? font_.height : height_;
    TextMetrics m;
    m.height = h;
    m.ascent = h - h / 4;
    m.descent = h / 4;
    m.externalLeading = externalLeading_;
    m.aveCharWidth = charWidth_;
    m.maxCharWidth = 2 * charWidth_;
    return m;
}

Size RecordingSurface::textExtent(std::string_view text) {
    const int32_t h = font_.height > 0 ? font_.height : height_;
    return Size{static_cast<int32_t>(text.size()) * charWidth_, h};
}

void RecordingSurface::textOut(int32_t x, int32_t y, std::string_view text) {
    RecordedOp o = op(RecordedOp::Text);
    o.x1 = x;
    o.y1 = y;
    o.text = std::string(text);
    ops_.push_back(o);
}

void RecordingSurface::moveTo(int32_t x, int32_t y) {
    RecordedOp o = op(RecordedOp::MoveTo);
    o.x1 = x_ = x;
    o.y1 = y_ = y;
    ops_.push_back(o);
}

void RecordingSurface::lineTo(int32_t x, int32_t y) {
    RecordedOp o = op(RecordedOp::LineTo);
    o.x1 = x_;
    o.y1 = y_;
    o.x2 = x_ = x;
    o.y2 = y_ = y;
    ops_.push_back(o);
}

void RecordingSurface::rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
    RecordedOp o = op(RecordedOp::Rectangle);
    o.x1 = l, o.y1 = t, o.x2 = r, o.y2 = b;
    ops_.push_back(o);
}

void RecordingSurface::ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    RecordedOp o = op(RecordedOp::Ellipse);
    o.x1 = l, o.y1 = t, o.x2 = r, o.y2 = b;
    ops_.push_back(o);
}

void RecordingSurface::fillRect(const Rect& rect, Colour colour) {
    RecordedOp o = op(RecordedOp::FillRect);
    o.x1 = rect.left, o.y1 = rect.top, o.x2 = rect.right, o.y2 = rect.bottom;
    o.colour = colour;
    ops_.push_back(o);
}

void RecordingSurface::setPixel(int32_t x, int32_t y, Colour colour) {
    RecordedOp o = op(RecordedOp::SetPixel);
    o.x1 = x, o.y1 = y;
    o.colour = colour;
    ops_.push_back(o);
}

void RecordingSurface::blit(int32_t x, int32_t y, const Bitmap& bitmap) {
    RecordedOp o = op(RecordedOp::Blit);
    o.x1 = x, o.y1 = y, o.x2 = x + bitmap.width, o.y2 = y + bitmap.height;
    o.bitmap = &bitmap;
    ops_.push_back(o);
}

std::vector<std::string> RecordingSurface::texts() const {
    std::vector<std::string> out;
    for (const auto& o : ops_)
        if (o.kind == RecordedOp::Text)
            out.push_back(o.text);
    return out;
}

const RecordedOp* RecordingSurface::findText(std::string_view prefix) const {
    for (const auto& o : ops_)
        if (o.kind == RecordedOp::Text && o.text.starts_with(prefix))
            return &o;
    return nullptr;
}

std::vector<RecordedOp> RecordingSurface::opsOf(RecordedOp::Kind kind) const {
    std::vector<RecordedOp> out;
    for (const auto& o : ops_)
        if (o.kind == kind)
            out.push_back(o);
    return out;
}

}  // namespace render
