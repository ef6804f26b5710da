#pragma once
// The subcommands of ardentix-cli. Each registers its options and sets `run` to the action,
// which returns the exit status: 0 success, 1 a run that reported a message or was refused,
// 2 bad command-line input.

#include <functional>

#include <CLI/CLI.hpp>

#include "collective.h"

namespace cli {

using Action = std::function<int()>;

void addAlphabetCommand(CLI::App& app, Action& run);
void addGenerateCommand(CLI::App& app, Action& run);
void addProcessCommand(CLI::App& app, Action& run);
// `startMpi` serves --mpi; null when this build has no MPI (--mpi is then refused).
void addSimulateCommand(CLI::App& app, Action& run, MpiStarter startMpi);
void addMergeCommand(CLI::App& app, Action& run);
void addUiCommand(CLI::App& app, Action& run);

}  // namespace cli
