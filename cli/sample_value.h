#pragma once
// Numbers read from files and their conversion to the records' signed 16-bit samples.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "input_file.h"

namespace cli {

// A number as a file holds it: a signed or unsigned integer, or a floating value.
struct RawNumber {
    enum class Kind { Signed, Unsigned, Floating };
    Kind kind = Kind::Signed;
    int64_t i = 0;
    uint64_t u = 0;
    double d = 0;

    static RawNumber ofSigned(int64_t v) { return {Kind::Signed, v, 0, 0}; }
    static RawNumber ofUnsigned(uint64_t v) { return {Kind::Unsigned, 0, v, 0}; }
    static RawNumber ofFloating(double v) { return {Kind::Floating, 0, 0, v}; }
};

// A JSON element as a number; null when it is not one.
std::optional<RawNumber> jsonNumber(const nlohmann::json& value);

// The number as text: integers exactly, floating values in their shortest exact form.
std::string numberText(const RawNumber& n);

// A cell of a text table: an optional '+' or '-', then a decimal integer or a floating value
// (fraction, exponent, "nan", "inf"). Blanks around it are ignored. Null when it is none.
std::optional<RawNumber> parseNumber(std::string_view text);

// Without a scale the value must be an integer (integral floating values count) within
// -32768..32767. With a scale S the sample is round(value * S), halves away from zero, and must
// lie in that range. NaN and infinities are refused. The error text names the value;
// `fractionHint` is appended when a fractional value is refused without a scale.
ReadResult<int16_t> toSample(const RawNumber& n, const std::optional<double>& scale,
                             const char* fractionHint = "");

}  // namespace cli
