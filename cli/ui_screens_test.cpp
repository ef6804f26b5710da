// Scripted `ardentix-cli ui` sessions on the interactive screens: each step reads the rectangles
// the program laid out from the state of the script so far, and aims its clicks there.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "run_cli.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct UiScreens : ::testing::Test {
    fs::path dir;
    std::string script;  // the session so far

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ardentix-ui-screens-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the session so far and returns its state at the end.
    json run(const std::string& extraArgs = "") {
        const fs::path file = dir / "script.txt";
        std::ofstream(file) << script;
        const fs::path out = dir / "state.json";
        const auto r = testsupport::runCliCommand(
            ARDENTIX_CLI_PATH,
            "ui --script " + file.string() + " --state " + out.string() + " " + extraArgs);
        EXPECT_EQ(0, r.status) << script;
        std::ifstream in(out);
        return json::parse(in);
    }
    void add(const std::string& line) { script += line + "\n"; }
    void click(const json& rect) {
        const int x = (rect[0].get<int>() + rect[2].get<int>()) / 2;
        const int y = (rect[1].get<int>() + rect[3].get<int>()) / 2;
        add("click " + std::to_string(x) + " " + std::to_string(y));
    }
};

TEST_F(UiScreens, ComposeATupleAndProcessIt) {
    json s = run();
    ASSERT_EQ(9, s["screenMode"]);
    const json screen = s["subsetScreen"];
    EXPECT_EQ(10, screen["subsetCapacity"]);
    EXPECT_EQ(4, screen["subsetButtonCount"]);
    ASSERT_EQ(4u, screen["ButtonsWhileSelectedSubsetRect"].size());
    EXPECT_TRUE(s["paramsHeader"].is_null());
    for (int k : {4, 0, 4})
        click(screen["candidateCellRects"][k]);
    add("snapshot " + (dir / "subset.png").string());
    s = run();
    EXPECT_EQ((std::vector<int>{5, 1, 5}), s["selectedSubset"].get<std::vector<int>>());
    EXPECT_EQ((std::vector<int>{0, 0, 0}),
              s["subsetScreen"]["selectedSubsetMarks"].get<std::vector<int>>());
    EXPECT_GT(fs::file_size(dir / "subset.png"), 1000u);

    click(screen["ButtonsWhileSelectedSubsetRect"][3]);  // " OK "
    s = run();
    EXPECT_EQ(6, s["screenMode"]);
    ASSERT_FALSE(s["series"].is_null());
    ASSERT_FALSE(s["chains"].is_null());
    EXPECT_FALSE(s["chains"].empty());
}

TEST_F(UiScreens, ThreeReservedSubsetsRecognisedAndSwitchedOnTheSeriesScreen) {
    add("menu 40006");  // recognition: tuple recognition on the tuple series
    add("menu 40016");
    json s = run();
    ASSERT_EQ(40, s["wTaskKind"]);
    const json screen = s["subsetScreen"];
    ASSERT_EQ(6, screen["subsetButtonCount"]);
    const json& buttons = screen["ButtonsWhileSelectedSubsetRect"];
    for (int first : {0, 3, 6}) {
        for (int k = first; k < first + 3; ++k)
            click(screen["candidateCellRects"][k]);
        click(buttons[4]);  // " Accept "
    }
    s = run();
    ASSERT_EQ(3u, s["reservedSubsets"].size());
    EXPECT_EQ((std::vector<int>{7, 8, 9}), s["reservedSubsets"][2].get<std::vector<int>>());
    EXPECT_EQ(3, s["currentReservedSubset"]);
    EXPECT_EQ((std::vector<int>{1, 1, 1}),
              s["subsetScreen"]["selectedSubsetMarks"].get<std::vector<int>>());

    click(buttons[3]);  // " OK "
    s = run();
    ASSERT_EQ(6, s["screenMode"]);
    const json row = s["subsetScreen"]["reservedSubsetRects"][0];
    ASSERT_LT(row[0].get<int>(), row[2].get<int>());
    click(row);
    add("snapshot " + (dir / "series.png").string());
    s = run();
    EXPECT_EQ(6, s["screenMode"]);
    EXPECT_EQ(1, s["currentReservedSubset"]);
    EXPECT_FALSE(s["chains"].empty());
    EXPECT_GT(fs::file_size(dir / "series.png"), 1000u);
}

}  // namespace
