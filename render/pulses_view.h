#pragma once
// The alphabet screen's picture: every etalon in its cell of the grid, with its number, its
// energy, its shape, and a border that tells whether it is required.

#include <cstdint>

#include "screen_layout.h"
#include "series/records.h"
#include "surface.h"

namespace render {

// Draws the frame of the work area and the first `alphabetSize` etalons in `layout`'s cells;
// `requiredFlags` is indexed by etalon number (1 = required).
void drawPulsesView(Surface& surface, const ScreenLayout& layout, const series::Alphabet& etalons,
                    uint16_t alphabetSize, int32_t amplitude, const uint16_t* requiredFlags);

}  // namespace render
