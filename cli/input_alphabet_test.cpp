// The alphabet readers: the JSON of `alphabet --json` and CSV rows become etalon records equal
// to the built-in ones; ragged, empty, oversized and overflowing alphabets are refused.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "input_alphabet.h"
#include "series/alphabet.h"
#include "test_series.h"

namespace {

std::vector<int16_t> samplesOf(const series::PulseHeader& e) {
    return std::vector<int16_t>(e.lpData.get(), e.lpData.get() + e.wSize);
}

cli::ReadResult<series::Alphabet> csv(const std::string& text, char delimiter = ',') {
    std::istringstream in(text);
    return cli::parseDelimitedAlphabet(in, "a.csv", delimiter);
}

TEST(AlphabetFile, JsonAndCsvOfTheBuiltInAlphabetGiveTheSameRecords) {
    const series::Alphabet builtIn = testsupport::makeAlphabet();
    nlohmann::json etalons = nlohmann::json::array();
    std::string rows;
    for (const auto& e : builtIn) {
        etalons.push_back({{"number", e.wNumber},
                           {"samples", samplesOf(e)},
                           {"energy", series::etalonEnergy(e)}});
        for (int i = 0; i < e.wSize; ++i) {
            if (i > 0)
                rows += ',';
            rows += std::to_string(e.lpData[i]);
        }
        rows += "\n";
    }
    const auto fromJson =
        cli::parseJsonAlphabet(nlohmann::json{{"etalons", etalons}}.dump(), "a.json");
    const auto fromCsv = csv(rows);
    for (const auto* read : {&fromJson, &fromCsv}) {
        ASSERT_TRUE(*read) << read->error;
        const series::Alphabet& a = *read->value;
        ASSERT_EQ(a.size(), builtIn.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].wNumber, i + 1);
            EXPECT_EQ(a[i].wSize, builtIn[i].wSize);
            EXPECT_EQ(a[i].wAllocated, builtIn[i].wSize);
            EXPECT_EQ(samplesOf(a[i]), samplesOf(builtIn[i]));
            EXPECT_EQ(series::etalonEnergy(a[i]), series::etalonEnergy(builtIn[i]));
        }
    }
}

TEST(AlphabetFile, ShapesOfTheFiles) {
    // Bare sample arrays, no numbers, a stale energy (recomputed), integral floats, TSV.
    const auto json = cli::parseJsonAlphabet(
        R"({"etalons": [[1, 2, 3], {"samples": [4.0, -5, 6], "energy": 1}]})", "a.json");
    ASSERT_TRUE(json) << json.error;
    EXPECT_EQ(samplesOf((*json.value)[1]), (std::vector<int16_t>{4, -5, 6}));
    EXPECT_EQ(series::etalonEnergy((*json.value)[1]), 77);
    const auto tsv = csv("1\t2\r\n-3\t+4\n\n", '\t');
    ASSERT_TRUE(tsv) << tsv.error;
    EXPECT_EQ(samplesOf((*tsv.value)[1]), (std::vector<int16_t>{-3, 4}));
    // Energy 2147418113 still fits 32 bits; two samples of -32768 (2147483648) do not.
    const auto extreme = csv("-32768,32767\n");
    ASSERT_TRUE(extreme) << extreme.error;
    EXPECT_EQ(series::etalonEnergy((*extreme.value)[0]), 2147418113);
}

TEST(AlphabetFile, Refusals) {
    struct Case {
        std::string text;
        bool json;
        const char* error;
    };
    std::string twentyOne;
    for (int i = 0; i < 21; ++i)
        twentyOne += "1,2\n";
    const Case cases[] = {
        {"", false, "a.csv: no etalons"},
        {twentyOne, false, "a.csv: more than 20 etalons"},
        {"1,2,3\n4,5\n", false,
         "a.csv: line 2: 2 samples, line 1 has 3 (all etalons need one length)"},
        {"1,2\n\n3,4\n", false, "a.csv: line 2: empty line"},
        {"1,,3\n", false, "a.csv: line 1, cell 2: empty cell"},
        {"1,2,\n", false, "a.csv: line 1, cell 3: empty cell"},
        {"1,x\n", false, "a.csv: line 1, cell 2: not a number: 'x'"},
        {"1,40000\n", false,
         "a.csv: line 1, cell 2: value 40000 is outside the 16-bit sample range -32768..32767"},
        {"1,0.5\n", false, "a.csv: line 1, cell 2: value 0.5 is not an integer"},
        {"1,nan\n", false, "a.csv: line 1, cell 2: NaN is not a sample value"},
        {"-32768,-32768\n", false,
         "a.csv: line 1: energy 2147483648 does not fit 32 bits (at most 2147483647); scale the "
         "etalon down"},
        {R"({"etalons": []})", true, "a.json: no etalons"},
        {R"([[1, 2]])", true, "a.json: a JSON alphabet is an object with an \"etalons\" array"},
        {R"({"etalons": [[1, 2], [3]]})", true,
         "a.json: etalon 2: 1 samples, etalon 1 has 2 (all etalons need one length)"},
        {R"({"etalons": [[]]})", true, "a.json: etalon 1: an etalon without samples"},
        {R"({"etalons": [{"number": 2, "samples": [1]}]})", true,
         "a.json: etalon 1: \"number\" is 2; etalons are numbered 1, 2, ... in the order of the "
         "file"},
        {R"({"etalons": [{"energy": 5}]})", true, "a.json: etalon 1: no \"samples\""},
        {R"({"etalons": [[1, "2"]]})", true, "a.json: etalon 1, element 1: not a number: \"2\""},
        {R"({"etalons": [7]})", true, "a.json: etalon 1: the samples are not an array"},
    };
    for (const Case& c : cases) {
        const auto r = c.json ? cli::parseJsonAlphabet(c.text, "a.json") : csv(c.text);
        EXPECT_FALSE(r) << c.text;
        EXPECT_EQ(r.error, c.error) << c.text;
    }
    EXPECT_EQ(cli::readAlphabetFile("etalons.txt").error,
              "etalons.txt: unknown alphabet format; name it .json, .csv or .tsv");
}

}  // namespace
