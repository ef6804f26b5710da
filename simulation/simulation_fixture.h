#pragma once
// A small simulation set-up for the tests: alphabet, required list, series record with a current
// subset and three stored tuples, grid; and the run parameters the driver would gather from it.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "driver.h"
#include "run_plan.h"
#include "series/selection.h"
#include "series/series_header.h"
#include "test_series.h"

namespace simulation {

// A small simulation set-up: alphabet, required list, series record with subsets, grid.
struct Sim {
    series::Alphabet alphabet = testsupport::makeAlphabet();
    std::vector<uint16_t> list;
    series::SeriesHeaderPtr header;
    RestErrorHeaderPtr record;
    series::RandomStreams streams;
    uint16_t seriesKind = 8;
    uint16_t taskKind = 1;
    uint16_t createLevel = 75;
    uint16_t processLevel = 75;

    Sim(uint16_t task, uint16_t series, std::vector<uint16_t> required, std::vector<int16_t> pulses,
        std::vector<int16_t> levels, int32_t repeats, uint32_t N = 200, uint16_t subsetMode = 4)
        : list(std::move(required)), seriesKind(series), taskKind(task) {
        platform::RecordingWindow window;
        header = series::getCutOffSeriesHeader(window, 20, 20, 40, 181, N, nullptr);
        // A current subset and three stored tuples.
        const int32_t subset[] = {3, 5, 7};
        series::setCurrentSubset(window, subset, 3, subsetMode, 1, header.get());
        const int32_t lengths[] = {2, 3, 1};
        const int32_t t1[] = {1, 2}, t2[] = {3, 4, 5}, t3[] = {6};
        const int32_t* rows[] = {t1, t2, t3};
        if (series::isTupleKind(series))
            series::addSomeSelectedSubsetToSeriesHeader(window, lengths, rows, 3, 10, 10, 2,
                                                        subsetMode, 1, header.get());
        record = getRestErrHeader(window, uint16_t(pulses.size()), uint16_t(levels.size()), repeats,
                                  nullptr);
        std::copy(pulses.begin(), pulses.end(), record->wPulseValues);
        std::copy(levels.begin(), levels.end(), record->lpNoiseLevels);
    }

    int run(platform::Window& window, SimulationContext context = {}) {
        context.streams = &streams;
        return statCutoffBrelling(window, record.get(), 20, alphabet, uint16_t(list.size()),
                                  list.data(), seriesKind, taskKind, createLevel, processLevel,
                                  *header, context);
    }

    std::vector<int32_t> tables() const {
        std::vector<int32_t> all;
        for (int t = 0; t < 6; ++t)
            for (uint16_t k = 0; k < record->wNoiseLevels; ++k)
                for (uint16_t j = 0; j < record->wVariousPulses; ++j)
                    all.push_back(record->table(t)[k][j]);
        return all;
    }
};

// The parameters the driver gathers from the set-up.
inline RunParameters planOf(const Sim& s, bool independentNoise = false) {
    const series::SeriesHeader& h = *s.header;
    RunParameters run;
    run.M = 20;
    run.alphabet = &s.alphabet;
    run.n = uint16_t(s.list.size());
    run.list = s.list.data();
    run.taskKind = s.taskKind;
    run.seriesKind = s.seriesKind;
    run.N = h.dwSeriesSize;
    run.Tmin = h.wTmin;
    run.Tmax = h.wTmax;
    run.etalonLength = h.wImpulseSize;
    run.maxPulses = h.wMaxPulses;
    run.capacity = h.wPulsesCapacity;
    run.P = s.record->wVariousPulses;
    run.L = s.record->wNoiseLevels;
    run.pulses.assign(s.record->wPulseValues, s.record->wPulseValues + run.P);
    run.levels.assign(s.record->lpNoiseLevels, s.record->lpNoiseLevels + run.L);
    run.u = uint16_t(s.record->repeats);
    run.subset.assign(h.lpSubset, h.lpSubset + h.wSubsetSize);
    run.subsetSize = h.wSubsetSize;
    run.subsetMode = h.wSubsetMode;
    run.subsetStart = h.wSubsetStart;
    if (s.taskKind == 40)
        for (uint16_t t = 0; t < h.wSubsetsQuantity; ++t)
            run.tuples.emplace_back(h.selectedSubsetList[t],
                                    h.selectedSubsetList[t] + h.selectedSubsetSize[t]);
    run.independentNoise = independentNoise;
    return run;
}

}  // namespace simulation
