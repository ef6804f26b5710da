// Engine speed: the local fit (literal cut-by-cut scan against the fast prefix-sum fit) and one
// processing run on the default series, each set against the bare correlations of its run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "engine/chains.h"
#include "engine/local_fit.h"
#include "engine/procedures.h"
#include "platform/window.h"
#include "series/alphabet.h"
#include "series/generation.h"
#include "series/series_header.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint16_t kM = 20, kL = 20, kTmin = 40, kTmax = 181;
constexpr uint32_t kN = 1200;
constexpr int16_t kA = 128;

series::Alphabet defaultAlphabet() {
    platform::RecordingWindow window;
    series::Alphabet alphabet;
    int16_t stream = series::RandomStreams{}.randomEtalons;
    series::makeEtalonsAlphabet(window, kA, kM, kL, alphabet, stream);
    return alphabet;
}

// The default series: sequence 1, 2, ..., noise 40; unknown count drawn as generation draws it.
series::SeriesHeaderPtr defaultSeries(const series::Alphabet& alphabet, bool unknownCount,
                                      uint16_t savedLevel) {
    platform::RecordingWindow window;
    series::RandomStreams streams;
    std::vector<uint16_t> sequence(64);
    for (size_t i = 0; i < sequence.size(); ++i)
        sequence[i] = static_cast<uint16_t>(i % kM + 1);
    series::SeriesHeaderPtr h =
        unknownCount
            ? series::getRandomCutOffSeries(window, kM, alphabet, kL, kTmin, kTmax, kN, 18,
                                            sequence.data(), kA, savedLevel, nullptr, streams)
            : series::getCutOffSeries(window, kM, alphabet, kL, kTmin, kTmax, kN, 18,
                                      sequence.data(), kA, savedLevel, nullptr, streams);
    series::addNoise(window, 40, kA, *h, streams.noise);
    return h;
}

// A copy of the literal fit: every admissible cut summed from scratch.
engine::LocalFit literalFit(const int16_t* x, uint32_t m,
                            const std::vector<engine::FitEtalon>& candidates) {
    engine::LocalFit best{};
    for (size_t c = 0; c < candidates.size(); ++c) {
        const engine::FitEtalon& f = candidates[c];
        const int L = f.length;
        const int16_t* s = f.samples;
        auto cost = [&](int b, int e) {
            int32_t sum = 0;
            for (int i = b; i <= e; ++i)
                sum += s[i] * (s[i] - 2 * x[m + i]);
            return sum;
        };
        const int32_t whole = cost(0, L - 1);
        if (c == 0 || whole < best.cost)
            best = {whole, static_cast<int32_t>(c), 0, static_cast<int16_t>(L - 1)};
        const int32_t E = f.partialEnergy[L], T = f.threshold;
        for (int b = 0; b < L; ++b) {
            if (!(T < E - f.partialEnergy[b]))
                continue;
            for (int e = b; e < L; ++e) {
                if (!(T < f.partialEnergy[e + 1] - f.partialEnergy[b]))
                    continue;
                const int32_t v = cost(b, e);
                if (v < best.cost)
                    best = {v, static_cast<int32_t>(c), static_cast<int16_t>(b),
                            static_cast<int16_t>(e)};
            }
        }
    }
    return best;
}

struct FitSetup {
    series::Alphabet alphabet = defaultAlphabet();
    series::SeriesHeaderPtr series = defaultSeries(alphabet, false, 75);
    std::vector<engine::FitEtalon> one{engine::prepareFitEtalon(alphabet[10], 10, 75)};
};

template <class Fit>
double nanosecondsPerFit(const FitSetup& s, Fit fit, int repeats) {
    const uint32_t positions = kN - kL + 1;
    const auto t0 = Clock::now();
    for (int r = 0; r < repeats; ++r)
        for (uint32_t m = 0; m < positions; ++m)
            benchmark::DoNotOptimize(fit(s.series->lpNoisyData, m, s.one));
    const double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
    return ns / (double(repeats) * positions);
}

