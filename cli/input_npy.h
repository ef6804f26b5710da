#pragma once
// Reading a NumPy .npy array as a series: format versions 1 to 3, one dimension, C order, the
// dtypes i1, i2, i4, i8, u1, u2, u4, u8, f4 and f8 in little-endian ('<'), big-endian ('>') or
// not-applicable ('|', one-byte types) byte order.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "input_file.h"

namespace cli {

struct NpyHeader {
    char kind = 'i';  // 'i' signed, 'u' unsigned, 'f' floating
    int itemSize = 0;
    bool bigEndian = false;
    uint64_t count = 0;     // elements in the one dimension
    size_t dataOffset = 0;  // bytes before the data
};

// The header at the start of `bytes` (which must hold at least the whole header), or the refusal.
ReadResult<NpyHeader> parseNpyHeader(const std::string& bytes, const std::string& name);

// The samples of a whole .npy file held in `bytes`.
ReadResult<std::vector<int16_t>> parseNpySeries(const std::string& bytes, const std::string& name,
                                                const std::optional<double>& scale);

// Reads `path`: the header first, so that an array too long for a series is refused before its
// data is read.
ReadResult<std::vector<int16_t>> readNpySeries(const std::string& path,
                                               const std::optional<double>& scale);

}  // namespace cli
