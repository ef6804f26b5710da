#include "commands.h"

#include <array>

#include "series/generation.h"
#include "series/series_header.h"
#include "subset_state.h"

namespace app {

namespace {

constexpr std::array<int, 4> kTaskItems{kCmdDetection, kCmdRecognition, kCmdJointDetection,
                                        kCmdSeriesProcessing};
constexpr std::array<int, 6> kSeriesItems{kCmdFixedWhole,    kCmdUnfixedWhole, kCmdFixedCutOff,
                                          kCmdUnfixedCutOff, kCmdFixedTuples,  kCmdUnfixedTuples};

void checkOnly(AppSettings& a, const int* items, size_t n, int id) {
    for (size_t i = 0; i < n; ++i)
        a.window().checkMenuItem(items[i], items[i] == id);
}

bool isTupleSeries(const AppSettings& a) {
    return series::isTupleKind(a.wSeriesKind);
}

void selectTask(AppSettings& a, int id) {
    checkOnly(a, kTaskItems.data(), kTaskItems.size(), id);
    switch (id) {
        case kCmdDetection:
            a.wSelectedTask = series::kDetection;
            if (isTupleSeries(a)) {
                a.wTaskKind = series::kTupleDetection;
            } else {
                a.wTaskKind = series::kDetection;
                a.requiredFlags.fill(0);
                if (a.dwDetectionEtalon >= 1 && a.dwDetectionEtalon <= kAlphabetCapacity)
                    a.requiredFlags[static_cast<size_t>(a.dwDetectionEtalon)] = 1;
                rebuildRequiredList(a);
            }
            break;
        case kCmdRecognition:
            a.wSelectedTask = a.wTaskKind = series::kRecognition;
            if (isTupleSeries(a))
                a.wTaskKind = series::kTupleRecognition;
            break;
        case kCmdJointDetection:
            a.wSelectedTask = a.wTaskKind = series::kJointDetection;
            break;
        case kCmdSeriesProcessing:
            a.wSelectedTask = a.wTaskKind = series::kSeriesProcessing;
            a.seriesScreenContent = 1;
            onCommand(a, kNoAction);
            break;
    }
}

void selectSeriesType(AppSettings& a, int id) {
    checkOnly(a, kSeriesItems.data(), kSeriesItems.size(), id);
    uint16_t kind = 0;
    switch (id) {
        case kCmdFixedWhole:
            kind = series::kFixedWhole;
            break;
        case kCmdUnfixedWhole:
            kind = series::kUnfixedWhole;
            break;
        case kCmdFixedCutOff:
            kind = series::kFixedCutOff;
            break;
        case kCmdUnfixedCutOff:
            kind = series::kUnfixedCutOff;
            break;
        case kCmdFixedTuples:
            kind = series::kFixedTuples;
            break;
        default:
            kind = series::kUnfixedTuples;
            break;
    }
    a.wSeriesKind = kind;
    if (!series::isCutOffKind(kind)) {
        // Whole pulses lose nothing: the lost data are reset.
        a.lostDataSelector.selected = 1;
        a.wSelectedLostData = 0;
        a.wLostDataLevel = 0;
        a.wSelectedCreateSavedLevel = 100;
        a.wCreateSavedLevel = 100;
        a.wEnteredCreateSavedLevel = 100;
        a.wSelectedProcessSavedLevel = 100;
        a.wProcessSavedLevel = 100;
        a.wEnteredProcessSavedLevel = 100;
    }
}

// 205: a new etalon sequence drawn from the required list, then 208.
void nextData(AppSettings& a) {
    deriveTaskKind(a);
    a.wPulsesActual = a.wPulsesInSeries;
    const uint32_t L = a.wEtalonLength;
    if (a.wTmin)
        a.wMaxPulses = static_cast<uint16_t>((a.dwSelectedSeriesLength - L + a.wTmin) / a.wTmin);
    growEtalonSequence(a, a.wMaxPulses);
    // With no etalon required there is nothing to draw from; the sequence is left as it is.
    if (a.wRequiredCount > 0 && a.lpEtalonNumbersList) {
        for (uint16_t i = 0; i < a.wMaxPulses && i < a.wEtalonSequenceSize; ++i) {
            const auto r = static_cast<uint32_t>(a.libraryRandom.next() >> 3);
            a.etalonSequence[i] = a.lpEtalonNumbersList[r % a.wRequiredCount];
        }
    }
    onCommand(a, kApplyAndGenerate);
}

// 208: apply the picked length, noise and lost-data levels, then 216.
void applyAndGenerate(AppSettings& a) {
    applySelectedParameters(a);
    growEtalonSequence(a, a.wMaxPulses);
    if ((a.wTaskKind == series::kDetection || a.wTaskKind == series::kRecognition) &&
        a.wEtalonSequenceSize > 0)
        for (uint16_t i = 0; i < a.wMaxPulses && i < a.wEtalonSequenceSize; ++i)
            a.etalonSequence[i] = a.etalonSequence[0];
    onCommand(a, kGenerate);
}

// 216: generate the series, then 209.
void generate(AppSettings& a) {
    a.dwSeriesLength = a.dwSelectedSeriesLength;
    a.wPulsesActual = a.wPulsesInSeries;
    if (a.wPulsesActual > a.wMaxPulses || a.wPulsesActual < a.wMinPulses)
        a.wPulsesActual = midPulses(a);
    a.wNoiseLevel = a.wSelectedNoiseLevel;
    growEtalonSequence(a, a.wMaxPulses);
    const bool unknownCount = series::isUnknownNumberKind(a.wSeriesKind);
    if (unknownCount)
        a.lpSeriesHeader = series::getRandomCutOffSeries(
            a.window(), a.wAlphabetSize, a.etalons, a.wEtalonLength, a.wTmin, a.wTmax,
            a.dwSeriesLength, a.wPulsesActual, a.etalonSequence.get(),
            static_cast<int16_t>(a.wAmplitude), a.wCreateSavedLevel, std::move(a.lpSeriesHeader),
            a.streams);
    else
        a.lpSeriesHeader =
            series::getCutOffSeries(a.window(), a.wAlphabetSize, a.etalons, a.wEtalonLength,
                                    a.wTmin, a.wTmax, a.dwSeriesLength, a.wPulsesActual,
                                    a.etalonSequence.get(), static_cast<int16_t>(a.wAmplitude),
                                    a.wCreateSavedLevel, std::move(a.lpSeriesHeader), a.streams);
    if (!a.lpSeriesHeader) {
        a.window().messageBox("Не могу создать ряд!", "CM_INFO");
        return;
    }
    if (unknownCount)
        a.wPulsesActual = a.lpSeriesHeader->wImpulseQuantity;
    onCommand(a, kNoiseAndProcess);
}

void noiseAndProcess(AppSettings& a) {
    if (a.lpSeriesHeader)
        series::addNoise(a.window(), a.wNoiseLevel, static_cast<int16_t>(a.wAmplitude),
                         *a.lpSeriesHeader, a.streams.noise);
    onCommand(a, kProcess);
}

// 210: the procedure the task and series kinds pick, then the result record's labels and 218.
void process(AppSettings& a) {
    const bool tupleDetection = a.wTaskKind == series::kTupleDetection;
    const bool tupleRecognition = a.wTaskKind == series::kTupleRecognition;
    bool runProcedure = true;
    if (tupleDetection && a.selectedSubsetCount == 0) {
        onCommand(a, kCmdSelectSetOfPulses);
        if (a.selectedSubsetCount == 0)
            return;
    }
    if (tupleRecognition && (a.selectedSubsetCount == 0 || a.reservedSubsetCount == 0)) {
        onCommand(a, kCmdSelectSetOfPulses);
        if (a.selectedSubsetCount == 0)
            runProcedure = false;
    }
    // Without a series there is nothing to process (the series could not be made).
    if (!a.lpSeriesHeader)
        return;
    if (runProcedure && a.lpChainsHeader) {
        engine::ProcessingInput in;
        in.alphabet = &a.etalons;
        in.listCount = a.wRequiredCount;
        in.list = a.lpEtalonNumbersList.get();
        in.subsetCount = a.selectedSubsetCount;
        in.subset = a.selectedSubset;
        in.tupleCount = a.reservedSubsetCount;
        in.tupleLengths = a.selectedSubsetArraySize.get();
        in.tupleLists = a.reservedSubsetLists.get();
        in.proceeding = a.wSubsetProceeding;
        in.Tmin = a.wTmin;
        in.Tmax = a.wTmax;
        in.level = a.wProcessSavedLevel;
        in.debugRepeat = &a.debugRepeat;
        a.lastProcessing = engine::runProcedure(a.window(), a.wTaskKind, a.wSeriesKind, in,
                                                *a.lpChainsHeader, *a.lpSeriesHeader);
    }
    if (!engine::addToChainsHeader(a.window(), a.wSeriesKind, a.wTaskKind, a.wCreateSavedLevel,
                                   a.wProcessSavedLevel, a.lpChainsHeader.get())) {
        a.window().messageBox("Ошибка addToChainsHeader!", " About ChainsHeader ");
        return;
    }
    a.screenMode = kSeriesScreen;
    a.seriesScreenContent = 1;
    onCommand(a, kRepaintAfterProcessing);
}

void resetFromSelectors(AppSettings& a) {
    a.dwSelectedSeriesLength = static_cast<uint32_t>(selectorValue(a.seriesLengthSelector));
    computePulseBounds(a, a.dwSelectedSeriesLength);
    a.wPulsesInSeries = midPulses(a);
    a.wSelectedNoiseLevel = static_cast<int16_t>(selectorValue(a.noiseLevelSelector));
    a.wSelectedLostData = static_cast<int16_t>(selectorValue(a.lostDataSelector));
    a.wSelectedCreateSavedLevel = static_cast<int16_t>(100 - a.wSelectedLostData);
    a.wSelectedProcessSavedLevel = a.wSelectedCreateSavedLevel;
    a.window().invalidateRect(nullptr, true);
}

void invalidateCell(AppSettings& a, int32_t etalon) {
    if (etalon < 1 || etalon > render::kMaxPulseCells)
        return;
    Rect r = a.layout.pulseCellRects[static_cast<size_t>(etalon - 1)];
    r.left -= 1;
    r.top -= 1;
    r.right += 3;
    r.bottom += 3;
    invalidate(a, r, true);
}

void repaintEtalonCells(AppSettings& a) {
    invalidateCell(a, a.dwDetectionEtalon);
    if (a.wTaskKind == series::kDetection)
        invalidateCell(a, a.dwPreviousDetectionEtalon);
    else
        invalidate(a, a.layout.selectButtonRect, true);
}

void repaintAlphabetScreen(AppSettings& a) {
    repaintWorkArea(a, true);
    if (a.wTaskKind != series::kDetection)
        invalidate(a, a.layout.selectButtonRect, true);
    repaintRestartArea(a);
}

void repaintSubsetScreen(AppSettings& a) {
    for (int32_t r = 0; r < a.reservedSubsetCapacity && a.possibleSubsetArrayRect; ++r)
        invalidate(a, a.possibleSubsetArrayRect[r][a.subsetCapacity], true);
    invalidate(a, a.selectedStripRect, true);
}

void setSeriesKindAndGo(AppSettings& a, uint16_t kind) {
    a.wSeriesKind = kind;
    a.seriesScreenContent = 1;
    onCommand(a, kNextData);
}

void repeatTask(AppSettings& a, uint16_t task) {
    a.wSelectedTask = task;
    a.seriesScreenContent = 1;
    onCommand(a, kNextData);
}

}  // namespace

void applySelectedParameters(AppSettings& a) {
    a.dwSeriesLength = a.dwSelectedSeriesLength;
    computePulseBounds(a, a.dwSelectedSeriesLength);
    a.wPulsesActual = a.wPulsesInSeries;
    if (a.wPulsesActual > a.wMaxPulses || a.wPulsesActual < a.wMinPulses)
        a.wPulsesActual = midPulses(a);
    a.wNoiseLevel = a.wSelectedNoiseLevel;
    a.wLostDataLevel = a.wSelectedLostData;
    a.wCreateSavedLevel = static_cast<uint16_t>(a.wSelectedCreateSavedLevel);
    a.wProcessSavedLevel = static_cast<uint16_t>(a.wSelectedProcessSavedLevel);
}

void invalidate(AppSettings& a, const Rect& rect, bool erase) {
    a.window().invalidateRect(&rect, erase);
}

void repaintWorkArea(AppSettings& a, bool erase) {
    // The strip above the work area is included, and so is the frame the views draw one pixel
    // outside the work area's right and bottom edges, which a repaint would otherwise leave
    // missing on a screen that did not draw it.
    Rect r = a.layout.workAreaRect;
    r.top -= 10;
    r.right += 2;
    r.bottom += 2;
    invalidate(a, r, erase);
}

void repaintRestartArea(AppSettings& a) {
    if (a.restartAreaDirty != 1)
        return;
    Rect r = a.layout.restartAreaRect;
    r.right += 1;
    r.bottom += 1;
    invalidate(a, r, true);
    a.restartAreaDirty = 0;
}

void repaintDirtyPanels(AppSettings& a) {
    const auto panel = [&](int32_t& dirty, const Rect& frame) {
        if (dirty) {
            invalidate(a, frame, true);
            dirty = 0;
        }
    };
    panel(a.lengthPanelDirty, a.layout.seriesLengthPanel);
    panel(a.noisePanelDirty, a.layout.noiseLevelPanel);
    panel(a.lostDataPanelDirty, a.layout.lostDataPanel);
}

void onCommand(AppSettings& a, int id) {
    id &= 0xFFFF;
    if (onDialogCommand(a, id))
        return;
    switch (id) {
        case kCmdSelectSetOfPulses:
            a.screenMode = kSubsetScreen;
            repaintWorkArea(a, true);
            break;
        case kCmdExit:
        case kClose:
            a.window().requestClose();
            break;
        case kCmdProcessingSameData:
            a.seriesScreenContent = 1;
            onCommand(a, kProcess);
            break;
        case kCmdProcessingNextData:
            a.seriesScreenContent = 1;
            onCommand(a, kNextData);
            break;
        case kCmdMoreDetails:
            onCommand(a, kProcess);
            break;
        case kCmdTypeMoreDetails:
            a.typeMoreDetails = 1;
            onCommand(a, kRepaintAfterProcessing);
            break;
        case kCmdFixedCase:
            setSeriesKindAndGo(a, series::kFixedWhole);
            break;
        case kCmdUnfixedCase:
            setSeriesKindAndGo(a, series::kUnfixedWhole);
            break;
        case kCmdRepeatDetection:
            repeatTask(a, series::kDetection);
            break;
        case kCmdRepeatRecognition:
            repeatTask(a, series::kRecognition);
            break;
        case kCmdRepeatJoint:
            repeatTask(a, series::kJointDetection);
            break;
        case kCmdRepeatSeriesProcessing:
            repeatTask(a, series::kSeriesProcessing);
            break;
        case kCmdDetection:
        case kCmdRecognition:
        case kCmdJointDetection:
        case kCmdSeriesProcessing:
            selectTask(a, id);
            break;
        case kCmdFixedWhole:
        case kCmdUnfixedWhole:
        case kCmdFixedCutOff:
        case kCmdUnfixedCutOff:
        case kCmdFixedTuples:
        case kCmdUnfixedTuples:
            selectSeriesType(a, id);
            break;
        case kCmdDebuggingRepeat:
            a.debugRepeat = 1;
            a.seriesScreenContent = 1;
            onCommand(a, kProcess);
            break;
        case kNextData:
            nextData(a);
            break;
        case kRepaintAll:
            a.window().invalidateRect(nullptr, true);
            break;
        case kApplyAndGenerate:
            applyAndGenerate(a);
            break;
        case kNoiseAndProcess:
            noiseAndProcess(a);
            break;
        case kProcess:
            process(a);
            break;
        case kResetFromSelectors:
            resetFromSelectors(a);
            break;
        case kRepaintEtalonCells:
            repaintEtalonCells(a);
            break;
        case kRepaintAlphabetScreen:
            repaintAlphabetScreen(a);
            break;
        case kGenerate:
            generate(a);
            break;
        case kRepaintAfterProcessing:
            repaintWorkArea(a, a.typeMoreDetails == 0);
            repaintDirtyPanels(a);
            repaintRestartArea(a);
            break;
        case kRepaintSubsetArea:
            invalidate(a, a.selectedStripRect, true);
            break;
        case kRepaintWorkArea:
            repaintWorkArea(a, true);
            break;
        case kRepaintWorkAreaNoErase:
            repaintWorkArea(a, false);
            break;
        case kRepaintSubsetScreen:
            repaintSubsetScreen(a);
            break;
        default:  // 207, 217, 219, 220, 225, 40014 and unknown ids: no action
            break;
    }
}

}  // namespace app
