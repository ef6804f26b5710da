#include "simulation_graph_captions.h"

#include <algorithm>
#include <cstdio>

#include "simulation_graphs.h"

namespace render {

namespace {

template <class... Args>
std::string format(const char* pattern, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

const char* orEmpty(const char* text) {
    return text ? text : "";
}

}  // namespace

std::string graphKindCaption(int32_t kind) {
    switch (kind) {
        case kRestoredComponentwise:
            return " restored error, componentwise case";
        case kRestoredAggregate:
            return " restored error, agregate form";
        case kDetectionComponentwise:
            return " detection error, componentwise case";
        case kDetectionAggregate:
            return " detection error, agregate form";
        case kRecognitionComponentwise:
        case kRecognitionComponentwiseBounds:
            return " recognition error, componentwise case";
        case kRecognitionAggregate:
        case kRecognitionAggregateBounds:
            return " recognition error, agregate form";
        default:
            return "";
    }
}

std::string involvesText(const simulation::RestErrorHeader& r, const series::SeriesHeader& s) {
    const uint16_t P = r.wVariousPulses;
    std::string text = " involves ";
    if (P < 4) {
        for (uint16_t j = 0; j < P; ++j)
            text += format(" %d,", r.wPulseValues[j]);
    } else {
        text += format(" %d,", r.wPulseValues[0]);
        text += format(" %d,", r.wPulseValues[1]);
        text += format("..., %d ", r.wPulseValues[P - 1]);
    }
    text.pop_back();
    text += format(" pulses from [%d-%d],", s.wMinPulses, s.wMaxPulses);
    return text;
}

std::vector<std::string> simulationCaptionLines(const simulation::RestErrorHeader& r,
                                                const series::SeriesHeader& s, int32_t amplitude,
                                                int32_t kind) {
    const uint16_t L = r.wNoiseLevels;
    const int32_t first = L ? r.lpNoiseLevels[0] : 0;
    const int32_t last = L ? r.lpNoiseLevels[L - 1] : 0;
    const int32_t step = L > 1 ? r.lpNoiseLevels[1] - r.lpNoiseLevels[0] : 0;
    return {
        format(" statistical simulation for %s in series with %s ", orEmpty(r.lpTaskName),
               orEmpty(r.lpSeriesName)),
        format(" series length %u, ", unsigned{s.dwSeriesSize}),
        involvesText(r, s),
        format(" with length %d", s.wImpulseSize) + format(", amplitude %d", amplitude),
        format(" Tmin=%d, Tmax=%d,", s.wTmin, s.wTmax),
        format(" number of %d noise levels", L),
        format(" from %d to %d with step %d", first, last, step),
        graphKindCaption(kind),
        format(" for volume of % d repeats", r.repeats),
    };
}

std::string calendarText(std::time_t t) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm tm{};
    if (!localtime_r(&t, &tm) || tm.tm_wday < 0 || tm.tm_wday > 6 || tm.tm_mon < 0 ||
        tm.tm_mon > 11)
        return "";
    return format("%.3s %.3s%3d %.2d:%.2d:%.2d %d", kDays[tm.tm_wday], kMonths[tm.tm_mon],
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 1900 + tm.tm_year);
}

std::string elapsedTimeText(std::time_t start, std::time_t end) {
    const long long d = std::max<long long>(0, static_cast<long long>(end) - start);
    const long long minutes = d / 60 % 60, seconds = d % 60;
    return format("elapsed time %lld:%lld%lld:%lld%lld", d / 3600, minutes / 10, minutes % 10,
                  seconds / 10, seconds % 10);
}

std::vector<std::string> informationLines(const simulation::GraphMeasures& m, std::time_t start,
                                          std::time_t end) {
    return {
        format("etEnergy=%d, Rmin=%d, Rmax=%d", m.etEnergy, m.Rmin, m.Rmax),
        "",
        calendarText(start),
        calendarText(end),
        "",
        elapsedTimeText(start, end),
    };
}

std::string alphabetCaption(uint16_t n, int32_t boxWidth) {
    if (boxWidth < 100)
        return format(" Alph: %d ", n);
    return format(n == 1 ? " Alphabet, %d item " : " Alphabet, %d items ", n);
}

std::string formulaText(int32_t kind) {
    switch (kind) {
        case kRestoredComponentwise:
        case kRestoredAggregate:
            return "e(s)=E||C-<C>||2/||C||2";
        case kDetectionComponentwise:
        case kDetectionAggregate:
            return "e(s)=E||h-<h>||2/||h||2";
        default:
            return "";
    }
}

std::string valueLabel(int32_t i, int64_t Z) {
    const double v = double(i) * double(Z / 5) / 1000.0;
    return format(Z >= 50 ? "%.2f" : "%.3f", v);
}

std::string noiseLabel(int32_t sigma) {
    return format("%3d", sigma);
}

}  // namespace render
