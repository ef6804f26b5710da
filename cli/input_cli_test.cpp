// ardentix-cli with files, as a user runs it: series written by generate --csv and read back by
// process --input give the synthetic run's findings and chains for every task and series kind;
// every input format reads the same samples; an alphabet file acts as the built-in alphabet;
// bad files are refused with one message, exit 2 and nothing written.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "npy_test_util.h"
#include "run_cli.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ardentix-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(path(name), std::ios::binary) << content;
        return path(name);
    }

    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Runs the program with its standard error kept.
    CliRun cli(const std::string& args) const {
        const std::string errors = path("stderr.txt");
        const testsupport::CliResult result =
            testsupport::runCliCommand(ARDENTIX_CLI_PATH, args, errors);
        CliRun r;
        r.status = result.status;
        r.out = result.out;
        r.err = read(errors);
        fs::remove(errors);
        return r;
    }

    json cliJson(const std::string& args) const {
        const CliRun r = cli(args);
        EXPECT_EQ(r.status, 0) << args << "\n" << r.err;
        return json::parse(r.out, nullptr, false);
    }

    // The files in the folder, to show that a refused run leaves nothing behind.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
};

bool needsPulseCount(const std::string& procedure) {
    return procedure.find("KnownNumber") != std::string::npos &&
           procedure.find("UnknownNumber") == std::string::npos;
}

std::string etalonsOf(const json& truth) {
    std::string out;
    for (const auto& t : truth) {
        if (!out.empty())
            out += ',';
        out += std::to_string(t["etalon"].get<int>());
    }
    return out;
}

void expectSameResults(const json& a, const json& b, const std::string& label) {
    for (const char* key : {"procedure", "taskKind", "seriesKind", "result", "found", "chains"})
        EXPECT_EQ(a[key], b[key]) << label << ": " << key;
}

TEST_F(CliFiles, GeneratedCsvProcessedFromTheFileGivesTheSyntheticFindings) {
    const char* tasks[] = {"detection", "recognition", "joint", "series-processing"};
    const char* kinds[] = {"fixed-whole", "fixed-cut",    "unfixed-whole",
                           "unfixed-cut", "fixed-tuples", "unfixed-tuples"};
    const std::string csv = path("series.csv");
    for (const char* task : tasks)
        for (const char* kind : kinds) {
            const std::string label = std::string(task) + " " + kind;
            const std::string kinds = std::string(" --task ") + task + " --series " + kind +
                                      " --subset 1,3,5 --tuples \"1,3,5;2,4\"";
            const json synthetic = cliJson("process --json --length 400" + kinds);
            ASSERT_FALSE(synthetic.is_discarded()) << label;
            // The same series from generate: its pulses, etalons and saved level.
            const std::string level = std::string(kind).ends_with("-cut") ? "75" : "100";
            const json generated =
                cliJson("generate --json --length 400 --pulses " + synthetic["pulses"].dump() +
                        " --sequence " + etalonsOf(synthetic["truth"]) + " --saved-level " + level +
                        " --csv " + csv);
            ASSERT_EQ(generated["noisy"], synthetic["noisy"]) << label;
            const std::string count = needsPulseCount(synthetic["procedure"])
                                          ? " --pulses " + synthetic["pulses"].dump()
                                          : "";
            const json fromFile = cliJson("process --json --input " + csv + kinds + count);
            ASSERT_FALSE(fromFile.is_discarded()) << label;
            expectSameResults(fromFile, synthetic, label);
            EXPECT_EQ(fromFile["noisy"], synthetic["noisy"]) << label;
            EXPECT_TRUE(fromFile["truth"].is_null()) << label;
            EXPECT_TRUE(fromFile["pure"].is_null()) << label;
            EXPECT_TRUE(fromFile["restoringError"].is_null()) << label;
            EXPECT_EQ(fromFile["pulses"], count.empty() ? json() : synthetic["pulses"]) << label;
            EXPECT_EQ(fromFile["input"]["format"], "csv") << label;
        }
}

