// Placeholder until the process subcommand lands.
#include "commands.h"

namespace cli {
void addProcessCommand(CLI::App&, Action&) {}
}  // namespace cli
