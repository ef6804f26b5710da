#pragma once
// The simulation screen's picture: a caption block that describes the last statistical
// simulation, the required etalons, the etalon energy and correlation bounds, the start, end and
// duration of the run, the pattern tuples of tuple series, and one graph box with the error
// curves over the noise levels.

#include <cstdint>
#include <ctime>
#include <optional>

#include "platform/window.h"
#include "screen_layout.h"
#include "series/records.h"
#include "series_view.h"
#include "simulation/measures.h"
#include "simulation/rest_error_header.h"
#include "simulation_graph_layout.h"
#include "surface.h"

namespace render {

// Graph kinds (simGraphKind).
enum SimGraphKind : int32_t {
    kRestoredComponentwise = 0,
    kRestoredAggregate = 1,
    kDetectionComponentwise = 2,
    kDetectionAggregate = 3,
    kRecognitionComponentwise = 4,
    kRecognitionAggregate = 5,
    kRecognitionComponentwiseBounds = 12,
    kRecognitionAggregateBounds = 13,
};

// The graph kind the " Show Statistical Simulation" choices select: handling case 2 detection,
// 3 recognition (with or without the bound curves), anything else restoring error; view case 1
// componentwise, anything else the summary view.
int32_t graphKindFor(int32_t handlingCase, int32_t viewCase, int32_t boundsIncluded);

// What the graphs read from the application besides the records.
struct SimulationGraphSettings {
    int32_t amplitude = 128;  // wAmplitude; 0: the etalons are scaled by the noise level
    int32_t graphKind = 2;    // simGraphKind
    int32_t fixedUpperBound = 0;
    double upperBound = 0.25;   // the axis top while fixedUpperBound is set and this is above 0
    std::time_t startTime = 0;  // simulationStartTime
    std::time_t endTime = 0;    // simulationEndTime
    // The alphabet the required list numbers; null: the series record's etalon list.
    const series::Alphabet* etalons = nullptr;
    // The etalon energy and correlation bounds of the run; null: worked out from the series
    // record's last series (the batch tool keeps them, not the series).
    const simulation::GraphMeasures* measures = nullptr;
};

// Draws the graphs of `record` inside layout.workAreaRect with the font selected at the call as
// the text font, and records the rows of the pattern-tuples panel in `reservedSubsetRects`.
// Returns 1 after drawing. Returns 0 when the working arrays cannot be allocated (message
// "No memory to RestoredErrorNormalizer", nothing drawn), and when there is nothing to draw (no
// record or series, an incomplete run or an empty grid: one line saying so, no message box, as
// this runs on every repaint).
int DrawDetectionArrayZ(platform::Window& window, Surface& surface, const ScreenLayout& layout,
                        const SimulationGraphSettings& settings, uint16_t requiredCount,
                        const uint16_t* requiredList, const simulation::RestErrorHeader* record,
                        const series::SeriesHeader* series,
                        ReservedSubsetRects reservedSubsetRects);

// The layout DrawDetectionArrayZ places its blocks by, for the same inputs; nothing when there is
// nothing to draw. Throws std::bad_alloc when the working arrays cannot be allocated.
std::optional<SimulationGraphLayout> simulationGraphLayout(
    Surface& surface, const ScreenLayout& layout, const SimulationGraphSettings& settings,
    uint16_t requiredCount, const uint16_t* requiredList, const simulation::RestErrorHeader* record,
    const series::SeriesHeader* series);

// The layout of a picture of width x height drawn with the font selected on `surface`: the whole
// picture is the work area but a 10-pixel margin.
ScreenLayout pictureScreenLayout(Surface& surface, int32_t width, int32_t height);

// The graph of `record` in a picture of width x height pixels on white, drawn with the stock
// text font over the whole picture but a 10-pixel margin, as the batch tool saves it. Nothing
// when the graph cannot be drawn (the reason went to `window`, or there is nothing to draw).
std::optional<platform::Bitmap> renderSimulationPicture(
    platform::Window& window, int32_t width, int32_t height,
    const SimulationGraphSettings& settings, uint16_t requiredCount, const uint16_t* requiredList,
    const simulation::RestErrorHeader& record, const series::SeriesHeader& series);

}  // namespace render