TEST_F(CliFiles, TablesWrittenForAnalysisElsewhere) {
    const std::string seriesFile = path("s.csv"), foundFile = path("found.csv");
    const json g = cliJson("generate --json --length 300 --pulses 4 --csv " + seriesFile);
    std::stringstream series(read(seriesFile));
    std::string line;
    std::getline(series, line);
    EXPECT_EQ(line, "index,pure,noisy");
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(std::getline(series, line));
        EXPECT_EQ(line, std::to_string(i) + "," + g["pure"][i].dump() + "," + g["noisy"][i].dump());
    }
    EXPECT_FALSE(std::getline(series, line));

    const json p =
        cliJson("process --json --task joint --series unfixed-cut --found-csv " + foundFile);
    std::string expected = "start,etalon,cut_begin,cut_end\n";
    for (const auto& f : p["found"]["pulses"])
        expected += f["start"].dump() + "," + f["etalon"].dump() + "," + f["cutBegin"].dump() +
                    "," + f["cutEnd"].dump() + "\n";
    EXPECT_EQ(read(foundFile), expected);
    EXPECT_EQ(files(), (std::vector<std::string>{"found.csv", "s.csv"}));  // no temporary left

    // "-" writes the table to standard output in place of the report.
    const CliRun toStdout = cli("process --task joint --series unfixed-cut --found-csv -");
    EXPECT_EQ(toStdout.status, 0);
    EXPECT_EQ(toStdout.out, expected);
}

TEST_F(CliFiles, EveryFormatReadsTheSameSamples) {
    const json reference = cliJson("process --json --length 300");
    const std::vector<int> noisy = reference["noisy"];
    const std::string column = [&] {
        std::string s;
        for (int v : noisy)
            s += std::to_string(v) + "\n";
        return s;
    }();
    // A table with the series in its "noisy" column, a TSV, and the samples in tenths ("-1.7").
    std::string table = "time,x,noisy\n", tsv = "x\tsignal\n", tenths;
    for (size_t i = 0; i < noisy.size(); ++i) {
        const int v = noisy[i], a = std::abs(v);
        table += std::to_string(i) + ",0," + std::to_string(v) + "\n";
        tsv += "0\t" + std::to_string(v) + "\n";
        tenths += std::string(v < 0 ? "-" : "") + std::to_string(a / 10) + "." +
                  std::to_string(a % 10) + "\n";
    }
    std::vector<uint8_t> i2, i4, f8;
    for (int v : noisy) {
        for (int b = 0; b < 2; ++b)
            i2.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> (8 * b)));
        for (int b = 0; b < 4; ++b)
            i4.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
        const double d = v;
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        for (int b = 0; b < 8; ++b)
            f8.push_back(static_cast<uint8_t>(bits >> (8 * b)));
    }
    std::vector<uint8_t> scaled;  // float64 values noisy / 8, exact in binary
    for (int v : noisy) {
        const double d = v / 8.0;
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        for (int b = 0; b < 8; ++b)
            scaled.push_back(static_cast<uint8_t>(bits >> (8 * b)));
    }
    const size_t n = noisy.size();
    write("generated.json", cliJson("generate --json --length 300 --saved-level 75 --pulses " +
                                    reference["pulses"].dump())
                                .dump());
    write("processed.json", reference.dump());
    const struct {
        const char* name;
        std::string content;
        const char* options;
    } cases[] = {
        {"plain.csv", column, ""},
        {"table.csv", table, ""},  // the "noisy" column by default
        {"table2.csv", table, "--column 3"},
        {"table3.CSV", table, "--column noisy"},
        {"table.tsv", tsv, "--column signal"},
        {"values.txt", column, "--input-format csv"},
        {"tenths.csv", tenths, "--scale 10"},
        {"array.json", json(noisy).dump(), ""},
        {"object.json", json{{"samples", noisy}}.dump(), ""},
        {"generated.json", "", ""},
        {"processed.json", "", ""},
        {"int16.npy", npytest::npyBytes("<i2", n, i2, false), ""},
        {"int32be.npy", npytest::npyBytes(">i4", n, i4, true), ""},
        {"float64.npy", npytest::npyBytes("<f8", n, f8, false), ""},
        {"float64be.npy", npytest::npyBytes(">f8", n, f8, true), ""},
        {"eighths.npy", npytest::npyBytes("<f8", n, scaled, false), "--scale 8"},
    };
    for (const auto& c : cases) {
        const std::string file = c.content.empty() ? path(c.name) : write(c.name, c.content);
        const json r = cliJson("process --json --input " + file + " " + c.options);
        ASSERT_FALSE(r.is_discarded()) << c.name;
        EXPECT_EQ(r["noisy"], reference["noisy"]) << c.name;
        expectSameResults(r, reference, c.name);
    }
}

