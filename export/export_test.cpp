#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "atomic_file.h"
#include "bmp_writer.h"
#include "pcx_writer.h"
#include "picture_file.h"
#include "platform/allocation.h"
#include "png_writer.h"

namespace exporter {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
uint32_t le16(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8;
}
uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}

// A picture with a few coloured marks on white.
platform::Bitmap samplePicture(int32_t w, int32_t h) {
    platform::Bitmap b(w, h, 0xFFFFFFu);
    for (int32_t x = 0; x < w; ++x)
        b.at(x, h / 2) = 0x0000FFu;
    b.at(0, 0) = 0x123456u;
    b.at(w - 1, h - 1) = 0xFF0000u;
    b.at(w / 3, 1) = 0xFEFFFFu;  // nearly white is not the background
    return b;
}

struct Files : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ardentix-export-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    size_t entries() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
};

TEST(PcxRows, BytesPerLineIsAMultipleOfFour) {
    for (auto [w, n] : {std::pair{100, 16}, {1, 4}, {32, 4}, {33, 8}, {800, 100}, {2048, 256}})
        EXPECT_EQ(n, pcxBytesPerLine(w)) << w;
}

TEST(PcxRows, PaddingBitsAreOne) {
    platform::Bitmap b(100, 1, 0x000000u);  // nothing is background
    const std::vector<uint8_t> row = packPcxRow(b, 0, 0xFFFFFF, pcxBytesPerLine(100));
    ASSERT_EQ(16u, row.size());
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(0x00, row[i]) << i;
    EXPECT_EQ(0x0F, row[12]);  // pixels 96..99 black, 100..103 padding
    for (int i = 13; i < 16; ++i)
        EXPECT_EQ(0xFF, row[i]) << i;
}

TEST(PcxRows, RunLengthCodes) {
    struct Case {
        std::vector<uint8_t> packed, code;
    };
    const std::vector<Case> cases = {
        {std::vector<uint8_t>(100, 0xFF), {0xFF, 0xFF, 0xE5, 0xFF}},  // runs of 63 and 37
        {{0x01, 0xC5, 0x02}, {0x01, 0xC1, 0xC5, 0x02}},
        {{0x3F}, {0x3F}},
        {{0xC0, 0xC0}, {0xC2, 0xC0}},
        {std::vector<uint8_t>(63, 0x00), {0xFF, 0x00}},
        {std::vector<uint8_t>(64, 0x00), {0xFF, 0x00, 0x00}},
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.code, encodePcxRow(c.packed)) << c.packed.size();
}

TEST_F(Files, PcxReadsBackAsBackgroundWhiteAndEverythingElseBlack) {
    const platform::Bitmap picture = samplePicture(100, 7);
    platform::RecordingWindow w;
    ASSERT_EQ(1, writePcxFile(w, (dir / "p.pcx").string(), picture, 0xFFFFFF));
    const std::vector<uint8_t> f = readFile(dir / "p.pcx");
    ASSERT_GE(f.size(), 128u);
    EXPECT_EQ(0x0A, f[0]);
    EXPECT_EQ(5, f[1]);
    EXPECT_EQ(1, f[2]);
    EXPECT_EQ(1, f[3]);
    EXPECT_EQ(99u, le16(f, 8));
    EXPECT_EQ(6u, le16(f, 10));
    EXPECT_EQ(640u, le16(f, 12));
    EXPECT_EQ(480u, le16(f, 14));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 255, 255, 255, 0}),
              std::vector<uint8_t>(f.begin() + 16, f.begin() + 23));
    EXPECT_EQ(1, f[65]);
    EXPECT_EQ(16u, le16(f, 66));
    EXPECT_EQ(1u, le16(f, 68));
    // Decode the rows and compare with the picture.
    size_t at = 128;
    for (int32_t y = 0; y < picture.height; ++y) {
        std::vector<uint8_t> row;
        while (row.size() < 16) {
            ASSERT_LT(at, f.size());
            uint8_t b = f[at++];
            int count = 1;
            if ((b & 0xC0) == 0xC0) {
                count = b & 0x3F;
                b = f[at++];
            }
            row.insert(row.end(), static_cast<size_t>(count), b);
        }
        ASSERT_EQ(16u, row.size()) << "a run crossed the row";
        for (int32_t x = 0; x < picture.width; ++x) {
            const bool white = row[static_cast<size_t>(x / 8)] & (0x80 >> (x % 8));
            EXPECT_EQ((picture.at(x, y) & 0xFFFFFF) == 0xFFFFFF, white) << x << "," << y;
        }
    }
    EXPECT_EQ(f.size(), at);
}

