#include "startup.h"

#include <string>

#include "params_header.h"
#include "series/alphabet.h"
#include "series/selection.h"
#include "series/series_header.h"
#include "subset_state.h"

namespace app {

namespace {

constexpr int kSeriesTypeItems[] = {40008, 40009, 40010, 40011, 40028, 40032};
constexpr int kTaskItems[] = {40005, 40006, 40007, 40027};

std::optional<platform::Bitmap>& bitmapField(AppSettings& a, int index) {
    switch (index) {
        case 0:
            return a.ButtonStart;
        case 1:
            return a.ButtonExit;
        case 2:
            return a.IDB_BITMAP1;
        case 3:
            return a.IDB_BITMAP5;
        default:
            return a.IDB_BITMAP4;
    }
}

bool loadButtonBitmaps(AppSettings& a) {
    for (int i = 0; i < static_cast<int>(kButtonBitmaps.size()); ++i) {
        auto bitmap = a.window().loadBitmap(kButtonBitmaps[i].name);
        if (!bitmap) {
            a.window().messageBox(std::string("No Bitmap <") + kButtonBitmaps[i].name + ">",
                                  "Fatal Error");
            return false;
        }
        bitmapField(a, i) = std::move(bitmap);
    }
    return true;
}

void generateAlphabet(AppSettings& a) {
    for (auto& e : a.etalons)
        e.lpData.reset();
    if (series::makeEtalonsAlphabet(a.window(), static_cast<int16_t>(a.wAmplitude), a.wAlphabetSize,
                                    a.wEtalonLength, a.etalons, a.streams.randomEtalons))
        a.screenMode = kAlphabetScreen;
}

void setStartMenuMarks(AppSettings& a) {
    for (int id : kSeriesTypeItems)
        a.window().checkMenuItem(id, false);
    a.wSeriesKind = series::kUnfixedTuples;
    a.window().checkMenuItem(40032, true);
    for (int id : kTaskItems)
        a.window().checkMenuItem(id, false);
    a.wSelectedTask = series::kDetection;
    a.window().checkMenuItem(40005, true);
}

}  // namespace

void prepareStartState(AppSettings& a) {
    generateAlphabet(a);
    a.wRequiredCount = a.wAlphabetSize;
    a.wRequiredCapacity = a.wAlphabetSize;
    a.lpEtalonNumbersList =
        series::getRequiredList(a.window(), a.wRequiredCount, std::move(a.lpEtalonNumbersList));
    deriveTaskKind(a);
    a.seriesScreenContent = 1;
    a.requiredFlags.fill(0);
    if (a.wTaskKind == series::kDetection) {
        a.dwDetectionEtalon = a.dwEtalonNumber;
        if (a.dwDetectionEtalon >= 1 && a.dwDetectionEtalon <= kAlphabetCapacity)
            a.requiredFlags[static_cast<size_t>(a.dwDetectionEtalon)] = 1;
    } else {
        for (uint16_t k = 1; k <= a.wAlphabetSize && k <= kAlphabetCapacity; ++k)
            a.requiredFlags[k] = 1;
    }
    a.screenMode =
        a.wTaskKind == series::kTupleDetection || a.wTaskKind == series::kTupleRecognition
            ? kSubsetScreen
            : kAlphabetScreen;
    rebuildRequiredList(a);

    a.seriesLengthSelector.selected = a.seriesLengthSelector.count;
    a.dwSelectedSeriesLength = static_cast<uint32_t>(selectorValue(a.seriesLengthSelector));
    a.dwSeriesLength = a.dwSelectedSeriesLength;
    computePulseBounds(a, a.dwSeriesLength);
    a.wPulsesInSeries = midPulses(a);
    a.wPulsesActual = a.wPulsesInSeries;

    a.etalonSequence.reset();
    a.wEtalonSequenceSize = 0;
    a.dialogSequence.reset();
    a.wDialogSequenceSize = 0;
    growEtalonSequence(a, a.wMaxPulses);
    growDialogSequence(a, a.wMaxPulses);

    a.noiseLevelSelector.selected = 1;
    a.wSelectedNoiseLevel = static_cast<int16_t>(selectorValue(a.noiseLevelSelector));
    a.wNoiseLevel = a.wSelectedNoiseLevel;

    a.wChainsMaxSize = 10;
    a.lpChainsHeader = engine::getChainsHeader(a.window(), a.wChainsMaxSize, a.wMaxPulses,
                                               std::move(a.lpChainsHeader));

    a.lostDataSelector.selected = 2;
    a.wSelectedLostData = static_cast<int16_t>(selectorValue(a.lostDataSelector));
    if (!series::isCutOffKind(a.wSeriesKind)) {
        a.lostDataSelector.selected = 1;
        a.wSelectedLostData = 0;
    }
    a.wLostDataLevel = a.wSelectedLostData;
    a.wSelectedCreateSavedLevel = static_cast<int16_t>(100 - a.wLostDataLevel);
    a.wCreateSavedLevel = static_cast<uint16_t>(a.wSelectedCreateSavedLevel);
    a.wSelectedProcessSavedLevel = static_cast<int16_t>(100 - a.wLostDataLevel);
    a.wProcessSavedLevel = static_cast<uint16_t>(a.wSelectedProcessSavedLevel);
}

bool onCreateMainWindow(AppSettings& a, platform::HostWindow& window) {
    a.hMainWindow = &window;
    if (!loadButtonBitmaps(a))
        return false;
    a.hTextFont = render::Font{};
    // The menu marks and the kinds they stand for come before the rest of start-up.
    setStartMenuMarks(a);
    prepareStartState(a);

    // The first series, without noise and without processing.
    const bool unknownCount = series::isUnknownNumberKind(a.wSeriesKind);
    if (unknownCount)
        a.lpSeriesHeader = series::getRandomCutOffSeries(
            window, a.wAlphabetSize, a.etalons, a.wEtalonLength, a.wTmin, a.wTmax, a.dwSeriesLength,
            a.wPulsesActual, a.etalonSequence.get(), static_cast<int16_t>(a.wAmplitude),
            a.wCreateSavedLevel, std::move(a.lpSeriesHeader), a.streams);
    else
        a.lpSeriesHeader = series::getCutOffSeries(
            window, a.wAlphabetSize, a.etalons, a.wEtalonLength, a.wTmin, a.wTmax, a.dwSeriesLength,
            a.wPulsesActual, a.etalonSequence.get(), static_cast<int16_t>(a.wAmplitude),
            a.wCreateSavedLevel, std::move(a.lpSeriesHeader), a.streams);
    if (unknownCount && a.lpSeriesHeader)
        a.wPulsesActual = a.lpSeriesHeader->wImpulseQuantity;

    window.createEditControl(kTminEditId, "Tmin Text");
    a.hTminEdit = true;
    return true;
}

void onDestroyMainWindow(AppSettings& a) {
    a.ButtonStart.reset();
    a.ButtonExit.reset();
    a.IDB_BITMAP1.reset();
    a.IDB_BITMAP5.reset();
    a.IDB_BITMAP4.reset();
    a.hTextFont.reset();
    for (auto& e : a.etalons) {
        e.lpData.reset();
        e.wAllocated = 0;
    }
    a.lpEtalonNumbersList.reset();
    a.wRequiredCount = 0;
    a.etalonSequence.reset();
    a.wEtalonSequenceSize = 0;
    a.dialogSequence.reset();
    a.wDialogSequenceSize = 0;
    if (a.hMainWindow) {
        series::freeSeriesHeader(*a.hMainWindow, std::move(a.lpSeriesHeader));
        engine::freeChainsHeader(*a.hMainWindow, std::move(a.lpChainsHeader));
        simulation::freeRestErrHeader(*a.hMainWindow, std::move(a.lpRestErrorHeader));
    }
    releaseSubsetState(a);
    a.lpParamsHeader.reset();
    if (a.hMainWindow)
        a.hMainWindow->postQuit(0);
}

}  // namespace app
