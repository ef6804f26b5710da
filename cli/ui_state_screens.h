#pragma once
// The interactive screens' part of the ui state: the subset-selection screen's rectangles and
// marks, and the parameter screen's record with its hit rectangles and lines.

#include <nlohmann/json.hpp>

#include "app/app_settings.h"

namespace cli {

nlohmann::json subsetScreenJson(const app::AppSettings& app);
// Null when there is no record.
nlohmann::json paramsHeaderJson(const app::AppSettings& app);

}  // namespace cli
