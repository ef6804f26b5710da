#pragma once
// " Save image as...": the picture of the client area saved as a BMP, PCX or PNG file that the
// user names in the save-file dialog.

#include <optional>
#include <string>

#include "app_settings.h"

namespace app {

// The save-file dialog: title "Snapshot File Name", the BMP, PCX and PNG filters (BMP first),
// default extension "bmp", overwrite prompt. The chosen name (at most 255 characters), or
// nothing when the user cancels.
std::optional<std::string> chooseSnapshotFile(AppSettings& app);

// The whole command; failures are shown in message boxes. Returns 1.
int saveSnapshot(AppSettings& app);

}  // namespace app
