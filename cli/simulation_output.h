#pragma once
// The outputs of a finished simulation, written the same way by `simulate` and by `merge`: the
// options that ask for them, what they are made of, and the writer. An output added here (a
// new option in addOutputOptions, its file in SimulationOutputs) is offered by both commands.

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "atomic_file.h"
#include "platform/window.h"
#include "simulation/measures.h"
#include "simulation/rest_error_header.h"
#include "simulation_plot.h"

namespace cli {

struct OutputOptions {
    std::string csv;   // FILE or "-" for stdout
    std::string json;  // FILE or "-" for stdout
    PlotOptions plot;
    bool any() const { return !csv.empty() || !json.empty() || !plot.file.empty(); }
};

// Registers --csv, --json and the picture's options.
void addOutputOptions(CLI::App& cmd, OutputOptions& options);

// A finished run: complete tables and everything shown beside them.
struct SimulationReport {
    const simulation::RestErrorHeader* record = nullptr;  // ifComplete, kinds recorded
    simulation::GraphMeasures measures;
    std::vector<platform::Message> messages;
    std::time_t startTime = 0;
    std::time_t endTime = 0;
    double elapsedSeconds = 0.0;
    std::optional<uint64_t> independentNoiseSeed;
};

// The requested output files, opened (as temporary files beside their targets) when made, so
// that a path that cannot be written is refused before the run; written together by write().
class SimulationOutputs {
  public:
    // Throws UsageError for a file that cannot be created.
    explicit SimulationOutputs(const OutputOptions& options);
    // Writes every requested output of `run`; throws std::runtime_error when a file cannot be
    // written (the others that were already renamed stay).
    void write(const SimulationReport& report, const RunDefinition& run);

  private:
    OutputOptions options_;
    std::unique_ptr<AtomicFile> csv_, json_;
};

// The CSV and the JSON text of a report.
std::string simulationCsv(const SimulationReport& report);
std::string simulationJson(const SimulationReport& report, bool pretty);

}  // namespace cli
