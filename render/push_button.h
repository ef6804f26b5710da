#pragma once
// A 3-D push button drawn on the surface: the rectangle outlined with the current pen and brush,
// a dark frame along its edges, a grey shadow inside the right and bottom, a white highlight
// inside the top and left, and the caption centred across one text line from the top.

#include <cstdint>
#include <string_view>

#include "surface.h"

namespace render {

inline constexpr Colour kButtonDark = 0x7D7D7D;
inline constexpr Colour kButtonShadow = 0xA5AAA5;
inline constexpr Colour kButtonHighlight = 0xFFFFFF;

// `rect` is inclusive; the caption is written at top + (lineHeight - 2) / 2.
void drawPushButton(Surface& surface, const Rect& rect, std::string_view caption,
                    int32_t lineHeight);

}  // namespace render
