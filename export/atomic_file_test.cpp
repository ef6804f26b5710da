// writeFileAtomically: a new file, a replaced file, and failures that leave the target and the
// folder as they were.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "atomic_file.h"

namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

size_t entriesIn(const fs::path& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(AtomicFile, WritesReplacesAndRefuses) {
    std::string pattern = (fs::temp_directory_path() / "ardentix-atomic-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;
    const fs::path target = dir / "table.csv";

    EXPECT_EQ(exporter::writeFileAtomically(target.string(), "a,b\n1,2\n"), "");
    EXPECT_EQ(contentOf(target), "a,b\n1,2\n");
    const std::string large(1 << 20, 'x');  // more than one write call may take
    EXPECT_EQ(exporter::writeFileAtomically(target.string(), large), "");
    EXPECT_EQ(contentOf(target), large);
    EXPECT_EQ(exporter::writeFileAtomically(target.string(), ""), "");
    EXPECT_EQ(contentOf(target), "");
    EXPECT_EQ(entriesIn(dir), 1u);  // no temporary file left

    EXPECT_EQ(exporter::writeFileAtomically(dir.string(), "x"),
              "cannot write " + dir.string() + ": it is a directory");
    const fs::path missing = dir / "missing" / "t.csv";
    EXPECT_EQ(exporter::writeFileAtomically(missing.string(), "x"),
              "cannot write " + missing.string() + ": No such file or directory");
    EXPECT_EQ(exporter::writeFileAtomically("", "x"), "cannot write an unnamed file");
    EXPECT_EQ(entriesIn(dir), 1u);
    fs::remove_all(dir);
}

}  // namespace
