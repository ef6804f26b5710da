#pragma once
// The records of the signal model: one etalon (PulseHeader) and one series with its truth,
// the findings of the last processing and the stored subsets (SeriesHeader).

#include <cstdint>
#include <memory>
#include <vector>

namespace series {

// One etalon. lpData is null while the samples are not allocated.
struct PulseHeader {
    uint16_t wAllocated = 0;  // samples allocated in lpData
    uint16_t wSize = 0;       // etalon length
    uint16_t wNumber = 0;     // 1-based number in the alphabet
    std::unique_ptr<int16_t[]> lpData;
};

using Alphabet = std::vector<PulseHeader>;

// One series. The sample block holds, in order: N clean samples, N noisy samples, then thirteen
// per-pulse arrays of wPulsesCapacity entries; every lp* pulse field points into it.
struct SeriesHeader {
    uint32_t dwAllocatedSize = 0;
    uint32_t dwSeriesSize = 0;
    uint16_t wTmin = 0;
    uint16_t wTmax = 0;
    int16_t* lpPureData = nullptr;
    int16_t* lpNoisyData = nullptr;
    uint16_t wImpulseSize = 0;
    uint16_t wImpulseQuantity = 0;
    uint16_t wMaxPulses = 0;
    uint16_t wMinPulses = 0;
    int16_t wNoiseLevel = 0;
    int16_t wAmplitude = 0;
    int16_t* lpPulseStart = nullptr;
    int16_t* lpDetectedStart = nullptr;
    int16_t* lpStartMin = nullptr;
    int16_t* lpStartMax = nullptr;
    const PulseHeader* lpFirstPulse = nullptr;
    int16_t* lpPulseEtalon = nullptr;
    int16_t* lpDetectedEtalon = nullptr;
    uint16_t wPulsesListCapacity = 0;
    uint16_t wEtalonsQuantity = 0;
    uint16_t wPulsesCapacity = 0;
    std::unique_ptr<const PulseHeader*[]> lpPulsesList;  // entries point at alphabet entries
    uint16_t wDetectedQuantity = 0;
    int16_t wDefaultCutBegin = 0;
    int16_t wDefaultCutEnd = 0;
    int16_t* lpCutBegin = nullptr;
    int16_t* lpCutEnd = nullptr;
    int16_t* lpDetectedCutBegin = nullptr;
    int16_t* lpDetectedCutEnd = nullptr;
    int16_t* lpSubset = nullptr;
    uint16_t wSubsetSize = 0;
    uint16_t wSubsetMode = 0;
    uint16_t wSubsetStart = 0;
    int16_t wDetectedTuples = 0;
    int16_t* lpTupleFirst = nullptr;
    int16_t* lpTupleLast = nullptr;
    uint16_t wSubsetsCapacity = 0;
    uint16_t wSubsetsQuantity = 0;
    uint16_t wSubsetLengthCapacity = 0;
    int16_t wRecognizedSubset = 0;
    int16_t* selectedSubsetSize = nullptr;  // start of the subsets block
    std::unique_ptr<int16_t*[]> selectedSubsetList;

    // Owned storage behind the pointer fields.
    std::unique_ptr<int16_t[]> sampleBlock;
    std::unique_ptr<int16_t[]> subsetsBlock;

    SeriesHeader() = default;
    SeriesHeader(const SeriesHeader&) = delete;  // pointer fields point into the owned blocks
    SeriesHeader& operator=(const SeriesHeader&) = delete;
};

using SeriesHeaderPtr = std::unique_ptr<SeriesHeader>;

// What is generated and processed.
enum SeriesKind : uint16_t {
    kFixedWhole = 1,
    kFixedCutOff = 2,
    kUnfixedWhole = 4,
    kUnfixedCutOff = 8,
    kCreatedFixed = 16,
    kCreatedUnfixed = 32,
    kFixedTuples = 36,
    kUnfixedTuples = 40,
};

// What processing is asked to find.
enum TaskKind : uint16_t {
    kDetection = 1,
    kRecognition = 2,
    kJointDetection = 4,
    kJointEstimation8 = 8,
    kJointEstimation16 = 16,
    kBlindDetection = 32,
    kTupleDetection = 36,
    kTupleRecognition = 40,
    kSeriesProcessing = 64,
};

// Name text of a series kind ("known number of whole pulses", ...), or null.
const char* seriesKindName(uint16_t seriesKind);

// True for the kinds whose pulse count is drawn at random (4, 8, 40).
inline bool isUnknownNumberKind(uint16_t seriesKind) {
    return seriesKind == kUnfixedWhole || seriesKind == kUnfixedCutOff ||
           seriesKind == kUnfixedTuples;
}
// True for the cut-off kinds (2, 8), generated with the user's saved level.
inline bool isCutOffKind(uint16_t seriesKind) {
    return seriesKind == kFixedCutOff || seriesKind == kUnfixedCutOff;
}
inline bool isTupleKind(uint16_t seriesKind) {
    return seriesKind == kFixedTuples || seriesKind == kUnfixedTuples;
}

}  // namespace series
