// The subset-selection screen's clicks: a candidate etalon appends itself to the selected
// subset, a slot of the strip marks its entry, the buttons delete, confirm, store or forget,
// and a reserved subset's frame makes it the one in use.

#include <algorithm>

#include "commands.h"
#include "mouse.h"
#include "subset_layout.h"
#include "subset_state.h"

namespace app {

namespace {

using platform::containsInclusive;

bool candidateClick(AppSettings& a, int32_t x, int32_t y) {
    if (!a.lpEtalonNumbersList)
        return false;
    const int32_t cells = std::min<int32_t>(a.wRequiredCount, kAlphabetCapacity);
    for (int32_t k = 0; k < cells; ++k) {
        if (!containsInclusive(a.candidateCellRects[static_cast<size_t>(k)], x, y))
            continue;
        // A marked entry is replaced by nothing: it goes, and the new etalon comes last.
        deleteMarkedEntries(a);
        appendToSelectedSubset(a, a.lpEtalonNumbersList[k]);
        onCommand(a, kRepaintSubsetArea);
        return true;
    }
    return false;
}

bool stripClick(AppSettings& a, int32_t x, int32_t y) {
    if (!containsInclusive(a.selectedStripRect, x, y))
        return false;
    std::fill_n(a.selectedSubsetMarks, a.subsetCapacity, 0);
    for (int32_t j = 0; j < a.selectedSubsetCount; ++j) {
        if (containsInclusive(a.possibleSubsetRect[j], x, y)) {
            a.selectedSubsetMarks[j] = 1;
            break;
        }
    }
    onCommand(a, kRepaintSubsetArea);
    return true;
}

void buttonClick(AppSettings& a, int32_t button) {
    switch (button) {
        case kDeleteAllButton:
            clearSelectedSubset(a);
            onCommand(a, kRepaintSubsetArea);
            break;
        case kDeleteButton:
            deleteMarkedEntries(a);
            onCommand(a, kRepaintSubsetArea);
            break;
        case kCancelButton:
            clearSelectedSubset(a);
            a.screenMode = kSeriesScreen;
            a.lengthPanelDirty = a.noisePanelDirty = a.lostDataPanelDirty = 0;
            onCommand(a, kNextData);
            break;
        case kOkButton:
            if (!handSubsetToSeries(a)) {
                onCommand(a, kRepaintSubsetScreen);
                break;
            }
            a.restartAreaDirty = 1;
            a.screenMode = kSeriesScreen;
            a.lostDataPanelDirty = 0;
            onCommand(a, kNextData);
            break;
        case kAcceptButton:
            a.markAllOnNextDraw = 1;
            a.reservedSubsetCount = addReservedSubset(a);
            a.currentReservedSubset = a.reservedSubsetCount;
            onCommand(a, kRepaintSubsetScreen);
            break;
        case kClearAllButton:
            a.markAllOnNextDraw = 1;
            a.reservedSubsetCount = 0;
            onCommand(a, kRepaintSubsetScreen);
            break;
        default:
            break;
    }
}

bool buttonsClick(AppSettings& a, int32_t x, int32_t y) {
    if (!a.ButtonsWhileSelectedSubsetRect)
        return false;
    const int32_t n = std::clamp(a.subsetButtonCount, 0, kSubsetButtonsMax);
    for (int32_t i = 0; i < n; ++i) {
        if (containsInclusive(a.ButtonsWhileSelectedSubsetRect[i], x, y)) {
            buttonClick(a, i);
            return true;
        }
    }
    return false;
}

bool reservedFrameClick(AppSettings& a, int32_t x, int32_t y) {
    if (!a.possibleSubsetArrayRect)
        return false;
    for (int32_t r = 0; r < a.reservedSubsetCount && r < a.reservedSubsetCapacity; ++r) {
        if (!containsInclusive(a.possibleSubsetArrayRect[r][a.subsetCapacity], x, y))
            continue;
        a.currentReservedSubset = r + 1;
        onCommand(a, kRepaintSubsetScreen);
        return true;
    }
    return false;
}

}  // namespace

bool onSubsetScreenClick(AppSettings& a, int32_t x, int32_t y) {
    // Without the prepared state the screen has nothing of its own to click.
    if (!subsetStatePrepared(a))
        return false;
    return candidateClick(a, x, y) || stripClick(a, x, y) || buttonsClick(a, x, y) ||
           reservedFrameClick(a, x, y);
}

}  // namespace app
