#pragma once
// Writing a picture to a file whose format the extension chooses (.png, .bmp or .pcx; case does
// not matter): PNG and BMP keep every colour, PCX is one bit, white against everything else.

#include <string>

#include "platform/geometry.h"

namespace exporter {

// True when the name ends in an extension a picture can be written as.
bool isPictureFileName(const std::string& path);
// Empty string on success, else what failed; the file is written atomically.
std::string writePictureFile(const std::string& path, const platform::Bitmap& picture);

}  // namespace exporter
