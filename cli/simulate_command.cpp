// ardentix-cli simulate: a statistical simulation over a grid of pulse counts and noise levels,
// with a progress bar, the error tables as CSV and JSON and the elapsed time; or one shard of
// it written as a partial result for `merge`; or all shards at once over MPI ranks.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "collective.h"
#include "commands.h"
#include "common.h"
#include "partial_result.h"
#include "simulation/driver.h"
#include "simulation/measures.h"
#include "simulation_output.h"
#include "simulation_progress.h"
#include "simulation_run.h"

namespace cli {

namespace {

struct SimulateCommandOptions {
    SimulateOptions run;
    OutputOptions outputs;
    unsigned threads = 0;
    bool quiet = false;
    std::string shard;    // "I/N"
    std::string partial;  // the partial result file of the shard
    bool mpi = false;
};

std::atomic<bool> interrupted{false};
extern "C" void onInterrupt(int) {
    interrupted = true;
}

// "I/N" with 0 <= I < N; throws UsageError.
simulation::ShardPart parseShard(const std::string& text) {
    const size_t slash = text.find('/');
    auto number = [&](const std::string& part) -> uint64_t {
        if (part.empty() || part.size() > 9 ||
            part.find_first_not_of("0123456789") != std::string::npos)
            throw UsageError("--shard: expected I/N (for example 0/4), got '" + text + "'");
        return std::stoull(part);
    };
    if (slash == std::string::npos)
        throw UsageError("--shard: expected I/N (for example 0/4), got '" + text + "'");
    const uint64_t index = number(text.substr(0, slash)), count = number(text.substr(slash + 1));
    if (count == 0 || index >= count)
        throw UsageError("--shard: the index must lie in 0.." +
                         (count ? std::to_string(count - 1) : std::string("N-1")) + ", got '" +
                         text + "'");
    return {uint32_t(index), uint32_t(count)};
}

struct ShardSettings {
    unsigned threads = 0;
    bool quiet = false;
    bool printMessages = true;
    std::string label;  // starts the progress lines
};

void announce(const RunDefinition& d, const ShardSettings& s, const std::string& mode) {
    if (s.quiet)
        return;
    const char* task = simulation::restErrTaskName(d.taskKind);
    const char* kind = simulation::restErrSeriesName(d.seriesKind);
    std::fprintf(stderr,
                 "simulate: %s in series with %s; length %u, Tmin %u, Tmax %u; pulses %d to %d "
                 "step %d; noise from %d, %u levels, step %d; %d repeats; %u threads%s\n",
                 task ? task : "?", kind ? kind : "?", unsigned{d.length}, unsigned{d.tmin},
                 unsigned{d.tmax}, int{d.pulseFrom},
                 int(d.pulseFrom + d.pulseStep * (int32_t{d.pulseCount} - 1)), int{d.pulseStep},
                 int{d.noiseFrom}, unsigned{d.noiseCount}, int{d.noiseStep}, int{d.repeats},
                 s.threads ? s.threads : std::max(1u, std::thread::hardware_concurrency()),
                 mode.c_str());
}

// Runs one shard of the run from fresh streams, as its own process would. 0, or 1 when the
// run was refused, failed or was cancelled (its messages are on stderr and in `messages`).
int runShard(const RunDefinition& d, simulation::ShardPart part, const ShardSettings& s,
             PartialResult& partial, std::vector<platform::Message>& messages) {
    PreparedRun prepared(s.printMessages);
    const bool ready = prepareRun(d, prepared);
    const size_t setupCount = prepared.window.messages().size();
    if (!ready) {
        messages = prepared.window.messages();
        return 1;
    }
    const bool terminal = isatty(fileno(stderr)) != 0;
    auto printer =
        std::make_shared<ProgressPrinter>(uint64_t(uint16_t(d.repeats)), terminal, s.label);
    simulation::SimulationContext context;
    context.amplitude = d.amplitude;
    context.subsetProceeding = d.proceeding;
    context.streams = &prepared.streams;
    context.threads = s.threads;
    context.independentNoiseSeed = d.independentNoise;
    context.cancel = &interrupted;
    if (!s.quiet) {
        context.progress = [printer](uint64_t done, uint64_t total) { (*printer)(done, total); };
        context.progressInterval = std::chrono::milliseconds(terminal ? 200 : 1000);
    }
    interrupted = false;
    auto previous = std::signal(SIGINT, onInterrupt);
    simulation::ShardResult result;
    const int complete = simulation::simulateShard(
        prepared.window, prepared.record.get(), d.alphabetSize, prepared.alphabet,
        uint16_t(prepared.required.size()), prepared.required.data(), d.seriesKind, d.taskKind,
        d.createLevel, d.processLevel, *prepared.header, context, part, result);
    std::signal(SIGINT, previous);
    const double elapsed = printer->seconds();
    messages = prepared.window.messages();
    if (!complete)
        return 1;

    partial.run = d;
    partial.shardIndex = part.index;
    partial.shardCount = part.count;
    partial.cycles = result.cycles;
    partial.gridCycles = result.gridCycles;
    partial.firstCell = result.firstCell;
    partial.sums = result.sums;
    if (result.cycles.size() > 0 && result.cycles.end == result.gridCycles)
        partial.measures =
            simulation::graphMeasures(*prepared.record, uint16_t(prepared.required.size()),
                                      prepared.required.data(), *prepared.header);
    partial.setupMessages.assign(messages.begin(), messages.begin() + setupCount);
    partial.runMessages.assign(messages.begin() + setupCount, messages.end());
    partial.startTime = simulation::simulationStartTime;
    partial.endTime = simulation::simulationEndTime;
    partial.elapsedSeconds = elapsed;
    partial.planningSeconds = result.planningSeconds;
    return 0;
}

void reportRefusal(const std::string& command, const std::vector<std::string>& problems) {
    std::string text = command + " refused:\n";
    for (const std::string& line : problems)
        text += "- " + line + "\n";
    std::fputs(text.c_str(), stderr);
}

void summary(const ShardSettings& s, uint64_t cycles, double elapsed, const std::string& what) {
    if (s.quiet)
        return;
    std::fprintf(stderr, "simulate: %s%llu cycles in %.1f s (%s), %.1f cycles/s\n", what.c_str(),
                 static_cast<unsigned long long>(cycles), elapsed, clockText(elapsed).c_str(),
                 elapsed > 0 ? double(cycles) / elapsed : 0.0);
}

int writeReport(SimulationOutputs& outputs, const MergedRun& merged) {
    try {
        outputs.write(merged.report, merged.run);
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "ardentix-cli: %s\n", e.what());
        return 1;
    }
    return 0;
}

int runWhole(const RunDefinition& d, const SimulateCommandOptions& o) {
    SimulationOutputs outputs(o.outputs);  // a path that cannot be written costs nothing
    const ShardSettings s{o.threads, o.quiet, true, ""};
    announce(d, s, "");
    PartialResult partial;
    std::vector<platform::Message> messages;
    if (runShard(d, {0, 1}, s, partial, messages) != 0)
        return 1;
    platform::RecordingWindow window;
    std::vector<std::string> problems;
    auto merged = mergePartials(window, {{"the run", partial, ""}}, problems);
    if (!merged) {
        reportRefusal("simulate", problems);
        return 1;
    }
    if (const int status = writeReport(outputs, *merged))
        return status;
    summary(s, d.cycles(), partial.elapsedSeconds, "");
    return 0;
}

int runShardToFile(const RunDefinition& d, const SimulateCommandOptions& o) {
    const simulation::ShardPart part = parseShard(o.shard);
    std::unique_ptr<AtomicFile> file;
    try {
        file = std::make_unique<AtomicFile>(o.partial);
    } catch (const std::runtime_error& e) {
        throw UsageError(std::string("--partial: ") + e.what());
    }
    const std::string label =
        "shard " + std::to_string(part.index) + "/" + std::to_string(part.count) + ": ";
    const ShardSettings s{o.threads, o.quiet, true, label};
    announce(d, s, "; " + label.substr(0, label.size() - 2));
    PartialResult partial;
    std::vector<platform::Message> messages;
    if (runShard(d, part, s, partial, messages) != 0)
        return 1;
    try {
        file->commit(partialJson(partial).dump(1) + "\n");
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "ardentix-cli: %s\n", e.what());
        return 1;
    }
    const std::string cycles = partial.cycles.size()
                                   ? "cycles " + std::to_string(partial.cycles.begin) + " to " +
                                         std::to_string(partial.cycles.end - 1)
                                   : std::string("no cycles");
    char planned[64];
    std::snprintf(planned, sizeof planned, " (planned in %.4f s), ", partial.planningSeconds);
    const std::string what = label + cycles + " of " + std::to_string(partial.gridCycles) + planned;
    summary(s, partial.cycles.size(), partial.elapsedSeconds, what);
    return 0;
}

