#pragma once
// Test fixtures of the simulation graphs: a completed simulation record with hand-filled tables
// over a series of the test alphabet (etalon 1 a rectangle of energy 72000, etalon 2 its
// negative; N 1200, len 20, Tmin 40, Tmax 181, so Kmin 6, Kmax 30 and D0 = 161^2).

#include <cstdint>
#include <vector>

#include "platform/window.h"
#include "series/selection.h"
#include "simulation/rest_error_header.h"
#include "test_series.h"

namespace render::testing {

struct Grid {
    uint16_t P = 3;
    int32_t pulseFrom = 6;
    int32_t pulseStep = 2;
    uint16_t L = 29;
    int32_t noiseFrom = 0;
    int32_t noiseStep = 5;
    int32_t repeats = 4;
    uint16_t seriesKind = 8;
    uint16_t taskKind = 2;
    uint16_t createLevel = 75;
};

inline simulation::RestErrorHeaderPtr makeRecord(const Grid& g) {
    platform::RecordingWindow w;
    auto r = simulation::getRestErrHeader(w, g.P, g.L, g.repeats, nullptr);
    simulation::initRestErrHeader(w, g.P, g.pulseFrom, g.pulseStep, g.L, g.noiseFrom, g.noiseStep,
                                  g.repeats, r.get());
    simulation::addInitRestErrHeader(w, g.seriesKind, g.taskKind, g.createLevel, 75, r.get());
    r->ifComplete = 1;
    return r;
}

// The etalon-1 series, and its tuples or subset when asked for.
struct GraphInputs {
    series::Alphabet alphabet = testsupport::makeAlphabet();
    series::RandomStreams streams;
    series::SeriesHeaderPtr series = testsupport::makeSeries(alphabet, {}, {1}, streams);
    std::vector<uint16_t> required{1, 2};

    void storeTuples(const std::vector<std::vector<int32_t>>& tuples) {
        platform::RecordingWindow w;
        std::vector<int32_t> lengths;
        std::vector<const int32_t*> rows;
        int32_t longest = 0;
        for (const auto& t : tuples) {
            lengths.push_back(int32_t(t.size()));
            rows.push_back(t.data());
            longest = std::max(longest, int32_t(t.size()));
        }
        series::addSomeSelectedSubsetToSeriesHeader(w, lengths.data(), rows.data(),
                                                    int32_t(tuples.size()), int32_t(tuples.size()),
                                                    longest, 1, 4, 1, series.get());
    }
    void storeSubset(const std::vector<int32_t>& subset) {
        platform::RecordingWindow w;
        series::setCurrentSubset(w, subset.data(), int32_t(subset.size()), 4, 1, series.get());
    }
};

}  // namespace render::testing
