#include "records.h"

namespace series {

const char* seriesKindName(uint16_t seriesKind) {
    switch (seriesKind) {
        case kFixedWhole:
            return "known number of whole pulses";
        case kFixedCutOff:
            return "known number of cut-off pulses";
        case kUnfixedWhole:
            return "unknown number of whole pulses";
        case kUnfixedCutOff:
            return "unknown number of cut-off pulses";
        case kFixedTuples:
            return "known number of whole pulses tuples";
        case kUnfixedTuples:
            return "unknown number of whole pulses tuples";
        default:
            return nullptr;
    }
}

}  // namespace series
