// Runs `ardentix-cli ui` with scripts as a user would and checks what it writes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "run_cli.h"

namespace {

namespace fs = std::filesystem;

struct UiRun : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ardentix-ui-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    testsupport::CliResult ui(const std::string& script, const std::string& args = "") {
        const fs::path file = dir / "script.txt";
        std::ofstream(file) << script;
        return testsupport::runCliCommand(ARDENTIX_CLI_PATH,
                                          "ui --script " + file.string() + " " + args);
    }
    nlohmann::json state(const std::string& name = "state.json") {
        std::ifstream in(dir / name);
        return nlohmann::json::parse(in);
    }
};

TEST_F(UiRun, StartUpStateHasEveryKeyAndTheDefaults) {
    const auto r = ui("# nothing but start-up\n", "--state " + (dir / "state.json").string());
    ASSERT_EQ(0, r.status);
    const auto s = state();
    for (const char* key : {"client",
                            "screenMode",
                            "seriesScreenContent",
                            "simGraphKind",
                            "wSelectedTask",
                            "wTaskKind",
                            "wSeriesKind",
                            "dwSeriesLength",
                            "dwSelectedSeriesLength",
                            "wNoiseLevel",
                            "wSelectedNoiseLevel",
                            "wLostDataLevel",
                            "wCreateSavedLevel",
                            "wProcessSavedLevel",
                            "wTmin",
                            "wTmax",
                            "wMinPulses",
                            "wMaxPulses",
                            "wPulsesInSeries",
                            "wPulsesActual",
                            "dwDetectionEtalon",
                            "requiredList",
                            "requiredFlags",
                            "etalonSequence",
                            "selectors",
                            "menuChecked",
                            "layout",
                            "selectedSubset",
                            "reservedSubsets",
                            "currentReservedSubset",
                            "series",
                            "chains",
                            "messages"})
        EXPECT_TRUE(s.contains(key)) << key;
    EXPECT_EQ(1280, s["client"]["width"]);
    EXPECT_EQ(9, s["screenMode"]);
    EXPECT_EQ(36, s["wTaskKind"]);
    EXPECT_EQ(21u, s["requiredFlags"].size());
    EXPECT_EQ((std::vector<int>{40005, 40032}), s["menuChecked"].get<std::vector<int>>());
    EXPECT_EQ(3, s["selectors"]["length"]["selected"]);
    EXPECT_EQ(20u, s["layout"]["pulseCellRects"].size());
    EXPECT_EQ(4u, s["layout"]["nextButtonRect"].size());
}

TEST_F(UiRun, AScriptedSessionProcessesARecognitionSeries) {
    const std::string script =
        "menu 40008   # fixed number of whole pulses\n"
        "menu 40006   # recognition\n"
        "state " +
        (dir / "before.json").string() + "\n";
    ASSERT_EQ(0, ui(script).status);
    const auto before = state("before.json");
    const auto restart = before["layout"]["restartButtonRect"];
    const int rx = (restart[0].get<int>() + restart[2].get<int>()) / 2;
    const int ry = (restart[1].get<int>() + restart[3].get<int>()) / 2;
    const auto next = before["layout"]["nextButtonRect"];
    const int nx = (next[0].get<int>() + next[2].get<int>()) / 2;
    const int ny = (next[1].get<int>() + next[3].get<int>()) / 2;
    const std::string session = script + "click " + std::to_string(rx) + " " + std::to_string(ry) +
                                "\nstate " + (dir / "alphabet.json").string() + "\nsnapshot " +
                                (dir / "alphabet.png").string() + "\nclick " + std::to_string(nx) +
                                " " + std::to_string(ny) + "\n";
    ASSERT_EQ(0, ui(session, "--state " + (dir / "state.json").string() + " --snapshot " +
                                 (dir / "series.png").string())
                     .status);
    EXPECT_EQ(5, state("alphabet.json")["screenMode"]);
    const auto s = state();
    EXPECT_EQ(6, s["screenMode"]);
    EXPECT_EQ(2, s["wTaskKind"]);
    ASSERT_FALSE(s["series"].is_null());
    EXPECT_EQ(s["wPulsesActual"], s["series"]["pulses"]);
    EXPECT_FALSE(s["chains"].empty());
    EXPECT_GT(fs::file_size(dir / "alphabet.png"), 1000u);
    EXPECT_GT(fs::file_size(dir / "series.png"), 1000u);
}

