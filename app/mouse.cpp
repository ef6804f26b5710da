#include "mouse.h"

#include <array>
#include <optional>

#include "commands.h"
#include "series/selection.h"

namespace app {

namespace {

using platform::containsInclusive;

void clearPanelFlags(AppSettings& a) {
    a.lengthPanelDirty = a.noisePanelDirty = a.lostDataPanelDirty = 0;
}

bool inside(const Rect& r, int32_t x, int32_t y) {
    return containsInclusive(r, x, y);
}

// Select All / Unselect All, as the button shows it.
bool selectButtonClick(AppSettings& a, int32_t x, int32_t y) {
    if (!render::hasSelectButton(a.wTaskKind))
        return false;
    const bool selectAll = a.layout.selectAllShown == 1;
    if (!inside(selectAll ? a.layout.selectButtonRect : a.layout.selectButtonHitRect, x, y))
        return false;
    if (selectAll) {
        for (uint16_t k = 1; k <= a.wAlphabetSize && k <= kAlphabetCapacity; ++k)
            a.requiredFlags[k] = 1;
        a.wRequiredCount = a.wAlphabetSize;
        for (uint16_t i = 0; i < a.wRequiredCount && a.lpEtalonNumbersList; ++i)
            a.lpEtalonNumbersList[i] = static_cast<uint16_t>(i + 1);
    } else {
        a.requiredFlags.fill(0);
        a.wRequiredCount = 0;
    }
    a.screenMode = kAlphabetScreen;
    return true;
}

bool alphabetClick(AppSettings& a, int32_t x, int32_t y) {
    for (int i = 0; i < render::kMaxPulseCells; ++i) {
        if (!inside(a.layout.pulseCellRects[static_cast<size_t>(i)], x, y))
            continue;
        const auto etalon = static_cast<uint16_t>(i + 1);
        if (a.wTaskKind == series::kDetection) {
            if (a.requiredFlags[etalon] != 1) {
                a.requiredFlags.fill(0);
                a.requiredFlags[etalon] = 1;
            }
            a.restartAreaDirty = 1;
            clearPanelFlags(a);
        } else {
            a.requiredFlags[etalon] = a.requiredFlags[etalon] == 1 ? 0 : 1;
        }
        a.screenMode = kAlphabetScreen;
        rebuildRequiredList(a);
        a.dwPreviousDetectionEtalon = a.dwDetectionEtalon;
        a.dwDetectionEtalon = etalon;
        onCommand(a, kRepaintEtalonCells);
        return true;
    }
    if (inside(a.layout.nextButtonRect, x, y)) {
        rebuildRequiredList(a);
        if (series::isTupleKind(a.wSeriesKind) && a.selectedSubsetCount == 0) {
            // Shown at once, as the other screens show it, rather than at the next paint.
            a.screenMode = kSubsetScreen;
            onCommand(a, kCmdSelectSetOfPulses);
        } else if (a.wRequiredCount == 0) {
            a.screenMode = kAlphabetScreen;
            onCommand(a, kNoAction);
        } else {
            a.restartAreaDirty = a.screenMode == kSeriesScreen ? 0 : 1;
            clearPanelFlags(a);
            a.screenMode = kSeriesScreen;
            onCommand(a, kNextData);
        }
        return true;
    }
    if (inside(a.layout.exitButtonRect, x, y)) {
        onCommand(a, kClose);
        return true;
    }
    if (selectButtonClick(a, x, y)) {
        onCommand(a, kRepaintAlphabetScreen);
        return true;
    }
    return false;
}

bool reservedSubsetClick(AppSettings& a, int32_t x, int32_t y) {
    if (!series::isTupleKind(a.wSeriesKind) || a.wTaskKind != series::kTupleRecognition ||
        !a.reservedSubsetRects)
        return false;
    for (int32_t i = 0; i < a.reservedSubsetCount && i < a.reservedSubsetCapacity; ++i) {
        if (!inside(a.reservedSubsetRects[i], x, y))
            continue;
        a.currentReservedSubset = i + 1;
        series::addSomeSelectedSubsetToSeriesHeader(
            a.window(), a.selectedSubsetArraySize.get(), a.reservedSubsetLists.get(),
            a.reservedSubsetCount, a.reservedSubsetCapacity, a.subsetCapacity,
            a.currentReservedSubset, a.wSubsetEmployment, a.wSubsetInitPosition,
            a.lpSeriesHeader.get());
        onCommand(a, kNextData);
        return true;
    }
    return false;
}

void restartClick(AppSettings& a) {
    if (series::isTupleKind(a.wSeriesKind)) {
        a.screenMode = kSubsetScreen;
        onCommand(a, kCmdSelectSetOfPulses);
    } else {
        a.screenMode = kAlphabetScreen;
        a.restartAreaDirty = 1;
        onCommand(a, kRepaintAlphabetScreen);
    }
}

// The buttons of the series, subset and parameter screens.
bool sharedButtonClick(AppSettings& a, int32_t x, int32_t y) {
    if (inside(a.layout.restartButtonRect, x, y)) {
        restartClick(a);
        return true;
    }
    if (inside(a.layout.nextButtonRect, x, y)) {
        if (a.screenMode == kParamsScreen) {
            if (series::isTupleKind(a.wSeriesKind) && a.selectedSubsetCount == 0) {
                a.screenMode = kSubsetScreen;
                onCommand(a, kCmdSelectSetOfPulses);
                return true;
            }
        } else if (a.wSeriesKind == series::kFixedTuples && a.selectedSubsetCount == 0) {
            a.screenMode = kSubsetScreen;
            onCommand(a, kCmdSelectSetOfPulses);
            return true;
        } else if (a.screenMode == kSubsetScreen && !handSubsetToSeries(a)) {
            onCommand(a, kRepaintSubsetScreen);
            return true;
        }
        a.screenMode = kSeriesScreen;
        clearPanelFlags(a);
        a.restartAreaDirty = 1;
        onCommand(a, kNextData);
        return true;
    }
    if (inside(a.layout.exitButtonRect, x, y)) {
        onCommand(a, kClose);
        return true;
    }
    if (selectButtonClick(a, x, y)) {
        a.restartAreaDirty = 1;
        onCommand(a, kRepaintAlphabetScreen);
        return true;
    }
    return false;
}

// After a length or noise pick: the series screen with new data.
void panelContinuation(AppSettings& a) {
    if (series::isTupleKind(a.wSeriesKind) && a.selectedSubsetCount == 0) {
        a.screenMode = kSubsetScreen;
        onCommand(a, kCmdSelectSetOfPulses);
        return;
    }
    if (a.screenMode == kSubsetScreen && !handSubsetToSeries(a)) {
        onCommand(a, kRepaintSubsetScreen);
        return;
    }
    a.restartAreaDirty = a.screenMode == kSeriesScreen ? 0 : 1;
    a.screenMode = kSeriesScreen;
    onCommand(a, kNextData);
}

// The panel item under the point becomes the selected one: its index, and whether the selection
// changed. Nothing when the point is on no item of the panel.
struct PanelPick {
    int index = 0;
    bool changed = false;
};
std::optional<PanelPick> pickPanelItem(ValueSelector& selector, const std::array<Rect, 3>& items,
                                       int32_t x, int32_t y) {
    for (int i = 0; i < 3; ++i) {
        if (!inside(items[static_cast<size_t>(i)], x, y))
            continue;
        const bool changed = selector.selected != i + 1;
        selector.selected = i + 1;
        return PanelPick{i, changed};
    }
    return std::nullopt;
}

void panelClick(AppSettings& a, int32_t x, int32_t y) {
    std::optional<PanelPick> pick;
    if ((pick = pickPanelItem(a.seriesLengthSelector, a.layout.seriesLengthItems, x, y))) {
        if (a.wRequiredCount == 0) {
            onCommand(a, kResetFromSelectors);
            return;
        }
        a.dwSelectedSeriesLength =
            static_cast<uint32_t>(a.seriesLengthSelector.values[pick->index]);
        computePulseBounds(a, a.dwSelectedSeriesLength);
        a.wPulsesInSeries = midPulses(a);
        a.lengthPanelDirty = pick->changed ? 1 : 0;
        panelContinuation(a);
        return;
    }
    if ((pick = pickPanelItem(a.noiseLevelSelector, a.layout.noiseLevelItems, x, y))) {
        if (a.wRequiredCount == 0) {
            onCommand(a, kResetFromSelectors);
            return;
        }
        a.wSelectedNoiseLevel = static_cast<int16_t>(a.noiseLevelSelector.values[pick->index]);
        a.noisePanelDirty = pick->changed ? 1 : 0;
        panelContinuation(a);
        return;
    }
    if (series::isCutOffKind(a.wSeriesKind) &&
        (pick = pickPanelItem(a.lostDataSelector, a.layout.lostDataItems, x, y))) {
        if (a.wRequiredCount == 0) {
            onCommand(a, kResetFromSelectors);
            return;
        }
        a.wSelectedLostData = static_cast<int16_t>(a.lostDataSelector.values[pick->index]);
        a.wSelectedCreateSavedLevel = static_cast<int16_t>(100 - a.wSelectedLostData);
        a.wSelectedProcessSavedLevel = a.wSelectedCreateSavedLevel;
        a.restartAreaDirty = a.screenMode == kSeriesScreen ? 0 : 1;
        a.screenMode = kSeriesScreen;
        a.lostDataPanelDirty = pick->changed ? 1 : 0;
        onCommand(a, kNextData);
        return;
    }
    onCommand(a, kNoAction);
}

}  // namespace

bool handSubsetToSeries(AppSettings& a) {
    if (a.wTaskKind != series::kTupleRecognition) {
        if (a.selectedSubsetCount <= 0)
            return false;
        series::setCurrentSubset(a.window(), a.selectedSubset, a.selectedSubsetCount,
                                 a.wSubsetEmployment, a.wSubsetInitPosition,
                                 a.lpSeriesHeader.get());
        return true;
    }
    if (a.reservedSubsetCount <= 0)
        return false;
    series::addSomeSelectedSubsetToSeriesHeader(
        a.window(), a.selectedSubsetArraySize.get(), a.reservedSubsetLists.get(),
        a.reservedSubsetCount, a.reservedSubsetCapacity, a.subsetCapacity, a.currentReservedSubset,
        a.wSubsetEmployment, a.wSubsetInitPosition, a.lpSeriesHeader.get());
    return true;
}

void onLeftButtonDown(AppSettings& a, bool, int32_t x, int32_t y, uint32_t) {
    switch (a.screenMode) {
        case kAlphabetScreen:
            if (alphabetClick(a, x, y))
                return;
            break;
        case kSeriesScreen:
            if (reservedSubsetClick(a, x, y) || sharedButtonClick(a, x, y))
                return;
            break;
        case kSubsetScreen:
            if (onSubsetScreenClick(a, x, y) || sharedButtonClick(a, x, y))
                return;
            break;
        case kParamsScreen:
            if (onParamsScreenClick(a, x, y) || sharedButtonClick(a, x, y))
                return;
            break;
        default:
            break;
    }
    panelClick(a, x, y);
}

void onLeftButtonUp(AppSettings& a, int32_t x, int32_t y, uint32_t) {
    if (a.screenMode == kParamsScreen)
        onParamsScreenRelease(a, x, y);
}

void onMouseMove(AppSettings& a, int32_t x, int32_t y, uint32_t) {
    if (a.screenMode == kParamsScreen)
        onParamsScreenMove(a, x, y);
}

}  // namespace app