TEST_F(CliFiles, AlphabetFileActsAsTheBuiltInAlphabet) {
    const CliRun alphabet = cli("alphabet --json");
    ASSERT_EQ(alphabet.status, 0);
    const std::string file = write("alphabet.json", alphabet.out);
    for (const char* kinds :
         {"--task detection --series unfixed-cut", "--task recognition --series fixed-whole",
          "--task joint --series unfixed-whole --etalons 1,4,12",
          "--task recognition --series unfixed-tuples --tuples \"1,2;3,4\""}) {
        const json builtIn = cliJson(std::string("process --json --length 500 ") + kinds);
        const json fromFile =
            cliJson(std::string("process --json --length 500 --alphabet ") + file + " " + kinds);
        expectSameResults(fromFile, builtIn, kinds);
        EXPECT_EQ(fromFile["pure"], builtIn["pure"]) << kinds;
        EXPECT_EQ(fromFile["restoringError"], builtIn["restoringError"]) << kinds;
    }

    // Own shapes of another length: a series generated with them is found again from its file.
    const std::string own =
        write("own.csv", "0,40,80,40,0,-40,-80,-40\n90,90,90,90,-90,-90,-90,-90\n");
    const std::string series = path("own-series.csv");
    const json g =
        cliJson("generate --json --alphabet " + own +
                " --length 600 --pulses 6 --sequence 1,2,2,1,2,1 --noise 10 --csv " + series);
    EXPECT_EQ(g["etalonLength"], 8);
    const json found = cliJson("process --json --task joint --series unfixed-whole --alphabet " +
                               own + " --input " + series);
    ASSERT_EQ(found["found"]["count"], 6);
    for (size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(found["found"]["pulses"][k]["start"], g["truth"][k]["start"]) << k;
        EXPECT_EQ(found["found"]["pulses"][k]["etalon"], g["truth"][k]["etalon"]) << k;
    }
}

