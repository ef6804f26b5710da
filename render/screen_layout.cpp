#include "screen_layout.h"

namespace render {

namespace {
Rect buttonAt(int32_t W, int32_t top) {
    return Rect{W - 154, top, W - 11, top + kButtonHeight - 1};
}
}  // namespace

void layoutButtons(ScreenLayout& l, int32_t W, int32_t H, bool selectButton) {
    l.exitButtonRect = buttonAt(W, H - 42);
    l.nextButtonRect = buttonAt(W, H - 84);
    int32_t restartTop = H - 126;
    if (selectButton) {
        l.selectButtonRect = buttonAt(W, H - 126);
        l.selectButtonHitRect = l.selectButtonRect;
        restartTop = H - 168;
    }
    l.restartButtonRect = buttonAt(W, restartTop);
    l.restartAreaRect = Rect{W - 154, restartTop - 42, W - 11, H - 95};
}

GridShape cellGridShape(int32_t n) {
    int32_t r = 1;
    while (r * (r + 1) < n)
        ++r;
    return GridShape{r + 1, r};
}

void layoutCellGrid(ScreenLayout& l, int32_t W, int32_t H, int32_t n) {
    const GridShape g = cellGridShape(n);
    const int32_t availableWidth = (W - 154) - 10 - 10 + 1;
    const int32_t availableHeight = H - 10 - 10 + 1;
    l.cellWidth = static_cast<uint16_t>((availableWidth - (g.columns + 1) * 10) / g.columns);
    l.cellHeight = static_cast<uint16_t>((availableHeight - (g.rows + 1) * 10) / g.rows);
    const int32_t usedWidth = l.cellWidth * g.columns + (g.columns + 1) * 10;
    const int32_t usedHeight = l.cellHeight * g.rows + (g.rows + 1) * 10;
    l.workAreaRect = Rect{10, 10, 10 + usedWidth - 1, 10 + usedHeight - 1};
    l.cellInnerWidth = static_cast<uint16_t>(l.cellWidth - 10);
    l.cellInnerHeight = static_cast<uint16_t>(l.cellHeight - 10);
    for (int32_t k = 0; k < n && k < kMaxPulseCells; ++k) {
        const int32_t left = 20 + (k % g.columns) * (l.cellWidth + 10);
        const int32_t top = 20 + (k / g.columns) * (l.cellHeight + 10);
        l.pulseCellRects[k] = Rect{left, top, left + l.cellWidth - 1, top + l.cellHeight - 1};
    }
}

}  // namespace render