// Every rank runs its shard; rank 0 gathers the partials, merges them and writes the outputs.
int runMpi(const RunDefinition& d, const SimulateCommandOptions& o, MpiStarter startMpi) {
    std::unique_ptr<Collective> world = startMpi();
    const uint32_t rank = world->rank(), size = world->size();
    const bool first = rank == 0;
    std::unique_ptr<SimulationOutputs> outputs;
    std::string openFailure;
    if (first) {
        try {
            outputs = std::make_unique<SimulationOutputs>(o.outputs);
        } catch (const UsageError& e) {
            openFailure = e.what();
        }
    }
    if (world->shareFromFirst(openFailure.empty() ? 0 : 2) != 0) {
        if (first)
            std::fprintf(stderr, "ardentix-cli: %s\n", openFailure.c_str());
        return 2;
    }

    const std::string label = size > 1 ? "rank 0 of " + std::to_string(size) + ": " : "";
    const ShardSettings s{o.threads, o.quiet || !first, first, label};
    announce(d, s, "; " + std::to_string(size) + " MPI ranks, each with these threads");
    if (first && !o.quiet && size > 1)
        std::fprintf(stderr, "simulate: the progress shown is rank 0's share of the cycles\n");
    const auto start = std::chrono::steady_clock::now();
    PartialResult partial;
    std::vector<platform::Message> messages;
    const int status = runShard(d, {rank, size}, s, partial, messages);
    std::string text;
    if (status == 0) {
        text = partialJson(partial).dump();
    } else {
        nlohmann::json failed = {{"failed", true}, {"messages", nlohmann::json::array()}};
        for (const auto& m : messages)
            failed["messages"].push_back({{"title", m.title}, {"text", m.text}});
        text = failed.dump();
    }
    const std::vector<std::string> texts = world->gatherToFirst(text);

    int result = 0;
    if (first) {
        std::vector<NamedPartial> partials;
        std::vector<std::string> failures;
        for (uint32_t r = 0; r < texts.size(); ++r) {
            const std::string name = "rank " + std::to_string(r);
            const auto json = nlohmann::json::parse(texts[r], nullptr, false);
            if (json.is_object() && json.contains("failed")) {
                // Its messages on one line (rank 0's were shown as they came).
                std::string why;
                for (const auto& m : json["messages"])
                    why += " " + m.value("text", std::string());
                std::replace(why.begin(), why.end(), '\n', ' ');
                while (why.find("  ") != std::string::npos)
                    why.erase(why.find("  "), 1);
                if (!why.empty() && why.back() == ' ')
                    why.pop_back();
                failures.push_back(name + " did not complete its cycles:" +
                                   (why.empty() ? std::string(" no message") : why));
                continue;
            }
            partials.push_back(readPartialText(name, texts[r]));
        }
        platform::RecordingWindow window;
        std::vector<std::string> problems = failures;
        std::optional<MergedRun> merged;
        if (failures.empty())
            merged = mergePartials(window, partials, problems);
        if (!merged) {
            reportRefusal("simulate --mpi", problems);
            result = 1;
        } else {
            // The other ranks' messages, which only rank 0 shows.
            for (const NamedPartial& p : partials)
                if (p.name != "rank 0")
                    for (const auto& m : p.partial->runMessages)
                        std::fprintf(stderr, "%s: %s: %s\n", p.name.c_str(), m.title.c_str(),
                                     m.text.c_str());
            merged->report.elapsedSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            result = writeReport(*outputs, *merged);
            if (result == 0)
                summary({o.threads, o.quiet, true, ""}, d.cycles(), merged->report.elapsedSeconds,
                        std::to_string(size) + " ranks: ");
        }
    }
    return world->shareFromFirst(result);
}

