#include "bmp_writer.h"

#include <cstring>
#include <new>

#include "atomic_file.h"
#include "platform/allocation.h"

namespace exporter {

namespace {

constexpr const char* kTitle = "About Bitmap";

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8 & 0xFF));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

uint16_t roundedBitCount(uint32_t bits) {
    if (bits <= 1)
        return 1;
    if (bits <= 4)
        return 4;
    if (bits <= 8)
        return 8;
    if (bits <= 16)
        return 16;
    if (bits <= 24)
        return 24;
    return 32;
}

std::optional<BitmapInfo> makeBitmapInfo(platform::Window& window, const CaptureDescription& c) {
    if (c.width <= 0 || c.height <= 0 || c.planes == 0 || c.bitsPerPixel == 0) {
        window.messageBox("Проблемы при выполнении GetObject", kTitle);
        return std::nullopt;
    }
    const uint16_t bits = roundedBitCount(uint32_t{c.planes} * c.bitsPerPixel);
    BitmapInfo info;
    try {
        if (bits < 16)
            info.colourTable.resize(size_t{1} << bits);
        (void)platform::allocateArray<uint8_t>(40 + 4 * info.colourTable.size());
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для BITMAPINFO", kTitle);
        return std::nullopt;
    }
    info.biWidth = c.width;
    info.biHeight = c.height;
    info.biPlanes = c.planes;
    info.biBitCount = c.bitsPerPixel;
    info.biSizeImage = static_cast<uint32_t>((static_cast<uint64_t>(c.width) + 7) / 8 *
                                             static_cast<uint64_t>(c.height) * bits);
    info.biClrUsed = bits < 16 ? uint32_t{1} << bits : 0;
    return info;
}

int writeBmpFile(platform::Window& window, const std::string& fileName, const BitmapInfo& info,
                 const platform::Bitmap& picture) {
    // The pixel buffer is zero-filled and larger than the rows; exactly biSizeImage bytes of it
    // are written.
    const size_t bufferSize = info.biSize + 4 * size_t{info.biClrUsed} + info.biSizeImage + 14;
    std::unique_ptr<uint8_t[]> pixels;
    try {
        pixels = platform::allocateArray<uint8_t>(bufferSize);
    } catch (const std::bad_alloc&) {
        window.messageBox("GlobalAlloc ERROR!", kTitle);
        return 0;
    }
    // 32-bit rows bottom-up: blue, green, red, a zero byte.
    if (info.biBitCount != 32 || picture.width != info.biWidth || picture.height != info.biHeight ||
        size_t{4} * static_cast<size_t>(info.biWidth) * static_cast<size_t>(info.biHeight) >
            info.biSizeImage) {
        window.messageBox("GetDIBits ERROR!", kTitle);
        return 0;
    }
    size_t at = 0;
    for (int32_t y = info.biHeight - 1; y >= 0; --y)
        for (int32_t x = 0; x < info.biWidth; ++x) {
            const uint32_t p = picture.at(x, y);
            pixels[at++] = static_cast<uint8_t>(p & 0xFF);
            pixels[at++] = static_cast<uint8_t>(p >> 8 & 0xFF);
            pixels[at++] = static_cast<uint8_t>(p >> 16 & 0xFF);
            pixels[at++] = 0;
        }

    AtomicFile file;
    if (!file.create(fileName)) {
        window.messageBox("CreateFile ERROR!", kTitle);
        return 0;
    }
    const uint32_t offBits = 14 + 40 + 4 * info.biClrUsed;
    std::vector<uint8_t> fileHeader;
    put16(fileHeader, 0x4D42);
    put32(fileHeader, offBits + info.biSizeImage);
    put16(fileHeader, 0);
    put16(fileHeader, 0);
    put32(fileHeader, offBits);
    if (!file.write(fileHeader.data(), fileHeader.size())) {
        window.messageBox("ERROR while writing BITMAPFILEHEADER!", kTitle);
        return 0;
    }
    std::vector<uint8_t> infoHeader;
    put32(infoHeader, info.biSize);
    put32(infoHeader, static_cast<uint32_t>(info.biWidth));
    put32(infoHeader, static_cast<uint32_t>(info.biHeight));
    put16(infoHeader, info.biPlanes);
    put16(infoHeader, info.biBitCount);
    put32(infoHeader, info.biCompression);
    put32(infoHeader, info.biSizeImage);
    put32(infoHeader, static_cast<uint32_t>(info.biXPelsPerMeter));
    put32(infoHeader, static_cast<uint32_t>(info.biYPelsPerMeter));
    put32(infoHeader, info.biClrUsed);
    put32(infoHeader, info.biClrImportant);
    for (uint32_t c : info.colourTable)
        put32(infoHeader, c);
    if (!file.write(infoHeader.data(), infoHeader.size())) {
        window.messageBox("ERROR while writing BITMAPINFOHEADER!", kTitle);
        return 0;
    }
    if (!file.write(pixels.get(), info.biSizeImage)) {
        window.messageBox("ERROR while writing bitmap bits!", kTitle);
        return 0;
    }
    if (!file.commit()) {
        window.messageBox("CloseHandle ERROR!", kTitle);
        return 0;
    }
    return 1;
}

}  // namespace exporter
