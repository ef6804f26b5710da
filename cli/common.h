#pragma once
// Options and helpers shared by the subcommands: the series parameters with the application's
// defaults, kind names, list parsing, and JSON views of the records.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "platform/window.h"
#include "series/random.h"
#include "series/records.h"

namespace cli {

// Thrown for bad command-line input; main prints it and exits with status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The series parameters, with the application's defaults.
struct SeriesOptions {
    uint32_t length = 1200;
    uint16_t tmin = 40;
    uint16_t tmax = 181;
    uint16_t etalonLength = 20;
    uint16_t count = 20;  // etalons in the alphabet
    int16_t amplitude = 128;
    std::optional<uint16_t> pulses;  // default: the middle of the feasible range
    bool randomCount = false;
    std::string sequence;  // "1,2,3"
    uint16_t savedLevel = 100;
    int16_t noise = 20;
    std::string subset;  // "1,2,3"
    uint16_t subsetMode = 4;
    uint16_t subsetStart = 1;
};

// Registers --length, --tmin, --tmax, --etalon-length, --count, --amplitude, --noise.
void addBasicSeriesOptions(CLI::App& cmd, SeriesOptions& options);
// Also --pulses, --random-count, --sequence, --saved-level, --subset, --subset-mode,
// --subset-start.
void addSeriesOptions(CLI::App& cmd, SeriesOptions& options);

// Throws UsageError unless 1 <= Tmin <= Tmax, 1 <= L <= Tmax, L <= N <= 32767, 1 <= M, a
// feasible pulse count exists and the alphabet passes validateAlphabetEnergies.
void validateSeriesOptions(const SeriesOptions& options);
// Throws UsageError when an etalon of the alphabet (A, M, L) has an energy that 32 bits cannot
// hold: every energy and cost of a run is a 32-bit value and would then be meaningless.
void validateAlphabetEnergies(const SeriesOptions& options);

// "1,2,3" -> {1, 2, 3}; each value within [low, high]. Throws UsageError.
std::vector<int32_t> parseList(const std::string& text, const char* what, int32_t low,
                               int32_t high);
// "1,2;3,4,5" -> {{1,2},{3,4,5}}.
std::vector<std::vector<int32_t>> parseTuples(const std::string& text, int32_t high);

// Task kind from "detection", "recognition", "joint", "series-processing" or a code (1, 2, 4, 64,
// 36, 40). Series kind from "fixed-whole", "fixed-cut", "unfixed-whole", "unfixed-cut",
// "fixed-tuples", "unfixed-tuples" or a code (1, 2, 4, 8, 16, 32, 36, 40).
uint16_t parseTaskKind(const std::string& text);
uint16_t parseSeriesKind(const std::string& text);
// The effective task kind: detection on a tuple series is 36, recognition 40.
uint16_t deriveTaskKind(uint16_t selectedTask, uint16_t seriesKind);

// A fresh alphabet (A, M, L) from the random-etalons stream of `streams`.
series::Alphabet makeAlphabet(platform::Window& window, const SeriesOptions& options,
                              series::RandomStreams& streams);

// {"seriesLength", "tmin", "tmax", "etalonLength", "pulses", "minPulses", "maxPulses",
//  "noiseLevel", "amplitude", "pure", "noisy", "truth"}.
nlohmann::json seriesJson(const series::SeriesHeader& header);
nlohmann::json messagesJson(const platform::RecordingWindow& window);
nlohmann::json messagesJson(const std::vector<platform::Message>& messages);

// The readable summary of a series: bounds, pulses, energies.
std::string seriesSummary(const series::SeriesHeader& header);

}  // namespace cli
