#include "bmp.h"

#include <array>

#include "resources.h"

namespace platform {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// Little-endian reads that fail instead of reading past the end.
class Reader {
  public:
    explicit Reader(std::span<const uint8_t> data) : data_(data) {}
    bool has(uint64_t offset, uint64_t size) const {
        return offset <= data_.size() && size <= data_.size() - offset;
    }
    uint32_t u8(uint64_t at) const { return data_[at]; }
    uint32_t u16(uint64_t at) const { return data_[at] | uint32_t{data_[at + 1]} << 8; }
    uint32_t u32(uint64_t at) const { return u16(at) | u16(at + 2) << 16; }
    int32_t i32(uint64_t at) const { return static_cast<int32_t>(u32(at)); }

  private:
    std::span<const uint8_t> data_;
};

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

}  // namespace

std::optional<Bitmap> decodeBmp(std::span<const uint8_t> data) {
    const Reader in(data);
    if (!in.has(0, kFileHeaderSize + 4) || in.u8(0) != 'B' || in.u8(1) != 'M')
        return std::nullopt;
    const uint64_t pixelOffset = in.u32(10);
    const uint64_t headerSize = in.u32(14);
    const bool core = headerSize == kCoreHeaderSize;
    if ((!core && headerSize < kInfoHeaderSize) || !in.has(kFileHeaderSize, headerSize))
        return std::nullopt;

    int64_t width, height;
    uint32_t planes, bitCount, compression = kBiRgb, colours = 0;
    const uint64_t h = kFileHeaderSize;
    if (core) {
        width = in.u16(h + 4);
        height = in.u16(h + 6);
        planes = in.u16(h + 8);
        bitCount = in.u16(h + 10);
    } else {
        width = in.i32(h + 4);
        height = in.i32(h + 8);
        planes = in.u16(h + 12);
        bitCount = in.u16(h + 14);
        compression = in.u32(h + 16);
        colours = in.u32(h + 32);
    }
    const bool topDown = height < 0;
    height = topDown ? -height : height;
    if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide ||
        width * height > kMaxBmpPixels || planes != 1)
        return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return std::nullopt;

    // Where the palette or the bit-field masks start: right after the header.
    uint64_t tableOffset = kFileHeaderSize + headerSize;
    if (compression == kBiBitfields) {
        if (bitCount != 32)
            return std::nullopt;
        const uint64_t masksAt = headerSize >= 52 ? h + 40 : tableOffset;
        if (!in.has(masksAt, 12) || in.u32(masksAt) != 0xFF0000u ||
            in.u32(masksAt + 4) != 0xFF00u || in.u32(masksAt + 8) != 0xFFu)
            return std::nullopt;
        if (headerSize < 52)
            tableOffset += 12;
    } else if (compression != kBiRgb) {
        return std::nullopt;
    }

    std::array<uint32_t, 256> palette{};
    uint32_t paletteSize = 0;
    if (bitCount <= 8) {
        const uint32_t full = 1u << bitCount;
        paletteSize = colours == 0 ? full : colours;
        const uint32_t entry = core ? 3 : 4;
        if (paletteSize > full || !in.has(tableOffset, uint64_t{paletteSize} * entry) ||
            tableOffset + uint64_t{paletteSize} * entry > pixelOffset)
            return std::nullopt;
        for (uint32_t i = 0; i < paletteSize; ++i) {
            const uint64_t at = tableOffset + uint64_t{i} * entry;
            palette[i] = in.u8(at + 2) << 16 | in.u8(at + 1) << 8 | in.u8(at);
        }
    }

    const uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (pixelOffset < tableOffset || !in.has(pixelOffset, stride * static_cast<uint64_t>(height)))
        return std::nullopt;

    Bitmap picture(static_cast<int32_t>(width), static_cast<int32_t>(height), 0);
    for (int64_t row = 0; row < height; ++row) {
        const uint64_t at = pixelOffset + static_cast<uint64_t>(row) * stride;
        const int32_t y = static_cast<int32_t>(topDown ? row : height - 1 - row);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t pixel;
            if (bitCount <= 8) {
                const uint64_t bit = static_cast<uint64_t>(x) * bitCount;
                const uint32_t byte = in.u8(at + bit / 8);
                const uint32_t index = byte >> (8 - bitCount - bit % 8) & ((1u << bitCount) - 1);
                if (index >= paletteSize)
                    return std::nullopt;
                pixel = palette[index];
            } else {
                const uint64_t p = at + static_cast<uint64_t>(x) * (bitCount / 8);
                pixel = in.u8(p + 2) << 16 | in.u8(p + 1) << 8 | in.u8(p);
            }
            picture.at(static_cast<int32_t>(x), y) = pixel;
        }
    }
    return picture;
}

std::vector<uint8_t> encodeBmp4(const Bitmap& picture, std::span<const uint32_t> palette) {
    if (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxBmpSide ||
        picture.height > kMaxBmpSide || palette.empty() || palette.size() > 16 ||
        picture.pixels.size() !=
            static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        return {};
    const uint32_t stride = (static_cast<uint32_t>(picture.width) * 4 + 31) / 32 * 4;
    const uint32_t imageSize = stride * static_cast<uint32_t>(picture.height);
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 16 * 4;

    std::vector<uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + imageSize);
    put32(out, 0);
    put32(out, offset);
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<uint32_t>(picture.width));
    put32(out, static_cast<uint32_t>(picture.height));
    put16(out, 1);
    put16(out, 4);
    put32(out, kBiRgb);
    put32(out, imageSize);
    put32(out, 0);
    put32(out, 0);
    put32(out, static_cast<uint32_t>(palette.size()));
    put32(out, 0);
    for (size_t i = 0; i < 16; ++i)
        put32(out, i < palette.size() ? palette[i] & 0xFFFFFFu : 0);

    auto nearest = [&](uint32_t p) {
        uint32_t best = 0;
        int64_t bestDistance = INT64_MAX;
        for (uint32_t i = 0; i < palette.size(); ++i) {
            int64_t d = 0;
            for (int shift : {16, 8, 0}) {
                const int64_t c = int64_t{p >> shift & 0xFF} - (palette[i] >> shift & 0xFF);
                d += c * c;
            }
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    };
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int32_t x = 0; x < picture.width; ++x)
            row[static_cast<size_t>(x) / 2] |=
                static_cast<uint8_t>(nearest(picture.at(x, y)) << (x % 2 == 0 ? 4 : 0));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::optional<Bitmap> loadResourceBitmap(std::string_view name) {
    const std::span<const uint8_t> data = findResource(name);
    if (data.empty())
        return std::nullopt;
    return decodeBmp(data);
}

}  // namespace platform
