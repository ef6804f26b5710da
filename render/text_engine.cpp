#include "text_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace render {

namespace {

constexpr int32_t kStockCellHeight = 13;
constexpr int32_t kMinPixelSize = 1;
constexpr int32_t kMaxPixelSize = 400;

// a * b / c rounded to the nearest integer, halves away from zero; c > 0.
int32_t scaleRound(int64_t a, int64_t b, int64_t c) {
    const int64_t p = a * b;
    return static_cast<int32_t>(p >= 0 ? (2 * p + c) / (2 * c) : -((-2 * p + c) / (2 * c)));
}

bool readFile(const std::string& path, std::vector<FT_Byte>& out) {
    if (path.empty())
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}

}  // namespace

char32_t symbolCodePoint(uint8_t byte) {
    // The classic Symbol font's letters, 'A'..'Z' and 'a'..'z'.
    static constexpr char32_t kUpper[26] = {
        0x391, 0x392, 0x3A7, 0x394, 0x395, 0x3A6, 0x393, 0x397, 0x399, 0x3D1, 0x39A, 0x39B, 0x39C,
        0x39D, 0x39F, 0x3A0, 0x398, 0x3A1, 0x3A3, 0x3A4, 0x3A5, 0x3C2, 0x3A9, 0x39E, 0x3A8, 0x396};
    static constexpr char32_t kLower[26] = {
        0x3B1, 0x3B2, 0x3C7, 0x3B4, 0x3B5, 0x3C6, 0x3B3, 0x3B7, 0x3B9, 0x3D5, 0x3BA, 0x3BB, 0x3BC,
        0x3BD, 0x3BF, 0x3C0, 0x3B8, 0x3C1, 0x3C3, 0x3C4, 0x3C5, 0x3D6, 0x3C9, 0x3BE, 0x3C8, 0x3B6};
    if (byte >= 'A' && byte <= 'Z')
        return kUpper[byte - 'A'];
    if (byte >= 'a' && byte <= 'z')
        return kLower[byte - 'a'];
    return byte;
}

struct TextEngine::Library {
    FT_Library ft = nullptr;
    ~Library() {
        if (ft)
            FT_Done_FreeType(ft);
    }
};

// A font file in memory, with the table values that sizes and metrics are computed from.
struct TextEngine::FaceFile {
    std::vector<FT_Byte> data;
    int64_t unitsPerEm = 2048;
    int64_t ascent = 0, descent = 0;  // font units, both >= 0
    int64_t lineGap = 0;              // external leading in font units
    int64_t avgCharWidth = 0;         // OS/2 xAvgCharWidth; 0 when absent
    std::map<int32_t, int32_t> pixelSizeForHeight;

    int32_t cellHeight(int32_t ppem) const {
        return scaleRound(ascent, ppem, unitsPerEm) + scaleRound(descent, ppem, unitsPerEm);
    }

    int32_t pixelSizeFor(int32_t height) {
        if (height < 0)
            return static_cast<int32_t>(
                std::clamp<int64_t>(-int64_t{height}, kMinPixelSize, kMaxPixelSize));
        if (height == 0)
            height = kStockCellHeight;
        auto [it, added] = pixelSizeForHeight.try_emplace(height, kMinPixelSize);
        if (added)
            for (int32_t p = kMinPixelSize; p <= kMaxPixelSize && cellHeight(p) <= height; ++p)
                it->second = p;
        return it->second;
    }
};

// One face at one pixel size: its FreeType face, metrics, advances and rendered glyphs.
struct TextEngine::Instance {
    FT_Face face = nullptr;
    bool symbol = false;
    TextMetrics metrics;
    std::array<int32_t, 256> advances{};
    std::array<FT_UInt, 256> glyphIndex{};
    std::array<std::unique_ptr<Glyph>, 256> glyphs;
    ~Instance() {
        if (face)
            FT_Done_Face(face);
    }
};

TextEngine& TextEngine::shared() {
    static TextEngine engine(findFontFiles());
    return engine;
}

