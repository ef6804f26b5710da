#include "simulation_run.h"

#include "simulation/driver.h"

namespace app {

int runStatisticalSimulation(AppSettings& a) {
    if (!a.lpSeriesHeader || !a.lpRestErrorHeader)
        return 0;
    series::SeriesHeaderPtr seriesRecord = std::move(a.lpSeriesHeader);
    simulation::RestErrorHeaderPtr record = std::move(a.lpRestErrorHeader);
    series::RandomStreams streams = a.streams;
    int32_t debugRepeat = a.debugRepeat;
    int result = 0;
    a.window().runWithProgress(
        " Statistical Simulation", [&](const platform::HostWindow::ProgressCallback& progress,
                                       const std::atomic<bool>& cancel) {
            simulation::SimulationContext context;
            context.amplitude = static_cast<int16_t>(a.wAmplitude);
            context.subsetProceeding = a.wSubsetProceeding;
            context.streams = &streams;
            context.debugRepeat = &debugRepeat;
            context.progress = progress;
            context.cancel = &cancel;
            result = simulation::statCutoffBrelling(
                a.window(), record.get(), a.wAlphabetSize, a.etalons, a.wRequiredCount,
                a.lpEtalonNumbersList.get(), a.wSeriesKind, a.wTaskKind, a.wCreateSavedLevel,
                a.wProcessSavedLevel, *seriesRecord, context);
        });
    a.streams = streams;
    a.debugRepeat = debugRepeat;
    a.lpSeriesHeader = std::move(seriesRecord);
    a.lpRestErrorHeader = std::move(record);
    return result;
}

}  // namespace app
