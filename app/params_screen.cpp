// The parameter screen's mouse handling: its buttons, the boxes of the pulse counts, the two
// range markers and the two interval lines, which are grabbed by a click and dragged by the
// moves until the button is released; hovering shows a sizing cursor and captures the mouse.

#include "params_screen.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "commands.h"
#include "mouse.h"
#include "params_header.h"
#include "params_maps.h"

namespace app {

namespace {

using platform::containsInclusive;
using platform::CursorShape;

constexpr size_t kTminTextMax = 100;

void clearPanelFlags(AppSettings& a) {
    a.lengthPanelDirty = a.noisePanelDirty = a.lostDataPanelDirty = 0;
}

// Back to the series screen with new data, or to the subset screen when a tuple kind has no
// subset to work with.
void leaveForNextData(AppSettings& a) {
    if (series::isTupleKind(a.wSeriesKind) && a.selectedSubsetCount == 0) {
        a.screenMode = kSubsetScreen;
        onCommand(a, kCmdSelectSetOfPulses);
        return;
    }
    onCommand(a, kNextData);
}

void moveTminEdit(AppSettings& a, ParamsHeader& p, int32_t x, int32_t y) {
    if (a.hTminEdit) {
        a.window().moveEditControl(kTminEditId, x, y, 0, 0);
        a.window().showEditControl(kTminEditId, false);
    }
    p.tminEditShown = false;
}

bool anyHover(const ParamsHeader& p) {
    return p.aPlusHover || p.bMinusHover || p.tminHover || p.tmaxHover;
}

// The shape of the first hovered element, in the order of the hover tests.
CursorShape hoverShape(const ParamsHeader& p) {
    return p.aPlusHover || p.bMinusHover ? CursorShape::SizeVertical : CursorShape::SizeDiagonal;
}

// Entering an element's hit area sets its flag, captures the mouse and shows its cursor;
// leaving it clears the flag. The cursor shown before the first element was entered is kept and
// restored, with the capture released, when the pointer has left every element.
void trackHover(AppSettings& a, ParamsHeader& p, int32_t& hover, bool inside, CursorShape shape) {
    if (inside == (hover != 0))
        return;
    const bool wasHovering = anyHover(p);
    hover = inside ? 1 : 0;
    if (inside) {
        a.window().captureMouse();
        const CursorShape old = a.window().setCursor(shape);
        if (!wasHovering)
            p.keptCursor = old;
    } else if (anyHover(p)) {
        a.window().setCursor(hoverShape(p));
    } else {
        a.window().setCursor(p.keptCursor);
        a.window().releaseMouse();
    }
}

void releasePointer(AppSettings& a, ParamsHeader& p) {
    if (!anyHover(p))
        return;
    p.aPlusHover = p.bMinusHover = p.tminHover = p.tmaxHover = 0;
    a.window().setCursor(p.keptCursor);
    a.window().releaseMouse();
}

void partialRepaint(AppSettings& a, ParamsHeader& p) {
    p.changed = 1;
    onCommand(a, kRepaintWorkAreaNoErase);
}

// OK: the typed Tmin, when it is acceptable, becomes the series' Tmin for the new data;
// nothing of the chart's dragged values is applied.
void okClick(AppSettings& a, ParamsHeader& p) {
    std::string text = a.window().editText(kTminEditId);
    if (text.size() > kTminTextMax)
        text.resize(kTminTextMax);
    const int32_t least = a.wEtalonLength;
    const int32_t most = a.wTmax;
    const std::optional<int32_t> tmin = parseTmin(text, least, most);
    if (!tmin) {
        char message[96];
        std::snprintf(message, sizeof message, "Tmin must be a whole number from %d to %d", least,
                      most);
        a.window().messageBox(message, " Tmin ");
        return;
    }
    a.wTmin = static_cast<uint16_t>(*tmin);
    moveTminEdit(a, p, 0, 1000);
    a.restartAreaDirty = 1;
    a.screenMode = kSeriesScreen;
    a.lostDataPanelDirty = 0;
    leaveForNextData(a);
}

}  // namespace

std::optional<int32_t> parseTmin(std::string_view text, int32_t least, int32_t most) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    if (begin == end)
        return std::nullopt;
    int64_t value = 0;
    for (size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > most)
            return std::nullopt;
    }
    if (value < least)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

