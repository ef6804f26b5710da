#include "subset_layout.h"

#include <algorithm>
#include <new>

#include "platform/allocation.h"
#include "subset_state.h"

namespace app {

namespace {

// The button rectangles are allocated on the first layout; a failure leaves the screen
// without the selected subset's storage, so that the next paint prepares it again.
bool ensureButtonRects(AppSettings& a) {
    if (a.ButtonsWhileSelectedSubsetRect)
        return true;
    try {
        a.ButtonsWhileSelectedSubsetRect = platform::allocateArray<Rect>(kSubsetButtonsMax);
        return true;
    } catch (const std::bad_alloc&) {
        a.window().messageBox("Нет памяти для ButtonsWhileSelectedSubsetRect!", "Error");
        releaseSelectedSubsetStorage(a);
        return false;
    }
}

void layoutButtons(AppSettings& a, render::Surface& s, SubsetScreenGeometry& g) {
    const int32_t count = g.recognition ? kSubsetButtonsMax : 4;
    const int32_t ach = a.layout.aveCharWidth;
    int32_t widest = 0;
    for (int32_t i = 0; i < count; ++i)
        widest = std::max(widest, s.textExtent(kSubsetButtonCaptions[i]).cx);
    g.buttonWidth = widest + 4 * ach;
    g.buttonHeight = 2 * g.lineHeight - 1;
    const Rect& strip = a.selectedStripRect;
    const int32_t top = strip.bottom + g.lineHeight / 2;
    const auto at = [&](int32_t left) {
        return Rect{left, top, left + g.buttonWidth, top + g.buttonHeight};
    };
    const int32_t step = g.buttonWidth + 2 * ach;
    Rect* r = a.ButtonsWhileSelectedSubsetRect.get();
    r[kDeleteAllButton] = at(strip.left);
    r[kDeleteButton] = at(strip.left + step);
    if (g.recognition) {
        r[kAcceptButton] = at(strip.left + 2 * step);
        r[kClearAllButton] = at(strip.left + 3 * step);
        const int32_t cancelLeft = strip.right - 2 * (g.buttonWidth + ach);
        r[kCancelButton] = at(cancelLeft);
        r[kOkButton] = at(cancelLeft + step);
    } else {
        r[kCancelButton] = at(strip.left + 2 * step);
        r[kOkButton] = at(strip.left + 3 * step);
    }
    a.subsetButtonCount = count;
}

// Two columns of frames, the first holding the first half of the rows; in each frame
// subsetCapacity member slots side by side.
void layoutReservedGrid(AppSettings& a, SubsetScreenGeometry& g) {
    const Rect& w = a.layout.workAreaRect;
    const int32_t capacity = a.reservedSubsetCapacity;
    if (capacity <= 0 || !a.possibleSubsetArrayRect)
        return;
    const Rect* buttons = a.ButtonsWhileSelectedSubsetRect.get();
    const int32_t y0 = buttons[0].top + g.buttonHeight + g.lineHeight / 2;
    g.reservedTop = y0;
    g.reservedCaptionAt = Rect{a.selectedStripRect.left, y0 + g.lineHeight, 0, 0};
    const int32_t areaHeight = (w.bottom - g.gy) - y0 + 1;
    const int32_t rowsPerColumn = (capacity + 1) / 2;
    const int32_t columnWidth = ((w.right - 2 * g.gx - w.left + 1) - g.gx) / 2;
    const int32_t rowHeight = (areaHeight - (rowsPerColumn - 1) * g.gy) / rowsPerColumn;
    const int32_t S = a.subsetCapacity;
    const int32_t slotWidth = (columnWidth - 2 * S + 1) / S;
    for (int32_t r = 0; r < capacity; ++r) {
        const int32_t column = r < rowsPerColumn ? 0 : 1;
        const int32_t row = r - column * rowsPerColumn;
        const int32_t x = w.left + g.gx + column * (columnWidth + g.gx);
        const int32_t top = y0 + row * (rowHeight + g.gy);
        const int32_t bottom = top + rowHeight - 1;
        Rect* slots = a.possibleSubsetArrayRect[r];
        for (int32_t i = 0; i < S; ++i)
            slots[i] = Rect{x + i * (slotWidth + 2) + 2, top + 2 * g.lineHeight,
                            x + (i + 1) * (slotWidth + 2) - 3, bottom - 2};
        slots[S] = Rect{x, top, x + columnWidth - 1, bottom};
    }
}

}  // namespace

bool layoutSubsetScreen(AppSettings& a, render::Surface& s, bool recognition,
                        SubsetScreenGeometry& g) {
    if (!ensureButtonRects(a))
        return false;
    const Rect& w = a.layout.workAreaRect;
    const int32_t W = w.right - w.left + 1;
    const int32_t H = w.bottom - w.top + 1;
    g = SubsetScreenGeometry{};
    g.recognition = recognition;
    g.gx = W / 170;
    g.gy = H / 131;
    g.lineHeight = a.layout.lineHeight;
    const int32_t gx = g.gx, gy = g.gy, lh = g.lineHeight;

    const int32_t P = (H - 3 * gy) / 4;
    g.panel = Rect{w.left + gx, w.top + gy, w.right - gx, w.top + gy + P};

    // As many cells as the series' etalon list can hold (the alphabet), ten to a row.
    const series::SeriesHeader* series = a.lpSeriesHeader.get();
    const int32_t A = series ? series->wPulsesListCapacity : a.wAlphabetSize;
    const int32_t rows = (A - 1) / 10 + 1;
    const int32_t cw = (g.panel.right - g.panel.left - 11 * gx + 1) / 10;
    const int32_t ch = (P - (rows + 1) * gy) / std::max(rows, 1);
    g.cellCount = std::clamp<int32_t>(A, 0, kAlphabetCapacity);
    for (int32_t k = 0; k < g.cellCount; ++k) {
        const int32_t left = g.panel.left + gx + (k % 10) * (cw + gx);
        const int32_t top = g.panel.top + gy + (k / 10) * (ch + gy);
        a.candidateCellRects[static_cast<size_t>(k)] = Rect{left, top, left + cw, top + ch};
    }

    const int32_t stripTop = g.panel.bottom + gy + lh;
    a.selectedStripRect = Rect{g.panel.left, stripTop, g.panel.right, stripTop + ch + 2 * gy};

    // The detection screen shows no more slots than the series can hold pulses.
    int32_t S = 10;
    if (!recognition && series)
        S = std::min<int32_t>(S, series->wMaxPulses);
    g.slotCount = std::clamp(S, 0, a.subsetCapacity);
    // Every slot position is laid out, so that entries beyond the shown slots have a place.
    for (int32_t j = 0; j < a.subsetCapacity; ++j) {
        const int32_t left = g.panel.left + gx + j * (cw + gx);
        const int32_t top = stripTop + gy;
        a.possibleSubsetRect[j] = Rect{left, top, left + cw, top + ch};
    }

    layoutButtons(a, s, g);
    if (recognition)
        layoutReservedGrid(a, g);
    return true;
}

Rect subsetCellInner(const Rect& cell, const SubsetScreenGeometry& g) {
    return Rect{cell.left + g.gx, cell.top, cell.right - 2 * g.gx,
                cell.bottom - 2 * g.gy - g.lineHeight};
}

Rect reservedMemberInner(const Rect& slot, const SubsetScreenGeometry& g) {
    // The etalon's plot starts 1 + lh + lh/4 below the cell top and is as high as the cell;
    // the highlight reaches 3 pixels left and 6 right of it.
    const int32_t lh = g.lineHeight;
    return Rect{slot.left + 3, slot.top, slot.right - 6, slot.bottom - (1 + lh + lh / 4) - 1};
}

}  // namespace app
