#pragma once
// Builds .npy files in memory for the reader tests, laid out as NumPy writes them: the signature,
// version 1.0, the header dictionary padded with blanks to a multiple of 64 bytes and ended by a
// newline, then the data.

#include <cstdint>
#include <string>
#include <vector>

namespace npytest {

inline std::string npyWithHeader(std::string dict, const std::vector<uint8_t>& data) {
    const size_t fixed = 10;
    while ((fixed + dict.size() + 1) % 64 != 0)
        dict += ' ';
    dict += '\n';
    std::string out("\x93NUMPY\x01\x00", 8);
    out += static_cast<char>(dict.size() & 0xFF);
    out += static_cast<char>(dict.size() >> 8);
    out += dict;
    out.append(data.begin(), data.end());
    return out;
}

// `data` holds the elements little-endian; with bigEndian each element's bytes are reversed.
inline std::string npyBytes(const std::string& descr, size_t count,
                            const std::vector<uint8_t>& data, bool bigEndian) {
    std::vector<uint8_t> stored = data;
    const size_t size = static_cast<size_t>(descr[2] - '0');
    if (bigEndian)
        for (size_t i = 0; i + size <= stored.size(); i += size)
            for (size_t a = i, b = i + size - 1; a < b; ++a, --b)
                std::swap(stored[a], stored[b]);
    return npyWithHeader("{'descr': '" + descr + "', 'fortran_order': False, 'shape': (" +
                             std::to_string(count) + ",), }",
                         stored);
}

}  // namespace npytest
