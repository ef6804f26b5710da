#pragma once
// The parameter screen: the command that opens it, and the housekeeping of the window-system
// parts it uses (the Tmin edit control, the cursor and the mouse capture) when it is left.

#include <optional>
#include <string_view>

#include "app_settings.h"

namespace app {

// " View series parameters...": the parameter screen with a record rebuilt from the current
// series, the work area repainted with erase.
void viewSeriesParameters(AppSettings& app);

// Called when a screen other than the parameter screen is drawn: hides the Tmin edit control
// if the screen showed it, restores the cursor and releases the mouse if a chart element was
// hovered.
void leaveParamsScreen(AppSettings& app);

// The typed Tmin when it is a whole number from `least` to `most`, else nothing.
std::optional<int32_t> parseTmin(std::string_view text, int32_t least, int32_t most);

}  // namespace app
