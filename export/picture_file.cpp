#include "picture_file.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "bmp_writer.h"
#include "pcx_writer.h"
#include "platform/window.h"
#include "png_writer.h"

namespace exporter {

namespace {

std::string lowerExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// The first message the writer showed, as the reason of the failure.
std::string firstMessage(const platform::RecordingWindow& window, const std::string& path) {
    const auto messages = window.messages();
    return "cannot write " + path + (messages.empty() ? std::string() : ": " + messages[0].text);
}

}  // namespace

bool isPictureFileName(const std::string& path) {
    const std::string ext = lowerExtension(path);
    return ext == ".png" || ext == ".bmp" || ext == ".pcx";
}

std::string writePictureFile(const std::string& path, const platform::Bitmap& picture) {
    const std::string ext = lowerExtension(path);
    if (ext == ".png")
        return writePngFile(path, picture);
    platform::RecordingWindow window;
    if (ext == ".bmp") {
        const std::optional<BitmapInfo> info =
            makeBitmapInfo(window, {picture.width, picture.height, 1, 32});
        return info && writeBmpFile(window, path, *info, picture) ? std::string()
                                                                  : firstMessage(window, path);
    }
    if (ext == ".pcx")
        return writePcxFile(window, path, picture, 0xFFFFFF) ? std::string()
                                                             : firstMessage(window, path);
    return "cannot write " + path + ": the name must end in .png, .bmp or .pcx";
}

}  // namespace exporter
