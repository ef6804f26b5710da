#pragma once
// Pictures as PNG files (8-bit RGB), written atomically.

#include <string>

#include "platform/geometry.h"

namespace exporter {

// Empty string on success, else what failed (the file at `path` is then unchanged).
std::string writePngFile(const std::string& path, const platform::Bitmap& picture);

}  // namespace exporter
