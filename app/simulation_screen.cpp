// The series screen's simulation graphs: the current simulation record drawn with the display
// settings, the rows of its pattern-tuples panel recorded for the mouse handling.

#include "paint.h"
#include "render/simulation_graphs.h"
#include "simulation/driver.h"

namespace app {

void drawSimulationGraphs(AppSettings& a, render::Surface& surface) {
    render::SimulationGraphSettings settings;
    settings.amplitude = a.wAmplitude;
    settings.graphKind = a.simGraphKind;
    settings.fixedUpperBound = a.fixedUpperBound;
    settings.upperBound = a.upperBound;
    settings.startTime = simulation::simulationStartTime;
    settings.endTime = simulation::simulationEndTime;
    settings.etalons = &a.etalons;
    render::DrawDetectionArrayZ(a.window(), surface, a.layout, settings, a.wRequiredCount,
                                a.lpEtalonNumbersList.get(), a.lpRestErrorHeader.get(),
                                a.lpSeriesHeader.get(),
                                {a.reservedSubsetRects, a.reservedSubsetCapacity});
}

}  // namespace app
