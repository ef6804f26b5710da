#pragma once
// The layout of the client area, recomputed at every paint: the picture buttons of the right
// column, the work area in which the views draw, the alphabet's cell grid and the three value
// selector panels. Every rectangle here is inclusive: right = left + width - 1.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/geometry.h"

namespace render {

using platform::Rect;

inline constexpr int kButtonWidth = 144;
inline constexpr int kButtonHeight = 32;
inline constexpr int kMaxPulseCells = 20;

struct ScreenLayout {
    int32_t lineHeight = 0;  // font height + external leading - 1
    int32_t maxCharWidth = 0;
    int32_t aveCharWidth = 0;

    Rect exitButtonRect;
    Rect nextButtonRect;
    Rect selectButtonRect;     // set only while the task kind shows the select button
    Rect selectButtonHitRect;  // a copy of selectButtonRect
    Rect restartButtonRect;
    Rect restartAreaRect;
    Rect workAreaRect;

    uint16_t cellWidth = 0;
    uint16_t cellHeight = 0;
    uint16_t cellInnerWidth = 0;
    uint16_t cellInnerHeight = 0;
    std::array<Rect, kMaxPulseCells> pulseCellRects{};

    Rect seriesLengthPanel;
    Rect noiseLevelPanel;
    Rect lostDataPanel;
    std::array<Rect, 3> seriesLengthItems{};
    std::array<Rect, 3> noiseLevelItems{};
    std::array<Rect, 3> lostDataItems{};
    int32_t panelsBottom = 0;

    int32_t selectAllShown = 0;  // 1: the select button shows Select All
};

// True when the task kind shows the select button (any task but 1, 36 and 40).
inline bool hasSelectButton(uint16_t taskKind) {
    return taskKind != 1 && taskKind != 36 && taskKind != 40;
}

// The button column from the bottom up for a client of W x H.
void layoutButtons(ScreenLayout& layout, int32_t W, int32_t H, bool selectButton);

// The grid of `etalonCount` cells (r rows, r + 1 columns, r the least with r(r+1) >= count) and
// the work area around it.
void layoutCellGrid(ScreenLayout& layout, int32_t W, int32_t H, int32_t etalonCount);

// Columns and rows of the cell grid for `etalonCount` etalons.
struct GridShape {
    int32_t columns = 0;
    int32_t rows = 0;
};
GridShape cellGridShape(int32_t etalonCount);

}  // namespace render
