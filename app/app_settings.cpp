#include "app_settings.h"

#include <algorithm>
#include <new>

#include "params_header.h"
#include "platform/allocation.h"

namespace app {

void ParamsHeaderDeleter::operator()(ParamsHeader* p) const {
    delete p;
}

AppSettings::AppSettings() = default;
AppSettings::~AppSettings() = default;

int32_t selectorValue(const ValueSelector& s) {
    const int32_t i = std::clamp(s.selected, 1, 3);
    return s.values[static_cast<size_t>(i - 1)];
}

void computeDerivedInitialValues(AppSettings& a) {
    a.dwSelectedSeriesLength = static_cast<uint32_t>(selectorValue(a.seriesLengthSelector));
    a.dwSeriesLength = a.dwSelectedSeriesLength;
    a.wSelectedNoiseLevel = static_cast<int16_t>(selectorValue(a.noiseLevelSelector));
    a.wNoiseLevel = a.wSelectedNoiseLevel;
    a.wSelectedLostData = static_cast<int16_t>(selectorValue(a.lostDataSelector));
    a.wLostDataLevel = a.wSelectedLostData;
    a.wSelectedCreateSavedLevel = static_cast<int16_t>(100 - a.wLostDataLevel);
    a.wCreateSavedLevel = static_cast<uint16_t>(a.wSelectedCreateSavedLevel);
    a.wSelectedProcessSavedLevel = static_cast<int16_t>(100 - a.wLostDataLevel);
    a.wProcessSavedLevel = static_cast<uint16_t>(a.wSelectedProcessSavedLevel);
    a.dwDetectionEtalon = a.dwEtalonNumber;
}

void computePulseBounds(AppSettings& a, uint32_t length) {
    // Unsigned 32-bit arithmetic truncating, stored as 16 bits. A zero Tmin or Tmax (never set
    // by the program's own values) gives 0 instead of a division by zero.
    const uint32_t L = a.wEtalonLength;
    a.wMinPulses = a.wTmax ? static_cast<uint16_t>((length + L - 1) / a.wTmax) : 0;
    a.wMaxPulses = a.wTmin ? static_cast<uint16_t>((length - L + a.wTmin) / a.wTmin) : 0;
}

uint16_t midPulses(const AppSettings& a) {
    return static_cast<uint16_t>((uint32_t{a.wMinPulses} + a.wMaxPulses) / 2);
}

void deriveTaskKind(AppSettings& a) {
    a.wTaskKind = a.wSelectedTask;
    const bool tuples =
        a.wSeriesKind == series::kFixedTuples || a.wSeriesKind == series::kUnfixedTuples;
    if (a.wSelectedTask == series::kDetection && tuples)
        a.wTaskKind = series::kTupleDetection;
    if (a.wSelectedTask == series::kRecognition && tuples)
        a.wTaskKind = series::kTupleRecognition;
}

void rebuildRequiredList(AppSettings& a) {
    if (!a.lpEtalonNumbersList)
        return;
    uint16_t n = 0;
    for (uint16_t k = 1; k <= a.wAlphabetSize && k <= kAlphabetCapacity; ++k)
        if (a.requiredFlags[k] == 1 && n < a.wRequiredCapacity)
            a.lpEtalonNumbersList[n++] = k;
    a.wRequiredCount = n;
}

namespace {
bool growSequence(std::unique_ptr<uint16_t[]>& array, uint16_t& size, uint16_t n, uint16_t filler) {
    if (array && size >= n)
        return true;
    std::unique_ptr<uint16_t[]> grown;
    try {
        grown = platform::allocateArray<uint16_t>(n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (uint16_t i = 0; i < n; ++i)
        grown[i] = array && i < size ? array[i] : filler;
    array = std::move(grown);
    size = n;
    return true;
}
}  // namespace

bool growEtalonSequence(AppSettings& a, uint16_t n) {
    return growSequence(a.etalonSequence, a.wEtalonSequenceSize, n,
                        static_cast<uint16_t>(a.dwEtalonNumber));
}

bool growDialogSequence(AppSettings& a, uint16_t n) {
    return growSequence(a.dialogSequence, a.wDialogSequenceSize, n,
                        static_cast<uint16_t>(a.dwEtalonNumber));
}

}  // namespace app
