#pragma once
// The mouse handling: the click dispatch by screen (screen clicks, then the shared buttons, then
// the selector panels), and the moves and releases of the parameter screen. A click never
// draws: it changes the settings and sends a command.

#include <cstdint>

#include "app_settings.h"

namespace app {

void onLeftButtonDown(AppSettings& app, bool doubleClick, int32_t x, int32_t y, uint32_t keys);
void onLeftButtonUp(AppSettings& app, int32_t x, int32_t y, uint32_t keys);
void onMouseMove(AppSettings& app, int32_t x, int32_t y, uint32_t keys);

// The screens' own clicks; true when the click was theirs.
bool onSubsetScreenClick(AppSettings& app, int32_t x, int32_t y);
bool onParamsScreenClick(AppSettings& app, int32_t x, int32_t y);
void onParamsScreenMove(AppSettings& app, int32_t x, int32_t y);
void onParamsScreenRelease(AppSettings& app, int32_t x, int32_t y);

// Hands the selected subset (tuple detection) or the reserved subsets (tuple recognition) to
// the series; false when there was nothing to hand over.
bool handSubsetToSeries(AppSettings& app);

}  // namespace app
