#include "common.h"

#include <cstdio>
#include <limits>
#include <sstream>

#include "series/alphabet.h"
#include "series/generation.h"

namespace cli {

void addBasicSeriesOptions(CLI::App& cmd, SeriesOptions& o) {
    cmd.add_option("--length", o.length, "Series length N")->capture_default_str();
    cmd.add_option("--tmin", o.tmin, "Minimal distance between pulse starts")
        ->capture_default_str();
    cmd.add_option("--tmax", o.tmax, "Maximal distance between pulse starts")
        ->capture_default_str();
    cmd.add_option("--etalon-length", o.etalonLength, "Etalon length L")->capture_default_str();
    cmd.add_option("--count", o.count, "Number of etalons M")->capture_default_str();
    cmd.add_option("--amplitude", o.amplitude, "Etalon amplitude A")->capture_default_str();
    cmd.add_option("--noise", o.noise, "Noise level (standard deviation)")->capture_default_str();
}

void addSeriesOptions(CLI::App& cmd, SeriesOptions& o) {
    addBasicSeriesOptions(cmd, o);
    auto* pulses = cmd.add_option("--pulses", o.pulses, "Pulse count K (default: middle of range)");
    cmd.add_flag("--random-count", o.randomCount, "Draw the pulse count at random")
        ->excludes(pulses);
    cmd.add_option("--sequence", o.sequence, "Etalon of each pulse, e.g. 1,2,3 (padded with 1)");
    cmd.add_option("--saved-level", o.savedLevel, "Saved energy level 0..100 of cut-off pulses")
        ->capture_default_str()
        ->check(CLI::Range(0, 100));
    cmd.add_option("--subset", o.subset, "Subset embedded in the series, e.g. 1,2,3");
    cmd.add_option("--subset-mode", o.subsetMode,
                   "1 single random, 2 single fixed, 3 multiple random, 4 complete, 5 shifted")
        ->capture_default_str()
        ->check(CLI::Range(1, 5));
    cmd.add_option("--subset-start", o.subsetStart, "1-based pulse where embedding starts")
        ->capture_default_str()
        ->check(CLI::Range(1, 65535));
}

void validateSeriesOptions(const SeriesOptions& o) {
    const auto fail = [](const std::string& what) { throw UsageError(what); };
    if (o.tmin < 1)
        fail("--tmin must be at least 1");
    if (o.tmin > o.tmax)
        fail("--tmin must not exceed --tmax");
    if (o.etalonLength < 1)
        fail("--etalon-length must be at least 1");
    if (o.etalonLength > o.tmax)
        fail("--etalon-length must not exceed --tmax");
    if (o.length < o.etalonLength)
        fail("--length must be at least --etalon-length");
    if (o.length > series::kMaxSeriesLength)
        fail("--length must not exceed " + std::to_string(series::kMaxSeriesLength));
    if (o.count < 1)
        fail("--count must be at least 1");
    const uint16_t minP = series::minPulsesFor(o.length, o.etalonLength, o.tmax);
    const uint16_t maxP = series::maxPulsesFor(o.length, o.etalonLength, o.tmin);
    if (minP > maxP)
        fail("no pulse count fits length " + std::to_string(o.length) + " with these bounds");
    if (o.pulses && (*o.pulses < minP || *o.pulses > maxP))
        fail("--pulses must lie in the feasible range " + std::to_string(minP) + ".." +
             std::to_string(maxP));
    validateAlphabetEnergies(o);
}

void validateAlphabetEnergies(const SeriesOptions& o) {
    // The alphabet the run will make: the same parameters and a fresh random-etalons stream.
    platform::RecordingWindow window;
    series::Alphabet alphabet;
    int16_t stream = series::RandomStreams{}.randomEtalons;
    if (series::makeEtalonsAlphabet(window, o.amplitude, o.count, o.etalonLength, alphabet,
                                    stream) != 1)
        return;  // the run itself reports the failure
    constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();
    for (const series::PulseHeader& e : alphabet) {
        const int64_t energy = series::exactEtalonEnergy(e);
        if (energy > kMax32)
            throw UsageError("--amplitude " + std::to_string(o.amplitude) +
                             " with --etalon-length " + std::to_string(o.etalonLength) +
                             " gives etalon " + std::to_string(e.wNumber) + " the energy " +
                             std::to_string(energy) + ", more than 32-bit energies hold (" +
                             std::to_string(kMax32) + ")");
    }
}

std::vector<int32_t> parseList(const std::string& text, const char* what, int32_t low,
                               int32_t high) {
    std::vector<int32_t> values;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        size_t used = 0;
        long v = 0;
        try {
            v = std::stol(item, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        while (used < item.size() && item[used] == ' ')
            ++used;
        if (item.empty() || used != item.size())
            throw UsageError(std::string(what) + ": not a number: '" + item + "'");
        if (v < low || v > high)
            throw UsageError(std::string(what) + ": " + std::to_string(v) + " is outside " +
                             std::to_string(low) + ".." + std::to_string(high));
        values.push_back(static_cast<int32_t>(v));
    }
    if (values.empty())
        throw UsageError(std::string(what) + ": empty list");
    return values;
}

std::vector<std::vector<int32_t>> parseTuples(const std::string& text, int32_t high) {
    std::vector<std::vector<int32_t>> tuples;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ';'))
        tuples.push_back(parseList(item, "--tuples", 1, high));
    if (tuples.empty())
        throw UsageError("--tuples: empty list");
    return tuples;
}

