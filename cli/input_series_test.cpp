// The series readers on in-memory files: numbers and their conversion to samples, CSV/TSV
// tables, JSON documents, NumPy arrays, and the refusals with the place they name.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

#include "input_npy.h"
#include "input_series.h"
#include "npy_test_util.h"
#include "sample_value.h"

namespace {

using cli::RawNumber;
using Samples = std::vector<int16_t>;
using Scale = std::optional<double>;

TEST(SampleValue, ConversionWithAndWithoutScale) {
    struct Case {
        RawNumber n;
        Scale scale;
        std::optional<int16_t> sample;  // null: refused
    };
    const Case cases[] = {
        {RawNumber::ofSigned(-32768), {}, -32768},
        {RawNumber::ofSigned(32767), {}, 32767},
        {RawNumber::ofSigned(32768), {}, {}},
        {RawNumber::ofSigned(-32769), {}, {}},
        {RawNumber::ofUnsigned(32767), {}, 32767},
        {RawNumber::ofUnsigned(UINT64_MAX), {}, {}},
        {RawNumber::ofFloating(12.0), {}, 12},
        {RawNumber::ofFloating(-0.0), {}, 0},
        {RawNumber::ofFloating(0.5), {}, {}},  // fractional without a scale
        {RawNumber::ofFloating(32768.0), {}, {}},
        {RawNumber::ofFloating(NAN), {}, {}},
        {RawNumber::ofFloating(INFINITY), 2.0, {}},
        {RawNumber::ofFloating(0.5), 1.0, 1},  // halves away from zero
        {RawNumber::ofFloating(-0.5), 1.0, -1},
        {RawNumber::ofFloating(0.0123), 1000.0, 12},
        {RawNumber::ofFloating(1.0), 32767.0, 32767},
        {RawNumber::ofFloating(1.0), 32768.0, {}},
        {RawNumber::ofSigned(300), 0.5, 150},  // the scale applies to integers too
        {RawNumber::ofSigned(INT64_MAX), 1.0, {}},
        {RawNumber::ofUnsigned(UINT64_MAX), 1e-15, 18447},
    };
    for (const Case& c : cases) {
        const auto r = cli::toSample(c.n, c.scale);
        const std::string label = cli::numberText(c.n) + " scale " +
                                  (c.scale ? std::to_string(*c.scale) : std::string("none"));
        ASSERT_EQ(r.value.has_value(), c.sample.has_value()) << label << ": " << r.error;
        if (c.sample)
            EXPECT_EQ(*r.value, *c.sample) << label;
        else
            EXPECT_FALSE(r.error.empty()) << label;
    }
    EXPECT_EQ(cli::toSample(RawNumber::ofSigned(40000), {}).error,
              "value 40000 is outside the 16-bit sample range -32768..32767");
    EXPECT_EQ(cli::toSample(RawNumber::ofFloating(NAN), {}).error, "NaN is not a sample value");
    EXPECT_EQ(cli::toSample(RawNumber::ofFloating(-INFINITY), {}).error,
              "-inf is not a sample value");
    EXPECT_EQ(cli::toSample(RawNumber::ofFloating(1.25), {}, " (hint)").error,
              "value 1.25 is not an integer (hint)");
}

TEST(SampleValue, NumberCells) {
    EXPECT_EQ(cli::parseNumber(" 12 ")->i, 12);
    EXPECT_EQ(cli::parseNumber("+7")->i, 7);
    EXPECT_EQ(cli::parseNumber("-32768")->i, -32768);
    EXPECT_EQ(cli::parseNumber("1e3")->d, 1000.0);
    EXPECT_EQ(cli::parseNumber("2.5")->kind, RawNumber::Kind::Floating);
    EXPECT_TRUE(std::isnan(cli::parseNumber("nan")->d));
    EXPECT_TRUE(std::isinf(cli::parseNumber("-inf")->d));
    EXPECT_TRUE(std::isinf(cli::parseNumber("1e400")->d));
    EXPECT_EQ(cli::parseNumber("1e-400")->d, 0.0);
    // Too long for 64 bits: read as a floating value, refused later as out of range.
    EXPECT_EQ(cli::parseNumber("99999999999999999999")->kind, RawNumber::Kind::Floating);
    for (const char* bad : {"", " ", "+", "+-1", "12a", "1,5", "0x10", "abc", "1 2"})
        EXPECT_FALSE(cli::parseNumber(bad).has_value()) << bad;
}

cli::ReadResult<Samples> csv(const std::string& text, const std::string& column = "",
                             Scale scale = {}, char delimiter = ',') {
    std::istringstream in(text);
    return cli::parseDelimitedSeries(in, "s.csv", delimiter, column, scale);
}

TEST(DelimitedSeries, ReadsColumnsWithAndWithoutHeader) {
    struct Case {
        const char* text;
        const char* column;
        char delimiter;
        Samples expected;
    };
    const Case cases[] = {
        {"1\n-2\n3\n", "", ',', {1, -2, 3}},
        {"1\r\n2\r\n", "", ',', {1, 2}},  // CRLF
        {"\xEF\xBB\xBF"
         "5\n6",
         "",
         ',',
         {5, 6}},                            // byte order mark, no final newline
        {"7\n8\n\n\n", "", ',', {7, 8}},     // blank lines at the end
        {"noisy\n4\n5\n", "", ',', {4, 5}},  // header of one column
        {"index,pure,noisy\n0,0,-3\n1,60,57\n", "", ',', {-3, 57}},  // generate --csv
        {"index,pure,noisy\n0,0,-3\n1,60,57\n", "pure", ',', {0, 60}},
        {"index,pure,noisy\n0,0,-3\n1,60,57\n", "1", ',', {0, 1}},
        {"a,b\n1,2\n3,4\n", "2", ',', {2, 4}},
        {"1,2\n3,4\n", "2", ',', {2, 4}},                  // no header, numbered column
        {",value\n0,10\n1,11\n", "value", ',', {10, 11}},  // pandas' unnamed index column
        {"\"t\",\"x, mV\"\n0,\"12\"\n1, 13 \n", "x, mV", ',', {12, 13}},  // quoted cells
        {"t\tx\n0\t9\n1\t-9\n", "x", '\t', {9, -9}},
        {"t\tx\n0\t9\n", "", '\t', {}},  // refused below: two columns, none named noisy
    };
    for (const Case& c : cases) {
        const auto r = csv(c.text, c.column, {}, c.delimiter);
        if (c.expected.empty()) {
            EXPECT_FALSE(r) << c.text;
            continue;
        }
        ASSERT_TRUE(r) << c.text << ": " << r.error;
        EXPECT_EQ(*r.value, c.expected) << c.text;
    }
    EXPECT_EQ(*csv("0.25\n-0.5\n", "", 100.0).value, (Samples{25, -50}));
    EXPECT_EQ(*csv("12.0\n1e2\n").value, (Samples{12, 100}));
}

TEST(DelimitedSeries, RefusalsNameTheFileAndTheLine) {
    struct Case {
        const char* text;
        const char* column;
        const char* error;
    };
    const Case cases[] = {
        {"", "", "s.csv: the series is empty"},
        {"\n\n", "", "s.csv: the series is empty"},
        {"noisy\n", "", "s.csv: the series is empty"},
        {"1\n\n2\n", "", "s.csv: line 2: empty line"},
        {"1\nabc\n", "", "s.csv: line 2: not a number: 'abc'"},
        {"12a\n", "", "s.csv: line 1: not a number: '12a'"},
        {"a,b\n1,\n", "b", "s.csv: line 2: empty cell in column 'b'"},
        {"a,b\n1,x\n", "b", "s.csv: line 2: not a number in column 'b': 'x'"},
        {"1\n40000\n", "",
         "s.csv: line 2: value 40000 is outside the 16-bit sample range "
         "-32768..32767"},
        {"1\nnan\n", "", "s.csv: line 2: NaN is not a sample value"},
        {"inf\n", "", "s.csv: line 1: inf is not a sample value"},
        {"1.5\n", "",
         "s.csv: line 1: value 1.5 is not an integer (give --scale S to read "
         "fractional values as round(value * S))"},
        {"a,b\n1,2\n3\n", "a", "s.csv: line 3: 1 cell, the first line has 2"},
        {"1,2\n", "", "s.csv: 2 columns; choose one with --column NAME or --column NUMBER"},
        {"1,2\n", "b",
         "s.csv: no header line, so --column b names nothing; give the column's "
         "number instead"},
        {"a,b\n1,2\n", "c", "s.csv: no column 'c' (the header has 'a', 'b')"},
        {"a,b\n1,2\n", "3", "s.csv: no column 3 (the table has 2, counted from 1)"},
        {"a,b\n1,2\n", "0", "s.csv: no column 0 (the table has 2, counted from 1)"},
        {"a,a\n1,2\n", "a", "s.csv: the header names two columns 'a'"},
        {"\"a,b\n1\n", "", "s.csv: line 1: unbalanced quotes"},
    };
    for (const Case& c : cases) {
        const auto r = csv(c.text, c.column);
        EXPECT_FALSE(r) << c.text;
        EXPECT_EQ(r.error, c.error) << c.text;
    }
}

TEST(DelimitedSeries, LengthLimitIsTheRecordsPositionRange) {
    std::string text;
    for (int i = 0; i < 32767; ++i)
        text += std::to_string(i % 100) + "\n";
    const auto longest = csv(text);
    ASSERT_TRUE(longest) << longest.error;
    EXPECT_EQ(longest.value->size(), 32767u);
    const auto over = csv(text + "1\n");
    ASSERT_FALSE(over);
    EXPECT_EQ(over.error,
              "s.csv: more than 32767 samples; a series holds at most 32767 (pulse positions are "
              "signed 16-bit): cut the recording into windows of at most 32767 samples and "
              "process each window");
}

TEST(JsonSeries, ArraysObjectsAndCommandOutput) {
    struct Case {
        const char* text;
        Samples expected;
    };
    const Case cases[] = {
        {"[1, -2, 3]", {1, -2, 3}},
        {"[1.0, 2e1]", {1, 20}},
        {"{\"samples\": [4, 5]}", {4, 5}},
        {"{\"pure\": [0, 0], \"noisy\": [6, -7], \"truth\": []}", {6, -7}},
        {"{\"samples\": [8], \"noisy\": [9]}", {8}},  // "samples" first
    };
    for (const Case& c : cases) {
        const auto r = cli::parseJsonSeries(c.text, "s.json", {});
        ASSERT_TRUE(r) << c.text << ": " << r.error;
        EXPECT_EQ(*r.value, c.expected) << c.text;
    }
    EXPECT_EQ(*cli::parseJsonSeries("[0.5, 1.26]", "s.json", 10.0).value, (Samples{5, 13}));
}

TEST(JsonSeries, RefusalsNameTheElement) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"[]", "s.json: the series is empty"},
        {"{\"samples\": []}", "s.json: the series is empty"},
        {"[1, \"2\"]", "s.json: element 1: not a number: \"2\""},
        {"[1, null]", "s.json: element 1: not a number: null"},
        {"[true]", "s.json: element 0: not a number: true"},
        {"[1, 2, 70000]",
         "s.json: element 2: value 70000 is outside the 16-bit sample range "
         "-32768..32767"},
        {"[0.5]",
         "s.json: element 0: value 0.5 is not an integer (give --scale S to read "
         "fractional values as round(value * S))"},
        {"{\"x\": [1]}", "s.json: a JSON object needs a \"samples\" or \"noisy\" array"},
        {"{\"noisy\": 3}", "s.json: \"noisy\" is not an array"},
        {"7", "s.json: JSON is neither an array of samples nor an object"},
    };
    for (const Case& c : cases) {
        const auto r = cli::parseJsonSeries(c.text, "s.json", {});
        EXPECT_FALSE(r) << c.text;
        EXPECT_EQ(r.error, c.error) << c.text;
    }
    const auto broken = cli::parseJsonSeries("[1, 2", "s.json", {});
    EXPECT_EQ(broken.error.rfind("s.json: not valid JSON: ", 0), 0u) << broken.error;
}

