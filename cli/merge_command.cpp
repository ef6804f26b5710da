// ardentix-cli merge: folds the partial results of a simulation's shards, in cycle order, into
// the tables of the whole run and writes exactly what `simulate` writes.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "partial_result.h"
#include "simulation_output.h"

namespace cli {

namespace {

struct MergeOptions {
    std::vector<std::string> files;
    OutputOptions outputs;
};

int runMerge(const MergeOptions& o) {
    SimulationOutputs outputs(o.outputs);  // a path that cannot be written is refused first
    std::vector<NamedPartial> partials;
    for (const std::string& file : o.files)
        partials.push_back(readPartialFile(file));
    platform::RecordingWindow window;
    std::vector<std::string> problems;
    const std::optional<MergedRun> merged = mergePartials(window, partials, problems);
    if (!merged) {
        std::string text = "merge refused, nothing written:\n";
        for (const std::string& line : problems)
            text += "- " + line + "\n";
        std::fputs(text.c_str(), stderr);
        return 1;
    }
    try {
        outputs.write(merged->report, merged->run);
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "ardentix-cli: %s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace

void addMergeCommand(CLI::App& app, Action& run) {
    auto o = std::make_shared<MergeOptions>();
    CLI::App* cmd = app.add_subcommand(
        "merge", "Fold the partial results of a simulation's shards into its tables");
    cmd->add_option("files", o->files, "The partial results (simulate --shard I/N --partial F)")
        ->required();
    addOutputOptions(*cmd, o->outputs);
    cmd->callback([o, &run] { run = [o] { return runMerge(*o); }; });
}

}  // namespace cli
