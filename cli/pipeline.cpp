#include "pipeline.h"

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
    if (!r.subset.empty())
        series::setCurrentSubset(window, r.subset.data(), static_cast<int32_t>(r.subset.size()),
                                 o.subsetMode, o.subsetStart, header.get());
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
