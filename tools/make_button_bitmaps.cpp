// Renders the five picture buttons with the program's own drawing surface and font engine and
// writes them as 16-colour BMP files into the resources folder (the first argument, by default
// the source tree's resources/), each file atomically. Run by hand when a caption or the look
// changes; the files are committed and built into the program.
//
// Look: a black frame, a two-pixel white highlight top and left, a two-pixel dark grey shadow
// bottom and right, a light grey face and the black caption centred in DejaVu Sans Bold.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/bmp.h"
#include "render/image_surface.h"
#include "render/screen_layout.h"
#include "render/text_engine.h"

namespace {

struct Button {
    const char* resource;
    const char* caption;
};

constexpr Button kButtons[] = {
    {"ButtonExit", "Exit"},          {"IDB_BITMAP1", "Next"},    {"IDB_BITMAP5", "Select All"},
    {"IDB_BITMAP4", "Unselect All"}, {"ButtonStart", "Restart"},
};

// The classic 16 VGA colours, 0x00RRGGBB.
constexpr uint32_t kVgaPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

constexpr render::Colour kFace = platform::rgb(0xC0, 0xC0, 0xC0);
constexpr render::Colour kHighlight = platform::rgb(0xFF, 0xFF, 0xFF);
constexpr render::Colour kShadow = platform::rgb(0x80, 0x80, 0x80);
constexpr render::Colour kFrame = platform::rgb(0, 0, 0);
constexpr render::Font kCaptionFont{render::FontFace::Text, 16, 700};

platform::Bitmap renderButton(const char* caption) {
    const int32_t w = render::kButtonWidth, h = render::kButtonHeight;
    platform::Bitmap picture(w, h);
    render::ImageSurface s(picture);
    s.fillRect(platform::Rect{0, 0, w, h}, kFace);
    for (int32_t i = 1; i <= 2; ++i) {
        s.fillRect(platform::Rect{1, i, w - i, i + 1}, kHighlight);       // top
        s.fillRect(platform::Rect{i, 1, i + 1, h - i}, kHighlight);       // left
        s.fillRect(platform::Rect{i, h - 1 - i, w - 1, h - i}, kShadow);  // bottom
        s.fillRect(platform::Rect{w - 1 - i, i, w - i, h - 1}, kShadow);  // right
    }
    s.selectPen(render::solidPen(kFrame));
    s.selectBrush(render::Brush{true, 0});
    s.rectangle(0, 0, w, h);

    s.selectFont(kCaptionFont);
    s.setBkMode(render::BkMode::Transparent);
    s.setTextColour(kFrame);
    const render::Size extent = s.textExtent(caption);
    s.textOut((w - extent.cx) / 2, (h - extent.cy) / 2, caption);
    return picture;
}

bool writeAtomically(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path temp = path.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec)
        std::filesystem::remove(temp, ec);
    return !ec;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [resources folder]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder =
        argc == 2 ? std::filesystem::path(argv[1])
                  : std::filesystem::path(ARDENTIX_SOURCE_DIR) / "resources";
    if (!render::TextEngine::shared().available()) {
        std::fprintf(stderr, "make_button_bitmaps: %s\n",
                     render::TextEngine::shared().error().c_str());
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const Button& b : kButtons) {
        const std::vector<uint8_t> bytes =
            platform::encodeBmp4(renderButton(b.caption), kVgaPalette);
        const std::filesystem::path path = folder / (std::string(b.resource) + ".bmp");
        if (bytes.empty() || !writeAtomically(path, bytes)) {
            std::fprintf(stderr, "make_button_bitmaps: cannot write %s\n", path.string().c_str());
            return 1;
        }
        std::printf("%s (%s)\n", path.string().c_str(), b.caption);
    }
    return 0;
}
