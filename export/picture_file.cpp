#include "picture_file.h"

#include <algorithm>
#include <cctype>

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
}  // namespace

bool isPictureFileName(const std::string& path) {
    return lowerExtension(path) == ".png";
}

std::string writePictureFile(const std::string& path, const platform::Bitmap& picture) {
    if (lowerExtension(path) == ".png")
        return writePngFile(path, picture);
    return "cannot write " + path + ": the name must end in .png";
}

}  // namespace exporter
