// The series screen's simulation graphs. Until they are built nothing is drawn.

#include "paint.h"

namespace app {

void drawSimulationGraphs(AppSettings&, render::Surface&) {}

}  // namespace app
