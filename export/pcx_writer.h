#pragma once
// One-bit PCX files (ZSoft version 5) of the window's picture: every pixel of the background
// colour keeps it, every other pixel is black; rows run-length encoded one by one, written
// atomically.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/window.h"

namespace exporter {

// ((width + 31) / 32) * 4: a multiple of 4 bytes.
uint16_t pcxBytesPerLine(int32_t width);

// The packed bits of one row: 1 for a background pixel, 0 otherwise, padding bits 1, the
// leftmost pixel in the most significant bit.
std::vector<uint8_t> packPcxRow(const platform::Bitmap& picture, int32_t y,
                                platform::Colour background, uint16_t bytesPerLine);

// The run-length code of one packed row: runs of at most 63 as (0xC0 | count, value); a single
// byte with both top bits set gets the count byte 0xC1, any other single byte is written as is.
std::vector<uint8_t> encodePcxRow(const std::vector<uint8_t>& packed);

// The 128-byte header for a picture of W x H with the background colour as palette entry 1.
std::vector<uint8_t> pcxHeader(int32_t width, int32_t height, platform::Colour background);

// Writes the PCX file of `picture`; 1 on success, 0 after a message titled "About PCX".
int writePcxFile(platform::Window& window, const std::string& fileName,
                 const platform::Bitmap& picture, platform::Colour background);

}  // namespace exporter
