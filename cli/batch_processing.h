#pragma once
// Processing as the desktop program does it, driven from the command line: the settings are
// filled from the options, start-up prepares the alphabet, the required list and the records,
// the selection is stored, and the program's own "next data" command generates, adds noise and
// processes. A recorded series is put in the series record instead, and processed.

#include <cstdint>
#include <vector>

#include "app/app_settings.h"
#include "common.h"

namespace cli {

struct BatchRequest {
    const SeriesOptions* series = nullptr;
    uint16_t seriesKind = 8;
    uint16_t selectedTask = 1;
    std::vector<int32_t> required;  // as typed; empty: the start-up list
    std::vector<int32_t> subset;
    std::vector<std::vector<int32_t>> tuples;
    int32_t currentTuple = 1;
    uint16_t proceeding = 1;
    uint16_t createLevel = 100;
    uint16_t processLevel = 100;
    // The etalons from a file (moved into the settings) instead of the built-in alphabet.
    series::Alphabet* alphabet = nullptr;
    // A recorded series processed as it is instead of a generated one (pulse count: --pulses).
    const std::vector<int16_t>* observed = nullptr;
};

// Runs the pipeline in `app` on `window`; the records stay in `app` for the report.
void runBatchProcessing(platform::HostWindow& window, app::AppSettings& app,
                        const BatchRequest& request);

}  // namespace cli
