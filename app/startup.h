#pragma once
// Start-up inside window creation, and the release of everything when the window is destroyed.

#include "app_settings.h"

namespace app {

// Runs the start-up sequence on `window` (stored as hMainWindow): the button bitmaps, the
// alphabet, the menu check marks, the task kind, the required list, the chains record, the
// first series without noise, the child edit control. False when a bitmap could not be loaded
// (after its message box); the window is then refused.
bool onCreateMainWindow(AppSettings& app, platform::HostWindow& window);

// Releases every record and array in the exit order and asks the message loop to stop.
void onDestroyMainWindow(AppSettings& app);

// The steps of start-up that need no window resources (alphabet, required list, lengths,
// sequences, chains record), shared with the batch tool: every step of onCreateMainWindow
// from the alphabet on, except the menu marks, the first series and the edit control, with the
// kinds and values already in `app`.
void prepareStartState(AppSettings& app);

}  // namespace app
