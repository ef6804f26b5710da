#include "dialog_text.h"

#include <clocale>
#include <cstdio>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(DialogText, TextToIntReadsLikeTheCLibrary) {
    const struct {
        std::string text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"42", 42},
        {"  42", 42},
        {" \t\n\v\f\r5", 5},
        {"+7", 7},
        {"-13", -13},
        {"12abc", 12},
        {"1 2", 1},
        {"abc", 0},
        {"-", 0},
        {"+-3", 0},
        {"- 3", 0},
        {"2147483647", 2147483647},
        {"2147483648", std::numeric_limits<int32_t>::max()},
        {"99999999999999999999", std::numeric_limits<int32_t>::max()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"-99999999999999999999", std::numeric_limits<int32_t>::min()},
        {std::string(99, ' ') + "7", 7},
        {std::string(100, ' ') + "7", 0},  // beyond the characters read
        {std::string(98, ' ') + "123", 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(DialogText, ParseIntTellsTheLengthOfTheNumber) {
    EXPECT_EQ(parseInt("  -12,3").length, 5u);
    EXPECT_EQ(parseInt(",3").length, 0u);
    EXPECT_EQ(parseInt("  ").length, 0u);
}

TEST(DialogText, NumberListsReadCommasAndBlanks) {
    const struct {
        std::string text;
        std::size_t count;
        std::vector<int32_t> entries;
    } cases[] = {
        {"1,2,1", 3, {1, 2, 1}},
        {"4 5", 3, {4, 5, 0}},
        {"3,,7", 3, {3, 0, 7}},
        {"", 3, {0, 0, 0}},
        {"7", 2, {7, 0}},
        {"1,2,3,4", 2, {1, 2}},
        {"1, 2, 3", 3, {1, 2, 3}},
        {"4  5", 3, {4, 5, 0}},  // blanks in front of a number belong to it
        {" 9,x,2", 3, {9, 0, 2}},
        {"-1,70000", 2, {-1, 70000}},
        {"5,", 2, {5, 0}},
        {",5", 2, {0, 5}},
        {"1;2", 2, {1, 0}},
        {"", 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readNumberList(c.text, c.count), c.entries) << '"' << c.text << '"';
}

TEST(DialogText, LongListsAreReadWhole) {
    std::string text;
    std::vector<int32_t> expected;
    for (int i = 0; i < 60; ++i) {
        text += std::to_string(10 + i % 11) + ",";
        expected.push_back(10 + i % 11);
    }
    ASSERT_GT(text.size(), kFieldTextLimit);
    EXPECT_EQ(readNumberList(text, 60), expected);
}

TEST(DialogText, NumberListTextDropsTheFinalComma) {
    const uint16_t entries[] = {1, 2, 1, 20};
    EXPECT_EQ(numberListText(entries, 3), "1,2,1");
    EXPECT_EQ(numberListText(entries, 4), "1,2,1,20");
    EXPECT_EQ(numberListText(entries, 1), "1");
    EXPECT_EQ(numberListText(entries, 0), "");
    EXPECT_EQ(numberListText(nullptr, 0), "");
}

TEST(DialogText, UpperBoundIsShownWithFiveSignificantDigits) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    for (double v : {0.25, 0.0, 1.0, 1234567.0, 0.000012345678, 3.14159265, 100000.0, 99999.5, -2.5,
                     1e-300, 1e300, 12345.0, 123456.0}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.5g", v);
        EXPECT_EQ(formatUpperBound(v), expected) << v;
    }
    EXPECT_EQ(formatUpperBound(0.25), "0.25");
    EXPECT_EQ(formatUpperBound(1234567.0), "1.2346e+06");
}

TEST(DialogText, TextToDoubleReadsADecimalNumber) {
    const double max = std::numeric_limits<double>::max();
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"0.5", 0.5},
        {"  0.25", 0.25},
        {"+1.5", 1.5},
        {"-2.5E2", -250.0},
        {"1e-3", 0.001},
        {".25", 0.25},
        {"1.", 1.0},
        {"3.5abc", 3.5},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"2,5", 2.0},
        {"", 0.0},
        {"abc", 0.0},
        {".", 0.0},
        {"-", 0.0},
        {"inf", 0.0},
        {"nan", 0.0},
        {"0x10", 0.0},
        {"1e999", max},
        {"-1e999", -max},
        {"1" + std::string(99, '0'), 1e99},
        {"1e-999", 0.0},
        {"0." + std::string(90, '0') + "1e-300", 0.0},
        {std::string(100, ' ') + "1", 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textToDouble(c.text), c.value) << '"' << c.text << '"';
}

TEST(DialogText, ShownBoundReadsBack) {
    for (double v : {0.25, 1.5, 1234.5, 0.001})
        EXPECT_EQ(textToDouble(formatUpperBound(v)), v);
    EXPECT_EQ(textToDouble(formatUpperBound(1.0 / 3.0)), 0.33333);
}

}  // namespace
}  // namespace app