// Literal against fast fit, one etalon, L = 20, D = 75; the counter "speedup" is literal / fast.
void BM_LocalFitLiteralVsFast(benchmark::State& state) {
    const FitSetup s;
    double literalNs = 0, fastNs = 0;
    for (auto _ : state) {
        literalNs = nanosecondsPerFit(s, literalFit, 2);
        fastNs = nanosecondsPerFit(
            s,
            [](const int16_t* x, uint32_t m, const std::vector<engine::FitEtalon>& c) {
                return engine::bestLocalFit(x, m, c);
            },
            200);
    }
    // The position-parallel fit the procedures use, over the same starts.
    const uint32_t positions = kN - kL + 1;
    std::vector<engine::LocalFit> out(positions);
    const int repeats = 400;
    const auto t0 = Clock::now();
    for (int r = 0; r < repeats; ++r) {
        engine::bestLocalFits(s.series->lpNoisyData, 0, positions, s.one, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    const double parallelNs = std::chrono::duration<double, std::nano>(Clock::now() - t0).count() /
                              (double(repeats) * positions);
    state.counters["parallel_ns_per_fit"] = parallelNs;
    state.counters["speedup_parallel"] = literalNs / parallelNs;
    state.counters["literal_ns_per_fit"] = literalNs;
    state.counters["fast_ns_per_fit"] = fastNs;
    state.counters["speedup"] = literalNs / fastNs;
}
BENCHMARK(BM_LocalFitLiteralVsFast)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: Σ s[i]·x[m+i] for every position and every etalon of the run.
double floorMicroseconds(const series::SeriesHeader& h, const series::Alphabet& alphabet,
                         int etalons) {
    const int repeats = 50;
    const uint32_t positions = h.dwSeriesSize - kL + 1;
    const auto t0 = Clock::now();
    for (int r = 0; r < repeats; ++r) {
        for (int e = 0; e < etalons; ++e) {
            const int16_t* s = alphabet[e].lpData.get();
            for (uint32_t m = 0; m < positions; ++m) {
                const int16_t* x = h.lpNoisyData + m;
                int32_t sum = 0;
                for (int i = 0; i < kL; ++i)
                    sum += s[i] * x[i];
                benchmark::DoNotOptimize(sum);
            }
        }
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / repeats;
}

void BM_Floor20Etalons(benchmark::State& state) {
    const series::Alphabet alphabet = defaultAlphabet();
    const series::SeriesHeaderPtr h = defaultSeries(alphabet, true, 75);
    double us = 0;
    for (auto _ : state)
        us = floorMicroseconds(*h, alphabet, kM);
    state.counters["floor_us"] = us;
}
BENCHMARK(BM_Floor20Etalons)->Unit(benchmark::kMillisecond)->Iterations(5);

enum class Run { Detection, Joint, Recognition };

// One processing run; counters: the run, its floor and their ratio.
void BM_ProcessingRun(benchmark::State& state, Run run) {
    platform::RecordingWindow window;
    const series::Alphabet alphabet = defaultAlphabet();
    const bool joint = run == Run::Joint;
    const uint16_t level = joint ? 75 : 100;
    series::SeriesHeaderPtr h = defaultSeries(alphabet, joint, level);
    engine::ChainsHeaderPtr chains = engine::getChainsHeader(window, 10, h->wMaxPulses, nullptr);
    std::vector<uint16_t> list;
    const int etalons = run == Run::Detection ? 1 : kM;
    for (int e = 1; e <= etalons; ++e)
        list.push_back(static_cast<uint16_t>(e));
    const auto count = static_cast<uint16_t>(list.size());

    double totalUs = 0;
    int64_t runs = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        switch (run) {
            case Run::Detection:
                engine::detectKnownNumber(window, alphabet, count, list.data(), kTmin, kTmax, level,
                                          *chains, *h);
                break;
            case Run::Joint:
                engine::detectUnknownNumber(window, alphabet, count, list.data(), kTmin, kTmax,
                                            level, *chains, *h);
                break;
            case Run::Recognition:
                engine::recognizeKnownNumber(window, alphabet, count, list.data(), kTmin, kTmax,
                                             level, *chains, *h);
                break;
        }
        totalUs += std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
        ++runs;
    }
    const double runUs = totalUs / double(runs);
    const double floorUs = floorMicroseconds(*h, alphabet, etalons);
    state.counters["run_us"] = runUs;
    state.counters["floor_us"] = floorUs;
    state.counters["ratio_to_floor"] = runUs / floorUs;
    state.counters["pulses"] = h->wImpulseQuantity;
}
BENCHMARK_CAPTURE(BM_ProcessingRun, detection_1_etalon_known, Run::Detection)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ProcessingRun, joint_20_etalons_cutoff_unknown, Run::Joint)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ProcessingRun, recognition_20_etalons_known, Run::Recognition)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
