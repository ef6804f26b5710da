#pragma once
// A simulation as ardentix-cli runs it: the options resolved into the definition of the run
// (everything that decides its results, and nothing else), and the application's pipeline set
// up from that definition: fresh streams, the alphabet, the series record with its selection,
// the simulation record with the grid.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/window.h"
#include "series/random.h"
#include "series/records.h"
#include "simulation/rest_error_header.h"

namespace cli {

// What the user gave, before defaults are applied.
struct SimulateOptions {
    std::string task = "detection";
    std::string seriesKind = "unfixed-cut";
    std::string etalons;  // default: 1 for detection, all otherwise
    std::string subset;
    std::string tuples;
    uint16_t proceeding = 1;
    uint16_t subsetMode = 4;
    uint16_t subsetStart = 1;
    uint32_t length = 1200;
    uint16_t tmin = 40;
    uint16_t tmax = 181;
    std::string pulses;  // FROM:TO[:INCR], default the feasible range
    std::string noise = "0:29:5";
    int64_t repeats = 100;
    std::optional<uint16_t> createLevel;  // default 75 for cut-off kinds, 100 otherwise
    std::optional<uint16_t> processLevel;
    std::optional<uint64_t> independentNoise;
};

// The run with every default applied. Two runs with equal definitions give equal tables.
struct RunDefinition {
    uint16_t taskKind = 0;  // the effective kind (36 and 40 on tuple series)
    uint16_t seriesKind = 0;
    std::vector<int32_t> etalons;  // the required list
    std::vector<int32_t> subset;
    std::vector<std::vector<int32_t>> tuples;
    uint16_t proceeding = 1;
    uint16_t subsetMode = 4;
    uint16_t subsetStart = 1;
    uint32_t length = 0;
    uint16_t tmin = 0;
    uint16_t tmax = 0;
    uint16_t etalonLength = 0;
    uint16_t alphabetSize = 0;
    int16_t amplitude = 0;
    int32_t pulseFrom = 0, pulseStep = 1;
    uint16_t pulseCount = 0;
    int32_t noiseFrom = 0, noiseStep = 0;
    uint16_t noiseCount = 0;
    int32_t repeats = 0;
    uint16_t createLevel = 100;
    uint16_t processLevel = 100;
    std::optional<uint64_t> independentNoise;

    uint64_t cycles() const { return uint64_t{pulseCount} * noiseCount * uint16_t(repeats); }
    nlohmann::json toJson() const;
    // Throws std::runtime_error naming the first missing or malformed entry.
    static RunDefinition fromJson(const nlohmann::json& json);
};

// Applies the defaults and checks the values; throws UsageError.
RunDefinition resolveRun(const SimulateOptions& options);

// The records of one run, set up as the application sets them up before its simulation.
struct PreparedRun {
    explicit PreparedRun(bool printMessages) : window(printMessages) {}
    platform::ConsoleWindow window;
    series::RandomStreams streams;
    series::Alphabet alphabet;
    series::SeriesHeaderPtr header;
    simulation::RestErrorHeaderPtr record;
    std::vector<uint16_t> required;
};

// False when a record could not be made (its message is on the window).
bool prepareRun(const RunDefinition& definition, PreparedRun& prepared);

// An empty simulation record with the grid and the kinds of the run; null when it cannot be
// made (message on the window).
simulation::RestErrorHeaderPtr makeRecord(platform::Window& window, const RunDefinition& run);

}  // namespace cli
