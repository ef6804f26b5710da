#pragma once
// The paint driver: recomputes the layout from the client size and the font, draws the screen
// of the current mode, stamps the picture buttons and draws the value-selector panels.

#include "app_settings.h"
#include "render/surface.h"

namespace app {

// Redraws the client area on `surface` (already clipped to the region being repainted).
void paintMainWindow(AppSettings& app, render::Surface& surface);

// The screens drawn by other parts of the program.
void drawSubsetScreens(AppSettings& app, render::Surface& surface);
void drawParamsScreen(AppSettings& app, render::Surface& surface);
void drawSimulationGraphs(AppSettings& app, render::Surface& surface);

}  // namespace app
