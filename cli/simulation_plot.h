#pragma once
// The picture of a finished simulation's error curves, as `simulate --plot` and `merge --plot`
// save it: the same graphs the desktop program's simulation screen draws.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "simulation/measures.h"
#include "simulation/rest_error_header.h"
#include "simulation_run.h"

namespace cli {

struct PlotOptions {
    std::string file;                    // .png; empty: no picture
    std::string graph = "detection";     // restoring, detection or recognition
    std::string view = "componentwise";  // componentwise or summary
    bool bounds = false;                 // the recognition bound curves
    std::optional<double> upperBound;    // a fixed top of the error axis
    std::string size = "1280x960";       // WxH in pixels
};

// Registers --plot, --graph, --view, --bounds, --upper-bound and --plot-size.
void addPlotOptions(CLI::App& cmd, PlotOptions& options);

// Checks the options and that the picture file can be created (nothing left behind); throws
// UsageError naming the option.
void checkPlotOptions(const PlotOptions& options);

// Draws the graphs of the complete `record` of `run` and writes the picture; throws
// std::runtime_error with the reason when it cannot be drawn or written.
// `start` and `end` are the run's times the caption shows.
void writeSimulationPlot(const PlotOptions& options, const RunDefinition& run,
                         const simulation::RestErrorHeader& record,
                         const simulation::GraphMeasures& measures, std::time_t start,
                         std::time_t end);

}  // namespace cli
