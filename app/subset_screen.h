#pragma once
// The subset-selection screen: the tuple-detection variant (one selected subset) and the
// tuple-recognition variant (the selected subset and the reserved subsets). Both lay the screen
// out first and draw nothing when the subset state is not prepared.

#include "app_settings.h"
#include "render/surface.h"

namespace app {

void drawSubsetScreen(AppSettings& app, render::Surface& surface);
void drawReservedSubsetScreen(AppSettings& app, render::Surface& surface);

}  // namespace app
