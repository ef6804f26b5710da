#pragma once
// Windows bitmap files of the window's picture: the 14-byte file header, the 40-byte information
// header, the colour table (below 16 bits per pixel) and the pixel rows bottom-up, each row
// padded to 4 bytes, written atomically.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/window.h"

namespace exporter {

// The description of the captured picture: its size, planes and bits per pixel.
struct CaptureDescription {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 32;
};

// The information header with its colour table, as the file stores it.
struct BitmapInfo {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
    std::vector<uint32_t> colourTable;  // biClrUsed entries
};

// Planes x bits per pixel rounded to 1, 4, 8, 16, 24 or 32.
uint16_t roundedBitCount(uint32_t planesTimesBits);

// The information block for the capture; nothing (after a message titled "About Bitmap") when
// the description is unusable or the block cannot be allocated.
std::optional<BitmapInfo> makeBitmapInfo(platform::Window& window,
                                         const CaptureDescription& capture);

// Writes the BMP file of `picture` (a 32-bit capture); 1 on success, 0 after a message.
int writeBmpFile(platform::Window& window, const std::string& fileName, const BitmapInfo& info,
                 const platform::Bitmap& picture);

}  // namespace exporter
