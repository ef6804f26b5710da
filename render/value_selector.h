#pragma once
// One value-selector panel: a frame with its caption on the top edge, a circle and a value per
// entry, and a dot in the picked entry's circle, black when the picked value is the one in use
// and grey while it is not applied yet.

#include <array>
#include <cstdint>

#include "screen_layout.h"
#include "surface.h"

namespace render {

inline constexpr Colour kSelectorApplied = 0x000000;
inline constexpr Colour kSelectorPending = 0xA3A3A3;

// Draws the panel in `frame` (inclusive) and fills `itemRects` (up to 3); returns 1.
int drawValueSelector(Surface& surface, const Rect& frame, std::array<Rect, 3>& itemRects,
                      const char* caption, int32_t count, const int32_t* values,
                      int32_t selectedIndex, int32_t currentValue, int32_t lineHeight);

}  // namespace render