// Snapshots in every picture format, chosen by the extension whatever its case.
TEST_F(UiRun, SnapshotsAreWrittenAsPngBmpOrPcx) {
    const std::string script =
        "snapshot " + (dir / "a.bmp").string() + "\nsnapshot " + (dir / "b.PCX").string() + "\n";
    ASSERT_EQ(0, ui(script, "--snapshot " + (dir / "c.Png").string()).status);
    const auto head = [&](const char* name) {
        std::ifstream in(dir / name, std::ios::binary);
        std::string bytes(4, '\0');
        in.read(bytes.data(), 4);
        return bytes;
    };
    EXPECT_EQ("BM", head("a.bmp").substr(0, 2));
    EXPECT_EQ('\x0A', head("b.PCX")[0]);
    EXPECT_EQ("PNG", head("c.Png").substr(1, 3));
    // 54 header bytes and 4 bytes a pixel of the default 1280 x 960 client area.
    EXPECT_EQ(54u + 1280u * 960u * 4u, fs::file_size(dir / "a.bmp"));
}

TEST_F(UiRun, TraceListsTheOperationsOfAFullPaint) {
    ASSERT_EQ(0,
              ui("menu 40008\nmenu 40006\ntrace " + (dir / "trace.json").string() + "\n").status);
    const auto t = state("trace.json");
    ASSERT_TRUE(t.is_array());
    bool caption = false;
    int blits = 0;
    for (const auto& op : t) {
        caption |= op["op"] == "text" && op["text"] == " series length: ";
        blits += op["op"] == "blit";
    }
    EXPECT_TRUE(caption);
    EXPECT_EQ(3, blits);  // the subset screen: Next, Exit and, for recognition, the select button
}

TEST_F(UiRun, TheSameScriptGivesTheSameState) {
    const std::string script = "menu 40008\nmenu 40007\nmenu 40018\nmenu 40018\n";
    ASSERT_EQ(0, ui(script, "--state " + (dir / "a.json").string()).status);
    ASSERT_EQ(0, ui(script, "--state " + (dir / "b.json").string()).status);
    EXPECT_EQ(state("a.json"), state("b.json"));
}

TEST_F(UiRun, BadScriptsAreRefusedNamingTheLineAndWriteNothing) {
    for (const char* script : {"menu 40008\nfly 1 2\n", "click 10\n", "click 10 x\n", "menu 123\n",
                               "command 300\n", "dialog 105 maybe\n", "dialog 105 ok 1000\n",
                               "snapshot\n", "snapshot out.gif\n", "resize 0 10\n", "key 1 2\n"}) {
        const auto r = ui(script, "--state " + (dir / "never.json").string());
        EXPECT_EQ(1, r.status) << script;
        EXPECT_FALSE(fs::exists(dir / "never.json")) << script;
    }
}

TEST_F(UiRun, BadOptionsExitWithTwo) {
    for (const char* args : {"--size 10", "--size 0x100", "--size axb", "--bogus"})
        EXPECT_EQ(2,
                  testsupport::runCliCommand(ARDENTIX_CLI_PATH, std::string("ui ") + args).status)
            << args;
    EXPECT_EQ(1,
              testsupport::runCliCommand(ARDENTIX_CLI_PATH, "ui --script /nonexistent/x").status);
}

TEST_F(UiRun, ExitEndsTheSessionAndLaterActionsChangeNothing) {
    ASSERT_EQ(0, ui("menu 40004\nmenu 40008\n", "--state " + (dir / "state.json").string()).status);
    EXPECT_EQ(40, state()["wSeriesKind"]);
}

}  // namespace
