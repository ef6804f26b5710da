// Runs at the limits of the parameters: alphabets with an etalon energy that 32 bits cannot hold
// are refused before anything runs, as is a current tuple outside the stored tuples; equal
// distances between pulses lose no pulse.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "common.h"
#include "run_cli.h"

namespace {

testsupport::CliResult runCli(const std::string& args) {
    return testsupport::runCliCommand(ARDENTIX_CLI_PATH, args);
}

// With etalons of 50 samples, amplitude 12555 is the largest whose etalons all fit 32 bits.
TEST(EnergyLimit, RefusedBeforeAnythingRunsWithStatusTwo) {
    for (const char* args :
         {"generate --amplitude 12556 --etalon-length 50",
          "generate --amplitude 32767 --etalon-length 50 --json",
          "process --amplitude 32767 --etalon-length 50 --json",
          "process --task recognition --series fixed-cut --length 5000 --tmin 100 --tmax 400 "
          "--etalon-length 200 --amplitude 7000",
          "alphabet --amplitude 12556 --length 50 --json"}) {
        const testsupport::CliResult r = runCli(args);
        EXPECT_EQ(2, r.status) << args;
        EXPECT_TRUE(r.out.empty()) << args;
    }
    for (const char* args : {"generate --amplitude 12555 --etalon-length 50",
                             "process --task recognition --series fixed-cut --length 5000 --tmin "
                             "100 --tmax 400 --etalon-length 200 --amplitude 1000"})
        EXPECT_EQ(0, runCli(args).status) << args;
    const auto j =
        nlohmann::json::parse(runCli("alphabet --amplitude 12555 --length 50 --json").out);
    int64_t greatest = 0;
    for (const auto& e : j["etalons"])
        greatest = std::max(greatest, e["energy"].get<int64_t>());
    EXPECT_EQ(2147480037, greatest);
}

TEST(EnergyLimit, MessageNamesTheEtalonAndItsEnergy) {
    cli::SeriesOptions o;
    o.etalonLength = 50;
    o.amplitude = 12556;
    try {
        cli::validateAlphabetEnergies(o);
        ADD_FAILURE() << "not refused";
    } catch (const cli::UsageError& e) {
        EXPECT_EQ(
            std::string("--amplitude 12556 with --etalon-length 50 gives etalon 14 the energy "
                        "2148080728, more than 32-bit energies hold (2147483647)"),
            e.what());
    }
    o.amplitude = 12555;
    EXPECT_NO_THROW(cli::validateAlphabetEnergies(o));
    o.count =
        10;  // without the noise-like etalons the largest energies are those of etalons 3 and 4
    o.amplitude = 13000;
    EXPECT_NO_THROW(cli::validateAlphabetEnergies(o));
}

// The current tuple picks the subset of every task kind when none is given.
TEST(CurrentTuple, OutsideTheStoredTuplesIsRefused) {
    for (const char* task : {"detection", "recognition", "joint", "series-processing"})
        for (const char* tuple : {"0", "3"}) {
            const std::string args = std::string("process --task ") + task +
                                     " --series fixed-whole --tuples \"4;1\" --current-tuple " +
                                     tuple;
            EXPECT_EQ(2, runCli(args).status) << args;
        }
    EXPECT_EQ(0, runCli("process --series fixed-whole --tuples \"4;1\" --current-tuple 2").status);
}

// Tmin = Tmax = 77: the later starts are 27 separate intervals for at most 15 pulses.
TEST(NarrowDistances, EveryPulseIsFoundWithoutNoise) {
    const testsupport::CliResult r = runCli(
        "process --json --task detection --series unfixed-whole --length 1111 --tmin 77 "
        "--tmax 77 --noise 0");
    ASSERT_EQ(0, r.status);
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(15, j["pulses"]);
    ASSERT_EQ(15, j["found"]["count"]);
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(j["truth"][k]["start"], j["found"]["pulses"][k]["start"]) << k;
}

}  // namespace
