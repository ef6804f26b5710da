#pragma once
// The dialog procedures of the eight parameter dialogs. Each fills its controls from the
// settings, shows the dialog modally through the main window and, on OK or Cancel, writes the
// controls' values back: into the settings themselves or into the entered copies that the
// dialog commands check and apply. Templates 105, 106, 107 and 110 report their outcome in
// dialogAccepted; templates 111 to 114 work on working and saved copies of their buttons'
// settings and leave dialogAccepted alone.

#include "app_settings.h"
#include "dialog_templates.h"

namespace app {

// 105 "Create Series": length, Tmin, Tmax, etalon number and the two saved energy levels.
void createSeriesDialog(AppSettings& app);
// 106 "Create Series": the pulse count, the etalon sequence and the noise level.
void seriesStructureDialog(AppSettings& app);
// 107 "List of Required Etalons": the count and the list, edited in place.
void requiredEtalonsDialog(AppSettings& app);
// 110 " Location Parameters": the simulation grid, written directly to the settings.
void locationParametersDialog(AppSettings& app);
// 111 "Subset settings": employment, init position and proceeding of the subsets.
void subsetSettingsDialog(AppSettings& app);
// 112 "Drawing settings": the four drawing check boxes and the tuple highlight.
void drawingSettingsDialog(AppSettings& app);
// 113 " Show Statistical Simulation parameters": handling case, view case, upper bound.
void showSimulationParametersDialog(AppSettings& app);
// 114 "Show Statistical Simulation": as 113, with the recognition error and "bounds incl.".
void showSimulationDialog(AppSettings& app);

// Runs the dialog procedure of template `id`; false for an unknown id.
bool runDialogTemplate(AppSettings& app, int id);

}  // namespace app
