// Simulations split into shards and merged, and over MPI ranks, as a user runs them: the merged
// outputs equal one whole run's whatever the split and the file order; partials that are not
// exactly the shards of one run are refused with nothing written.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "partial_result.h"

namespace {

namespace fs = std::filesystem;

struct ShellRun {
    int status = -1;
    std::string output;  // stdout and stderr
};

ShellRun shell(const std::string& command) {
    ShellRun r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return r;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        r.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

ShellRun cli(const std::string& args) {
    return shell(std::string(ARDENTIX_CLI_PATH) + " " + args);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The JSON of a run without what may differ between runs: its time stamps.
nlohmann::json withoutTimes(const fs::path& path) {
    nlohmann::json j = nlohmann::json::parse(readFile(path));
    for (const char* key : {"simulationStartTime", "simulationEndTime", "elapsedSeconds"}) {
        EXPECT_TRUE(j.contains(key)) << key;
        j.erase(key);
    }
    return j;
}

// A fresh folder per test.
class Folder {
  public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "ardentix-shards-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~Folder() { fs::remove_all(path_); }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    // Every file in the folder, so that nothing stray is left behind.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    fs::path path_;
};

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

// Runs shard i of `count` for every i, and returns the partial files.
std::vector<fs::path> runShards(const Folder& folder, const std::string& grid, uint32_t count,
                                const std::string& prefix) {
    std::vector<fs::path> files;
    for (uint32_t i = 0; i < count; ++i) {
        files.push_back(folder / (prefix + std::to_string(i) + ".json"));
        const ShellRun r = cli("simulate " + grid + " --quiet --shard " + std::to_string(i) + "/" +
                               std::to_string(count) + " --partial " + quoted(files.back()));
        EXPECT_EQ(r.status, 0) << grid << " shard " << i << "/" << count << ": " << r.output;
    }
    return files;
}

// Every task kind on small grids (12 cycles: 7 shards hold one or two each).
const char* const kGrids[] = {
    "--task detection --series unfixed-cut",
    "--task detection --series fixed-whole --independent-noise 11",
    "--task recognition --series fixed-whole --etalons 1,3,5",
    "--task recognition --series unfixed-whole --etalons 2,4,6,8,10,12,14,16",
    "--task joint --series fixed-cut --etalons 1,2",
    "--task series-processing --series unfixed-cut --etalons 1,2",
    "--task detection --series fixed-tuples --subset 3,5,7 --subset-mode 1",
    "--task detection --series unfixed-tuples --subset 2,4 --subset-mode 5",
    "--task recognition --series fixed-tuples --tuples \"1,2;3,4,5;6\" --subset-mode 3",
    "--task recognition --series unfixed-tuples --tuples \"1,2;3,4,5\" --independent-noise 5",
};
constexpr const char* kSmallGrid = " --pulses 6:9:3 --noise 0:2:25 --repeats 3";

class ShardsOfEveryKind : public testing::TestWithParam<const char*> {};

TEST_P(ShardsOfEveryKind, MergedInAnyOrderEqualTheWholeRun) {
    const std::string grid = std::string(GetParam()) + kSmallGrid;
    Folder folder;
    const ShellRun whole =
        cli("simulate " + grid + " --quiet --csv " + quoted(folder / "whole.csv") + " --json " +
            quoted(folder / "whole.json"));
    ASSERT_EQ(whole.status, 0) << whole.output;
    const std::string csv = readFile(folder / "whole.csv");
    const nlohmann::json json = withoutTimes(folder / "whole.json");
    ASSERT_EQ(std::count(csv.begin(), csv.end(), '\n'), 5);

    for (uint32_t count : {1u, 2u, 3u, 7u}) {
        SCOPED_TRACE(testing::Message() << count << " shards");
        std::vector<fs::path> files =
            runShards(folder, grid, count, "part" + std::to_string(count) + "-");
        // The files in an order other than the shards'.
        std::rotate(files.begin(), files.begin() + count / 2, files.end());
        std::reverse(files.begin(), files.begin() + count / 2);
        std::string list;
        for (const fs::path& f : files)
            list += " " + quoted(f);
        const fs::path mergedCsv = folder / ("merged" + std::to_string(count) + ".csv");
        const fs::path mergedJson = folder / ("merged" + std::to_string(count) + ".json");
        const ShellRun merged =
            cli("merge" + list + " --csv " + quoted(mergedCsv) + " --json " + quoted(mergedJson));
        ASSERT_EQ(merged.status, 0) << merged.output;
        EXPECT_EQ(readFile(mergedCsv), csv);
        EXPECT_EQ(withoutTimes(mergedJson), json);
    }
}

INSTANTIATE_TEST_SUITE_P(CliShards, ShardsOfEveryKind, testing::ValuesIn(kGrids));

TEST(CliShards, PartialHoldsTheRunAndFullPrecisionSums) {
    Folder folder;
    const std::string grid = std::string("--task recognition --series fixed-whole") + kSmallGrid;
    const std::vector<fs::path> files = runShards(folder, grid, 2, "p");
    const auto first = nlohmann::json::parse(readFile(files[0]));
    const auto last = nlohmann::json::parse(readFile(files[1]));
    EXPECT_EQ(first["format"], "ardentix-simulation-partial");
    EXPECT_EQ(first["run"], last["run"]);
    EXPECT_EQ(first["run"]["taskKind"], 2);
    EXPECT_EQ(first["run"]["etalons"].size(), 20u);  // the default list, resolved
    EXPECT_EQ(first["run"]["repeats"], 3);
    EXPECT_EQ(first["shard"], (nlohmann::json{{"index", 0}, {"count", 2}}));
    EXPECT_EQ(first["cycles"]["begin"], 0);
    EXPECT_EQ(first["cycles"]["end"], last["cycles"]["begin"]);
    EXPECT_EQ(last["cycles"]["end"], 12);
    EXPECT_EQ(last["cycles"]["grid"], 12);
    for (const char* sums : {"restoring", "detection", "mismatches"})
        for (const auto& v : first["cells"][sums])
            EXPECT_TRUE(v.is_number_integer()) << sums;
    // The normalisations come from the shard that ran the last cycle.
    EXPECT_FALSE(first.contains("measures"));
    ASSERT_TRUE(last.contains("measures"));
    EXPECT_TRUE(last["measures"]["restoringNormaliser"].is_string());
}

TEST(CliShards, PartialResultsRoundTripExactly) {
    cli::PartialResult p;
    p.run.taskKind = 40;
    p.run.seriesKind = 36;
    p.run.etalons = {1, 2, 3};
    p.run.tuples = {{1, 2}, {3}};
    p.run.pulseCount = 2;
    p.run.noiseCount = 1;
    p.run.repeats = 3;
    p.run.independentNoise = UINT64_MAX;
    p.shardIndex = 1;
    p.shardCount = 2;
    p.cycles = {2, 6};
    p.gridCycles = 6;
    p.firstCell = 0;
    p.sums = {{INT64_MAX - 1, (int64_t{1} << 62) + 1, 1, 1}, {-5, 0, 3, 3}};
    simulation::GraphMeasures m;
    m.etEnergy = 72000;
    m.Rmin = -1234567;
    m.restoringNormaliser = 0.1 + 0.2;
    m.detectionNormaliser = 1.0 / 3.0;
    p.measures = m;
    p.runMessages = {{"a text", "a title"}};
    p.elapsedSeconds = 1e-300;
    const std::string text = cli::partialJson(p).dump();
    const cli::PartialResult back = cli::partialFromJson(nlohmann::json::parse(text));
    EXPECT_EQ(back.run.toJson(), p.run.toJson());
    EXPECT_EQ(back.sums, p.sums);
    EXPECT_EQ(back.cycles, p.cycles);
    ASSERT_TRUE(back.measures);
    EXPECT_EQ(back.measures->restoringNormaliser, m.restoringNormaliser);
    EXPECT_EQ(back.measures->detectionNormaliser, m.detectionNormaliser);
    EXPECT_EQ(back.measures->Rmin, m.Rmin);
    EXPECT_EQ(back.elapsedSeconds, p.elapsedSeconds);
    ASSERT_EQ(back.runMessages.size(), 1u);
    EXPECT_EQ(back.runMessages[0].title, "a title");

    for (double v : {0.0, -0.0, 1.0 / 3.0, 5e-324, 1.7976931348623157e308, -2.5})
        EXPECT_EQ(std::signbit(cli::exactDoubleFrom(cli::exactDoubleText(v))), std::signbit(v));
    for (double v : {1.0 / 3.0, 5e-324, 1.7976931348623157e308, 123456.789})
        EXPECT_EQ(cli::exactDoubleFrom(cli::exactDoubleText(v)), v);
    for (const char* bad : {"", "0.1", "abc", "0x1p+2 ", "0x1.8p+1x"})
        EXPECT_THROW(cli::exactDoubleFrom(bad), std::runtime_error) << bad;
}

// Copies a partial with one change to its JSON.
fs::path edited(const fs::path& from, const fs::path& to,
                const std::function<void(nlohmann::json&)>& change) {
    nlohmann::json j = nlohmann::json::parse(readFile(from));
    change(j);
    std::ofstream(to) << j.dump(1);
    return to;
}

TEST(CliMerge, RefusesPartialsThatAreNotTheShardsOfOneRun) {
    Folder folder;
    const std::string grid = std::string("--task joint --series fixed-cut") + kSmallGrid;
    const auto two = runShards(folder, grid, 2, "two-");
    const auto three = runShards(folder, grid, 3, "three-");
    const auto other = runShards(folder,
                                 std::string("--task joint --series fixed-cut "
                                             "--pulses 6:9:3 --noise 0:2:25 --repeats 4"),
                                 2, "other-");
    const fs::path truncated = folder / "truncated.json";
    {
        const std::string text = readFile(two[1]);
        std::ofstream(truncated) << text.substr(0, text.size() / 2);
    }
    const fs::path relabelled = edited(two[0], folder / "relabelled.json",
                                       [](nlohmann::json& j) { j["shard"]["index"] = 1; });
    const fs::path fraction = edited(two[1], folder / "fraction.json",
                                     [](nlohmann::json& j) { j["cells"]["restoring"][0] = 1.5; });
    const fs::path shifted = edited(two[1], folder / "shifted.json", [](nlohmann::json& j) {
        j["cycles"]["begin"] = j["cycles"]["begin"].get<int>() - 1;
    });
    ASSERT_EQ(cli("simulate " + grid + " --quiet --json " + quoted(folder / "run.json")).status, 0);
    const std::string a = quoted(two[0]), b = quoted(two[1]);
    const struct {
        std::string files;
        std::vector<std::string> says;  // in the one message
    } cases[] = {
        {a + " " + quoted(other[1]),
         {other[1].string(), two[0].string(), "different runs", "repeats"}},
        {a + " " + quoted(three[1]) + " " + quoted(three[2]),
         {three[1].string(), "split differently"}},
        {quoted(three[0]) + " " + quoted(three[2]), {"shard 1 of 3 is missing"}},
        {a + " " + a + " " + b, {"shard 0 of 2 is given more than once", two[0].string()}},
        {a + " " + quoted(relabelled),
         {"overlap", relabelled.string(), "cycles 0 to", "are in no file"}},
        {a + " " + quoted(truncated), {truncated.string(), "truncated"}},
        {a + " " + quoted(folder / "absent.json"), {"absent.json", "cannot be read"}},
        {a + " " + quoted(folder / "run.json"), {"run.json", "not a usable partial result"}},
        {a + " " + quoted(fraction), {fraction.string(), "not an integer"}},
        {a + " " + quoted(shifted), {shifted.string(), "cells do not match"}},
    };
    const std::vector<std::string> before = folder.files();
    for (const auto& c : cases) {
        const ShellRun r = cli("merge " + c.files + " --csv " + quoted(folder / "out.csv") +
                               " --json " + quoted(folder / "out.json"));
        EXPECT_EQ(r.status, 1) << c.files;
        EXPECT_EQ(r.output.rfind("merge refused, nothing written:", 0), 0u) << r.output;
        for (const std::string& text : c.says)
            EXPECT_NE(r.output.find(text), std::string::npos) << c.files << ": " << r.output;
        EXPECT_EQ(folder.files(), before) << c.files;  // no outputs, no temporary files
    }
}

TEST(CliSimulate, ShardOptionsAreChecked) {
    Folder folder;
    const std::string partial = " --partial " + quoted(folder / "p.json");
    for (const std::string& args : {
             "--shard 2/2" + partial,
             "--shard 1" + partial,
             "--shard -1/2" + partial,
             "--shard a/b" + partial,
             "--shard 0/0" + partial,
             std::string("--shard 0/2"),
             partial,
             "--shard 0/2 --csv x.csv" + partial,
             "--shard 0/2 --mpi" + partial,
             std::string("--shard 0/2 --partial /nonexistent/folder/p.json"),
         }) {
        const ShellRun r = cli("simulate --pulses 6:6 --noise 0:1:5 --repeats 1 --quiet " + args);
        EXPECT_EQ(r.status, 2) << args << ": " << r.output;
    }
    EXPECT_TRUE(folder.files().empty());
    // A refused grid writes no partial.
    EXPECT_EQ(
        cli("simulate --pulses 2:3 --noise 0:1:5 --repeats 1 --quiet --shard 0/2" + partial).status,
        1);
    EXPECT_TRUE(folder.files().empty());
}

#ifdef ARDENTIX_MPIEXEC
TEST(CliMpi, TwoRanksWriteWhatOneProcessWrites) {
    Folder folder;
    for (const char* kind : {"--task joint --series fixed-cut --etalons 1,2",
                             "--task recognition --series unfixed-tuples --tuples \"1,2;3,4,5\""}) {
        const std::string grid = std::string(kind) + kSmallGrid + " --quiet";
        ASSERT_EQ(cli("simulate " + grid + " --csv " + quoted(folder / "one.csv") + " --json " +
                      quoted(folder / "one.json"))
                      .status,
                  0);
        // OpenMPI keeps some of its allocations to the end; they are not this program's leaks.
        const ShellRun r =
            shell(std::string("ASAN_OPTIONS=detect_leaks=0 ") + ARDENTIX_MPIEXEC +
                  " -n 2 --allow-run-as-root --oversubscribe " + ARDENTIX_CLI_PATH + " simulate " +
                  grid + " --mpi --threads 1 --csv " + quoted(folder / "two.csv") + " --json " +
                  quoted(folder / "two.json"));
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(readFile(folder / "two.csv"), readFile(folder / "one.csv")) << kind;
        EXPECT_EQ(withoutTimes(folder / "two.json"), withoutTimes(folder / "one.json")) << kind;
    }
}
#elif !defined(ARDENTIX_CLI_HAS_MPI)
TEST(CliMpi, RefusedWithoutMpi) {
    const ShellRun r = cli("simulate --pulses 6:6 --noise 0:1:5 --repeats 1 --quiet --mpi");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("built without MPI"), std::string::npos) << r.output;
}
#endif

}  // namespace
