#pragma once
// The one record of settings and current state of the desktop program: every parameter the
// user can change, the alphabet, the required etalons, the subset state, the screen mode, the
// current series, result and simulation records and the window's resources. Only the commands,
// the mouse handling, the dialogs and painting's layout updates change it; everything runs on
// the window's thread.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/chains.h"
#include "engine/dispatch.h"
#include "platform/geometry.h"
#include "platform/host_window.h"
#include "render/screen_layout.h"
#include "render/surface.h"
#include "series/random.h"
#include "series/records.h"
#include "simulation/rest_error_header.h"

namespace app {

using platform::Rect;

struct ParamsHeader;  // the parameter screen's record (params_header.h)
struct ParamsHeaderDeleter {
    void operator()(ParamsHeader* p) const;
};
using ParamsHeaderPtr = std::unique_ptr<ParamsHeader, ParamsHeaderDeleter>;

// A short list of values offered in a selector panel; `selected` is 1-based.
struct ValueSelector {
    int32_t count = 3;
    std::array<int32_t, 3> values{};
    int32_t selected = 1;
};

// The screens (values of screenMode).
enum ScreenMode : int32_t {
    kAlphabetScreen = 5,
    kSeriesScreen = 6,
    kSubsetScreen = 9,
    kParamsScreen = 10,
};

inline constexpr uint16_t kAlphabetCapacity = 20;
inline constexpr int kTminEditId = 225;

// Resource names of the five button bitmaps, in loading order, and their ids.
struct ButtonBitmapResource {
    const char* name;
    int id;
};
inline constexpr std::array<ButtonBitmapResource, 5> kButtonBitmaps{{
    {"ButtonStart", 103},
    {"ButtonExit", 102},
    {"IDB_BITMAP1", 101},
    {"IDB_BITMAP5", 109},
    {"IDB_BITMAP4", 108},
}};

struct AppSettings {
    AppSettings();
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // Alphabet and etalon choice
    uint16_t wAlphabetSize = 20;
    uint16_t wEtalonLength = 20;
    uint16_t wAmplitude = 128;
    series::Alphabet etalons = series::Alphabet(kAlphabetCapacity);
    int32_t dwEtalonNumber = 1;
    int32_t dwDetectionEtalon = 1;
    int32_t dwPreviousDetectionEtalon = 0;
    std::array<uint16_t, kAlphabetCapacity + 1> requiredFlags{};  // indexed by etalon number
    std::unique_ptr<uint16_t[]> lpEtalonNumbersList;
    uint16_t wRequiredCount = 20;
    uint16_t wRequiredCapacity = 20;

    // Kinds
    uint16_t wSelectedTask = 4;
    uint16_t wTaskKind = 4;
    uint16_t wSeriesKind = 8;

    // Series parameters
    ValueSelector seriesLengthSelector{3, {200, 600, 1200}, 3};
    ValueSelector noiseLevelSelector{3, {20, 35, 50}, 1};
    ValueSelector lostDataSelector{3, {0, 25, 50}, 2};
    uint32_t dwSelectedSeriesLength = 0;
    uint32_t dwSeriesLength = 0;
    int16_t wSelectedNoiseLevel = 0;
    int16_t wNoiseLevel = 0;
    int16_t wSelectedLostData = 0;
    int16_t wLostDataLevel = 0;
    int16_t wSelectedCreateSavedLevel = 0;
    uint16_t wCreateSavedLevel = 0;
    int16_t wSelectedProcessSavedLevel = 0;
    uint16_t wProcessSavedLevel = 0;
    uint16_t wTmin = 40;
    uint16_t wTmax = 181;
    uint16_t wPulsesInSeries = 40;
    uint16_t wPulsesActual = 40;
    uint16_t wMinPulses = 0;
    uint16_t wMaxPulses = 0;
    std::unique_ptr<uint16_t[]> etalonSequence;
    uint16_t wEtalonSequenceSize = 0;
    std::unique_ptr<uint16_t[]> dialogSequence;
    uint16_t wDialogSequenceSize = 0;
    // The generation streams of the series routines; streams.noise is the noise state
    // (`noiseSeed`, 10597 at start), advanced by every noise run and never reset.
    series::RandomStreams streams;
    // The runtime library's generator that draws the etalon sequences (state 1 at start).
    series::LibraryRandom libraryRandom;

    // Detection, subsets and simulation
    uint16_t wChainsMaxSize = 10;
    uint16_t wSubsetEmployment = 4;
    uint16_t wSubsetInitPosition = 1;
    uint16_t wSubsetProceeding = 1;
    uint16_t wRepeats = 100;
    uint16_t wPulsesIncrement = 1;
    uint16_t wInitialNoiseLevel = 0;
    uint16_t wNoiseSteps = 29;
    uint16_t wNoiseIncrement = 5;
    uint16_t wVariousPulsesNumber = 0;
    int32_t sequenceResetPending = 1;

