// ardentix-cli simulate as a user runs it: outputs, determinism, refusals and bad input.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "run_cli.h"

namespace {

using CliRun = testsupport::CliResult;

CliRun simulate(const std::string& args) {
    return testsupport::runCliCommand(ARDENTIX_CLI_PATH, "simulate " + args);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

constexpr const char* kSmallGrid = "--pulses 6:10:4 --noise 0:2:30 --repeats 4 --quiet";

TEST(CliSimulate, CsvHasOneRowPerCellAndDoesNotDependOnThreads) {
    const CliRun one = simulate(std::string(kSmallGrid) + " --threads 1 --csv -");
    const CliRun two = simulate(std::string(kSmallGrid) + " --threads 2 --csv -");
    ASSERT_EQ(one.status, 0);
    ASSERT_EQ(two.status, 0);
    EXPECT_EQ(one.out, two.out);
    const auto rows = lines(one.out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0],
              "pulses,noise,restoring,detection,recognition,restoring_norm,detection_rms,"
              "recognition_rate");
    EXPECT_EQ(rows[1].rfind("6,0,", 0), 0u);
    EXPECT_EQ(rows[2].rfind("6,30,", 0), 0u);
    EXPECT_EQ(rows[3].rfind("10,0,", 0), 0u);
    EXPECT_EQ(rows[4].rfind("10,30,", 0), 0u);
}

TEST(CliSimulate, JsonHoldsGridTablesKindsAndTimes) {
    const CliRun r = simulate(std::string(kSmallGrid) +
                              " --task recognition --series fixed-whole "
                              "--etalons 1,3,5 --json -");
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["grid"]["pulses"], (std::vector<int>{6, 10}));
    EXPECT_EQ(j["grid"]["noiseLevels"], (std::vector<int>{0, 30}));
    EXPECT_EQ(j["grid"]["repeats"], 4);
    EXPECT_EQ(j["kinds"]["taskKind"], 2);
    EXPECT_EQ(j["kinds"]["seriesKind"], 1);
    EXPECT_EQ(j["kinds"]["taskName"], "recognition");
    EXPECT_EQ(j["kinds"]["seriesName"], "known number of whole pulses");
    EXPECT_EQ(j["kinds"]["createSavedLevel"], 100);
    for (const char* table : {"restoring", "detection", "recognition"}) {
        ASSERT_EQ(j["tables"][table].size(), 2u) << table;
        EXPECT_EQ(j["tables"][table][0].size(), 2u) << table;
    }
    EXPECT_GT(j["simulationStartTime"].get<int64_t>(), 0);
    EXPECT_LE(j["simulationStartTime"].get<int64_t>(), j["simulationEndTime"].get<int64_t>());
}

TEST(CliSimulate, IndependentNoiseIsReproducibleAndDiffers) {
    const std::string grid = std::string(kSmallGrid) + " --csv -";
    const CliRun a = simulate(grid + " --independent-noise 7");
    const CliRun b = simulate(grid + " --independent-noise 7 --threads 1");
    const CliRun c = simulate(grid);
    ASSERT_EQ(a.status, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out, c.out);
}

TEST(CliSimulate, RefusedGridsExitWithOneAndBadInputWithTwo) {
    const struct {
        const char* args;
        int status;
    } cases[] = {
        {"--pulses 2:8 --noise 0:1:5 --repeats 2", 1},  // below the feasible range
        {"--pulses 6:8 --noise 0:1:5 --repeats 0", 1},  // zero repeats
        {"--pulses 6:8 --noise 0:0:5 --repeats 2", 1},  // no noise levels
        {"--series unfixed-tuples --pulses 6:6 --noise 0:1:5 --repeats 2", 1},  // no subset
        {"--pulses 6", 2},
        {"--pulses 8:6", 2},
        {"--noise 0:2", 2},
        {"--noise 0:3:20000", 2},
        {"--repeats 70000", 2},
        {"--task bogus", 2},
        {"--etalons 0,3", 2},
        {"--tmin 0", 2},
        {"--csv /nonexistent/dir/x.csv --pulses 6:6 --noise 0:1:5 --repeats 1", 2},
    };
    for (const auto& c : cases) {
        const CliRun r = simulate(std::string(c.args) + " --quiet");
        EXPECT_EQ(r.status, c.status) << c.args;
    }
}

}  // namespace
