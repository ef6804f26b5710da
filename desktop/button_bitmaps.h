#pragma once
// The five button bitmaps (144 x 32, black caption on a light grey face with a dark border).
// The program loads them by resource name at start-up through a loader; the loader here
// draws them, until the program's bitmap resources take its place.

#include <functional>
#include <optional>
#include <string_view>

#include "platform/geometry.h"

namespace desktop {

using BitmapLoader = std::function<std::optional<platform::Bitmap>(std::string_view)>;

// The loader the program starts with.
BitmapLoader buttonBitmapLoader();

// The bitmap of resource `name` drawn with its caption; nothing for an unknown name.
std::optional<platform::Bitmap> drawButtonBitmap(std::string_view name);

}  // namespace desktop
