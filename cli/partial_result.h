#pragma once
// The partial result of one shard of a simulation, as `simulate --shard I/N --partial FILE`
// writes it and `merge` (or rank 0 of an MPI run) reads it back: the definition of the run,
// the shard and its cycles, the per-cell sums in full precision, and, from the shard that ran
// the last cycle, the normalisations the outputs show. Partials fold in cycle order into
// exactly the report of one whole run.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/window.h"
#include "simulation/driver.h"
#include "simulation/measures.h"
#include "simulation/rest_error_header.h"
#include "simulation_output.h"
#include "simulation_run.h"

namespace cli {

struct PartialResult {
    RunDefinition run;
    uint32_t shardIndex = 0;
    uint32_t shardCount = 1;
    simulation::CycleRange cycles;
    uint64_t gridCycles = 0;
    uint64_t firstCell = 0;                  // the cell of sums[0] (loop order j * L + k)
    std::vector<simulation::CellSums> sums;  // every cell the cycles touch
    std::optional<simulation::GraphMeasures> measures;  // with the grid's last cycle only
    std::vector<platform::Message> setupMessages;       // before the cycles ran
    std::vector<platform::Message> runMessages;         // while they ran
    int64_t startTime = 0;
    int64_t endTime = 0;
    double elapsedSeconds = 0.0;
    double planningSeconds = 0.0;
};

nlohmann::json partialJson(const PartialResult& partial);
// Throws std::runtime_error naming what is missing, malformed or inconsistent.
PartialResult partialFromJson(const nlohmann::json& json);

// A double as an exact text (hexadecimal floating point) and back; the reading throws
// std::runtime_error for a text that is not one.
std::string exactDoubleText(double value);
double exactDoubleFrom(const std::string& text);

// A partial read from a file or a message: its name (file name or rank) and either the
// partial or what is wrong with it.
struct NamedPartial {
    std::string name;
    std::optional<PartialResult> partial;
    std::string problem;
};
NamedPartial readPartialFile(const std::string& path);
NamedPartial readPartialText(const std::string& name, const std::string& text);

// The whole run put together from its partials.
struct MergedRun {
    RunDefinition run;
    simulation::RestErrorHeaderPtr record;
    SimulationReport report;  // points into record
};

// Folds the partials in cycle order. When they are not exactly the shards of one run (a file
// that could not be read, different runs or splits, shards missing or given twice, cycles
// covered twice or not at all), nothing is folded and `problems` receives one line each.
std::optional<MergedRun> mergePartials(platform::Window& window,
                                       const std::vector<NamedPartial>& partials,
                                       std::vector<std::string>& problems);

}  // namespace cli