TEST_F(Files, BmpHeadersAndPixelsReadBack) {
    const platform::Bitmap picture = samplePicture(101, 5);
    platform::RecordingWindow w;
    const auto info = makeBitmapInfo(w, CaptureDescription{101, 5, 1, 32});
    ASSERT_TRUE(info);
    EXPECT_EQ(32, info->biBitCount);
    EXPECT_EQ(0u, info->biClrUsed);
    ASSERT_EQ(1, writeBmpFile(w, (dir / "p.bmp").string(), *info, picture));
    const std::vector<uint8_t> f = readFile(dir / "p.bmp");
    const uint32_t sizeImage = (101 + 7) / 8 * 5 * 32;
    EXPECT_EQ(0x4D42u, le16(f, 0));
    EXPECT_EQ(54u + sizeImage, le32(f, 2));
    EXPECT_EQ(54u, le32(f, 10));
    EXPECT_EQ(40u, le32(f, 14));
    EXPECT_EQ(101u, le32(f, 18));
    EXPECT_EQ(5u, le32(f, 22));
    EXPECT_EQ(1u, le16(f, 26));
    EXPECT_EQ(32u, le16(f, 28));
    EXPECT_EQ(sizeImage, le32(f, 34));
    EXPECT_EQ(0u, le32(f, 46));
    ASSERT_EQ(54u + sizeImage, f.size());
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 101; ++x) {
            const size_t at = 54 + (static_cast<size_t>(4 - y) * 101 + x) * 4;
            const uint32_t p = f[at] | f[at + 1] << 8 | f[at + 2] << 16;
            EXPECT_EQ(picture.at(x, y) & 0xFFFFFF, p) << x << "," << y;
            EXPECT_EQ(0, f[at + 3]);
        }
}

TEST(BmpInfo, BitCountRoundingAndColourTable) {
    struct Case {
        uint16_t planes, bits, rounded;
        uint32_t clrUsed;
    };
    for (const Case& c : {Case{1, 1, 1, 2}, Case{1, 2, 4, 16}, Case{1, 4, 4, 16},
                          Case{1, 5, 8, 256}, Case{1, 8, 8, 256}, Case{1, 15, 16, 0},
                          Case{1, 24, 24, 0}, Case{1, 32, 32, 0}, Case{4, 1, 4, 16}}) {
        platform::RecordingWindow w;
        const auto info = makeBitmapInfo(w, CaptureDescription{10, 3, c.planes, c.bits});
        ASSERT_TRUE(info);
        EXPECT_EQ(c.rounded, roundedBitCount(uint32_t{c.planes} * c.bits));
        EXPECT_EQ(c.clrUsed, info->biClrUsed);
        EXPECT_EQ(c.clrUsed, info->colourTable.size());
        EXPECT_EQ((10u + 7) / 8 * 3 * c.rounded, info->biSizeImage);
    }
    platform::RecordingWindow w;
    EXPECT_FALSE(makeBitmapInfo(w, CaptureDescription{0, 3, 1, 32}));
    EXPECT_EQ("Проблемы при выполнении GetObject", w.messages().at(0).text);
    {
        platform::FailingAllocations fail(0);
        EXPECT_FALSE(makeBitmapInfo(w, CaptureDescription{10, 3, 1, 8}));
    }
    EXPECT_EQ("Нет памяти для BITMAPINFO", w.messages().at(1).text);
}