    // Subset state (see subset_state.h for the block layout)
    int32_t subsetCapacity = 0;
    std::unique_ptr<int32_t[]> subsetBlock;  // subsetCapacity numbers, then as many marks
    int32_t* selectedSubset = nullptr;
    int32_t* selectedSubsetMarks = nullptr;
    int32_t selectedSubsetCount = 0;
    std::unique_ptr<Rect[]> possibleSubsetRect;
    uint16_t wReservedSubsetsMax = 10;
    int32_t reservedSubsetCapacity = 0;
    int32_t reservedSubsetCount = 0;
    std::unique_ptr<int32_t[]> selectedSubsetArraySize;
    std::unique_ptr<int32_t[]> reservedSubsetBlock;    // capacity x (subsetCapacity + 2) values
    std::unique_ptr<int32_t*[]> reservedSubsetLists;   // row starts into reservedSubsetBlock
    std::unique_ptr<Rect[]> possibleSubsetArrayBlock;  // capacity x (subsetCapacity + 2) rects
    std::unique_ptr<Rect*[]> possibleSubsetArrayRect;  // row starts into the block
    Rect* reservedSubsetRects = nullptr;               // after the last row of the block
    int32_t currentReservedSubset = 0;
    int32_t markAllOnNextDraw = 0;
    std::array<Rect, kAlphabetCapacity> candidateCellRects{};
    Rect selectedStripRect;
    std::unique_ptr<Rect[]> ButtonsWhileSelectedSubsetRect;  // room for 6
    int32_t subsetButtonCount = 0;

    // Dialog exchange fields
    int32_t dialogAccepted = 0;
    uint32_t dwEnteredSeriesLength = 0;
    uint16_t wEnteredTmin = 0;
    uint16_t wEnteredTmax = 0;
    int16_t wEnteredCreateSavedLevel = 0;
    int16_t wEnteredProcessSavedLevel = 0;
    uint16_t wEnteredPulses = 40;
    int16_t wEnteredNoiseLevel = 0;
    uint16_t wRangeFrom = 0;
    uint16_t wRangeTo = 0;

    // Display
    int32_t screenMode = kAlphabetScreen;
    uint16_t seriesScreenContent = 1;
    int32_t simGraphKind = 2;
    int32_t showViewCase = 1;
    int32_t showHandlingCase = 1;
    int32_t fixedUpperBound = 0;
    double upperBound = 0.25;
    int32_t boundsIncluded = 1;
    int32_t frameGraphFields = 1;
    int32_t shadedOriginalPulses = 1;
    int32_t highlightDetectedPulses = 0;
    int32_t specialGraphSize = 0;
    int16_t tuplesHighlight = 2;
    int32_t lengthPanelDirty = 0;
    int32_t noisePanelDirty = 0;
    int32_t lostDataPanelDirty = 0;
    int32_t restartAreaDirty = 0;
    int32_t debugRepeat = 0;
    int32_t typeMoreDetails = 0;

    // Records and handles
    series::SeriesHeaderPtr lpSeriesHeader;
    engine::ChainsHeaderPtr lpChainsHeader;
    simulation::RestErrorHeaderPtr lpRestErrorHeader;
    ParamsHeaderPtr lpParamsHeader;
    platform::HostWindow* hMainWindow = nullptr;
    bool hTminEdit = false;  // the child edit control kTminEditId exists
    std::optional<render::Font> hTextFont;
    std::optional<platform::Bitmap> ButtonStart, ButtonExit, IDB_BITMAP1, IDB_BITMAP5, IDB_BITMAP4;

    // The layout of the last paint.
    render::ScreenLayout layout;
    // What the last processing ran (for reports of the batch tool).
    std::optional<engine::ProcessingOutcome> lastProcessing;

    platform::HostWindow& window() { return *hMainWindow; }
};

// The derived initial values, computed once before the window exists.
void computeDerivedInitialValues(AppSettings& app);

// wMinPulses = (length + L - 1) / wTmax, wMaxPulses = (length - L + wTmin) / wTmin (u16).
void computePulseBounds(AppSettings& app, uint32_t length);
uint16_t midPulses(const AppSettings& app);
void deriveTaskKind(AppSettings& app);
void rebuildRequiredList(AppSettings& app);
int32_t selectorValue(const ValueSelector& selector);

// Grows etalonSequence (or dialogSequence) to at least n entries: entries below the old
// capacity keep their values, new ones get dwEtalonNumber. False (nothing changed) when the
// memory cannot be had.
bool growEtalonSequence(AppSettings& app, uint16_t n);
bool growDialogSequence(AppSettings& app, uint16_t n);

}  // namespace app
