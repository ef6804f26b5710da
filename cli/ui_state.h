#pragma once
// The state of the headless program as JSON, for scripts that aim their clicks and check what
// the program holds.

#include <nlohmann/json.hpp>

#include "app/app_settings.h"
#include "platform/headless_host.h"
#include "render/recording_surface.h"

namespace cli {

nlohmann::json uiStateJson(const app::AppSettings& app, const platform::HeadlessHost& host);

// The operations of a paint: [{"op", "x1", "y1", "x2", "y2", "text", "colour", "pen", "brush",
// "font", "bkMode"}], colours as 0x00BBGGRR numbers.
nlohmann::json traceJson(const std::vector<render::RecordedOp>& ops);

// [left, top, right, bottom].
nlohmann::json rectJson(const platform::Rect& r);

}  // namespace cli
