// Recognition with long etalons of a large amplitude, whose fit sums could leave 32 bits for
// arbitrary series samples: the run of
//   ardentix-cli process --task recognition --series fixed-cut --length 5000 --tmin 100
//       --tmax 400 --etalon-length 200 --amplitude 1000 --noise 20
// made of the same library calls (generation, noise, recognizeKnownNumber). Goal: under 50 ms.

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "engine/chains.h"
#include "engine/procedures.h"
#include "platform/window.h"
#include "series/alphabet.h"
#include "series/generation.h"
#include "series/random.h"
#include "series/series_header.h"

namespace {

constexpr uint16_t kM = 20, kL = 200, kTmin = 100, kTmax = 400, kLevel = 75;
constexpr uint32_t kN = 5000;
constexpr int16_t kA = 1000, kNoise = 20;

// The etalon sequence as `process` draws it from the list of every etalon: the library
// generator from state 1, value >> 3, modulo the list's length; recognition repeats the first.
std::vector<uint16_t> drawnSequence(uint16_t maxPulses) {
    series::LibraryRandom random;
    const auto first = static_cast<uint16_t>((random.next() >> 3) % kM + 1);
    return std::vector<uint16_t>(maxPulses, first);
}

void BM_RecognitionLongLargeEtalons(benchmark::State& state) {
    platform::RecordingWindow window;
    std::vector<uint16_t> list(kM);
    for (uint16_t e = 0; e < kM; ++e)
        list[e] = static_cast<uint16_t>(e + 1);
    const uint16_t minP = series::minPulsesFor(kN, kL, kTmax);
    const uint16_t maxP = series::maxPulsesFor(kN, kL, kTmin);
    const auto K = static_cast<uint16_t>((minP + maxP) / 2);

    double totalMs = 0;
    int64_t runs = 0;
    int32_t result = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        series::RandomStreams streams;
        series::Alphabet alphabet;
        series::makeEtalonsAlphabet(window, kA, kM, kL, alphabet, streams.randomEtalons);
        std::vector<uint16_t> sequence = drawnSequence(maxP);
        series::SeriesHeaderPtr h =
            series::getCutOffSeries(window, kM, alphabet, kL, kTmin, kTmax, kN, K, sequence.data(),
                                    kA, kLevel, nullptr, streams);
        if (!h) {
            state.SkipWithError("the series could not be generated");
            return;
        }
        series::addNoise(window, kNoise, kA, *h, streams.noise);
        engine::ChainsHeaderPtr chains =
            engine::getChainsHeader(window, 10, h->wMaxPulses, nullptr);
        result = engine::recognizeKnownNumber(window, alphabet, kM, list.data(), kTmin, kTmax,
                                              kLevel, *chains, *h);
        benchmark::DoNotOptimize(result);
        totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                       .count();
        ++runs;
    }
    state.counters["run_ms"] = totalMs / double(runs);
    state.counters["goal_ms"] = 50;
    state.counters["distance"] = result;
}
BENCHMARK(BM_RecognitionLongLargeEtalons)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
