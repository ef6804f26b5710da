#pragma once
// The state of the headless program as JSON, for scripts that aim their clicks and check what
// the program holds.

#include <nlohmann/json.hpp>

#include "app/app_settings.h"
#include "platform/headless_host.h"

namespace cli {

nlohmann::json uiStateJson(const app::AppSettings& app, const platform::HeadlessHost& host);

// [left, top, right, bottom].
nlohmann::json rectJson(const platform::Rect& r);

}  // namespace cli
