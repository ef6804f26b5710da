#pragma once
// Reading input files: the outcome of a read (a value or one message naming the file and, where
// it applies, the line or element), and whole-file reading with a size cap.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace cli {

template <class T>
struct ReadResult {
    std::optional<T> value;
    std::string error;  // set when there is no value

    static ReadResult success(T v) {
        ReadResult r;
        r.value.emplace(std::move(v));
        return r;
    }
    static ReadResult failure(std::string text) {
        ReadResult r;
        r.error = std::move(text);
        return r;
    }
    explicit operator bool() const { return value.has_value(); }
};

// The bytes of `path`; refused when it cannot be read or holds more than `limit` bytes.
ReadResult<std::string> readFileBytes(const std::string& path, size_t limit);

// The extension of `path` in lower case, without the dot ("" when there is none).
std::string lowerExtension(const std::string& path);

}  // namespace cli