int runSimulate(const SimulateCommandOptions& o, MpiStarter startMpi) {
    const RunDefinition d = resolveRun(o.run);
    const bool sharded = !o.shard.empty() || !o.partial.empty();
    if (!o.shard.empty() != !o.partial.empty())
        throw UsageError("--shard and --partial go together");
    if (sharded && o.outputs.any())
        throw UsageError(
            "a shard writes its --partial file only; merge writes --csv, --json and --plot");
    if (o.mpi && sharded)
        throw UsageError("--mpi splits the run over the MPI ranks by itself; it takes no --shard");
    if (o.mpi && !startMpi)
        throw UsageError(
            "--mpi: this ardentix-cli was built without MPI (install libopenmpi-dev and "
            "openmpi-bin, then rebuild)");
    if (o.mpi)
        return runMpi(d, o, startMpi);
    if (sharded)
        return runShardToFile(d, o);
    return runWhole(d, o);
}

}  // namespace

void addSimulateCommand(CLI::App& app, Action& run, MpiStarter startMpi) {
    auto o = std::make_shared<SimulateCommandOptions>();
    SimulateOptions& r = o->run;
    CLI::App* cmd = app.add_subcommand("simulate", "Run a statistical simulation over a grid");
    cmd->add_option("--task", r.task,
                    "detection, recognition, joint, series-processing or a code (1, 2, 4, 64)")
        ->capture_default_str();
    cmd->add_option("--series", r.seriesKind,
                    "fixed-whole, fixed-cut, unfixed-whole, unfixed-cut, fixed-tuples, "
                    "unfixed-tuples or a code")
        ->capture_default_str();
    cmd->add_option("--etalons", r.etalons,
                    "Required etalons, e.g. 1,3,5 (default: 1 for detection, all otherwise)");
    cmd->add_option("--subset", r.subset, "Selected subset (tuple) embedded in the series");
    cmd->add_option("--tuples", r.tuples, "Stored tuples for tuple recognition, e.g. 1,2;3,4,5");
    cmd->add_option("--proceeding", r.proceeding, "Subset proceeding: 1 complete, 2 shifted")
        ->capture_default_str()
        ->check(CLI::Range(1, 2));
    cmd->add_option("--subset-mode", r.subsetMode,
                    "1 single random, 2 single fixed, 3 multiple random, 4 complete, 5 shifted")
        ->capture_default_str()
        ->check(CLI::Range(1, 5));
    cmd->add_option("--subset-start", r.subsetStart, "1-based pulse where embedding starts")
        ->capture_default_str()
        ->check(CLI::Range(1, 65535));
    cmd->add_option("--length", r.length, "Series length N")->capture_default_str();
    cmd->add_option("--tmin", r.tmin, "Minimal distance between pulse starts")
        ->capture_default_str();
    cmd->add_option("--tmax", r.tmax, "Maximal distance between pulse starts")
        ->capture_default_str();
    cmd->add_option("--pulses", r.pulses, "FROM:TO[:INCR] (default: the feasible range)");
    cmd->add_option("--noise", r.noise, "INITIAL:STEPS:INCR")->capture_default_str();
    cmd->add_option("--repeats", r.repeats, "Repeats per cell")->capture_default_str();
    cmd->add_option("--create-level", r.createLevel,
                    "Saved energy level for creating (default 75 for cut-off kinds, else 100)")
        ->check(CLI::Range(0, 100));
    cmd->add_option("--process-level", r.processLevel,
                    "Saved energy level for processing (default as --create-level)")
        ->check(CLI::Range(0, 100));
    cmd->add_option("--threads", o->threads, "Worker threads (0: all hardware threads)")
        ->capture_default_str();
    cmd->add_option("--independent-noise", r.independentNoise,
                    "Seed of the independent 64-bit noise generator");
    addOutputOptions(*cmd, o->outputs);
    cmd->add_option("--shard", o->shard,
                    "Run only part I of N of the cycles (0 <= I < N), written to --partial");
    cmd->add_option("--partial", o->partial, "The shard's partial result file, for merge");
    cmd->add_flag("--mpi", o->mpi,
                  "Split the cycles over the MPI ranks (under mpirun); rank 0 writes the outputs");
    cmd->add_flag("--quiet", o->quiet, "No progress and no summary on stderr");
    cmd->callback(
        [o, &run, startMpi] { run = [o, startMpi] { return runSimulate(*o, startMpi); }; });
}

}  // namespace cli
