#include "pipeline.h"

#include <algorithm>

#include "series/generation.h"
#include "series/selection.h"
#include "series/series_header.h"

namespace cli {

std::vector<uint16_t> sequenceFromText(const std::string& text, size_t n) {
    std::vector<uint16_t> sequence;
    if (!text.empty())
        for (int32_t v : parseList(text, "--sequence", 0, 65535))
            sequence.push_back(static_cast<uint16_t>(v));
    if (sequence.size() < n)
        sequence.resize(n, 1);
    return sequence;
}

std::vector<int32_t> requiredList(const std::string& etalons, uint16_t taskKind, uint16_t count) {
    if (!etalons.empty())
        return parseList(etalons, "--etalons", 1, count);
    if (taskKind == series::kDetection)
        return {1};
    std::vector<int32_t> all(count);
    for (uint16_t i = 0; i < count; ++i)
        all[i] = i + 1;
    return all;
}

bool storeSelection(platform::Window& window, series::SeriesHeader& header, uint16_t taskKind,
                    const std::vector<int32_t>& subset,
                    const std::vector<std::vector<int32_t>>& tuples, int32_t currentTuple,
                    uint16_t mode, uint16_t start) {
    if (taskKind == series::kTupleRecognition && !tuples.empty()) {
        // The application keeps room for 10 tuples of 10 etalons; more are given room here.
        std::vector<int32_t> lengths;
        std::vector<const int32_t*> rows;
        int32_t longest = 10;
        for (const auto& t : tuples) {
            lengths.push_back(static_cast<int32_t>(t.size()));
            rows.push_back(t.data());
            longest = std::max(longest, static_cast<int32_t>(t.size()));
        }
        const auto count = static_cast<int32_t>(tuples.size());
        return series::addSomeSelectedSubsetToSeriesHeader(
                   window, lengths.data(), rows.data(), count, std::max<int32_t>(10, count),
                   longest, currentTuple, mode, start, &header) == 1;
    }
    if (!subset.empty())
        series::setCurrentSubset(window, subset.data(), static_cast<int32_t>(subset.size()), mode,
                                 start, &header);
    return true;
}

series::SeriesHeaderPtr generateSeries(platform::Window& window, GenerationRequest& r,
                                       series::RandomStreams& streams,
                                       series::SeriesHeaderPtr header) {
    const SeriesOptions& o = *r.options;
    const uint16_t maxP = series::maxPulsesFor(o.length, o.etalonLength, o.tmin);
    const uint16_t minP = series::minPulsesFor(o.length, o.etalonLength, o.tmax);
    if (r.sequence.size() < maxP)
        r.sequence.resize(maxP, 1);
    header = series::getCutOffSeriesHeader(window, o.count, o.etalonLength, o.tmin, o.tmax,
                                           o.length, std::move(header));
    if (!header)
        return nullptr;
    storeSelection(window, *header, 0, r.subset, {}, 1, o.subsetMode, o.subsetStart);
    const uint16_t K = o.pulses ? *o.pulses : static_cast<uint16_t>((minP + maxP) / 2);
    if (r.randomCount)
        header = series::getRandomCutOffSeries(window, o.count, *r.alphabet, o.etalonLength, o.tmin,
                                               o.tmax, o.length, K, r.sequence.data(), o.amplitude,
                                               r.savedLevel, std::move(header), streams);
    else
        header = series::getCutOffSeries(window, o.count, *r.alphabet, o.etalonLength, o.tmin,
                                         o.tmax, o.length, K, r.sequence.data(), o.amplitude,
                                         r.savedLevel, std::move(header), streams);
    if (!header)
        return nullptr;
    series::addNoise(window, o.noise, o.amplitude, *header, streams.noise);
    return header;
}

}  // namespace cli
