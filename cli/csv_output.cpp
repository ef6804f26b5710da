#include "csv_output.h"

#include <algorithm>

namespace cli {

std::string seriesCsv(const series::SeriesHeader& h) {
    std::string out = "index,pure,noisy\n";
    for (uint32_t i = 0; i < h.dwSeriesSize; ++i)
        out += std::to_string(i) + ',' + std::to_string(h.lpPureData[i]) + ',' +
               std::to_string(h.lpNoisyData[i]) + '\n';
    return out;
}

std::string foundCsv(const series::SeriesHeader& h) {
    std::string out = "start,etalon,cut_begin,cut_end\n";
    const int found = std::min(h.wDetectedQuantity, h.wPulsesCapacity);
    for (int k = 0; k < found; ++k)
        out += std::to_string(h.lpDetectedStart[k]) + ',' + std::to_string(h.lpDetectedEtalon[k]) +
               ',' + std::to_string(h.lpDetectedCutBegin[k]) + ',' +
               std::to_string(h.lpDetectedCutEnd[k]) + '\n';
    return out;
}

}  // namespace cli
