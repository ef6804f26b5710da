#include "push_button.h"

namespace render {

namespace {
void line(Surface& s, Colour c, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    ScopedPen pen(s, solidPen(c));
    s.moveTo(x1, y1);
    s.lineTo(x2, y2);
}
}  // namespace

void drawPushButton(Surface& s, const Rect& r, std::string_view caption, int32_t lh) {
    const int32_t l = r.left, t = r.top, rt = r.right, b = r.bottom;
    s.rectangle(l, t, rt + 1, b + 1);
    // Dark lines just inside the outline: top and left, then the right and bottom edges.
    line(s, kButtonDark, l + 1, t + 1, rt, t + 1);
    line(s, kButtonDark, l + 1, t + 1, l + 1, b);
    line(s, kButtonDark, rt - 1, t + 1, rt - 1, b);
    line(s, kButtonDark, l + 1, b - 1, rt, b - 1);
    // The shadow inside the right and bottom, the highlight inside the top and left.
    line(s, kButtonShadow, rt - 2, t + 2, rt - 2, b - 1);
    line(s, kButtonShadow, l + 2, b - 2, rt - 1, b - 2);
    line(s, kButtonHighlight, l + 2, t + 2, rt - 2, t + 2);
    line(s, kButtonHighlight, l + 2, t + 2, l + 2, b - 2);

    const BkMode mode = s.setBkMode(BkMode::Transparent);
    const Colour colour = s.setTextColour(0x000000);
    const int32_t width = rt - l + 1;
    const Size extent = s.textExtent(caption);
    s.textOut(l + (width - extent.cx) / 2, t + (lh - 2) / 2, caption);
    s.setTextColour(colour);
    s.setBkMode(mode);
}

}  // namespace render
