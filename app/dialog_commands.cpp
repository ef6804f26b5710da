// The menu commands that ask for parameters in dialogs, run the statistical simulation and show
// its graphs, or write the picture to a file.

#include <algorithm>
#include <cstdio>
#include <string>

#include "commands.h"
#include "dialog_templates.h"
#include "dialogs.h"
#include "params_screen.h"
#include "render/simulation_graphs.h"
#include "series/generation.h"
#include "series/selection.h"
#include "series/series_header.h"
#include "simulation/driver.h"
#include "simulation_run.h"
#include "snapshot.h"

namespace app {

namespace {

bool isEtalonNumber(const AppSettings& a, uint32_t n) {
    return n >= 1 && n <= a.wAlphabetSize;
}

// " New pulses... ": the required list as the user types it; the flags follow the list.
void newPulses(AppSettings& a) {
    if (!a.lpEtalonNumbersList || a.wRequiredCount > a.wRequiredCapacity) {
        a.wRequiredCount = a.wAlphabetSize;
        a.lpEtalonNumbersList =
            series::getRequiredList(a.window(), a.wRequiredCount, std::move(a.lpEtalonNumbersList));
        a.wRequiredCapacity = a.wRequiredCount;
        if (!a.lpEtalonNumbersList) {
            a.wRequiredCount = a.wRequiredCapacity = 0;
            return;
        }
    }
    requiredEtalonsDialog(a);
    // Entries that name no etalon become their place number. This covers 0 as well as numbers
    // above the alphabet: an etalon number 0 would make processing read before the alphabet.
    for (uint16_t i = 0; i < a.wRequiredCount && i < a.wRequiredCapacity; ++i)
        if (!isEtalonNumber(a, a.lpEtalonNumbersList[i]))
            a.lpEtalonNumbersList[i] = static_cast<uint16_t>(i + 1);
    for (uint16_t k = 1; k <= a.wRequiredCapacity && k <= kAlphabetCapacity; ++k) {
        a.requiredFlags[k] = 0;
        for (uint16_t i = 0; i < a.wRequiredCount && i < a.wRequiredCapacity; ++i)
            if (a.lpEtalonNumbersList[i] == k)
                a.requiredFlags[k] = 1;
    }
}

// 215: the first "Create Series" dialog. Values that no series can be made with (a zero or
// crossed interval, an etalon longer than the interval or the series, levels outside 0..100)
// are refused with a message, and the dialog then counts as cancelled, so nothing is applied
// and no pulse range is divided by zero.
void firstCreateSeriesDialog(AppSettings& a) {
    if (a.wRequiredCount == 0) {
        a.wRequiredCount = 1;
        if (a.lpEtalonNumbersList)
            a.lpEtalonNumbersList[0] = 1;
        if (a.etalonSequence)
            a.etalonSequence[0] = 1;
        a.dwDetectionEtalon = 1;
        a.requiredFlags[1] = 1;
    }
    if (a.dwDetectionEtalon < 1 || a.dwDetectionEtalon > kAlphabetCapacity ||
        a.requiredFlags[static_cast<size_t>(a.dwDetectionEtalon)] == 0)
        for (uint16_t k = 1; k <= a.wAlphabetSize && k <= kAlphabetCapacity; ++k)
            if (a.requiredFlags[k] == 1) {
                a.dwDetectionEtalon = k;
                break;
            }
    const int32_t etalonBefore = a.dwEtalonNumber;
    createSeriesDialog(a);
    if (!a.dialogAccepted)
        return;
    // The dialog writes the etalon number straight into the settings; a refusal takes it back.
    const auto refuse = [&] {
        a.dialogAccepted = 0;
        a.dwEtalonNumber = etalonBefore;
    };
    if (!series::checkSeriesParameters(a.window(), " Create series... ", a.wEtalonLength,
                                       a.wEnteredTmin, a.wEnteredTmax, a.dwEnteredSeriesLength)) {
        refuse();
        return;
    }
    const auto level = [](int16_t v) { return v >= 0 && v <= 100; };
    if (!level(a.wEnteredCreateSavedLevel) || !level(a.wEnteredProcessSavedLevel)) {
        a.window().messageBox("Saved Energy Level must lie from 0 to 100", " Create series... ",
                              platform::MessageIcon::Warning);
        refuse();
        return;
    }
    if (!isEtalonNumber(a, static_cast<uint32_t>(a.dwEtalonNumber))) {
        a.window().messageBox("Etalon Number must lie from 1 to " + std::to_string(a.wAlphabetSize),
                              " Create series... ", platform::MessageIcon::Warning);
        refuse();
    }
}

// The pulse range of the entered length and intervals (Tmin and Tmax checked by 215).
void enteredRange(AppSettings& a, bool atLeastOne) {
    const uint32_t N = a.dwEnteredSeriesLength;
    const uint32_t L = a.wEtalonLength;
    a.wRangeFrom = static_cast<uint16_t>((N + L - 1) / a.wEnteredTmax);
    if (atLeastOne && a.wRangeFrom < 1)
        a.wRangeFrom = 1;
    a.wRangeTo = static_cast<uint16_t>((N - L + a.wEnteredTmin) / a.wEnteredTmin);
}

// " Create series... ": both dialogs, then generation with the entered values.
void createSeries(AppSettings& a) {
    onCommand(a, kFirstCreateSeriesDialog);
    if (!a.dialogAccepted)
        return;
    const uint16_t pulsesBefore = a.wPulsesInSeries;
    enteredRange(a, true);
    a.wPulsesInSeries = static_cast<uint16_t>((uint32_t{a.wRangeFrom} + a.wRangeTo) / 2);
    if (!growDialogSequence(a, a.wRangeTo)) {
        a.wPulsesInSeries = pulsesBefore;
        return;
    }
    for (uint16_t i = 0; i < a.wDialogSequenceSize; ++i)
        a.dialogSequence[i] = i < a.wEtalonSequenceSize && a.etalonSequence
                                  ? a.etalonSequence[i]
                                  : static_cast<uint16_t>(a.dwEtalonNumber);
    seriesStructureDialog(a);
    if (a.wEnteredPulses < a.wRangeFrom || a.wEnteredPulses > a.wRangeTo)
        a.wEnteredPulses = static_cast<uint16_t>((uint32_t{a.wRangeFrom} + a.wRangeTo) / 2);
    if (!a.dialogAccepted) {
        a.wPulsesInSeries = pulsesBefore;
        return;
    }
    a.dwSelectedSeriesLength = a.dwEnteredSeriesLength;
    a.wTmin = a.wEnteredTmin;
    a.wTmax = a.wEnteredTmax;
    a.dwDetectionEtalon = a.dwEtalonNumber;
    a.wCreateSavedLevel = static_cast<uint16_t>(a.wEnteredCreateSavedLevel);
    a.wProcessSavedLevel = static_cast<uint16_t>(a.wEnteredProcessSavedLevel);
    a.wPulsesInSeries = a.wEnteredPulses;
    a.wSelectedNoiseLevel = a.wEnteredNoiseLevel;
    a.wMinPulses = a.wRangeFrom;
    a.wMaxPulses = a.wRangeTo;
    growEtalonSequence(a, a.wRangeTo);
    for (uint16_t i = 0; i < a.wEtalonSequenceSize; ++i)
        a.etalonSequence[i] = i < a.wDialogSequenceSize ? a.dialogSequence[i]
                                                        : static_cast<uint16_t>(a.dwEtalonNumber);
    a.lpChainsHeader = engine::getChainsHeader(a.window(), a.wChainsMaxSize, a.wRangeTo,
                                               std::move(a.lpChainsHeader));
    a.lengthPanelDirty = a.noisePanelDirty = a.lostDataPanelDirty = 1;
    a.screenMode = kSeriesScreen;
    if (a.wSeriesKind == series::kFixedWhole)
        a.wSeriesKind = series::kCreatedFixed;
    else if (a.wSeriesKind == series::kUnfixedWhole)
        a.wSeriesKind = series::kCreatedUnfixed;
    onCommand(a, kGenerate);
}

// 214: the series and grid dialogs of the simulation.
void simulationSetUp(AppSettings& a) {
    onCommand(a, kFirstCreateSeriesDialog);
    if (!a.dialogAccepted)
        return;
    enteredRange(a, false);
    if (a.sequenceResetPending) {
        for (uint16_t i = 0; i < a.wMaxPulses && i < a.wEtalonSequenceSize; ++i)
            a.etalonSequence[i] = static_cast<uint16_t>(a.dwEtalonNumber);
        a.sequenceResetPending = 0;
    }
    locationParametersDialog(a);
    if (!a.dialogAccepted)
        return;
    a.dwSelectedSeriesLength = a.dwSeriesLength = a.dwEnteredSeriesLength;
    a.wTmin = a.wEnteredTmin;
    a.wTmax = a.wEnteredTmax;
    a.wCreateSavedLevel = static_cast<uint16_t>(a.wEnteredCreateSavedLevel);
    a.wProcessSavedLevel = static_cast<uint16_t>(a.wEnteredProcessSavedLevel);
    a.wMinPulses = a.wRangeFrom;
    a.wMaxPulses = a.wRangeTo;
    if (a.wPulsesIncrement == 0)
        a.wPulsesIncrement = 1;
    const int32_t count =
        (int32_t{a.wMaxPulses} - int32_t{a.wMinPulses}) / int32_t{a.wPulsesIncrement} + 1;
    a.wVariousPulsesNumber = static_cast<uint16_t>(count);
    growEtalonSequence(a, a.wMaxPulses);
}

std::string simulationSummary(const AppSettings& a) {
    char text[1024];
    const long lastNoise =
        long{a.wInitialNoiseLevel} + (long{a.wNoiseSteps} - 1) * long{a.wNoiseIncrement};
    std::snprintf(text, sizeof text,
                  "Create series parameters:\n"
                  "длина серии: %d\n"
                  "wTmin: %d\n"
                  "wTmax: %d\n"
                  "длина эталона: %d\n"
                  "MinPulses: %d -> %d\n"
                  "MaxPulses: %d -> %d\n"
                  "\n"
                  "pulses: %d, from %d to %d incr %d \n"
                  "noise level: from %d to %ld incr %d\n"
                  "number of repeats: %d\n",
                  static_cast<int>(a.dwSeriesLength), a.wTmin, a.wTmax, a.wEtalonLength,
                  a.wRangeFrom, a.wMinPulses, a.wRangeTo, a.wMaxPulses, a.wVariousPulsesNumber,
                  a.wMinPulses, a.wMaxPulses, a.wPulsesIncrement, a.wInitialNoiseLevel, lastNoise,
                  a.wNoiseIncrement, a.wRepeats);
    return text;
}

void showSimulation(AppSettings& a);

// " Statistical Simulation": set-up, summary, records, the run, then the graphs.
void statisticalSimulation(AppSettings& a) {
    a.wLostDataLevel = a.wSelectedLostData;
    a.wCreateSavedLevel = static_cast<uint16_t>(a.wSelectedCreateSavedLevel);
    a.wProcessSavedLevel = static_cast<uint16_t>(a.wSelectedProcessSavedLevel);
    onCommand(a, kSimulationSetUp);
    if (!a.dialogAccepted)
        return;
    a.window().messageBox(simulationSummary(a), "getPulseEstAsRepeats");
    a.lpSeriesHeader =
        series::getCutOffSeriesHeader(a.window(), a.wAlphabetSize, a.wEtalonLength, a.wTmin,
                                      a.wTmax, a.dwSeriesLength, std::move(a.lpSeriesHeader));
    if (!a.lpSeriesHeader) {
        a.window().messageBox("Не могу выделить память для lpCutOffSeriesHeader!",
                              " About getCutOffSeriesHeader ", platform::MessageIcon::Warning);
        return;
    }
    a.lpRestErrorHeader =
        simulation::getRestErrHeader(a.window(), a.wVariousPulsesNumber, a.wNoiseSteps, a.wRepeats,
                                     std::move(a.lpRestErrorHeader));
    if (!a.lpRestErrorHeader) {
        a.window().messageBox("Нет RestoreErrorHeader!", " About RestoreErrorHeader ");
        return;
    }
    if (!simulation::initRestErrHeader(a.window(), a.wVariousPulsesNumber, a.wMinPulses,
                                       a.wPulsesIncrement, a.wNoiseSteps, a.wInitialNoiseLevel,
                                       a.wNoiseIncrement, a.wRepeats, a.lpRestErrorHeader.get())) {
        a.window().messageBox("Ошибка initRestErrHeader!", " About RestoreErrorHeader ");
        return;
    }
    runStatisticalSimulation(a);
    showSimulation(a);
}

// " Show Statistical Simulation": the graph to show, then the series screen with the graphs.
void showSimulation(AppSettings& a) {
    if (!a.lpRestErrorHeader || a.lpRestErrorHeader->ifComplete == 0)
        return;
    a.seriesScreenContent = 2;
    if (a.wSelectedTask == series::kRecognition)
        showSimulationDialog(a);
    else
        showSimulationParametersDialog(a);
    a.simGraphKind = render::graphKindFor(a.showHandlingCase, a.showViewCase, a.boundsIncluded);
    repaintWorkArea(a, true);
    Rect restart = a.layout.restartAreaRect;
    restart.right += 1;
    restart.bottom += 1;
    invalidate(a, restart, true);
    a.restartAreaDirty = 0;
    repaintDirtyPanels(a);
    a.screenMode = kSeriesScreen;
}

// " Subset settings ...": the dialog, then the subsets handed to the series whatever its
// outcome.
void subsetSettings(AppSettings& a) {
    subsetSettingsDialog(a);
    if (a.wTaskKind != series::kTupleRecognition)
        series::setCurrentSubset(a.window(), a.selectedSubset,
                                 a.selectedSubset ? a.selectedSubsetCount : 0, a.wSubsetEmployment,
                                 a.wSubsetInitPosition, a.lpSeriesHeader.get());
    else
        series::addSomeSelectedSubsetToSeriesHeader(
            a.window(), a.selectedSubsetArraySize.get(), a.reservedSubsetLists.get(),
            a.reservedSubsetCount, a.reservedSubsetCapacity, a.subsetCapacity,
            a.currentReservedSubset, a.wSubsetEmployment, a.wSubsetInitPosition,
            a.lpSeriesHeader.get());
}

}  // namespace

bool onDialogCommand(AppSettings& a, int id) {
    switch (id) {
        case kCmdNewPulses:
            newPulses(a);
            return true;
        case kCmdCreateSeries:
            createSeries(a);
            return true;
        case kCmdViewSeriesParameters:
            viewSeriesParameters(a);
            return true;
        case kCmdSaveImage:
            saveSnapshot(a);
            return true;
        case kCmdStatisticalSimulation:
            statisticalSimulation(a);
            return true;
        case kCmdShowSimulation:
            showSimulation(a);
            return true;
        case kCmdSubsetSettings:
            subsetSettings(a);
            return true;
        case kCmdDrawingSettings:
            drawingSettingsDialog(a);
            return true;
        case kSimulationSetUp:
            simulationSetUp(a);
            return true;
        case kFirstCreateSeriesDialog:
            firstCreateSeriesDialog(a);
            return true;
        default:
            return false;
    }
}

}  // namespace app