using npytest::npyBytes;

TEST(NpySeries, EveryDtypeInBothByteOrders) {
    // The values -2, 0, 3 (integers) or 1.5, -2.25 (floats) as each dtype stores them.
    struct Case {
        std::string descr;
        std::vector<uint8_t> data;  // little-endian element bytes
        Scale scale;
        Samples expected;
    };
    const std::vector<Case> cases = {
        {"|i1", {0xFE, 0x00, 0x03}, {}, {-2, 0, 3}},
        {"|u1", {0xFF, 0x00, 0x03}, {}, {255, 0, 3}},
        {"<i2", {0xFE, 0xFF, 0x00, 0x80}, {}, {-2, -32768}},
        {"<u2", {0xFF, 0x7F, 0x03, 0x00}, {}, {32767, 3}},
        {"<i4", {0xFE, 0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00}, {}, {-2, 3}},
        {"<u4", {0x03, 0x00, 0x00, 0x00}, {}, {3}},
        {"<i8", {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {}, {-2}},
        {"<u8", {0x03, 0, 0, 0, 0, 0, 0, 0}, {}, {3}},
        {"<f4", {0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x10, 0xC0}, 2.0, {3, -5}},  // 1.5, -2.25
        {"<f8", {0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0, 0, 0, 0, 0, 0, 0x02, 0xC0}, 4.0, {6, -9}},
        {"<f8", {0, 0, 0, 0, 0, 0, 0x08, 0x40}, {}, {3}},  // 3.0 needs no scale
    };
    for (const Case& c : cases) {
        const auto little = cli::parseNpySeries(npyBytes(c.descr, c.expected.size(), c.data, false),
                                                "a.npy", c.scale);
        ASSERT_TRUE(little) << c.descr << ": " << little.error;
        EXPECT_EQ(*little.value, c.expected) << c.descr;
        if (c.descr[0] == '|')
            continue;
        const std::string big = ">" + c.descr.substr(1);
        const auto swapped =
            cli::parseNpySeries(npyBytes(big, c.expected.size(), c.data, true), "a.npy", c.scale);
        ASSERT_TRUE(swapped) << big << ": " << swapped.error;
        EXPECT_EQ(*swapped.value, c.expected) << big;
    }
}

TEST(NpySeries, HeaderVersionsAndSpelling) {
    const std::vector<uint8_t> data = {0x05, 0x00};
    std::string v2 = npyBytes("<i2", 1, data, false);
    // Version 2 stores the header length in four bytes.
    const uint16_t len = static_cast<uint16_t>(uint8_t(v2[8]) | uint8_t(v2[9]) << 8);
    v2 = std::string("\x93NUMPY\x02\x00", 8) + v2.substr(8, 2) + std::string(2, '\0') +
         v2.substr(10);
    ASSERT_EQ(v2.size(), 12u + len + 2);
    EXPECT_EQ(*cli::parseNpySeries(v2, "a.npy", {}).value, (Samples{5}));
    // Key order, double quotes, Python 2 long suffix and no trailing comma are all Python.
    const auto odd = npytest::npyWithHeader(
        "{\"shape\": (1L,), \"fortran_order\": False, \"descr\": \"<i2\"}", data);
    const auto r = cli::parseNpySeries(odd, "a.npy", {});
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(*r.value, (Samples{5}));
}

TEST(NpySeries, Refusals) {
    using npytest::npyWithHeader;
    const std::vector<uint8_t> two = {1, 0, 2, 0};
    struct Case {
        std::string bytes;
        const char* error;
    };
    const Case cases[] = {
        {"not numpy at all", "a.npy: not a NumPy .npy file (no \\x93NUMPY signature)"},
        {std::string("\x93NUMPY\x04\x00\x00\x00", 10),
         "a.npy: .npy format version 4.0 is not read (versions 1 to 3 are)"},
        {npyWithHeader("{'descr': '<i2', 'fortran_order': True, 'shape': (2,), }", two),
         "a.npy: a Fortran-order array is not read; save it in C order"},
        {npyWithHeader("{'descr': '<i2', 'fortran_order': False, 'shape': (1, 2), }", two),
         "a.npy: shape (1, 2) has 2 dimensions; only one-dimensional arrays are read"},
        {npyWithHeader("{'descr': '<i2', 'fortran_order': False, 'shape': (), }", two),
         "a.npy: shape () has 0 dimensions; only one-dimensional arrays are read"},
        {npyWithHeader("{'descr': '<f2', 'fortran_order': False, 'shape': (2,), }", two),
         "a.npy: dtype '<f2' is not read (integers i1, i2, i4, i8, u1, u2, u4, u8 or floats f4, "
         "f8, byte order '<', '>' or '|')"},
        {npyWithHeader("{'descr': '<c8', 'fortran_order': False, 'shape': (2,), }", two),
         "a.npy: dtype '<c8' is not read (integers i1, i2, i4, i8, u1, u2, u4, u8 or floats f4, "
         "f8, byte order '<', '>' or '|')"},
        {npyWithHeader("{'descr': '|i2', 'fortran_order': False, 'shape': (2,), }", two),
         "a.npy: dtype '|i2': byte order '|' is for one-byte types; give '<' or '>'"},
        {npyWithHeader("{'descr': [('a', '<i2')], 'fortran_order': False, 'shape': (2,), }", two),
         "a.npy: a structured dtype is not read; save a plain numeric array"},
        {npyWithHeader("{'descr': '<i2', 'shape': (2,), }", two),
         "a.npy: the .npy header lacks 'descr', 'fortran_order' or 'shape'"},
        {npyWithHeader("{'descr': '<i2', 'fortran_order': False, 'shape': (3,), }", two),
         "a.npy: the file holds 4 bytes of data, its shape (3,) needs 6"},
        {npyWithHeader("{'descr': '<i2', 'fortran_order': False, 'shape': (1,), }", two),
         "a.npy: the file holds more bytes than its shape (1,) needs"},
        {npyWithHeader("{'descr': '<i2', 'fortran_order': False, 'shape': (0,), }", {}),
         "a.npy: the series is empty"},
        {npyWithHeader("{'descr': '<i2', 'fortran_order': False, 'shape': (40000,), }", two),
         "a.npy: 40000 samples; a series holds at most 32767 (pulse positions are signed 16-bit): "
         "cut the recording into windows of at most 32767 samples and process each window"},
        {npyWithHeader("{'descr': '<i2', 'fortran_order': False 'shape': (2,)}", two),
         "a.npy: ',' missing in the header"},
        {npyBytes("<i2", 2, two, false).substr(0, 30), "a.npy: the .npy header is cut short"},
        {npyBytes("<f8", 1, {0, 0, 0, 0, 0, 0, 0xF8, 0x7F}, false),
         "a.npy: element 0: NaN is not a sample value"},
        {npyBytes("<i4", 2, {0, 0, 0, 0, 0x70, 0x11, 0x01, 0}, false),
         "a.npy: element 1: value 70000 is outside the 16-bit sample range -32768..32767"},
        {npyBytes("<f4", 1, {0, 0, 0xC0, 0x3F}, false),
         "a.npy: element 0: value 1.5 is not an integer (give --scale S to read fractional "
         "values as round(value * S))"},
    };
    for (const Case& c : cases) {
        const auto r = cli::parseNpySeries(c.bytes, "a.npy", {});
        EXPECT_FALSE(r) << c.error;
        EXPECT_EQ(r.error, c.error);
    }
}

TEST(SeriesFormat, ChosenByExtensionOrOption) {
    EXPECT_EQ(*cli::seriesFormatFor("a/b.CSV", "").value, "csv");
    EXPECT_EQ(*cli::seriesFormatFor("b.tsv", "").value, "tsv");
    EXPECT_EQ(*cli::seriesFormatFor("b.json", "").value, "json");
    EXPECT_EQ(*cli::seriesFormatFor("b.npy", "").value, "npy");
    EXPECT_EQ(*cli::seriesFormatFor("b.dat", "tsv").value, "tsv");
    EXPECT_EQ(cli::seriesFormatFor("b.dat", "").error,
              "b.dat: unknown format (extension '.dat'); name it .csv, .tsv, .json or .npy or give "
              "--input-format");
    EXPECT_EQ(cli::seriesFormatFor("series", "").error,
              "series: unknown format (no extension); name it .csv, .tsv, .json or .npy or give "
              "--input-format");
    EXPECT_EQ(cli::seriesFormatFor("b.csv", "xls").error,
              "--input-format: unknown format 'xls' (csv, tsv, json or npy)");
}

}  // namespace
