#include "observed_series.h"

#include <algorithm>
#include <cstdio>

#include "series/generation.h"
#include "series/series_header.h"

namespace cli {

series::SeriesHeaderPtr makeObservedSeries(platform::Window& window, const SeriesOptions& o,
                                           const series::Alphabet& alphabet,
                                           const std::vector<int16_t>& samples, uint16_t K,
                                           series::SeriesHeaderPtr header) {
    const auto N = static_cast<uint32_t>(samples.size());
    header = series::getCutOffSeriesHeader(window, o.count, o.etalonLength, o.tmin, o.tmax, N,
                                           std::move(header));
    // Refused parameters leave the header as it was, laid out for another length.
    if (!header || header->dwSeriesSize != N || alphabet.size() < o.count)
        return nullptr;
    series::SeriesHeader& h = *header;
    const uint16_t L = o.etalonLength;
    std::fill(h.lpPureData, h.lpPureData + N, int16_t{0});
    std::copy(samples.begin(), samples.end(), h.lpNoisyData);
    h.wImpulseSize = L;
    h.wImpulseQuantity = std::min(K, h.wMaxPulses);
    h.wNoiseLevel = 0;
    h.wAmplitude = o.amplitude;
    h.wDefaultCutBegin = 0;
    h.wDefaultCutEnd = static_cast<int16_t>(L - 1);
    for (uint16_t k = 0; k < h.wImpulseQuantity; ++k) {
        h.lpStartMin[k] = static_cast<int16_t>(series::startLow(N, o.tmin, o.tmax, K, k));
        h.lpStartMax[k] = static_cast<int16_t>(series::startHigh(N, L, o.tmin, o.tmax, K, k));
        h.lpPulseStart[k] = 0;
        h.lpPulseEtalon[k] = 0;
        h.lpCutBegin[k] = 0;
        h.lpCutEnd[k] = 0;
        h.lpDetectedStart[k] = -1;
    }
    h.wDetectedQuantity = 0;
    for (uint16_t i = 0; i < o.count; ++i)
        h.lpPulsesList[i] = &alphabet[i];
    h.lpFirstPulse = nullptr;
    return header;
}

std::string observedSummary(const series::SeriesHeader& h, const std::string& file,
                            const std::string& format) {
    int64_t energy = 0;
    for (uint32_t i = 0; i < h.dwSeriesSize; ++i)
        energy += int64_t{h.lpNoisyData[i]} * h.lpNoisyData[i];
    std::string out = "series: " + std::to_string(h.dwSeriesSize) + " samples from " + file + " (" +
                      format + "), etalon length " + std::to_string(h.wImpulseSize) + ", Tmin " +
                      std::to_string(h.wTmin) + ", Tmax " + std::to_string(h.wTmax) + "\n";
    char line[200];
    if (h.wImpulseQuantity > 0)
        std::snprintf(line, sizeof line, "pulses: %u given (feasible %u..%u)\n",
                      unsigned{h.wImpulseQuantity}, unsigned{h.wMinPulses}, unsigned{h.wMaxPulses});
    else
        std::snprintf(line, sizeof line, "pulses: unknown (feasible %u..%u)\n",
                      unsigned{h.wMinPulses}, unsigned{h.wMaxPulses});
    out += line;
    std::snprintf(line, sizeof line, "energy: %lld (no clean series, no truth)\n",
                  static_cast<long long>(energy));
    return out + line;
}

}  // namespace cli