// Each failing step of a write shows its message, keeps the old file and leaves no temporary.
TEST_F(Files, FailedWritesKeepTheOldFileAndLeaveNothingBehind) {
    const platform::Bitmap picture = samplePicture(40, 4);
    struct Case {
        long successes;
        const char* bmp;
        const char* pcx;
    };
    for (const Case& c :
         {Case{0, "CreateFile ERROR!", "CreateFile ERROR!"},
          Case{1, "ERROR while writing BITMAPFILEHEADER!", "ERROR while writing PCXHEADER!"},
          Case{2, "ERROR while writing BITMAPINFOHEADER!", "ERROR while writing PCX codes!"},
          Case{3, "ERROR while writing bitmap bits!", "ERROR while writing PCX codes!"}}) {
        for (const char* name : {"old.bmp", "old.pcx"}) {
            const fs::path target = dir / name;
            std::ofstream(target) << "previous content";
            platform::RecordingWindow w;
            int result = 0;
            {
                FailingFileOperations fail(c.successes);
                if (target.extension() == ".bmp")
                    result =
                        writeBmpFile(w, target.string(),
                                     *makeBitmapInfo(w, CaptureDescription{40, 4, 1, 32}), picture);
                else
                    result = writePcxFile(w, target.string(), picture, 0xFFFFFF);
            }
            EXPECT_EQ(0, result) << name << c.successes;
            ASSERT_EQ(1u, w.messages().size()) << name << c.successes;
            EXPECT_EQ(target.extension() == ".bmp" ? c.bmp : c.pcx, w.messages()[0].text);
            std::ifstream in(target);
            std::string kept;
            std::getline(in, kept);
            EXPECT_EQ("previous content", kept) << name << c.successes;
            EXPECT_EQ(1u, entries()) << "a temporary file was left behind";
            fs::remove(target);
        }
    }
    // A failure at the final close.
    std::ofstream(dir / "old.bmp") << "previous content";
    platform::RecordingWindow w;
    {
        FailingFileOperations fail(4);
        EXPECT_EQ(0, writeBmpFile(w, (dir / "old.bmp").string(),
                                  *makeBitmapInfo(w, CaptureDescription{40, 4, 1, 32}), picture));
    }
    EXPECT_EQ("CloseHandle ERROR!", w.messages().back().text);
    EXPECT_EQ(1u, entries());
}

TEST_F(Files, PngIsWrittenAndAnUnwritableFolderIsReported) {
    EXPECT_EQ("", writePngFile((dir / "p.png").string(), samplePicture(30, 20)));
    const std::vector<uint8_t> f = readFile(dir / "p.png");
    ASSERT_GT(f.size(), 8u);
    EXPECT_EQ(0x89, f[0]);
    EXPECT_EQ('P', f[1]);
    EXPECT_NE("", writePngFile((dir / "missing" / "p.png").string(), samplePicture(3, 2)));
    EXPECT_NE("", writePngFile((dir / "empty.png").string(), platform::Bitmap()));
}

// The extension chooses the format, whatever its case; the same bytes as the format's own writer.
TEST_F(Files, PictureFilesTakeTheirFormatFromTheExtension) {
    const platform::Bitmap picture = samplePicture(40, 12);
    platform::RecordingWindow window;
    ASSERT_EQ(1, writePcxFile(window, (dir / "own.pcx").string(), picture, 0xFFFFFF));
    const auto info = makeBitmapInfo(window, {40, 12, 1, 32});
    ASSERT_TRUE(info);
    ASSERT_EQ(1, writeBmpFile(window, (dir / "own.bmp").string(), *info, picture));
    ASSERT_EQ("", writePngFile((dir / "own.png").string(), picture));
    const struct {
        const char* name;
        const char* sameAs;
    } cases[] = {{"a.png", "own.png"}, {"b.PNG", "own.png"}, {"c.bmp", "own.bmp"},
                 {"d.Bmp", "own.bmp"}, {"e.pcx", "own.pcx"}, {"f.PCX", "own.pcx"}};
    for (const auto& c : cases) {
        EXPECT_TRUE(isPictureFileName(c.name)) << c.name;
        EXPECT_EQ("", writePictureFile((dir / c.name).string(), picture)) << c.name;
        EXPECT_EQ(readFile(dir / c.sameAs), readFile(dir / c.name)) << c.name;
    }
    const size_t before = entries();
    for (const char* refused : {"g.gif", "h", "dir.png/x", ".bmpx"}) {
        EXPECT_FALSE(isPictureFileName(refused)) << refused;
        EXPECT_NE("", writePictureFile((dir / refused).string(), picture)) << refused;
    }
    // A folder that does not exist: the reason is given, nothing is left behind.
    for (const char* name : {"missing/x.bmp", "missing/x.pcx"})
        EXPECT_NE("", writePictureFile((dir / name).string(), picture)) << name;
    EXPECT_EQ(before, entries());
}

}  // namespace
}  // namespace exporter
