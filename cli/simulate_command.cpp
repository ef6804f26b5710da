// Placeholder until the simulate subcommand lands.
#include "commands.h"

namespace cli {
void addSimulateCommand(CLI::App&, Action&) {}
}  // namespace cli
