#include "rest_error_header.h"

#include <algorithm>
#include <new>

#include "platform/allocation.h"

namespace simulation {

namespace {

constexpr int kTables = 6;
constexpr const char* kGetTitle = " getRestErrHeader ";

// Points the grid fields and the six tables into the blocks for P pulse values and L levels.
void layOut(RestErrorHeader& r, uint16_t P, uint16_t L) {
    r.lpNoiseLevels = r.valueBlock.get();
    r.wPulseValues = r.valueBlock.get() + L;
    int32_t** rows = r.rowPointerBlock.get();
    int32_t* data = r.dataBlock.get();
    const size_t cells = size_t{P} * L;
    for (int t = 0; t < kTables; ++t)
        for (uint16_t k = 0; k < L; ++k)
            rows[size_t(t) * L + k] = data + size_t(t) * cells + size_t(k) * P;
    int32_t*** tables[kTables] = {&r.lpErrors,       &r.lpDetectionErrors,
                                  &r.lpSpareErrors1, &r.lpRecognitionErrors,
                                  &r.lpSpareErrors2, &r.lpSpareErrors3};
    for (int t = 0; t < kTables; ++t)
        *tables[t] = rows + size_t(t) * L;
}

}  // namespace

RestErrorHeaderPtr getRestErrHeader(platform::Window& window, uint16_t P, uint16_t L,
                                    int32_t repeats, RestErrorHeaderPtr record) {
    if (!record) {
        try {
            record = std::make_unique<RestErrorHeader>();
        } catch (const std::bad_alloc&) {
            window.messageBox("Нет памяти для newRestErrorHeader!", kGetTitle);
            return nullptr;
        }
    }
    RestErrorHeader& r = *record;
    const size_t S = size_t{P} + L;
    const size_t N = size_t{P} * L;

    if (N > size_t{r.wReservedPulses} * r.wReservedLevels && r.rowPointerBlock) {
        r.dataBlock.reset();
        r.dataBlockSize = 0;
    }
    if (S > size_t{r.wReservedPulses} + r.wReservedLevels && r.valueBlock) {
        r.valueBlock.reset();
        r.valueBlockSize = 0;
    }
    if (L > r.wReservedLevels) {
        r.valueBlock.reset();
        r.valueBlockSize = 0;
        if (r.rowPointerBlock) {
            r.dataBlock.reset();
            r.dataBlockSize = 0;
            r.rowPointerBlock.reset();
            r.rowPointerBlockSize = 0;
        }
    }
    // The rules above keep every block large enough; these checks only guard that invariant.
    if (r.valueBlock && r.valueBlockSize < S) {
        r.valueBlock.reset();
        r.valueBlockSize = 0;
    }
    if (r.rowPointerBlock && r.rowPointerBlockSize < kTables * size_t{L}) {
        r.rowPointerBlock.reset();
        r.rowPointerBlockSize = 0;
    }
    if (r.dataBlock && r.dataBlockSize < kTables * N) {
        r.dataBlock.reset();
        r.dataBlockSize = 0;
    }

    try {
        if (!r.valueBlock) {
            try {
                r.valueBlock = platform::allocateArray<int16_t>(S);
            } catch (const std::bad_alloc&) {
                window.messageBox("Нет памяти для newRestErrorHeader->lpNoiseLevel!", kGetTitle);
                throw;
            }
            r.valueBlockSize = S;
            r.wReservedLevels = L;
            r.wReservedPulses = P;
        }
        if (!r.rowPointerBlock) {
            try {
                r.rowPointerBlock = platform::allocateArray<int32_t*>(kTables * size_t{L});
            } catch (const std::bad_alloc&) {
                window.messageBox("Нет памяти для newRestErrorHeader->lpErrors!", kGetTitle);
                throw;
            }
            r.rowPointerBlockSize = kTables * size_t{L};
        }
        if (!r.dataBlock) {
            try {
                r.dataBlock = platform::allocateArray<int32_t>(kTables * N);
            } catch (const std::bad_alloc&) {
                window.messageBox("Нет памяти для newRestErrorHeader->lpErrors[]!", kGetTitle);
                throw;
            }
            r.dataBlockSize = kTables * N;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;  // the record and all its blocks go with it
    }

    layOut(r, P, L);
    r.wNoiseLevels = L;
    r.wVariousPulses = P;
    r.repeats = repeats;
    std::fill(r.valueBlock.get(), r.valueBlock.get() + S, int16_t{0});
    std::fill(r.dataBlock.get(), r.dataBlock.get() + kTables * N, int32_t{0});
    return record;
}

int initRestErrHeader(platform::Window& window, uint16_t P, int32_t pulseFrom, int32_t pulseStep,
                      uint16_t L, int32_t noiseFrom, int32_t noiseStep, int32_t repeats,
                      RestErrorHeader* record) {
    constexpr const char* kTitle = " initRestErrHeader ";
    if (!record) {
        window.messageBox("Не определен lpErrorHeader!", kTitle);
        return 0;
    }
    if (P > record->wReservedPulses) {
        window.messageBox("Неверно задан wVariousPulsesNumber!", kTitle);
        return 0;
    }
    if (L > record->wReservedLevels) {
        window.messageBox("Неверно задан wNoiseLevels!", kTitle);
        return 0;
    }
    RestErrorHeader& r = *record;
    // The capacities guarantee room for the new grid; a record without blocks has none.
    if (!r.valueBlock || r.valueBlockSize < size_t{P} + L ||
        r.rowPointerBlockSize < kTables * size_t{L} || r.dataBlockSize < kTables * size_t{P} * L) {
        window.messageBox("Неверно задан wNoiseLevels!", kTitle);
        return 0;
    }
    r.wVariousPulses = P;
    r.wNoiseLevels = L;
    r.repeats = repeats;
    r.ifComplete = 0;
    // A smaller grid than laid out: the tables are laid out again for the new row width.
    layOut(r, P, L);
    auto truncate16 = [](int64_t v) {
        return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v)));
    };
    for (uint16_t j = 0; j < P; ++j)
        r.wPulseValues[j] = truncate16(int64_t{pulseFrom} + int64_t{pulseStep} * j);
    for (uint16_t k = 0; k < L; ++k)
        r.lpNoiseLevels[k] = truncate16(int64_t{noiseFrom} + int64_t{noiseStep} * k);
    for (uint16_t k = 0; k < L; ++k)
        std::fill(r.lpErrors[k], r.lpErrors[k] + P, int32_t{0});
    return 1;
}

