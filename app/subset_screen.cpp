// The subset-selection screen's picture: the required etalons offered in the upper panel, the
// selected subset in the strip below, the buttons and, for tuple recognition, the grid of the
// reserved subsets with the one in use highlighted.

#include "subset_screen.h"

#include <algorithm>
#include <cstdio>

#include "paint.h"
#include "render/push_button.h"
#include "render/series_view.h"
#include "subset_layout.h"
#include "subset_state.h"

namespace app {

namespace {

using render::ScopedBrush;
using render::ScopedPen;
using render::Surface;

constexpr platform::Colour kBlack = 0x000000;
constexpr platform::Colour kWhite = 0xFFFFFF;

// Outlines a stored rectangle as the window system draws one (right and bottom exclusive), so
// that the outline lies inside the region that repaints the rectangle.
void outline(Surface& s, const Rect& r) {
    s.rectangle(r.left, r.top, r.right, r.bottom);
}

// One etalon by its number; numbers outside the alphabet are not drawn.
void drawEtalon(AppSettings& a, Surface& s, int32_t number, int highlight, const Rect& cell) {
    if (number < 1 || number > a.wAlphabetSize || static_cast<size_t>(number) > a.etalons.size())
        return;
    render::drawEtalonCell(s, a.etalons[static_cast<size_t>(number - 1)], a.wAmplitude, highlight,
                           cell, a.layout.lineHeight);
}

void drawCandidatesAndStrip(AppSettings& a, Surface& s, const SubsetScreenGeometry& g) {
    const Rect& w = a.layout.workAreaRect;
    s.fillRect(Rect{w.left, w.top, w.right + 1, w.bottom + 1}, kLightBackground);
    ScopedPen pen(s, render::solidPen(kBlack));
    ScopedBrush brush(s, render::solidBrush(kWhite));
    outline(s, g.panel);
    const int32_t cells = std::min<int32_t>(a.wRequiredCount, g.cellCount);
    for (int32_t i = 0; i < cells && a.lpEtalonNumbersList; ++i) {
        const Rect& cell = a.candidateCellRects[static_cast<size_t>(i)];
        outline(s, cell);
        drawEtalon(a, s, a.lpEtalonNumbersList[i], 0, subsetCellInner(cell, g));
    }

    outline(s, a.selectedStripRect);
    {
        ScopedPen grey(s, render::solidPen(kEmptySlotPen));
        for (int32_t j = 0; j < g.slotCount; ++j)
            outline(s, a.possibleSubsetRect[j]);
    }
    for (int32_t j = 0; j < a.selectedSubsetCount && j < a.subsetCapacity; ++j) {
        const Rect& slot = a.possibleSubsetRect[j];
        outline(s, slot);
        drawEtalon(a, s, a.selectedSubset[j], a.selectedSubsetMarks[j] == 1 ? 1 : 0,
                   subsetCellInner(slot, g));
    }
}

void drawButtons(AppSettings& a, Surface& s, const SubsetScreenGeometry& g) {
    ScopedPen pen(s, render::solidPen(kBlack));
    ScopedBrush brush(s, render::solidBrush(kLightBackground));
    for (int32_t i = 0; i < a.subsetButtonCount; ++i)
        render::drawPushButton(s, a.ButtonsWhileSelectedSubsetRect[i], kSubsetButtonCaptions[i],
                               g.lineHeight);
}

void drawReservedSubsets(AppSettings& a, Surface& s, const SubsetScreenGeometry& g) {
    if (!a.possibleSubsetArrayRect || !a.reservedSubsetLists || !a.selectedSubsetArraySize)
        return;
    char caption[64];
    std::snprintf(caption, sizeof caption, " reserved subsets %d ", a.reservedSubsetCapacity);
    s.textOut(g.reservedCaptionAt.left, g.reservedCaptionAt.top, caption);
    const int32_t S = a.subsetCapacity;
    ScopedBrush hollow(s, render::Brush{true, 0});
    {
        ScopedPen pen(s, render::solidPen(kReservedFramePen));
        for (int32_t r = 0; r < a.reservedSubsetCapacity; ++r)
            outline(s, a.possibleSubsetArrayRect[r][S]);
    }
    ScopedPen pen(s, render::solidPen(kBlack));
    for (int32_t r = 0; r < a.reservedSubsetCount && r < a.reservedSubsetCapacity; ++r) {
        outline(s, a.possibleSubsetArrayRect[r][S]);
        const int highlight = r + 1 == a.currentReservedSubset ? 2 : 0;
        const int32_t n = std::clamp(a.selectedSubsetArraySize[r], 0, S);
        for (int32_t i = 0; i < n; ++i)
            drawEtalon(a, s, a.reservedSubsetLists[r][i], highlight,
                       reservedMemberInner(a.possibleSubsetArrayRect[r][i], g));
    }
}

}  // namespace

void drawSubsetScreen(AppSettings& a, Surface& s) {
    SubsetScreenGeometry g;
    if (!subsetStatePrepared(a) || !layoutSubsetScreen(a, s, false, g))
        return;
    const render::BkMode mode = s.setBkMode(render::BkMode::Transparent);
    drawCandidatesAndStrip(a, s, g);
    drawButtons(a, s, g);
    s.setBkMode(mode);
}

void drawReservedSubsetScreen(AppSettings& a, Surface& s) {
    SubsetScreenGeometry g;
    if (!subsetStatePrepared(a) || !layoutSubsetScreen(a, s, true, g))
        return;
    const render::BkMode mode = s.setBkMode(render::BkMode::Transparent);
    // After " Accept " and " Clear All " the whole subset is marked, so that the next etalon
    // picked starts a new one.
    if (a.markAllOnNextDraw == 1)
        std::fill_n(a.selectedSubsetMarks, a.selectedSubsetCount, 1);
    drawCandidatesAndStrip(a, s, g);
    drawButtons(a, s, g);
    drawReservedSubsets(a, s, g);
    a.markAllOnNextDraw = 0;
    s.setBkMode(mode);
}

void drawSubsetScreens(AppSettings& a, Surface& s) {
    if (!prepareSubsetScreen(a))
        return;
    if (a.wTaskKind == series::kTupleRecognition)
        drawReservedSubsetScreen(a, s);
    else
        drawSubsetScreen(a, s);
}

}  // namespace app