void viewSeriesParameters(AppSettings& a) {
    a.screenMode = kParamsScreen;
    if (a.lpParamsHeader)
        releasePointer(a, *a.lpParamsHeader);
    a.lpParamsHeader =
        getParamsHeader(a.window(), a.lpSeriesHeader.get(), std::move(a.lpParamsHeader));
    repaintWorkArea(a, true);
}

void leaveParamsScreen(AppSettings& a) {
    ParamsHeader* p = a.lpParamsHeader.get();
    if (!p)
        return;
    releasePointer(a, *p);
    p->aPlusDrag = p->bMinusDrag = p->tminDrag = p->tmaxDrag = 0;
    if (p->tminEditShown)
        moveTminEdit(a, *p, 0, 0);
}

bool onParamsScreenClick(AppSettings& a, int32_t x, int32_t y) {
    ParamsHeader* record = a.lpParamsHeader.get();
    if (!record)
        return false;  // without a record the chart takes no clicks
    ParamsHeader& p = *record;
    if (containsInclusive(p.cancelButtonRect, x, y)) {
        moveTminEdit(a, p, 0, 0);
        a.screenMode = kSeriesScreen;
        clearPanelFlags(a);
        leaveForNextData(a);
        return true;
    }
    if (containsInclusive(p.okButtonRect, x, y)) {
        okClick(a, p);
        return true;
    }
    for (int32_t i = 0; i < p.wBoxCount && i < p.wBoxCapacity; ++i) {
        if (!containsInclusive(p.pulsesSelectedAreas[i], x, y))
            continue;
        p.wPulses = i + p.wMinPulses;
        partialRepaint(a, p);
        return true;
    }
    if (containsInclusive(p.aPlusHandleRect, x, y)) {
        p.aPlusDrag = 1;
        return true;
    }
    if (containsInclusive(p.bMinusHandleRect, x, y)) {
        p.bMinusDrag = 1;
        return true;
    }
    if (hitTminLine(p, x, y)) {
        p.tminDrag = 1;
        return true;
    }
    if (hitTmaxLine(p, x, y)) {
        p.tmaxDrag = 1;
        return true;
    }
    return false;
}

void onParamsScreenMove(AppSettings& a, int32_t x, int32_t y) {
    ParamsHeader* record = a.lpParamsHeader.get();
    if (!record)
        return;
    ParamsHeader& p = *record;
    if (p.aPlusDrag || p.bMinusDrag) {
        (p.aPlusDrag ? p.aPlus : p.bMinus) = markerFromPoint(p, y);
        partialRepaint(a, p);
        return;
    }
    if (p.tminDrag) {
        const int32_t v = tminFromPoint(p, x, y);
        if (tminIsValid(p, v))
            p.wTmin = v;
        else
            p.tminDrag = 0;  // the drag ends with the last valid value
        partialRepaint(a, p);
        return;
    }
    if (p.tmaxDrag) {
        const int32_t v = tmaxFromPoint(p, x, y);
        if (tmaxIsValid(p, v))
            p.wTmax = v;
        else
            p.tmaxDrag = 0;
        partialRepaint(a, p);
        return;
    }
    trackHover(a, p, p.aPlusHover, containsInclusive(p.aPlusHandleRect, x, y),
               CursorShape::SizeVertical);
    trackHover(a, p, p.bMinusHover, containsInclusive(p.bMinusHandleRect, x, y),
               CursorShape::SizeVertical);
    trackHover(a, p, p.tminHover, hitTminLine(p, x, y), CursorShape::SizeDiagonal);
    trackHover(a, p, p.tmaxHover, hitTmaxLine(p, x, y), CursorShape::SizeDiagonal);
}

void onParamsScreenRelease(AppSettings& a, int32_t x, int32_t y) {
    ParamsHeader* record = a.lpParamsHeader.get();
    if (!record)
        return;
    ParamsHeader& p = *record;
    if (p.aPlusDrag) {
        p.aPlusDrag = 0;
        p.aPlus = markerFromPoint(p, y);
    } else if (p.bMinusDrag) {
        p.bMinusDrag = 0;
        p.bMinus = markerFromPoint(p, y);
    } else if (p.tminDrag) {
        p.tminDrag = 0;
        const int32_t v = tminFromPoint(p, x, y);
        if (tminIsValid(p, v))
            p.wTmin = v;
    } else if (p.tmaxDrag) {
        p.tmaxDrag = 0;
        const int32_t v = tmaxFromPoint(p, x, y);
        if (tmaxIsValid(p, v))
            p.wTmax = v;
    } else {
        return;
    }
    partialRepaint(a, p);
}

}  // namespace app