TextEngine::TextEngine(const FontFiles& files) : library_(std::make_unique<Library>()) {
    auto load = [&](const std::string& path, std::string& why) -> std::unique_ptr<FaceFile> {
        auto file = std::make_unique<FaceFile>();
        if (!readFile(path, file->data) || file->data.empty()) {
            why = path.empty() ? "no DejaVuSans.ttf found" : "cannot read " + path;
            return nullptr;
        }
        FT_Face face = nullptr;
        if (FT_New_Memory_Face(library_->ft, file->data.data(),
                               static_cast<FT_Long>(file->data.size()), 0, &face) != 0) {
            why = path + " is not a font FreeType can open";
            return nullptr;
        }
        if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
            FT_Done_Face(face);
            why = path + " is not a scalable font";
            return nullptr;
        }
        file->unitsPerEm = face->units_per_EM;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
        const int64_t hheaAscent = hhea ? hhea->Ascender : face->ascender;
        const int64_t hheaDescent = -(hhea ? int64_t{hhea->Descender} : int64_t{face->descender});
        if (os2 && os2->version != 0xFFFFu && os2->usWinAscent + os2->usWinDescent > 0) {
            file->ascent = os2->usWinAscent;
            file->descent = os2->usWinDescent;
            file->avgCharWidth = std::max<int64_t>(0, os2->xAvgCharWidth);
        } else {
            file->ascent = std::max<int64_t>(0, hheaAscent);
            file->descent = std::max<int64_t>(0, hheaDescent);
        }
        // The line gap that the Windows ascent and descent leave over, as GDI reports it.
        const int64_t gap = hhea ? hhea->Line_Gap : 0;
        file->lineGap = std::max<int64_t>(
            0, gap - ((file->ascent + file->descent) - (hheaAscent + hheaDescent)));
        FT_Done_Face(face);
        return file;
    };

    if (FT_Init_FreeType(&library_->ft) != 0) {
        library_->ft = nullptr;
        error_ = "FreeType could not be initialised";
    } else {
        regular_ = load(files.regular, error_);
        if (regular_) {
            std::string ignored;
            bold_ = load(files.bold, ignored);
            available_ = true;
        }
    }
    if (!available_) {
        error_ = "cannot load the text font DejaVu Sans (" + error_ + "); text is not drawn";
        std::fprintf(stderr, "ardentix: %s\n", error_.c_str());
    }
}

TextEngine::~TextEngine() {
    instances_.clear();  // the faces go before the library
}

TextEngine::Instance* TextEngine::instance(const Font& font) {
    if (!available_)
        return nullptr;
    const bool bold = font.weight >= 600 && bold_;
    FaceFile& file = bold ? *bold_ : *regular_;
    const bool symbol = font.face == FontFace::Symbol;
    const int32_t ppem = file.pixelSizeFor(font.height);
    auto& slot = instances_[{bold, symbol, ppem}];
    if (slot)
        return slot.get();

    auto inst = std::make_unique<Instance>();
    inst->symbol = symbol;
    if (FT_New_Memory_Face(library_->ft, file.data.data(), static_cast<FT_Long>(file.data.size()),
                           0, &inst->face) != 0 ||
        FT_Set_Pixel_Sizes(inst->face, 0, static_cast<FT_UInt>(ppem)) != 0) {
        instances_.erase({bold, symbol, ppem});
        return nullptr;
    }
    TextMetrics& m = inst->metrics;
    m.ascent = scaleRound(file.ascent, ppem, file.unitsPerEm);
    m.descent = scaleRound(file.descent, ppem, file.unitsPerEm);
    m.height = m.ascent + m.descent;
    m.internalLeading = std::max(0, m.height - ppem);
    m.externalLeading = scaleRound(file.lineGap, ppem, file.unitsPerEm);
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = symbol ? symbolCodePoint(static_cast<uint8_t>(b)) : char32_t(b);
        inst->glyphIndex[b] = FT_Get_Char_Index(inst->face, cp);
        if (FT_Load_Glyph(inst->face, inst->glyphIndex[b], FT_LOAD_DEFAULT) == 0)
            inst->advances[b] = static_cast<int32_t>((inst->face->glyph->advance.x + 32) >> 6);
        if (b >= 0x20 && inst->glyphIndex[b] != 0)
            m.maxCharWidth = std::max(m.maxCharWidth, inst->advances[b]);
    }
    m.aveCharWidth = file.avgCharWidth > 0
                         ? std::max(1, scaleRound(file.avgCharWidth, ppem, file.unitsPerEm))
                         : inst->advances['x'];
    slot = std::move(inst);
    return slot.get();
}

const Glyph& TextEngine::glyph(Instance& inst, uint8_t byte) {
    auto& slot = inst.glyphs[byte];
    if (slot)
        return *slot;
    auto g = std::make_unique<Glyph>();
    g->advance = inst.advances[byte];
    if (FT_Load_Glyph(inst.face, inst.glyphIndex[byte], FT_LOAD_RENDER) == 0) {
        const FT_GlyphSlot gs = inst.face->glyph;
        const FT_Bitmap& bm = gs->bitmap;
        const bool gray = bm.pixel_mode == FT_PIXEL_MODE_GRAY;
        const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
        if ((gray || mono) && bm.width > 0 && bm.rows > 0) {
            g->left = gs->bitmap_left;
            g->top = gs->bitmap_top;
            g->width = static_cast<int32_t>(bm.width);
            g->rows = static_cast<int32_t>(bm.rows);
            g->coverage.resize(static_cast<size_t>(g->width) * static_cast<size_t>(g->rows));
            const int maxGray = gray && bm.num_grays > 1 ? bm.num_grays - 1 : 255;
            for (int32_t y = 0; y < g->rows; ++y) {
                const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
                for (int32_t x = 0; x < g->width; ++x) {
                    const int v =
                        gray ? row[x] * 255 / maxGray : (row[x >> 3] >> (7 - (x & 7)) & 1) * 255;
                    g->coverage[static_cast<size_t>(y) * g->width + x] = static_cast<uint8_t>(v);
                }
            }
        }
    }
    slot = std::move(g);
    return *slot;
}