int addInitRestErrHeader(platform::Window& window, uint16_t seriesKind, uint16_t taskKind,
                         uint16_t createSavedLevel, int16_t processSavedLevel,
                         RestErrorHeader* record) {
    if (!record) {
        window.messageBox("Не определен lpErrorHeader!", " addInitRestErrHeader ");
        return 0;
    }
    record->wKindsMark = 2;
    record->wSeriesKind = seriesKind;
    record->lpSeriesName = restErrSeriesName(seriesKind);
    record->wTaskKind = taskKind;
    record->lpTaskName = restErrTaskName(taskKind);
    record->wCreateSavedLevel = createSavedLevel;
    record->wProcessSavedLevel = processSavedLevel;
    return 1;
}

int freeRestErrHeader(platform::Window&, RestErrorHeaderPtr record) {
    record.reset();
    return 1;
}

const char* restErrSeriesName(uint16_t seriesKind) {
    switch (seriesKind) {
        case 1:
            return "known number of whole pulses";
        case 2:
            return "known number of cut-off pulses";
        case 4:
            return "unknown number of whole pulses";
        case 8:
            return "unknown number of cut-off pulses";
        case 36:
            return "known number of whole pulses tuples";
        case 40:
            return "unknown number of whole pulses tuples";
        default:
            return nullptr;
    }
}

const char* restErrTaskName(uint16_t taskKind) {
    switch (taskKind) {
        case 1:
        case 36:
            return "detection";
        case 2:
        case 40:
            return "recognition";
        case 4:
            return "joint detection and identification";
        case 8:
        case 16:
            return "joint detection and estimation";
        case 32:
            return "blind detection";
        default:
            return nullptr;
    }
}

bool gridFits16Bits(int64_t from, int64_t step, int64_t count) {
    if (count <= 0)
        return true;
    const int64_t last = from + step * (count - 1);
    auto fits = [](int64_t v) { return v >= INT16_MIN && v <= INT16_MAX; };
    return fits(from) && fits(last);
}

}  // namespace simulation
