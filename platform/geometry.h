#pragma once
// Rectangles, colours and pixel pictures shared by the window system and the drawing code.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// A rectangle. Whether right and bottom are inside depends on the use: invalidation and
// rectangle drawing treat them as exclusive, the screen layout's rectangles as inclusive.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const Rect&) const = default;
    bool empty() const { return right <= left || bottom <= top; }
};

// True when left <= x <= right and top <= y <= bottom (both edges inside).
inline bool containsInclusive(const Rect& r, int32_t x, int32_t y) {
    return r.left <= x && x <= r.right && r.top <= y && y <= r.bottom;
}

// Colours at every drawing interface are 0x00BBGGRR (red in the low byte).
using Colour = uint32_t;
inline constexpr Colour rgb(uint8_t r, uint8_t g, uint8_t b) {
    return Colour{r} | Colour{g} << 8 | Colour{b} << 16;
}

// A picture in memory: rows top to bottom, each pixel 0x00RRGGBB (the order of 32-bit display
// memory, so a picture can be shown or encoded without conversion).
struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    Bitmap() = default;
    Bitmap(int32_t w, int32_t h, uint32_t fill = 0xFFFFFFu)
        : width(w),
          height(h),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
    uint32_t& at(int32_t x, int32_t y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    uint32_t at(int32_t x, int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
};

// 0x00BBGGRR <-> 0x00RRGGBB.
inline constexpr uint32_t colourToPixel(Colour c) {
    return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}
inline constexpr Colour pixelToColour(uint32_t p) {
    return (p & 0xFFu) << 16 | (p & 0xFF00u) | (p >> 16 & 0xFFu);
}

}  // namespace platform
