#include "pcx_writer.h"

#include <new>

#include "atomic_file.h"
#include "platform/allocation.h"

namespace exporter {

namespace {

constexpr const char* kTitle = "About PCX";

void put16(std::vector<uint8_t>& h, size_t at, uint32_t v) {
    h[at] = static_cast<uint8_t>(v & 0xFF);
    h[at + 1] = static_cast<uint8_t>(v >> 8 & 0xFF);
}

void emitRun(std::vector<uint8_t>& out, uint8_t value, int count) {
    if (count > 1 || (value & 0xC0) == 0xC0)
        out.push_back(static_cast<uint8_t>(0xC0 | count));
    out.push_back(value);
}

}  // namespace

uint16_t pcxBytesPerLine(int32_t width) {
    return static_cast<uint16_t>(((static_cast<uint32_t>(width) + 31) >> 5) << 2);
}

std::vector<uint8_t> packPcxRow(const platform::Bitmap& picture, int32_t y,
                                platform::Colour background, uint16_t bytesPerLine) {
    const uint32_t bg = platform::colourToPixel(background) & 0xFFFFFFu;
    std::vector<uint8_t> packed(bytesPerLine, 0);
    for (int32_t x = 0; x < 8 * bytesPerLine; ++x) {
        const bool bit = x >= picture.width || (picture.at(x, y) & 0xFFFFFFu) == bg;
        if (bit)
            packed[static_cast<size_t>(x >> 3)] |= static_cast<uint8_t>(0x80u >> (x & 7));
    }
    return packed;
}

std::vector<uint8_t> encodePcxRow(const std::vector<uint8_t>& packed) {
    std::vector<uint8_t> out;
    out.reserve(packed.size() * 2);
    uint8_t value = 0;
    int run = 0;
    for (uint8_t b : packed) {
        if (run == 0) {
            value = b;
            run = 1;
        } else if (b == value) {
            if (++run == 63) {
                emitRun(out, value, run);
                run = 0;
            }
        } else {
            emitRun(out, value, run);
            value = b;
            run = 1;
        }
    }
    if (run > 0)
        emitRun(out, value, run);
    return out;
}

std::vector<uint8_t> pcxHeader(int32_t width, int32_t height, platform::Colour background) {
    std::vector<uint8_t> h(128, 0);
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = 1;
    put16(h, 4, 0);
    put16(h, 6, 0);
    put16(h, 8, static_cast<uint32_t>(width - 1));
    put16(h, 10, static_cast<uint32_t>(height - 1));
    put16(h, 12, 640);
    put16(h, 14, 480);
    // Palette entry 0 black, entry 1 the background (red, green, blue), the rest 0.
    h[16 + 3] = static_cast<uint8_t>(background & 0xFF);
    h[16 + 4] = static_cast<uint8_t>(background >> 8 & 0xFF);
    h[16 + 5] = static_cast<uint8_t>(background >> 16 & 0xFF);
    h[64] = 0;
    h[65] = 1;
    put16(h, 66, pcxBytesPerLine(width));
    put16(h, 68, 1);
    return h;
}

int writePcxFile(platform::Window& window, const std::string& fileName,
                 const platform::Bitmap& picture, platform::Colour background) {
    const uint16_t bytesPerLine = pcxBytesPerLine(picture.width);
    const std::vector<uint8_t> header = pcxHeader(picture.width, picture.height, background);
    try {
        (void)platform::allocateArray<uint8_t>(size_t{8} * bytesPerLine);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для буфера строки!", kTitle);
        return 0;
    }
    try {
        (void)platform::allocateArray<uint8_t>(bytesPerLine);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для кодов строки!", kTitle);
        return 0;
    }
    AtomicFile file;
    if (!file.create(fileName)) {
        window.messageBox("CreateFile ERROR!", kTitle);
        return 0;
    }
    if (!file.write(header.data(), header.size())) {
        window.messageBox("ERROR while writing PCXHEADER!", kTitle);
        return 0;
    }
    for (int32_t y = 0; y < picture.height; ++y) {
        const std::vector<uint8_t> code =
            encodePcxRow(packPcxRow(picture, y, background, bytesPerLine));
        if (!file.write(code.data(), code.size())) {
            window.messageBox("ERROR while writing PCX codes!", kTitle);
            return 0;
        }
    }
    if (!file.commit()) {
        window.messageBox("CloseHandle ERROR!", kTitle);
        return 0;
    }
    return 1;
}

}  // namespace exporter
