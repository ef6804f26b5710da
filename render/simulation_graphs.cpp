#include "simulation_graphs.h"

#include <algorithm>
#include <new>

#include "platform/allocation.h"
#include "simulation_graph_captions.h"
#include "simulation_graph_curves.h"
#include "simulation_graph_layout.h"
#include "simulation_graph_scale.h"

namespace render {

namespace {

constexpr Colour kBlack = 0x000000;
// A row rectangle no click falls in (for tuple rows that did not fit).
constexpr Rect kNoRow{0, 0, -1, -1};

bool hasSomethingToDraw(const simulation::RestErrorHeader* r, const series::SeriesHeader* s) {
    return r && s && r->ifComplete == 1 && r->wVariousPulses > 0 && r->wNoiseLevels > 0 &&
           r->wPulseValues && r->lpNoiseLevels && r->lpErrors && r->lpDetectionErrors &&
           r->lpRecognitionErrors;
}

// The etalon a required list or tuple entry names, or null.
const series::PulseHeader* etalonFor(const SimulationGraphSettings& settings,
                                     const series::SeriesHeader& s, int32_t number) {
    if (number < 1)
        return nullptr;
    if (settings.etalons) {
        if (size_t(number) <= settings.etalons->size() && (*settings.etalons)[number - 1].lpData)
            return &(*settings.etalons)[number - 1];
        return nullptr;
    }
    if (number <= s.wEtalonsQuantity && s.lpPulsesList)
        return s.lpPulsesList[number - 1];
    return nullptr;
}

void drawCell(Surface& surface, const series::PulseHeader* etalon, int32_t amplitude,
              const Rect& cell, int32_t lh) {
    if (etalon && etalon->lpData && etalon->wSize > 1)
        drawEtalonCell(surface, *etalon, amplitude, 0, cell, lh);
}

void polyline(Surface& s, const Rect& r) {
    s.moveTo(r.left, r.top);
    s.lineTo(r.left, r.bottom);
    s.lineTo(r.right, r.bottom);
    s.lineTo(r.right, r.top);
    s.lineTo(r.left, r.top);
}

void drawText(Surface& s, const PlacedText& t) {
    if (!t.text.empty())
        s.textOut(t.x, t.y, t.text);
}

void drawAlphabetPanel(Surface& s, const SimulationGraphLayout& g,
                       const SimulationGraphSettings& settings, const series::SeriesHeader& series,
                       uint16_t n, const uint16_t* list, int32_t amplitude, int32_t lh) {
    const AlphabetPanelLayout& a = g.alphabet;
    s.rectangle(a.left, a.top, a.left + a.width + 1, a.top + a.height + 1);
    drawText(s, a.caption);
    for (int32_t i = 0; list && i < n; ++i)
        drawCell(s, etalonFor(settings, series, list[i]), amplitude, a.cell(i, lh), lh);
}

void drawPatternPanel(Surface& s, const SimulationGraphLayout& g,
                      const SimulationGraphSettings& settings, const series::SeriesHeader& series,
                      int32_t amplitude, int32_t lh, ReservedSubsetRects rects) {
    const PatternPanelLayout& p = g.pattern;
    if (!p.shown)
        return;
    polyline(s, Rect{p.left, p.top - lh / 4 + 1, p.left + p.width, p.top + p.height});
    drawText(s, p.caption);
    if (!p.tuples) {
        for (int32_t i = 0; i < series.wSubsetSize; ++i)
            drawCell(s, etalonFor(settings, series, series.lpSubset[i]), amplitude,
                     p.cell(0, i, lh), lh);
        return;
    }
    const int32_t rows = series.wSubsetsQuantity;
    for (int32_t r = 0; r < rows; ++r) {
        if (r < rects.capacity && rects.rects)
            rects.rects[r] = r < p.rowsShown ? p.rowRect(r) : kNoRow;
        if (r >= p.rowsShown)
            continue;
        for (int32_t c = 0; c < series.selectedSubsetSize[r]; ++c)
            drawCell(s, etalonFor(settings, series, series.selectedSubsetList[r][c]), amplitude,
                     p.cell(r, c, lh), lh);
    }
}

// Dotted lines, one dot every 4 pixels: every grid step across the box and every second level.
void drawGrid(Surface& s, const GraphBoxLayout& b) {
    for (int32_t i = 1; i < 10; ++i)
        for (int32_t x = b.left; x < b.right(); x += 4)
            s.setPixel(x, b.bottom() - i * b.gridStep, kBlack);
    for (int32_t x = b.left + 2 * b.dx; x < b.right(); x += 2 * b.dx)
        for (int32_t y = b.top; y < b.bottom(); y += 4)
            s.setPixel(x, y, kBlack);
}

void drawBox(Surface& s, const GraphBoxLayout& b) {
    polyline(s, Rect{b.left, b.top, b.right(), b.bottom()});
    polyline(s, Rect{b.left - 1, b.top - 1, b.right() + 1, b.bottom() + 1});
    drawGrid(s, b);
    for (const PlacedText& t : b.valueLabels)
        drawText(s, t);
    for (const PlacedText& t : b.noiseLabels)
        drawText(s, t);
    drawText(s, b.sigma);
}

void drawCurve(Surface& s, const GraphBoxLayout& b, const GraphCurve& c) {
    if (c.heights.empty())
        return;
    for (const StrokeOffset& o : c.strokes) {
        s.moveTo(b.left + o.dx, b.bottom() + o.dy);
        for (size_t i = 0; i < c.heights.size(); ++i)
            s.lineTo(b.left + (c.firstLevel + int32_t(i)) * b.dx + o.dx,
                     b.bottom() - c.heights[i] + o.dy);
    }
    if (!c.label.empty()) {
        const int32_t last = c.firstLevel + int32_t(c.heights.size()) - 1;
        s.textOut(b.left + last * b.dx + b.curveLabelGap,
                  b.bottom() - c.heights.back() - b.labelHeight / 2, c.label);
    }
}

GraphLayoutInput layoutInput(const ScreenLayout& layout, const SimulationGraphSettings& settings,
                             uint16_t n, const simulation::RestErrorHeader& r,
                             const series::SeriesHeader& s, const GraphNormalisers& g, int64_t Z) {
    GraphLayoutInput in;
    in.workArea = layout.workAreaRect;
    in.lineHeight = layout.lineHeight;
    in.requiredCount = n;
    in.captionLines = simulationCaptionLines(r, s, settings.amplitude, settings.graphKind);
    in.infoLines = informationLines(g.measures, settings.startTime, settings.endTime);
    if (series::isTupleKind(r.wSeriesKind)) {
        if (r.wTaskKind == series::kTupleRecognition && s.wSubsetsQuantity > 0 &&
            s.selectedSubsetSize && s.selectedSubsetList) {
            in.pattern = in.patternTuples = true;
            in.patternRows = s.wSubsetsQuantity;
            for (int32_t t = 0; t < in.patternRows; ++t)
                in.patternItems = std::max<int32_t>(in.patternItems, s.selectedSubsetSize[t]);
        } else if (s.wSubsetSize > 0 && s.lpSubset) {
            in.pattern = true;
            in.patternRows = 1;
            in.patternItems = s.wSubsetSize;
        }
    }
    in.formula = formulaText(settings.graphKind);
    in.levels = r.wNoiseLevels;
    in.noiseLevels.assign(r.lpNoiseLevels, r.lpNoiseLevels + r.wNoiseLevels);
    for (const GraphCurve& c : graphCurves(settings.graphKind, r, s, g, Z, 40))
        if (!c.label.empty())
            in.curveLabels.push_back(c.label);
    in.axisTop = Z;
    return in;
}

// Everything a drawing needs besides the surface: the working arrays, the scale and the layout.
struct PreparedGraphs {
    std::unique_ptr<int64_t[]> restoring, detection, recognition;
    GraphNormalisers normalisers;
    int64_t axisTop = 500;
    SimulationGraphLayout layout;
};

// Throws std::bad_alloc when the working arrays cannot be allocated.
void prepare(PreparedGraphs& p, Surface& s, const ScreenLayout& layout,
             const SimulationGraphSettings& settings, uint16_t n, const uint16_t* list,
             const simulation::RestErrorHeader& r, const series::SeriesHeader& series) {
    const uint16_t P = r.wVariousPulses;
    p.restoring = platform::allocateArray<int64_t>(P);
    p.detection = platform::allocateArray<int64_t>(P);
    p.recognition = platform::allocateArray<int64_t>(P);
    std::fill_n(p.restoring.get(), P, 1);
    std::fill_n(p.detection.get(), P, 1);
    std::fill_n(p.recognition.get(), P, 1);
    p.normalisers.restoring = p.restoring.get();
    p.normalisers.detection = p.detection.get();
    p.normalisers.recognition = p.recognition.get();
    computeGraphNormalisers(p.normalisers, r, n, list, series, settings.measures);
    p.axisTop = axisTop(provisionalAxisTop(settings.graphKind, r, p.normalisers),
                        settings.fixedUpperBound, settings.upperBound);
    p.layout = layoutSimulationGraphs(
        s, layoutInput(layout, settings, n, r, series, p.normalisers, p.axisTop));
}

}  // namespace

std::optional<SimulationGraphLayout> simulationGraphLayout(
    Surface& s, const ScreenLayout& layout, const SimulationGraphSettings& settings, uint16_t n,
    const uint16_t* list, const simulation::RestErrorHeader* record,
    const series::SeriesHeader* series) {
    if (!hasSomethingToDraw(record, series))
        return std::nullopt;
    PreparedGraphs p;
    prepare(p, s, layout, settings, n, list, *record, *series);
    return std::move(p.layout);
}

int32_t graphKindFor(int32_t handling, int32_t view, int32_t bounds) {
    const bool componentwise = view == 1;
    if (handling == 2)
        return componentwise ? kDetectionComponentwise : kDetectionAggregate;
    if (handling == 3) {
        if (bounds == 0)
            return componentwise ? kRecognitionComponentwise : kRecognitionAggregate;
        return componentwise ? kRecognitionComponentwiseBounds : kRecognitionAggregateBounds;
    }
    return componentwise ? kRestoredComponentwise : kRestoredAggregate;
}

int DrawDetectionArrayZ(platform::Window& window, Surface& s, const ScreenLayout& layout,
                        const SimulationGraphSettings& settings, uint16_t n, const uint16_t* list,
                        const simulation::RestErrorHeader* record,
                        const series::SeriesHeader* series, ReservedSubsetRects rects) {
    const int32_t lh = layout.lineHeight;
    if (!hasSomethingToDraw(record, series)) {
        s.textOut(layout.workAreaRect.left + 10, layout.workAreaRect.top + lh / 2,
                  " no complete statistical simulation to show ");
        return 0;
    }
    PreparedGraphs p;
    try {
        prepare(p, s, layout, settings, n, list, *record, *series);
    } catch (const std::bad_alloc&) {
        window.messageBox("No memory to RestoredErrorNormalizer", " ERROR in DrawDetectionArrayZ ");
        return 0;
    }
    const SimulationGraphLayout& l = p.layout;
    const int32_t amplitude = drawingAmplitude(settings.amplitude, series->wNoiseLevel);

    for (const PlacedText& t : l.captionLines)
        drawText(s, t);
    drawAlphabetPanel(s, l, settings, *series, n, list, amplitude, lh);
    for (const PlacedText& t : l.infoLines)
        drawText(s, t);
    drawPatternPanel(s, l, settings, *series, amplitude, lh, rects);

    // The two Symbol fonts, the second one kept for the labels; the caller's font at the end.
    ScopedFont restore(s, l.formulaFont);
    drawText(s, l.formula);
    s.selectFont(l.labelFont);
    drawText(s, l.fontLine);
    drawBox(s, l.box);
    for (const GraphCurve& c :
         graphCurves(settings.graphKind, *record, *series, p.normalisers, p.axisTop, l.box.height))
        drawCurve(s, l.box, c);
    return 1;
}

}  // namespace render