TextMetrics TextEngine::fallbackMetrics(const Font& font) const {
    int64_t h = font.height > 0 ? font.height : kStockCellHeight;
    if (font.height < 0)
        h = -int64_t{font.height} * 2384 / 2048;
    h = std::clamp<int64_t>(h, 1, 466);
    TextMetrics m;
    m.height = static_cast<int32_t>(h);
    m.descent = static_cast<int32_t>((h + 2) / 5);
    m.ascent = m.height - m.descent;
    m.internalLeading = static_cast<int32_t>(h - (h * 11 + 6) / 13);
    m.aveCharWidth = std::max<int32_t>(1, static_cast<int32_t>((h * 6 + 6) / 13));
    m.maxCharWidth = 2 * m.aveCharWidth;
    return m;
}

TextMetrics TextEngine::metrics(const Font& font) {
    std::lock_guard lock(mutex_);
    const Instance* inst = instance(font);
    return inst ? inst->metrics : fallbackMetrics(font);
}

Size TextEngine::extent(const Font& font, std::string_view text) {
    std::lock_guard lock(mutex_);
    const Instance* inst = instance(font);
    if (!inst) {
        const TextMetrics m = fallbackMetrics(font);
        return Size{static_cast<int32_t>(text.size()) * m.aveCharWidth, m.height};
    }
    int32_t width = 0;
    for (char c : text)
        width += inst->advances[static_cast<uint8_t>(c)];
    return Size{width, inst->metrics.height};
}

TextRun TextEngine::layout(const Font& font, std::string_view text) {
    std::lock_guard lock(mutex_);
    TextRun run;
    Instance* inst = instance(font);
    if (!inst) {
        run.metrics = fallbackMetrics(font);
        run.width = static_cast<int32_t>(text.size()) * run.metrics.aveCharWidth;
        return run;
    }
    run.metrics = inst->metrics;
    run.items.reserve(text.size());
    for (char c : text) {
        const Glyph& g = glyph(*inst, static_cast<uint8_t>(c));
        run.items.push_back({&g, run.width});
        run.width += g.advance;
    }
    return run;
}

int32_t TextEngine::pixelSize(const Font& font) {
    std::lock_guard lock(mutex_);
    if (!available_)
        return 0;
    FaceFile& file = font.weight >= 600 && bold_ ? *bold_ : *regular_;
    return file.pixelSizeFor(font.height);
}

namespace {

bool isFile(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

// The file that fc-match names for `pattern`, when it is the DejaVu file `fileName`.
std::string fcMatch(const char* pattern, const std::string& fileName) {
    if (!isFile("/usr/bin/fc-match") && !isFile("/usr/local/bin/fc-match"))
        return {};
    const std::string command = std::string("fc-match -f '%{file}' '") + pattern + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {};
    std::string out;
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    pclose(pipe);
    const std::filesystem::path path(out);
    return path.filename() == fileName && isFile(path) ? out : std::string{};
}

}  // namespace

FontFiles findFontFiles() {
    std::vector<std::filesystem::path> folders;
    if (const char* dir = std::getenv("ARDENTIX_FONT_DIR"); dir && *dir)
        folders.emplace_back(dir);
    for (const char* dir :
         {"/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/TTF", "/usr/share/fonts/dejavu",
          "/usr/share/fonts/dejavu-sans-fonts", "/usr/share/fonts/truetype/ttf-dejavu",
          "/usr/share/fonts/truetype", "/usr/local/share/fonts", "/usr/share/fonts"})
        folders.emplace_back(dir);
    if (const char* home = std::getenv("HOME"); home && *home) {
        folders.emplace_back(std::filesystem::path(home) / ".local/share/fonts");
        folders.emplace_back(std::filesystem::path(home) / ".fonts");
    }
    auto find = [&](const std::string& name, const char* pattern) -> std::string {
        for (const auto& dir : folders)
            if (isFile(dir / name))
                return (dir / name).string();
        return fcMatch(pattern, name);
    };
    FontFiles files;
    files.regular = find("DejaVuSans.ttf", "DejaVu Sans:style=Book");
    files.bold = find("DejaVuSans-Bold.ttf", "DejaVu Sans:style=Bold");
    return files;
}

}  // namespace render