namespace {
struct Named {
    const char* name;
    uint16_t code;
};
uint16_t parseKind(const std::string& text, std::initializer_list<Named> names,
                   std::initializer_list<uint16_t> codes, const char* what) {
    for (const Named& n : names)
        if (text == n.name)
            return n.code;
    for (uint16_t c : codes)
        if (text == std::to_string(c))
            return c;
    throw UsageError(std::string(what) + ": unknown kind '" + text + "'");
}
}  // namespace

uint16_t parseTaskKind(const std::string& text) {
    return parseKind(
        text, {{"detection", 1}, {"recognition", 2}, {"joint", 4}, {"series-processing", 64}},
        {1, 2, 4, 64, 36, 40}, "--task");
}

uint16_t parseSeriesKind(const std::string& text) {
    return parseKind(text,
                     {{"fixed-whole", 1},
                      {"fixed-cut", 2},
                      {"unfixed-whole", 4},
                      {"unfixed-cut", 8},
                      {"fixed-tuples", 36},
                      {"unfixed-tuples", 40}},
                     {1, 2, 4, 8, 16, 32, 36, 40}, "--series");
}

uint16_t deriveTaskKind(uint16_t selectedTask, uint16_t seriesKind) {
    if (series::isTupleKind(seriesKind)) {
        if (selectedTask == series::kDetection)
            return series::kTupleDetection;
        if (selectedTask == series::kRecognition)
            return series::kTupleRecognition;
    }
    return selectedTask;
}

series::Alphabet makeAlphabet(platform::Window& window, const SeriesOptions& o,
                              series::RandomStreams& streams) {
    series::Alphabet alphabet;
    series::makeEtalonsAlphabet(window, o.amplitude, o.count, o.etalonLength, alphabet,
                                streams.randomEtalons);
    return alphabet;
}

nlohmann::json seriesJson(const series::SeriesHeader& h) {
    using nlohmann::json;
    const uint32_t N = h.dwSeriesSize;
    json truth = json::array();
    for (int k = 0; k < h.wImpulseQuantity; ++k)
        truth.push_back({{"start", h.lpPulseStart[k]},
                         {"etalon", h.lpPulseEtalon[k]},
                         {"cutBegin", h.lpCutBegin[k]},
                         {"cutEnd", h.lpCutEnd[k]},
                         {"startMin", h.lpStartMin[k]},
                         {"startMax", h.lpStartMax[k]}});
    return {{"seriesLength", N},
            {"tmin", h.wTmin},
            {"tmax", h.wTmax},
            {"etalonLength", h.wImpulseSize},
            {"pulses", h.wImpulseQuantity},
            {"minPulses", h.wMinPulses},
            {"maxPulses", h.wMaxPulses},
            {"noiseLevel", h.wNoiseLevel},
            {"amplitude", h.wAmplitude},
            {"pure", std::vector<int16_t>(h.lpPureData, h.lpPureData + N)},
            {"noisy", std::vector<int16_t>(h.lpNoisyData, h.lpNoisyData + N)},
            {"truth", truth}};
}

nlohmann::json messagesJson(const platform::RecordingWindow& window) {
    return messagesJson(window.messages());
}

nlohmann::json messagesJson(const std::vector<platform::Message>& messages) {
    nlohmann::json out = nlohmann::json::array();
    for (const auto& m : messages)
        out.push_back({{"title", m.title}, {"text", m.text}});
    return out;
}

std::string seriesSummary(const series::SeriesHeader& h) {
    std::string out;
    char line[200];
    int64_t signal = 0, noise = 0;
    for (uint32_t i = 0; i < h.dwSeriesSize; ++i) {
        signal += int64_t{h.lpPureData[i]} * h.lpPureData[i];
        const int64_t d = int64_t{h.lpNoisyData[i]} - h.lpPureData[i];
        noise += d * d;
    }
    std::snprintf(line, sizeof line,
                  "series: %u samples, etalon length %u, Tmin %u, Tmax %u, amplitude %d\n"
                  "pulses: %u (feasible %u..%u), noise level %d\n",
                  h.dwSeriesSize, unsigned{h.wImpulseSize}, unsigned{h.wTmin}, unsigned{h.wTmax},
                  int{h.wAmplitude}, unsigned{h.wImpulseQuantity}, unsigned{h.wMinPulses},
                  unsigned{h.wMaxPulses}, int{h.wNoiseLevel});
    out += line;
    std::snprintf(line, sizeof line, "energy: signal %lld, noise %lld\n",
                  static_cast<long long>(signal), static_cast<long long>(noise));
    out += line;
    out += "   #  start  etalon  cut      range\n";
    for (int k = 0; k < h.wImpulseQuantity; ++k) {
        std::snprintf(line, sizeof line, "%4d  %5d  %6d  %2d..%-2d  %5d..%d\n", k + 1,
                      h.lpPulseStart[k], h.lpPulseEtalon[k], h.lpCutBegin[k], h.lpCutEnd[k],
                      h.lpStartMin[k], h.lpStartMax[k]);
        out += line;
    }
    return out;
}

}  // namespace cli
