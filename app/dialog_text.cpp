#include "dialog_text.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace app {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view field(std::string_view text) {
    return text.substr(0, std::min(text.size(), kFieldTextLimit));
}

}  // namespace

ParsedInt parseInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i >= text.size() || !isDigit(text[i]))
        return {};
    // Accumulated in 64 bits and held just past the 32-bit range, so the sign can be applied.
    constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t v = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        v = std::min(v * 10 + (text[i] - '0'), kCap);
    const int64_t signedValue = negative ? -v : std::min(v, kCap - 1);
    return {static_cast<int32_t>(signedValue), i};
}

int32_t textToInt(std::string_view text) {
    return parseInt(field(text)).value;
}

std::vector<int32_t> readNumberList(std::string_view text, std::size_t count) {
    std::vector<int32_t> entries(count, 0);
    std::size_t pos = 0;
    for (std::size_t k = 0; k < count && pos < text.size(); ++k) {
        const ParsedInt n = parseInt(text.substr(pos));
        entries[k] = n.value;
        // The separator is looked for after the number, so the blanks before an entry
        // ("1, 2") do not count as its separator.
        const std::size_t sep = text.find_first_of(", ", pos + n.length);
        pos = sep == std::string_view::npos ? text.size() : sep + 1;
    }
    return entries;
}

std::string numberListText(const uint16_t* entries, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) {
        s += std::to_string(entries[i]);
        s += ',';
    }
    if (!s.empty())
        s.pop_back();
    return s;
}

std::string formatUpperBound(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 5);
    return std::string(buf, r.ptr);
}

double textToDouble(std::string_view text) {
    text = field(text);
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t start = i;
    // The decimal exponent of the first significant digit, to tell overflow from underflow.
    int64_t magnitude = 0;
    bool significant = false, anyDigit = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        anyDigit = true;
        if (significant)
            ++magnitude;
        else if (text[i] != '0')
            significant = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            anyDigit = true;
            if (!significant) {
                --magnitude;
                if (text[i] != '0')
                    significant = true;
            }
        }
    }
    if (!anyDigit)
        return 0.0;
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            expNegative = text[j++] == '-';
        if (j < text.size() && isDigit(text[j])) {
            int64_t e = 0;
            for (; j < text.size() && isDigit(text[j]); ++j)
                e = std::min<int64_t>(e * 10 + (text[j] - '0'), 1'000'000);
            magnitude += expNegative ? -e : e;
            end = j;
        }
    }
    double v = 0.0;
    const auto r =
        std::from_chars(text.data() + start, text.data() + end, v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range)
        v = significant && magnitude > 0 ? std::numeric_limits<double>::max() : 0.0;
    return negative ? -v : v;
}

}  // namespace app
