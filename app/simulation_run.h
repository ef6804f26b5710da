#pragma once
// The run of a statistical simulation from the program: the records set up by the command are
// handed to the simulation driver, which works on all hardware threads behind the host's
// progress window, and taken back when it ends.

#include "app_settings.h"

namespace app {

// Runs statCutoffBrelling over lpRestErrorHeader's grid with the current settings. While it
// runs, the records and the random streams belong to the run (the settings hold no series and
// no simulation record), so that a repaint never reads what the workers write. Cancelled or
// failed runs leave ifComplete 0. Returns the driver's result.
int runStatisticalSimulation(AppSettings& app);

}  // namespace app
