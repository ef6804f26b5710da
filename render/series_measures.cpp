#include "series_measures.h"

#include <algorithm>

#include "record_access.h"
#include "series_view.h"

namespace render {

namespace {

// A 32-bit sum that wraps: terms are added modulo 2^32.
class WrappingSum {
  public:
    void add(int64_t term) { sum_ += static_cast<uint32_t>(term); }
    int32_t value() const { return static_cast<int32_t>(sum_); }

  private:
    uint32_t sum_ = 0;
};

int64_t square(int64_t v) {
    return v * v;
}

}  // namespace

SeriesEnergies seriesEnergies(const series::SeriesHeader& header) {
    const SeriesAccess s(header);
    WrappingSum signal, noise, pulseNoise;
    const uint32_t N = s.readableLength();
    for (uint32_t i = 0; i < N; ++i) {
        signal.add(square(s.pure(i)));
        noise.add(square(int64_t{s.noisy(i)} - s.pure(i)));
    }
    const int32_t K = s.count(PulseSet::True);
    for (int32_t k = 0; k < K; ++k) {
        const int64_t p = s.pulse(PulseSet::True, k).start;
        for (int32_t j = 0; j < header.wImpulseSize; ++j)
            pulseNoise.add(square(int64_t{s.noisy(p + j)} - s.pure(p + j)));
    }
    SeriesEnergies e{signal.value(), noise.value(), pulseNoise.value()};
    if (e.signal > 0) {
        e.allNS = static_cast<double>(e.noise) / e.signal;
        e.NS = static_cast<double>(e.pulseNoise) / e.signal;
    }
    return e;
}

int32_t placementMeasure(const series::SeriesHeader& header) {
    const SeriesAccess s(header);
    WrappingSum measure;
    const int32_t K = s.count(PulseSet::True);
    for (int32_t k = 0; k < K; ++k) {
        const PulseEntry pulse = s.pulse(PulseSet::True, k);
        const EtalonSamples e = s.etalonSamples(pulse.etalon);
        const int32_t first = std::max(pulse.cutBegin, 0);
        const int32_t last = std::min(pulse.cutEnd, e.size - 1);
        for (int32_t j = first; j <= last; ++j) {
            const int64_t sj = e[j];
            measure.add((sj - 2 * int64_t{s.noisy(int64_t{pulse.start} + j)}) * sj);
        }
    }
    return measure.value();
}

int32_t restorationErrorOf(const engine::ChainsHeader* chains, const series::SeriesHeader& header) {
    const SeriesAccess s(header);
    const int32_t L = header.wImpulseSize;
    int32_t count = 0;
    if (chains != nullptr)
        count = ChainsAccess(*chains).bestLength();
    WrappingSum error;
    int32_t current = 0;
    PulseEntry pulse;
    EtalonSamples samples;
    auto select = [&](int32_t n) {
        if (n < count) {
            pulse = ChainsAccess(*chains).pulse(0, n);
            samples = s.etalonSamples(pulse.etalon);
        }
    };
    select(0);
    const uint32_t N = s.readableLength();
    for (int64_t i = 0; i < N; ++i) {
        int64_t restored = 0;
        if (current < count && i >= pulse.start && i < int64_t{pulse.start} + L) {
            const int64_t j = i - pulse.start;
            if (pulse.cutBegin <= j && j <= pulse.cutEnd)
                restored = samples[j];
            if (i == int64_t{pulse.start} + L - 1)
                select(++current);
        }
        error.add(square(s.pure(i) - restored));
    }
    return error.value();
}

int32_t restorationError(const engine::ChainsHeader& chains, const series::SeriesHeader& series) {
    return restorationErrorOf(&chains, series);
}

}  // namespace render
