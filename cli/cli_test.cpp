// Runs ardentix-cli as a user would and checks its output and exit status.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "run_cli.h"

namespace {

using Result = testsupport::CliResult;

Result runCli(const std::string& args) {
    return testsupport::runCliCommand(ARDENTIX_CLI_PATH, args);
}

TEST(CliGenerate, JsonIsReproducibleAndComplete) {
    const Result a = runCli("generate --json --saved-level 75 --pulses 12 --sequence 3,4,5");
    const Result b = runCli("generate --json --saved-level 75 --pulses 12 --sequence 3,4,5");
    ASSERT_EQ(a.status, 0);
    EXPECT_EQ(a.out, b.out);
    const auto j = nlohmann::json::parse(a.out);
    for (const char* key :
         {"seriesLength", "tmin", "tmax", "etalonLength", "pulses", "minPulses", "maxPulses",
          "noiseLevel", "amplitude", "pure", "noisy", "truth", "messages"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_EQ(j["pulses"], 12);
    EXPECT_EQ(j["pure"].size(), 1200u);
    EXPECT_EQ(j["truth"].size(), 12u);
    EXPECT_EQ(j["truth"][0]["etalon"], 3);
    EXPECT_EQ(j["truth"][3]["etalon"], 1);  // padded with 1
    EXPECT_EQ(j["noiseLevel"], 20);
}

TEST(CliGenerate, DefaultPulseCountIsTheMiddleOfTheRange) {
    const auto j = nlohmann::json::parse(runCli("generate --json").out);
    EXPECT_EQ(j["pulses"], 18);
    EXPECT_EQ(j["minPulses"], 6);
    EXPECT_EQ(j["maxPulses"], 30);
}

TEST(CliGenerate, BadInputExitsWithTwo) {
    for (const char* args : {"generate --pulses 31", "generate --tmin 0", "generate --tmin 200",
                             "generate --length abc", "generate --bogus", "generate --sequence 1,x",
                             "generate --etalon-length 200", "generate --length 40000",
                             "generate --pulses 10 --random-count"})
        EXPECT_EQ(runCli(args).status, 2) << args;
}

TEST(CliAlphabet, JsonListsEveryEtalonWithItsEnergy) {
    const Result r = runCli("alphabet --json --count 12 --length 10");
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j["etalons"].size(), 12u);
    EXPECT_EQ(j["etalons"][0]["number"], 1);
    EXPECT_EQ(j["etalons"][0]["energy"], 36000);
    EXPECT_EQ(j["etalons"][11]["samples"].size(), 10u);
}

}  // namespace

namespace {

TEST(CliProcess, JsonHasTheFindingsAndTheChains) {
    const Result r = runCli("process --json --task joint --series unfixed-cut --noise 10");
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    for (const char* key : {"seriesLength", "pure", "noisy", "truth", "taskKind", "seriesKind",
                            "result", "found", "chains", "messages"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_EQ(j["taskKind"], 4);
    EXPECT_EQ(j["seriesKind"], 8);
    EXPECT_EQ(j["found"]["count"], j["found"]["pulses"].size());
    ASSERT_FALSE(j["chains"].empty());
    EXPECT_EQ(j["chains"][0]["distance"], j["result"]);
    // At low noise the found starts are the true ones, within a few samples.
    ASSERT_EQ(j["found"]["count"], j["pulses"]);
    for (size_t k = 0; k < j["truth"].size(); ++k)
        EXPECT_NEAR(j["found"]["pulses"][k]["start"].get<int>(), j["truth"][k]["start"].get<int>(),
                    4);
}

TEST(CliProcess, EveryTaskAndSeriesKindRuns) {
    const char* tasks[] = {"detection", "recognition", "joint", "series-processing"};
    const char* kinds[] = {"fixed-whole", "fixed-cut",    "unfixed-whole",
                           "unfixed-cut", "fixed-tuples", "unfixed-tuples"};
    for (const char* task : tasks)
        for (const char* kind : kinds) {
            const std::string args = std::string("process --json --length 400 --task ") + task +
                                     " --series " + kind + " --subset 1,3,5";
            const Result r = runCli(args);
            EXPECT_EQ(r.status, 0) << args;
            EXPECT_TRUE(nlohmann::json::accept(r.out)) << args;
        }
}

TEST(CliProcess, BadInputExitsWithTwo) {
    for (const char* args : {"process --task nonsense", "process --series 3", "process --etalons 0",
                             "process --series fixed-tuples",
                             "process --proceeding 3 --series fixed-tuples --subset 1"})
        EXPECT_EQ(runCli(args).status, 2) << args;
}

}  // namespace

namespace {

TEST(CliProcess, PlantedTuplesAreFoundAndRecognised) {
    const Result r = runCli(
        "process --json --series unfixed-tuples --task recognition --tuples \"1,2,3;4,5,6;7,8,9\" "
        "--current-tuple 2 --noise 10");
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["taskKind"], 40);
    EXPECT_EQ(j["found"]["recognizedSubset"], 2);
    EXPECT_EQ(j["result"], 2);
    ASSERT_EQ(j["found"]["count"], j["pulses"]);
    for (size_t k = 0; k < j["truth"].size(); ++k) {
        EXPECT_EQ(j["found"]["pulses"][k]["etalon"], j["truth"][k]["etalon"]);
        EXPECT_EQ(j["found"]["pulses"][k]["start"], j["truth"][k]["start"]);
    }
    EXPECT_EQ(j["found"]["tuples"][0], (nlohmann::json{{"first", 1}, {"last", 3}}));

    const auto d = nlohmann::json::parse(
        runCli("process --json --series fixed-tuples --task detection --subset 3,5,7 --noise 10")
            .out);
    EXPECT_EQ(d["taskKind"], 36);
    ASSERT_EQ(d["found"]["count"], d["pulses"]);
    for (size_t k = 0; k < d["truth"].size(); ++k)
        EXPECT_EQ(d["found"]["pulses"][k]["start"], d["truth"][k]["start"]);
}

}  // namespace
