#pragma once
// JSON views of the processing results, shared by `process --json` and the `ui` state.

#include <nlohmann/json.hpp>

#include "engine/chains.h"
#include "series/records.h"

namespace cli {

// [{"start", "etalon", "cutBegin", "cutEnd"}, ...] of n pulses.
nlohmann::json pulsesJson(const int16_t* start, const int16_t* etalon, const int16_t* cutBegin,
                          const int16_t* cutEnd, int n);
// {"pulses", "count"} of the findings, plus "tuples" and "recognizedSubset" for tuple tasks.
nlohmann::json foundJson(const series::SeriesHeader& header, bool tupleTask);
// [{"distance", "pulses"}, ...] of the held chains.
nlohmann::json chainsJson(const engine::ChainsHeader& chains);

}  // namespace cli
