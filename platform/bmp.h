#pragma once
// Windows bitmap (BMP) files: decoding of uncompressed files, the 16-colour encoding the button
// bitmaps are stored in, and the program's stored bitmaps.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "geometry.h"

namespace platform {

// The largest picture decodeBmp accepts: each side and the pixel count.
inline constexpr int32_t kMaxBmpSide = 32768;
inline constexpr int64_t kMaxBmpPixels = int64_t{1} << 26;

// Decodes an uncompressed BMP file (a BITMAPINFOHEADER or a later version, or an OS/2 core
// header) of 1, 4, 8, 24 or 32 bits per pixel, rows bottom-up or top-down, into a picture of
// pixels 0x00RRGGBB. 32-bit files may also give the standard bit-field masks. Nothing for data
// that is truncated, inconsistent (a palette index beyond the palette, sizes that do not add
// up), compressed or too large; no byte outside `data` is read.
std::optional<Bitmap> decodeBmp(std::span<const uint8_t> data);

// A bottom-up BMP file of 4 bits per pixel holding `picture` with every pixel replaced by the
// nearest colour of `palette` (1 to 16 colours 0x00RRGGBB; the first of equally near ones).
// Empty when the picture or the palette is unusable.
std::vector<uint8_t> encodeBmp4(const Bitmap& picture, std::span<const uint32_t> palette);

// The stored bitmap resource `name` (see resources.h), decoded; nothing when it is unknown or
// cannot be decoded.
std::optional<Bitmap> loadResourceBitmap(std::string_view name);

}  // namespace platform
