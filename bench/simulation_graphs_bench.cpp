// One drawing of the simulation graphs into a 1920 x 1080 picture: the detection curves of 25
// pulse counts over 29 noise levels, and the recognition graph with its bound curves for ten
// stored tuples of three, whose correlation bounds are recomputed on every drawing.

#include <benchmark/benchmark.h>

#include <vector>

#include "render/simulation_graphs.h"
#include "series/alphabet.h"
#include "series/selection.h"
#include "series/series_header.h"
#include "simulation/rest_error_header.h"

namespace {

void BM_SimulationGraphsPicture(benchmark::State& state) {
    const bool tuples = state.range(0) != 0;
    platform::RecordingWindow window;
    series::Alphabet alphabet;
    int16_t stream = series::RandomStreams{}.randomEtalons;
    series::makeEtalonsAlphabet(window, 128, 20, 20, alphabet, stream);
    auto header = series::getCutOffSeriesHeader(window, 20, 20, 40, 181, 1200, nullptr);
    series::RandomStreams streams;
    std::vector<uint16_t> sequence(31, 1);
    header = series::getCutOffSeries(window, 20, alphabet, 20, 40, 181, 1200, 18, sequence.data(),
                                     128, 100, std::move(header), streams);
    if (tuples) {
        std::vector<std::vector<int32_t>> rows;
        std::vector<int32_t> lengths;
        std::vector<const int32_t*> starts;
        for (int32_t t = 0; t < 10; ++t)
            rows.push_back({1 + t, 2 + t, 3 + t});
        for (const auto& r : rows) {
            lengths.push_back(3);
            starts.push_back(r.data());
        }
        series::addSomeSelectedSubsetToSeriesHeader(window, lengths.data(), starts.data(), 10, 10,
                                                    3, 1, 4, 1, header.get());
    }
    const uint16_t P = tuples ? 3 : 25;
    auto record = simulation::getRestErrHeader(window, P, 29, 100, nullptr);
    simulation::initRestErrHeader(window, P, 6, 1, 29, 0, 5, 100, record.get());
    simulation::addInitRestErrHeader(window, tuples ? 40 : 8, tuples ? 40 : 4, 75, 75,
                                     record.get());
    for (uint16_t k = 0; k < 29; ++k)
        for (uint16_t j = 0; j < P; ++j) {
            record->lpDetectionErrors[k][j] = 1000 * k * (j + 1);
            record->lpRecognitionErrors[k][j] = k * 100 / 29;
        }
    record->ifComplete = 1;
    std::vector<uint16_t> required;
    for (uint16_t i = 1; i <= 20; ++i)
        required.push_back(i);
    render::SimulationGraphSettings settings;
    settings.graphKind =
        tuples ? render::kRecognitionComponentwiseBounds : render::kDetectionComponentwise;
    for (auto _ : state) {
        auto picture = render::renderSimulationPicture(window, 1920, 1080, settings, 20,
                                                       required.data(), *record, *header);
        if (!picture)
            state.SkipWithError("nothing drawn");
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_SimulationGraphsPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
