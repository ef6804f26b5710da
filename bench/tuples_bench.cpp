// Tuple procedures on the default series (N 1200, Tmin 40, Tmax 181, 20 etalons of 20 samples,
// amplitude 128, noise 40) made of the second of three tuples of three, embedded "Complete ".

#include <benchmark/benchmark.h>

#include <vector>

#include "engine/chains.h"
#include "engine/procedures.h"
#include "platform/window.h"
#include "series/alphabet.h"
#include "series/generation.h"
#include "series/selection.h"
#include "series/series_header.h"

namespace {

constexpr uint16_t kM = 20, kL = 20, kTmin = 40, kTmax = 181;
constexpr uint32_t kN = 1200;
constexpr int16_t kA = 128;

const std::vector<std::vector<int32_t>> kTuples = {{3, 7, 12}, {5, 14, 9}, {19, 2, 16}};

struct Setup {
    platform::RecordingWindow window;
    series::Alphabet alphabet;
    series::SeriesHeaderPtr header;
    engine::ChainsHeaderPtr chains;
    std::vector<int32_t> lengths;
    std::vector<const int32_t*> rows;

    explicit Setup(bool unknownCount) {
        int16_t stream = series::RandomStreams{}.randomEtalons;
        series::makeEtalonsAlphabet(window, kA, kM, kL, alphabet, stream);
        series::RandomStreams streams;
        header = series::getCutOffSeriesHeader(window, kM, kL, kTmin, kTmax, kN, nullptr);
        series::setCurrentSubset(window, kTuples[1].data(), 3, 4, 1, header.get());
        std::vector<uint16_t> sequence(64, 1);
        header = unknownCount ? series::getRandomCutOffSeries(window, kM, alphabet, kL, kTmin,
                                                              kTmax, kN, 18, sequence.data(), kA,
                                                              100, std::move(header), streams)
                              : series::getCutOffSeries(window, kM, alphabet, kL, kTmin, kTmax, kN,
                                                        18, sequence.data(), kA, 100,
                                                        std::move(header), streams);
        series::addNoise(window, 40, kA, *header, streams.noise);
        chains = engine::getChainsHeader(window, 10, header->wMaxPulses, nullptr);
        for (const auto& t : kTuples) {
            lengths.push_back(3);
            rows.push_back(t.data());
        }
    }
};

// Argument: the processing saved level (100: whole etalons only; 75: cuts admitted).
void BM_TuplesDetection(benchmark::State& state) {
    Setup s(true);
    const uint16_t level = static_cast<uint16_t>(state.range(0));
    int32_t recognized = 0;
    for (auto _ : state) {
        recognized =
            engine::TuplesDetection(s.window, s.alphabet, s.lengths.data(), s.rows.data(), 3, 1,
                                    kTmin, kTmax, level, s.chains.get(), *s.header, nullptr);
        benchmark::DoNotOptimize(recognized);
    }
    state.counters["pulses"] = s.header->wImpulseQuantity;
    state.counters["found"] = s.header->wDetectedQuantity;
    state.counters["recognized"] = recognized;
}
BENCHMARK(BM_TuplesDetection)->Arg(100)->Arg(75)->Unit(benchmark::kMicrosecond);

// Arguments: the proceeding setting (1: phase 0 only; 2: every phase) and the saved level.
void BM_RecognizeTuplesKnownNumber(benchmark::State& state) {
    Setup s(false);
    const uint16_t proceeding = static_cast<uint16_t>(state.range(0));
    const uint16_t level = static_cast<uint16_t>(state.range(1));
    for (auto _ : state) {
        engine::recognizeTuplesKnownNumber(s.window, s.alphabet, s.lengths.data(), s.rows.data(), 3,
                                           proceeding, kTmin, kTmax, level, *s.chains, *s.header,
                                           nullptr);
        benchmark::DoNotOptimize(s.header->wRecognizedSubset);
    }
    state.counters["pulses"] = s.header->wImpulseQuantity;
    state.counters["recognized"] = s.header->wRecognizedSubset;
}
BENCHMARK(BM_RecognizeTuplesKnownNumber)
    ->Args({1, 100})
    ->Args({2, 100})
    ->Args({2, 75})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
