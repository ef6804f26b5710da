#pragma once
// The one table that picks the processing procedure for a task kind and a series kind.

#include <cstdint>

#include "chains.h"
#include "platform/window.h"
#include "series/records.h"

namespace engine {

enum class Procedure {
    DetectUnknownNumber,
    DetectKnownNumber,
    RecognizeKnownNumber,
    RecognizeUnknownNumber,
    DetectTuplesKnownNumber,
    DetectTuplesUnknownNumber,
    RecognizeTuplesKnownNumber,
    TuplesDetection,
};

// Task 2: unknown (4, 8) -> recognizeUnknownNumber, else recognizeKnownNumber; task 36:
// unknown (4, 8, 40) -> detectTuplesUnknownNumber, else detectTuplesKnownNumber; task 40: unknown
// (4, 8, 40) -> TuplesDetection, else recognizeTuplesKnownNumber; any other task: unknown (4, 8)
// -> detectUnknownNumber, else detectKnownNumber.
Procedure procedureFor(uint16_t taskKind, uint16_t seriesKind);
const char* procedureName(Procedure procedure);

// Everything a procedure may need besides the window, the chains and the series.
struct ProcessingInput {
    const series::Alphabet* alphabet = nullptr;
    uint16_t listCount = 0;  // required list (tasks 1, 2, 4, 64)
    const uint16_t* list = nullptr;
    int32_t subsetCount = 0;  // selected subset (task 36)
    const int32_t* subset = nullptr;
    int32_t tupleCount = 0;  // stored tuples (task 40)
    const int32_t* tupleLengths = nullptr;
    const int32_t* const* tupleLists = nullptr;
    uint16_t proceeding = 1;
    uint16_t Tmin = 0;
    uint16_t Tmax = 0;
    uint16_t level = 100;  // processing saved level
    int32_t* debugRepeat = nullptr;
};

struct ProcessingOutcome {
    Procedure procedure = Procedure::DetectKnownNumber;
    bool hasResult = false;  // the procedure returns a value
    int32_t result = 0;
};

// Runs the procedure the table picks.
ProcessingOutcome runProcedure(platform::Window& window, uint16_t taskKind, uint16_t seriesKind,
                               const ProcessingInput& input, ChainsHeader& chains,
                               series::SeriesHeader& header);

}  // namespace engine
