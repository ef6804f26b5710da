#include "value_selector.h"

#include <cstdio>

namespace render {

int drawValueSelector(Surface& s, const Rect& frame, std::array<Rect, 3>& items,
                      const char* caption, int32_t count, const int32_t* values,
                      int32_t selectedIndex, int32_t currentValue, int32_t lh) {
    const int32_t x0 = frame.left;
    const int32_t y0 = frame.top;
    const int32_t w = frame.right - frame.left + 1;
    const int32_t h = frame.bottom - frame.top + 1;
    s.moveTo(x0, y0);
    s.lineTo(x0, y0 + h);
    s.lineTo(x0 + w, y0 + h);
    s.lineTo(x0 + w, y0);
    s.lineTo(x0, y0);

    const int32_t x = x0 + 10;
    int32_t inset = (lh + 1) >> 3;
    if (inset < 1)
        inset = 1;
    s.textOut(x - 5, y0 - (lh >> 1), caption);

    const int32_t n = count < 0 ? 0 : (count > 3 ? 3 : count);
    int32_t y = y0 + (lh >> 1) + lh;
    char text[32];
    for (int32_t i = 0; i < n; ++i) {
        s.ellipse(x, y, x + lh, y + lh);
        std::snprintf(text, sizeof text, " %5d ", values[i]);
        s.textOut(x + 2 * lh, y, text);
        items[static_cast<size_t>(i)] = Rect{x, y, x + w - 20, y + lh + (lh >> 1) - 1};
        y += lh + (lh >> 1);
    }
    if (n == 0)
        return 1;

    int32_t sel = selectedIndex - 1;
    if (sel < 0 || sel >= n)
        sel = 0;
    const Rect& item = items[static_cast<size_t>(sel)];
    const Colour fill = currentValue == values[sel] ? kSelectorApplied : kSelectorPending;
    ScopedBrush brush(s, solidBrush(fill));
    s.ellipse(item.left + inset, item.top + inset, item.left + lh - inset, item.top + lh - inset);
    return 1;
}

}  // namespace render
