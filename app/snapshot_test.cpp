#include "snapshot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app_fixture.h"
#include "commands.h"

namespace app {
namespace {

namespace fs = std::filesystem;

TEST(Snapshot, TheExtensionChoosesTheFormatWhateverItsCase) {
    const fs::path dir =
        fs::temp_directory_path() / ("ardentix-snap-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    testsupport::AppFixture f(320, 240);
    ASSERT_TRUE(f.create());
    f.paint();
    struct Case {
        std::string name;
        bool written;
    };
    for (const Case& c : {Case{"a.PCX", true}, Case{"b.Bmp", true}, Case{"c.png", true},
                          Case{"d.gif", false}, Case{"e", true}}) {
        f.host.queueSaveFileName((dir / c.name).string());
        f.command(kCmdSaveImage);
        const fs::path expected = dir / (c.name == "e" ? "e.bmp" : c.name);
        EXPECT_EQ(c.written, fs::exists(expected)) << c.name;
    }
    EXPECT_TRUE(f.host.messages().empty());
    // A name of exactly four characters writes nothing.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);
    f.host.queueSaveFileName(".pcx");
    f.command(kCmdSaveImage);
    EXPECT_FALSE(fs::exists(dir / ".pcx"));
    fs::current_path(cwd);
    // Cancel: nothing written, nothing shown.
    const auto before = std::distance(fs::directory_iterator(dir), fs::directory_iterator());
    f.command(kCmdSaveImage);
    EXPECT_EQ(before, std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    EXPECT_EQ("saveFile Snapshot File Name", f.host.log().back());
    ASSERT_FALSE(f.host.dialogsShown().size());
    // A folder that does not exist: the writer's message and the command's own.
    f.host.queueSaveFileName((dir / "missing" / "x.bmp").string());
    f.command(kCmdSaveImage);
    ASSERT_EQ(2u, f.host.messages().size());
    EXPECT_EQ("CreateFile ERROR!", f.host.messages()[0].text);
    EXPECT_EQ("Bitmap file is not created", f.host.messages()[1].text);
    EXPECT_EQ("About Bitmap", f.host.messages()[1].title);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace app
