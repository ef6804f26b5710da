#include "sample_value.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <nlohmann/json.hpp>

namespace cli {

namespace {

constexpr double kLowest = std::numeric_limits<int16_t>::min();
constexpr double kHighest = std::numeric_limits<int16_t>::max();

std::string doubleText(double v) {
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "inf" : "-inf";
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

std::string outOfRange(const std::string& what) {
    return what + " is outside the 16-bit sample range -32768..32767";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::optional<RawNumber> jsonNumber(const nlohmann::json& v) {
    if (v.is_number_unsigned())
        return RawNumber::ofUnsigned(v.get<uint64_t>());
    if (v.is_number_integer())
        return RawNumber::ofSigned(v.get<int64_t>());
    if (v.is_number_float())
        return RawNumber::ofFloating(v.get<double>());
    return std::nullopt;
}

std::string numberText(const RawNumber& n) {
    switch (n.kind) {
        case RawNumber::Kind::Signed:
            return std::to_string(n.i);
        case RawNumber::Kind::Unsigned:
            return std::to_string(n.u);
        case RawNumber::Kind::Floating:
            return doubleText(n.d);
    }
    return "";
}

std::optional<RawNumber> parseNumber(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    // from_chars takes a '-' but no '+'; a '+' must be followed by the number itself.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    const char* first = text.data();
    const char* last = first + text.size();
    int64_t i = 0;
    const auto ri = std::from_chars(first, last, i);
    if (ri.ec == std::errc() && ri.ptr == last)
        return RawNumber::ofSigned(i);
    double d = 0;
    const auto rd = std::from_chars(first, last, d);
    // Beyond the double range: strtod gives the infinity or the tiny value it rounds to.
    if (rd.ptr == last && rd.ec == std::errc::result_out_of_range)
        return RawNumber::ofFloating(std::strtod(std::string(text).c_str(), nullptr));
    if (rd.ec == std::errc() && rd.ptr == last)
        return RawNumber::ofFloating(d);
    return std::nullopt;
}

ReadResult<int16_t> toSample(const RawNumber& n, const std::optional<double>& scale,
                             const char* fractionHint) {
    using Result = ReadResult<int16_t>;
    if (n.kind == RawNumber::Kind::Floating && std::isnan(n.d))
        return Result::failure("NaN is not a sample value");
    if (n.kind == RawNumber::Kind::Floating && std::isinf(n.d))
        return Result::failure(doubleText(n.d) + " is not a sample value");
    if (scale) {
        double value = 0;
        switch (n.kind) {
            case RawNumber::Kind::Signed:
                value = static_cast<double>(n.i);
                break;
            case RawNumber::Kind::Unsigned:
                value = static_cast<double>(n.u);
                break;
            case RawNumber::Kind::Floating:
                value = n.d;
                break;
        }
        const double scaled = std::round(value * *scale);
        // NaN and infinities fail both comparisons' complements, so they are refused here too.
        if (!(scaled >= kLowest && scaled <= kHighest))
            return Result::failure(outOfRange("value " + numberText(n) + " scaled by " +
                                              doubleText(*scale) + " (" + doubleText(scaled) +
                                              ")"));
        return Result::success(static_cast<int16_t>(scaled));
    }
    switch (n.kind) {
        case RawNumber::Kind::Signed:
            if (n.i < -32768 || n.i > 32767)
                return Result::failure(outOfRange("value " + numberText(n)));
            return Result::success(static_cast<int16_t>(n.i));
        case RawNumber::Kind::Unsigned:
            if (n.u > 32767)
                return Result::failure(outOfRange("value " + numberText(n)));
            return Result::success(static_cast<int16_t>(n.u));
        case RawNumber::Kind::Floating:
            if (n.d != std::trunc(n.d))
                return Result::failure("value " + numberText(n) + " is not an integer" +
                                       fractionHint);
            if (!(n.d >= kLowest && n.d <= kHighest))
                return Result::failure(outOfRange("value " + numberText(n)));
            return Result::success(static_cast<int16_t>(n.d));
    }
    return Result::failure("unknown number kind");
}

}  // namespace cli
