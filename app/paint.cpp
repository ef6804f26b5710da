#include "paint.h"

#include "render/pulses_view.h"
#include "render/series_view.h"
#include "render/value_selector.h"
#include "subset_state.h"

namespace app {

namespace {

using render::Surface;

void stamp(Surface& s, const std::optional<platform::Bitmap>& bitmap, const Rect& at) {
    if (bitmap)
        s.blit(at.left, at.top, *bitmap);
}

void stampSelectButton(AppSettings& a, Surface& s) {
    if (!render::hasSelectButton(a.wTaskKind))
        return;
    int32_t selected = 0;
    for (uint16_t k = 1; k <= a.wAlphabetSize && k <= kAlphabetCapacity; ++k)
        if (a.requiredFlags[k] == 1)
            ++selected;
    a.layout.selectAllShown = 2 * selected > a.wAlphabetSize ? 0 : 1;
    stamp(s, a.layout.selectAllShown ? a.IDB_BITMAP5 : a.IDB_BITMAP4, a.layout.selectButtonRect);
}

void stampNextExitSelect(AppSettings& a, Surface& s) {
    stamp(s, a.IDB_BITMAP1, a.layout.nextButtonRect);
    stamp(s, a.ButtonExit, a.layout.exitButtonRect);
    stampSelectButton(a, s);
}

void drawSeriesScreen(AppSettings& a, Surface& s) {
    if (a.seriesScreenContent == 2) {
        drawSimulationGraphs(a, s);
    } else {
        const bool drawn =
            a.wTaskKind != series::kSeriesProcessing || a.wSeriesKind == series::kFixedWhole ||
            a.wSeriesKind == series::kFixedCutOff || a.wSeriesKind == series::kUnfixedWhole ||
            a.wSeriesKind == series::kUnfixedCutOff;
        if (drawn) {
            render::SeriesViewSettings v;
            v.frameGraphFields = a.frameGraphFields;
            v.shadedOriginalPulses = a.shadedOriginalPulses;
            v.highlightDetectedPulses = a.highlightDetectedPulses;
            v.specialGraphSize = a.specialGraphSize;
            v.tuplesHighlight = a.tuplesHighlight;
            v.currentReservedSubset = a.currentReservedSubset;
            render::drawSeriesView(s, a.layout, v, a.wRequiredCount, a.lpEtalonNumbersList.get(),
                                   a.lpChainsHeader.get(), a.lpSeriesHeader.get(),
                                   {a.reservedSubsetRects, a.reservedSubsetCapacity});
        }
        a.typeMoreDetails = 0;
    }
    stamp(s, a.ButtonStart, a.layout.restartButtonRect);
    stampNextExitSelect(a, s);
}

void drawPanels(AppSettings& a, Surface& s) {
    auto& l = a.layout;
    const int32_t lh = l.lineHeight;
    const int32_t W = a.window().clientRect().right;
    const auto frameAt = [&](int32_t top) {
        return Rect{l.workAreaRect.right + 10, top, W - 10, top + 6 * lh};
    };
    l.seriesLengthPanel = frameAt(l.workAreaRect.top);
    render::drawValueSelector(s, l.seriesLengthPanel, l.seriesLengthItems,
                              " series length: ", a.seriesLengthSelector.count,
                              a.seriesLengthSelector.values.data(), a.seriesLengthSelector.selected,
                              static_cast<int32_t>(a.dwSeriesLength), lh);
    l.noiseLevelPanel = frameAt(l.seriesLengthPanel.bottom + lh);
    render::drawValueSelector(
        s, l.noiseLevelPanel, l.noiseLevelItems, " noise level: ", a.noiseLevelSelector.count,
        a.noiseLevelSelector.values.data(), a.noiseLevelSelector.selected, a.wNoiseLevel, lh);
    l.panelsBottom = l.noiseLevelPanel.bottom;
    if (series::isCutOffKind(a.wSeriesKind)) {
        l.lostDataPanel = frameAt(l.noiseLevelPanel.bottom + lh);
        render::drawValueSelector(
            s, l.lostDataPanel, l.lostDataItems, " lost data level: ", a.lostDataSelector.count,
            a.lostDataSelector.values.data(), a.lostDataSelector.selected, a.wLostDataLevel, lh);
        l.panelsBottom = l.lostDataPanel.bottom;
    }
}

}  // namespace

void paintMainWindow(AppSettings& a, Surface& s) {
    const Rect client = a.window().clientRect();
    const int32_t W = client.right;
    const int32_t H = client.bottom;
    const render::Font previous = s.selectFont(a.hTextFont.value_or(render::Font{}));
    const render::TextMetrics m = s.textMetrics();
    auto& l = a.layout;
    l.lineHeight = m.height + m.externalLeading - 1;
    l.maxCharWidth = m.maxCharWidth;
    l.aveCharWidth = m.aveCharWidth;

    render::layoutButtons(l, W, H, render::hasSelectButton(a.wTaskKind));
    render::layoutCellGrid(l, W, H, a.wAlphabetSize);

    switch (a.screenMode) {
        case kAlphabetScreen:
            render::drawPulsesView(s, l, a.etalons, a.wAlphabetSize, a.wAmplitude,
                                   a.requiredFlags.data());
            stampNextExitSelect(a, s);
            break;
        case kSeriesScreen:
            drawSeriesScreen(a, s);
            break;
        case kSubsetScreen:
            drawSubsetScreens(a, s);
            stampNextExitSelect(a, s);
            break;
        case kParamsScreen:
            drawParamsScreen(a, s);
            stampNextExitSelect(a, s);
            break;
        default:
            break;
    }
    drawPanels(a, s);
    s.selectFont(previous);
}

}  // namespace app
