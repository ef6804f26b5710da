// simulate --plot and merge --plot: the error curves saved as a picture.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "run_cli.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kGrid =
    "--task recognition --series fixed-whole --etalons 1,3 --pulses 6:10:4 --noise 0:2:30 "
    "--repeats 2 --quiet";

class CliPlot : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("ardentix-plot-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static testsupport::CliResult cli(const std::string& args) {
        return testsupport::runCliCommand(ARDENTIX_CLI_PATH, args);
    }
    static std::string bytes(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Width and height from the PNG's header chunk.
    static std::pair<uint32_t, uint32_t> pngSize(const std::string& data) {
        auto word = [&](size_t at) {
            return uint32_t(uint8_t(data[at])) << 24 | uint32_t(uint8_t(data[at + 1])) << 16 |
                   uint32_t(uint8_t(data[at + 2])) << 8 | uint32_t(uint8_t(data[at + 3]));
        };
        return {word(16), word(20)};
    }
    size_t filesInDir() const {
        return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    }
    fs::path dir_;
};

TEST_F(CliPlot, SavesThePictureOfTheChosenGraphInTheChosenSize) {
    const std::string detection = path("detection.png"), recognition = path("recognition.png");
    ASSERT_EQ(cli("simulate " + std::string(kGrid) + " --plot " + detection).status, 0);
    ASSERT_EQ(cli("simulate " + std::string(kGrid) + " --plot " + recognition +
                  " --graph recognition --view summary --bounds --upper-bound 0.5 --plot-size "
                  "800x600")
                  .status,
              0);
    const std::string a = bytes(detection), b = bytes(recognition);
    ASSERT_GT(a.size(), 24u);
    EXPECT_EQ(a.substr(1, 3), "PNG");
    EXPECT_EQ(pngSize(a), (std::pair<uint32_t, uint32_t>{1280, 960}));
    EXPECT_EQ(pngSize(b), (std::pair<uint32_t, uint32_t>{800, 600}));
    EXPECT_EQ(filesInDir(), 2u);  // no temporary file left
}

TEST_F(CliPlot, MergeSavesThePictureOfTheMergedShards) {
    const std::string grid(kGrid);
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(cli("simulate " + grid + " --shard " + std::to_string(i) + "/2 --partial " +
                      path("part" + std::to_string(i) + ".json"))
                      .status,
                  0);
    const auto r = cli("merge " + path("part1.json") + " " + path("part0.json") + " --plot " +
                       path("merged.png") + " --plot-size 640x480");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(pngSize(bytes(path("merged.png"))), (std::pair<uint32_t, uint32_t>{640, 480}));
}

TEST_F(CliPlot, RefusesBadPictureOptionsBeforeTheRunAndWritesNothing) {
    const struct {
        std::string args;
    } cases[] = {
        {"--plot " + path("x.jpg")},
        {"--plot " + path("none/x.png")},
        {"--plot " + path("x.png") + " --plot-size 100x100"},
        {"--plot " + path("x.png") + " --plot-size wide"},
        {"--plot " + path("x.png") + " --graph noise"},
        {"--plot " + path("x.png") + " --view sideways"},
        {"--plot " + path("x.png") + " --bounds"},  // bounds belong to recognition curves
        {"--plot " + path("x.png") + " --upper-bound 0"},
    };
    for (const auto& c : cases) {
        const auto r =
            cli("simulate " + std::string(kGrid) + " --csv " + path("x.csv") + " " + c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(filesInDir(), 0u) << c.args;
    }
}

}  // namespace