TEST_F(CliFiles, BadInputIsRefusedWithOneMessageAndNothingWritten) {
    std::string tooLong;
    for (int i = 0; i < 40000; ++i)
        tooLong += "1\n";
    std::string fourHundred;
    for (int i = 0; i < 400; ++i)
        fourHundred += std::to_string(i % 7) + "\n";
    const std::string good = write("good.csv", fourHundred);
    std::string longEtalon = "1";
    for (int i = 1; i < 200; ++i)
        longEtalon += ",1";
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"--input " + path("missing.csv"),
         "cannot open " + path("missing.csv") + ": No such file or directory"},
        {"--input " + write("s.dat", "1\n"),
         path("s.dat") + ": unknown format (extension '.dat'); name it .csv, .tsv, .json or .npy "
                         "or give --input-format"},
        {"--input " + write("word.csv", "1\n2\nthree\n"),
         path("word.csv") + ": line 3: not a number: 'three'"},
        {"--input " + write("hole.csv", "a,b\n1,2\n3,\n") + " --column b",
         path("hole.csv") + ": line 3: empty cell in column 'b'"},
        {"--input " + write("big.json", "[1, 2, 40000]"),
         path("big.json") + ": element 2: value 40000 is outside the 16-bit sample range "
                            "-32768..32767"},
        {"--input " + write("nan.csv", "1\nNaN\n"), path("nan.csv") + ": line 2: NaN is not a "
                                                                      "sample value"},
        {"--input " + write("empty.csv", ""), path("empty.csv") + ": the series is empty"},
        {"--input " + write("long.csv", tooLong),
         path("long.csv") + ": more than 32767 samples; a series holds at most 32767 (pulse "
                            "positions are signed 16-bit): cut the recording into windows of at "
                            "most 32767 samples and process each window"},
        {"--input " + write("short.csv", "1\n2\n3\n"),
         path("short.csv") + ": 3 samples, fewer than the etalon length 20"},
        {"--input " + good + " --tmin 5 --tmax 10", "--etalon-length must not exceed --tmax"},
        {"--input " + good + " --series fixed-whole --pulses 99",
         "--pulses must lie in the feasible range 2..10"},
        {"--input " + good + " --series fixed-whole",
         "detectKnownNumber (task 1, series 1) processes a known number of pulses: give it with "
         "--pulses K"},
        {"--input " + good + " --pulses 5",
         "--pulses: detectUnknownNumber (task 1, series 8) finds the number of pulses itself"},
        {"--input " + good + " --scale 0", "--scale must be a positive finite number"},
        {"--input " + write("s.json", "[1]") + " --column 2",
         "--column applies to CSV and TSV tables, not to json"},
        {"--input " + good + " --noise 5", "--noise excludes --input"},
        {"--column 2", "--column requires --input"},
        {"--alphabet " + write("ragged.csv", "1,2,3\n4,5\n"),
         path("ragged.csv") + ": line 2: 2 samples, line 1 has 3 (all etalons need one length)"},
        {"--alphabet " + write("wide.json", R"({"etalons": [[-32768, -32768]]})"),
         path("wide.json") + ": etalon 1: energy 2147483648 does not fit 32 bits (at most "
                             "2147483647); scale the etalon down"},
        {"--alphabet " + good + " --count 5", "--count excludes --alphabet"},
        {"--alphabet " + write("long-etalon.csv", longEtalon),
         path("long-etalon.csv") + ": etalons of 200 samples, longer than --tmax 181"},
        {"--input " + good + " --found-csv " + path("no-such-folder/found.csv"),
         "cannot write " + path("no-such-folder/found.csv") + ": No such file or directory"},
        {"--input " + good + " --found-csv " + dir_.string(),
         "cannot write " + dir_.string() + ": it is a directory"},
        {"--input " + good + " --found-csv - --json",
         "--found-csv - and --json both write to standard output"},
    };
    const std::vector<std::string> before = files();
    for (const auto& c : cases) {
        const bool writes = c.args.find("--found-csv") != std::string::npos;
        const CliRun r =
            cli("process " + c.args + (writes ? "" : " --found-csv " + path("found.csv")));
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_EQ(r.err, "ardentix-cli: " + c.message + "\n") << c.args;
        EXPECT_EQ(files(), before) << c.args;
    }
    // A refused run leaves an earlier table as it was.
    write("found.csv", "kept\n");
    EXPECT_EQ(
        cli("process --input " + path("word.csv") + " --found-csv " + path("found.csv")).status, 2);
    EXPECT_EQ(read(path("found.csv")), "kept\n");
    const CliRun g = cli("generate --length 10 --csv " + path("g.csv"));
    EXPECT_EQ(g.status, 2);
    EXPECT_FALSE(fs::exists(path("g.csv")));
}

}  // namespace
