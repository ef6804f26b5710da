#include "series_view.h"

#include "record_access.h"
#include "series_boxes.h"
#include "series_graphs.h"
#include "series_layout.h"
#include "series_measures.h"
#include "series_text.h"

namespace render {

namespace {

// What every graph of the view shares.
struct GraphContext {
    Surface& surface;
    const series::SeriesHeader& series;
    const SeriesViewSettings& settings;
    int32_t E;
    bool outlined;
};

// Outline, tuple marks and brackets go under the curves.
void drawGraphBackground(const GraphContext& g, const Rect& graph, bool tupleMarks) {
    if (g.outlined)
        drawGraphOutline(g.surface, graph);
    if (tupleMarks)
        drawTupleMarks(g.surface, g.series, graph, g.settings.tuplesHighlight);
    if (g.settings.highlightDetectedPulses)
        bracketDetectedPulses(g.surface, g.series, graph);
    drawGraphAxes(g.surface, graph);
}

bool everyDetectedEtalonNamed(const SeriesAccess& s) {
    const int32_t n = s.count(PulseSet::Detected);
    for (int32_t k = 0; k < n; ++k)
        if (s.pulse(PulseSet::Detected, k).etalon == 0)
            return false;
    return true;
}

}  // namespace

int drawSeriesView(Surface& surface, const ScreenLayout& layout, const SeriesViewSettings& settings,
                   uint16_t requiredCount, const uint16_t* requiredList,
                   const engine::ChainsHeader* chains, const series::SeriesHeader* series,
                   ReservedSubsetRects reservedSubsetRects) {
    if (series == nullptr)
        return 1;
    const series::SeriesHeader& header = *series;
    const SeriesAccess s(header);
    const RunKinds kinds = runKindsOf(chains);
    const SeriesLayout l = computeSeriesLayout(layout.workAreaRect, layout.lineHeight,
                                               settings.specialGraphSize != 0, requiredCount);
    const int32_t A = drawingAmplitude(header.wAmplitude, header.wNoiseLevel);
    const int32_t E = graphHalfRange(A, header.wNoiseLevel);

    // Letters name the etalons when the findings have them; a marked run decides by its task
    // (detection finds positions only).
    bool withNames = s.pulse(PulseSet::Detected, 0).etalon != 0;
    if (kinds.marked())
        withNames = kinds.taskKind != 1;

    surface.moveTo(l.L0, l.T0);
    surface.lineTo(l.L0, l.T0 + l.H);
    surface.lineTo(l.L0 + l.W, l.T0 + l.H);
    surface.lineTo(l.L0 + l.W, l.T0);
    surface.lineTo(l.L0, l.T0);

    drawHeaderLines(surface, l, kinds, header, A, seriesEnergies(header), withNames);

    const GraphContext g{surface, header, settings, E,
                         settings.frameGraphFields != 0 && settings.specialGraphSize == 0};
    const Rect composed = graphRect(l, 0);
    drawPulseLabels(surface, composed, kinds.seriesKind, PulseSet::True, withNames, header);
    drawGraphBackground(g, composed, kinds.tupleTask());
    drawPulseShapes(surface, composed, E, header);
    drawCutPulses(surface, composed, E, header);
    if (settings.shadedOriginalPulses)
        shadePulses(surface, composed, E, header);

    const Rect noisy = graphRect(l, 1);
    drawPulseLabels(surface, noisy, kinds.seriesKind, PulseSet::Detected, withNames, header);
    drawGraphBackground(g, noisy, kinds.tupleMode());
    drawNoisySeries(surface, noisy, E, header);

    if (everyDetectedEtalonNamed(s)) {
        const Rect restored = graphRect(l, 2);
        drawPulseLabels(surface, restored, kinds.seriesKind, PulseSet::Detected, withNames, header);
        drawGraphBackground(g, restored, kinds.tupleMode());
        drawDetectedShapes(surface, restored, E, header);
    }

    drawAlphabetColumn(surface, l, kinds, chains, header, requiredCount, requiredList, A);
    drawResultText(surface, l, kinds, chains, header, withNames);
    drawPatternTuples(surface, l, kinds, header, A, settings.currentReservedSubset,
                      reservedSubsetRects);
    return 1;
}

}  // namespace render
