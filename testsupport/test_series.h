#pragma once
// Helpers shared by the tests: the default alphabet and a generated series.

#include <cstdint>
#include <vector>

#include "platform/window.h"
#include "series/alphabet.h"
#include "series/generation.h"
#include "series/series_header.h"

namespace testsupport {

inline series::Alphabet makeAlphabet(uint16_t M = 20, uint16_t L = 20, int16_t A = 128) {
    platform::RecordingWindow window;
    series::Alphabet alphabet;
    int16_t stream = series::RandomStreams{}.randomEtalons;
    series::makeEtalonsAlphabet(window, A, M, L, alphabet, stream);
    return alphabet;
}

struct SeriesParams {
    uint16_t M = 20;
    uint16_t L = 20;
    uint16_t Tmin = 40;
    uint16_t Tmax = 181;
    uint32_t N = 1200;
    uint16_t K = 18;
    uint16_t savedLevel = 100;
    int16_t sigma = 0;
};

// Generates a series with the given etalon sequence (padded with 1) and noise.
inline series::SeriesHeaderPtr makeSeries(const series::Alphabet& alphabet, const SeriesParams& p,
                                          std::vector<uint16_t> sequence,
                                          series::RandomStreams& streams,
                                          series::SeriesHeaderPtr header = nullptr) {
    platform::RecordingWindow window;
    sequence.resize(std::max<size_t>(sequence.size(), p.K + 1u), 1);
    header =
        series::getCutOffSeries(window, p.M, alphabet, p.L, p.Tmin, p.Tmax, p.N, p.K,
                                sequence.data(), 128, p.savedLevel, std::move(header), streams);
    if (header)
        series::addNoise(window, p.sigma, 128, *header, streams.noise);
    return header;
}

}  // namespace testsupport
