#include <algorithm>

#include "series_boxes.h"

namespace render {

namespace {

// One etalon item of a pattern row: the cell (x + padX, y - padY - 1) to
// (x + iw - 2 padX, y + ih - 2 padY - lh).
struct ItemGeometry {
    int32_t padX, padY, iw, ih, lh;
};

void drawItem(Surface& surface, const SeriesAccess& s, const ItemGeometry& g, int32_t x, int32_t y,
              int32_t etalonNumber, int32_t amplitude, int highlight) {
    const series::PulseHeader* etalon = s.etalon(etalonNumber);
    if (etalon == nullptr)
        return;
    const Rect cell{x + g.padX, y - g.padY - 1, x + g.iw - 2 * g.padX,
                    y + g.ih - 2 * g.padY - g.lh};
    drawEtalonCell(surface, *etalon, amplitude, highlight, cell, g.lh);
}

// Box width for `items` items of width iw, narrowed to `available` and widened to the caption.
int32_t fitBoxWidth(int32_t& iw, int32_t padX, int32_t items, int32_t available,
                    int32_t captionWidth) {
    int32_t bw = (iw + padX) * items + padX + 1;
    if (bw > available && items > 0) {
        bw = available;
        iw = (bw - padX - 1) / items - padX;
        bw = (iw + padX) * items + padX + 1;
    }
    return std::max(bw, captionWidth + 20);
}

void drawOutline(Surface& surface, const SeriesLayout& l, int32_t left, int32_t top, int32_t bw,
                 int32_t bh) {
    surface.rectangle(left, top - l.lh / 4 + 1, left + bw, top + bh);
}

// The caption sits on the box's top edge, at its right end.
void drawCaption(Surface& surface, int32_t left, int32_t top, int32_t bw, const char* caption,
                 const Size& extent) {
    surface.textOut(left + bw - extent.cx - 10, top - (extent.cy / 2 + extent.cy / 4), caption);
}

void drawDetectionPattern(Surface& surface, const SeriesLayout& l, const SeriesAccess& s,
                          int32_t amplitude) {
    const int32_t n = s.subsetSize();
    const char* caption = " pattern tuple ";
    const Size extent = surface.textExtent(caption);
    const int32_t padY = (l.gapY >> 2) + 1;
    const int32_t padX = (l.marginX >> 2) + 1;
    int32_t iw = l.alphabetCellWidth + 2 * padX;
    const int32_t ih = l.alphabetCellHeight + 2 * padY + l.lh;
    const int32_t bh = ih + 2 * padY;
    const int32_t aw = l.graphWidth;
    const int32_t bw = fitBoxWidth(iw, padX, n, aw, extent.cx);
    const int32_t left = l.x0 + aw - bw + 1;
    int32_t top = l.alphabetBoxTop + l.alphabetBoxHeight + 1 - bh;
    if (l.alphabetRows < 8)
        top = l.B0 - bh - (l.lh + l.lh / 4 - 3);
    drawOutline(surface, l, left, top, bw, bh);

    const ItemGeometry g{padX, padY, iw, ih, l.lh};
    int32_t x = left + padX;
    const int32_t y = top + padY;
    for (int32_t i = 0; i < n; ++i) {
        drawItem(surface, s, g, x, y, s.subsetEntry(i), amplitude, 0);
        x += iw + padX;
    }
    drawCaption(surface, left, top, bw, caption, extent);
}

void drawRecognitionPatterns(Surface& surface, const SeriesLayout& l, const SeriesAccess& s,
                             int32_t amplitude, int32_t currentReservedSubset,
                             ReservedSubsetRects rowRects) {
    const int32_t rows = s.storedSubsets();
    int32_t m = 0;
    for (int32_t r = 0; r < rows; ++r)
        m = std::max(m, s.storedSubsetSize(r));
    const char* caption = " pattern tuples ";
    const Size extent = surface.textExtent(caption);
    const int32_t padY = (l.gapY >> 3) + 1;
    const int32_t padX = (l.marginX >> 3) + 1;
    int32_t iw = l.alphabetCellWidth;
    const int32_t ih = ((l.alphabetCellHeight + 2 * padY + l.lh) * 8 + 5) / 9;
    const int32_t bh = (ih + padY) * rows + padY;
    const int32_t aw = l.R0 - l.x0 - l.marginX - 1;
    const int32_t bw = fitBoxWidth(iw, padX, m, aw, extent.cx);
    const int32_t left = l.x0 + aw - bw + 1;
    const int32_t top = l.B0 - bh - padY;
    drawOutline(surface, l, left, top, bw, bh);

    const ItemGeometry g{padX, padY, iw, ih, l.lh};
    const int32_t recognised = s.header().wRecognizedSubset;
    int32_t y = top + padY / 2;
    for (int32_t r = 0; r < rows; ++r) {
        int highlight = 0;
        if (r + 1 == currentReservedSubset)
            highlight = 2;
        if (r + 1 == recognised)
            highlight = 1;
        if (rowRects.rects != nullptr && r < rowRects.capacity)
            rowRects.rects[r] = Rect{left + padX, y, left + padX + bw, y + ih + padY};
        int32_t x = left + padX;
        const int32_t n = s.storedSubsetSize(r);
        for (int32_t c = 0; c < n; ++c) {
            drawItem(surface, s, g, x, y, s.storedSubsetEntry(r, c), amplitude, highlight);
            x += iw + padX;
        }
        y += ih + padY;
    }
    drawCaption(surface, left, top, bw, caption, extent);
}

}  // namespace

void drawPatternTuples(Surface& surface, const SeriesLayout& l, const RunKinds& kinds,
                       const series::SeriesHeader& header, int32_t amplitude,
                       int32_t currentReservedSubset, ReservedSubsetRects rowRects) {
    if (!kinds.tupleSeries())
        return;
    const SeriesAccess s(header);
    if (kinds.taskKind != 40) {
        if (s.subsetSize() > 0)
            drawDetectionPattern(surface, l, s, amplitude);
    } else if (s.storedSubsets() > 0) {
        drawRecognitionPatterns(surface, l, s, amplitude, currentReservedSubset, rowRects);
    }
}

}  // namespace render
