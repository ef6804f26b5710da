#pragma once
// The command dispatcher: every menu item and every internal step ends in onCommand, which
// changes the settings, generates and processes series, changes the screen and asks for the
// repaint. Commands sent from inside a command run synchronously.

#include "app_settings.h"

namespace app {

// Menu command ids.
enum MenuCommand : int {
    kCmdCreateSeries = 40001,
    kCmdNewPulses = 40002,
    kCmdSaveImage = 40003,
    kCmdExit = 40004,
    kCmdDetection = 40005,
    kCmdRecognition = 40006,
    kCmdJointDetection = 40007,
    kCmdFixedWhole = 40008,
    kCmdUnfixedWhole = 40009,
    kCmdFixedCutOff = 40010,
    kCmdUnfixedCutOff = 40011,
    kCmdStatisticalSimulation = 40012,
    kCmdCreateSeriesElse = 40014,
    kCmdShowSimulation = 40015,
    kCmdSelectSetOfPulses = 40016,
    kCmdProcessingSameData = 40017,
    kCmdProcessingNextData = 40018,
    kCmdMoreDetails = 40019,
    kCmdTypeMoreDetails = 40020,
    kCmdFixedCase = 40021,
    kCmdUnfixedCase = 40022,
    kCmdRepeatDetection = 40023,
    kCmdRepeatRecognition = 40024,
    kCmdRepeatJoint = 40025,
    kCmdRepeatSeriesProcessing = 40026,
    kCmdSeriesProcessing = 40027,
    kCmdFixedTuples = 40028,
    kCmdSubsetSettings = 40029,
    kCmdDrawingSettings = 40030,
    kCmdViewSeriesParameters = 40031,
    kCmdUnfixedTuples = 40032,
    kCmdDebuggingRepeat = 40033,
};

// Internal command ids.
enum InternalCommand : int {
    kClose = 204,
    kNextData = 205,
    kRepaintAll = 206,
    kNoAction = 207,
    kApplyAndGenerate = 208,
    kNoiseAndProcess = 209,
    kProcess = 210,
    kResetFromSelectors = 211,
    kRepaintEtalonCells = 212,
    kRepaintAlphabetScreen = 213,
    kSimulationSetUp = 214,
    kFirstCreateSeriesDialog = 215,
    kGenerate = 216,
    kNoAction217 = 217,
    kRepaintAfterProcessing = 218,
    kNoAction219 = 219,
    kNoAction220 = 220,
    kRepaintSubsetArea = 221,
    kRepaintWorkArea = 222,
    kRepaintWorkAreaNoErase = 223,
    kRepaintSubsetScreen = 224,
    kEditNotification = 225,
};

// Runs the command `id` (the low 16 bits of the command word). Unknown ids do nothing.
void onCommand(AppSettings& app, int id);

// Steps 1-3 of command 208: the picked length, pulse count, noise and lost-data levels become
// the current ones.
void applySelectedParameters(AppSettings& app);

// Repaint requests on the rectangles of the last layout.
void repaintWorkArea(AppSettings& app, bool erase);
void repaintRestartArea(AppSettings& app);
void repaintDirtyPanels(AppSettings& app);
// Invalidates a layout rectangle as it is stored (its right and bottom taken as exclusive).
void invalidate(AppSettings& app, const Rect& rect, bool erase);

// The dialog, simulation and file commands; true when `id` is one of them.
bool onDialogCommand(AppSettings& app, int id);

}  // namespace app
