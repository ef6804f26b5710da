#include "input_npy.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "input_series.h"
#include "sample_value.h"

namespace cli {

namespace {

using SamplesResult = ReadResult<std::vector<int16_t>>;

constexpr char kMagic[] = "\x93NUMPY";
constexpr size_t kMagicSize = 6;
// The header dictionary is a short text; anything longer is not a plain array's header.
constexpr uint64_t kMaxHeaderBytes = 1 << 20;

uint64_t littleEndian(const std::string& b, size_t at, int n) {
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// The header dictionary as Python writes it, e.g.
// {'descr': '<i2', 'fortran_order': False, 'shape': (1200,), }
struct PyValue {
    enum class Kind { String, Bool, Int, Tuple, Other } kind = Kind::Other;
    std::string text;
    bool flag = false;
    uint64_t number = 0;
    std::vector<uint64_t> items;
};

class DictParser {
  public:
    explicit DictParser(const std::string& text) : s_(text) {}

    // Fills `entries` (key, value) or returns the refusal.
    std::optional<std::string> parse(std::vector<std::pair<std::string, PyValue>>& entries) {
        skipBlanks();
        if (!take('{'))
            return "the header is not a dictionary";
        for (;;) {
            skipBlanks();
            if (take('}'))
                break;
            PyValue key;
            if (auto e = value(key))
                return e;
            if (key.kind != PyValue::Kind::String)
                return "a header key is not a string";
            skipBlanks();
            if (!take(':'))
                return "':' missing after '" + key.text + "' in the header";
            PyValue v;
            if (auto e = value(v))
                return e;
            entries.emplace_back(key.text, std::move(v));
            skipBlanks();
            if (take('}'))
                break;
            if (!take(','))
                return "',' missing in the header";
        }
        skipBlanks();
        if (pos_ != s_.size())
            return "text after the header dictionary";
        return std::nullopt;
    }

  private:
    void skipBlanks() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\t' || s_[pos_] == '\r'))
            ++pos_;
    }
    bool take(char c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool takeWord(const char* w) {
        const size_t n = std::strlen(w);
        if (s_.compare(pos_, n, w) != 0)
            return false;
        pos_ += n;
        return true;
    }

    std::optional<std::string> value(PyValue& v) {
        skipBlanks();
        if (pos_ >= s_.size())
            return "the header ends early";
        const char c = s_[pos_];
        if (c == '\'' || c == '"') {
            ++pos_;
            v.kind = PyValue::Kind::String;
            while (pos_ < s_.size() && s_[pos_] != c) {
                if (s_[pos_] == '\\' && pos_ + 1 < s_.size())
                    ++pos_;
                v.text += s_[pos_++];
            }
            if (!take(c))
                return "an unterminated string in the header";
            return std::nullopt;
        }
        if (takeWord("True") || takeWord("False")) {
            v.kind = PyValue::Kind::Bool;
            v.flag = s_.compare(pos_ - 4, 4, "True") == 0;
            return std::nullopt;
        }
        if (c >= '0' && c <= '9') {
            v.kind = PyValue::Kind::Int;
            while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
                const uint64_t digit = static_cast<uint64_t>(s_[pos_++] - '0');
                if (v.number > (UINT64_MAX - digit) / 10)
                    return "a number in the header is too large";
                v.number = v.number * 10 + digit;
            }
            take('L');  // written by Python 2
            return std::nullopt;
        }
        if (take('(')) {
            v.kind = PyValue::Kind::Tuple;
            for (;;) {
                skipBlanks();
                if (take(')'))
                    return std::nullopt;
                PyValue item;
                if (auto e = value(item))
                    return e;
                if (item.kind != PyValue::Kind::Int)
                    return "the shape holds something other than numbers";
                v.items.push_back(item.number);
                skipBlanks();
                if (take(')'))
                    return std::nullopt;
                if (!take(','))
                    return "',' missing in a tuple of the header";
            }
        }
        if (c == '[' || c == '{') {
            // A list (structured dtype) or a nested dictionary: skipped as a whole.
            v.kind = PyValue::Kind::Other;
            int depth = 0;
            while (pos_ < s_.size()) {
                const char d = s_[pos_++];
                if (d == '\'' || d == '"') {
                    while (pos_ < s_.size() && s_[pos_] != d)
                        ++pos_;
                    ++pos_;
                } else if (d == '[' || d == '{' || d == '(') {
                    ++depth;
                } else if ((d == ']' || d == '}' || d == ')') && --depth == 0) {
                    return std::nullopt;
                }
            }
            return "an unbalanced bracket in the header";
        }
        return std::string("unexpected '") + c + "' in the header";
    }

    const std::string& s_;
    size_t pos_ = 0;
};

std::string shapeText(const std::vector<uint64_t>& items) {
    std::string out = "(";
    for (size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + std::to_string(items[i]);
    return out + (items.size() == 1 ? ",)" : ")");
}

std::optional<std::string> readDescr(const std::string& d, NpyHeader& h) {
    const std::string refusal = "dtype '" + d +
                                "' is not read (integers i1, i2, i4, i8, u1, u2, u4, u8 or floats "
                                "f4, f8, byte order '<', '>' or '|')";
    if (d.size() != 3 || (d[0] != '<' && d[0] != '>' && d[0] != '|'))
        return refusal;
    h.kind = d[1];
    h.itemSize = d[2] - '0';
    const bool integer = (h.kind == 'i' || h.kind == 'u') &&
                         (h.itemSize == 1 || h.itemSize == 2 || h.itemSize == 4 || h.itemSize == 8);
    const bool floating = h.kind == 'f' && (h.itemSize == 4 || h.itemSize == 8);
    if (!integer && !floating)
        return refusal;
    if (d[0] == '|' && h.itemSize != 1)
        return "dtype '" + d + "': byte order '|' is for one-byte types; give '<' or '>'";
    h.bigEndian = d[0] == '>';
    return std::nullopt;
}

RawNumber element(const NpyHeader& h, const unsigned char* p) {
    uint64_t raw = 0;
    for (int b = 0; b < h.itemSize; ++b) {
        const int at = h.bigEndian ? b : h.itemSize - 1 - b;
        raw = (raw << 8) | p[at];
    }
    const int bits = 8 * h.itemSize;
    switch (h.kind) {
        case 'i':
            // Sign extension: the value's top bit moved to bit 63, shifted back arithmetically.
            return RawNumber::ofSigned(static_cast<int64_t>(raw << (64 - bits)) >> (64 - bits));
        case 'u':
            return RawNumber::ofUnsigned(raw);
        default:
            return RawNumber::ofFloating(
                h.itemSize == 4 ? double{std::bit_cast<float>(static_cast<uint32_t>(raw))}
                                : std::bit_cast<double>(raw));
    }
}

SamplesResult decode(const NpyHeader& h, const char* data, const std::string& name,
                     const std::optional<double>& scale) {
    std::vector<int16_t> samples;
    samples.reserve(h.count);
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    for (uint64_t i = 0; i < h.count; ++i) {
        const auto sample = toSample(element(h, p + i * h.itemSize), scale, kScaleHint);
        if (!sample)
            return SamplesResult::failure(name + ": element " + std::to_string(i) + ": " +
                                          sample.error);
        samples.push_back(*sample.value);
    }
    return SamplesResult::success(std::move(samples));
}

std::string dataSizeError(const std::string& name, const NpyHeader& h, uint64_t have) {
    const uint64_t need = h.count * h.itemSize;
    if (have < need)
        return name + ": the file holds " + std::to_string(have) + " bytes of data, its shape (" +
               std::to_string(h.count) + ",) needs " + std::to_string(need);
    return name + ": the file holds more bytes than its shape (" + std::to_string(h.count) +
           ",) needs";
}

// Where the header dictionary lies: its start and length, from the first 12 bytes (or fewer).
ReadResult<std::pair<size_t, uint64_t>> headerSpan(const std::string& b, const std::string& name) {
    using Result = ReadResult<std::pair<size_t, uint64_t>>;
    if (b.size() < 10 || b.compare(0, kMagicSize, kMagic) != 0)
        return Result::failure(name + ": not a NumPy .npy file (no \\x93NUMPY signature)");
    const int major = static_cast<unsigned char>(b[6]);
    if (major == 1)
        return Result::success({10, littleEndian(b, 8, 2)});
    if ((major == 2 || major == 3) && b.size() >= 12)
        return Result::success({12, littleEndian(b, 8, 4)});
    if (major == 2 || major == 3)
        return Result::failure(name + ": the .npy header is cut short");
    return Result::failure(name + ": .npy format version " + std::to_string(major) + "." +
                           std::to_string(static_cast<unsigned char>(b[7])) +
                           " is not read (versions 1 to 3 are)");
}

}  // namespace

ReadResult<NpyHeader> parseNpyHeader(const std::string& bytes, const std::string& name) {
    using Result = ReadResult<NpyHeader>;
    const auto span = headerSpan(bytes, name);
    if (!span)
        return Result::failure(span.error);
    const auto [start, length] = *span.value;
    if (length > kMaxHeaderBytes)
        return Result::failure(name + ": the .npy header claims " + std::to_string(length) +
                               " bytes, too long for a plain array");
    if (bytes.size() < start + length)
        return Result::failure(name + ": the .npy header is cut short");
    const std::string text = bytes.substr(start, length);
    std::vector<std::pair<std::string, PyValue>> entries;
    if (const auto e = DictParser(text).parse(entries))
        return Result::failure(name + ": " + *e);
    const PyValue* descr = nullptr;
    const PyValue* fortran = nullptr;
    const PyValue* shape = nullptr;
    for (const auto& [key, v] : entries) {
        if (key == "descr")
            descr = &v;
        else if (key == "fortran_order")
            fortran = &v;
        else if (key == "shape")
            shape = &v;
    }
    if (!descr || !fortran || !shape)
        return Result::failure(name +
                               ": the .npy header lacks 'descr', 'fortran_order' or 'shape'");
    if (descr->kind != PyValue::Kind::String)
        return Result::failure(name +
                               ": a structured dtype is not read; save a plain numeric "
                               "array");
    NpyHeader h;
    if (const auto e = readDescr(descr->text, h))
        return Result::failure(name + ": " + *e);
    if (fortran->kind != PyValue::Kind::Bool)
        return Result::failure(name + ": 'fortran_order' is not True or False");
    if (fortran->flag)
        return Result::failure(name + ": a Fortran-order array is not read; save it in C order");
    if (shape->kind != PyValue::Kind::Tuple)
        return Result::failure(name + ": 'shape' is not a tuple");
    if (shape->items.size() != 1)
        return Result::failure(name + ": shape " + shapeText(shape->items) + " has " +
                               std::to_string(shape->items.size()) +
                               " dimensions; only one-dimensional arrays are read");
    h.count = shape->items[0];
    h.dataOffset = start + length;
    return Result::success(h);
}

SamplesResult parseNpySeries(const std::string& bytes, const std::string& name,
                             const std::optional<double>& scale) {
    const auto header = parseNpyHeader(bytes, name);
    if (!header)
        return SamplesResult::failure(header.error);
    const NpyHeader& h = *header.value;
    if (const auto e = seriesLengthError(name, h.count))
        return SamplesResult::failure(*e);
    const uint64_t have = bytes.size() - h.dataOffset;
    if (have != h.count * h.itemSize)
        return SamplesResult::failure(dataSizeError(name, h, have));
    return decode(h, bytes.data() + h.dataOffset, name, scale);
}

SamplesResult readNpySeries(const std::string& path, const std::optional<double>& scale) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return SamplesResult::failure("cannot open " + path + ": " + std::strerror(errno));
    auto readMore = [&](std::string& into, uint64_t n) {
        const size_t old = into.size();
        into.resize(old + n);
        const size_t got = std::fread(into.data() + old, 1, n, file.get());
        into.resize(old + got);
        return !std::ferror(file.get());
    };
    std::string bytes;
    if (!readMore(bytes, 12))
        return SamplesResult::failure("cannot read " + path + ": " + std::strerror(errno));
    const auto span = headerSpan(bytes, path);
    if (!span)
        return SamplesResult::failure(span.error);
    const auto [start, length] = *span.value;
    if (length <= kMaxHeaderBytes && start + length > bytes.size() &&
        !readMore(bytes, start + length - bytes.size()))
        return SamplesResult::failure("cannot read " + path + ": " + std::strerror(errno));
    const auto header = parseNpyHeader(bytes, path);
    if (!header)
        return SamplesResult::failure(header.error);
    const NpyHeader& h = *header.value;
    if (const auto e = seriesLengthError(path, h.count))
        return SamplesResult::failure(*e);
    // The first bytes read may already hold some data; one byte more than needed tells whether
    // the file is longer than its shape says.
    std::string data = bytes.substr(h.dataOffset);
    const uint64_t need = h.count * h.itemSize;
    if (data.size() <= need && !readMore(data, need + 1 - data.size()))
        return SamplesResult::failure("cannot read " + path + ": " + std::strerror(errno));
    if (data.size() != need)
        return SamplesResult::failure(dataSizeError(path, h, data.size()));
    return decode(h, data.data(), path, scale);
}

}  // namespace cli
