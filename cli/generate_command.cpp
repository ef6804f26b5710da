// ardentix-cli generate: one series from fresh stream states.

#include <cstdio>

#include "commands.h"
#include "common.h"
#include "pipeline.h"
#include "series/generation.h"

namespace cli {

namespace {
struct GenerateOptions {
    SeriesOptions series;
    bool json = false;
};

int runGenerate(const GenerateOptions& o) {
    validateSeriesOptions(o.series);
    platform::ConsoleWindow window(!o.json);
    series::RandomStreams streams;
    const series::Alphabet alphabet = makeAlphabet(window, o.series, streams);
    GenerationRequest request;
    request.options = &o.series;
    request.alphabet = &alphabet;
    request.sequence = sequenceFromText(o.series.sequence, 0);
    if (!o.series.subset.empty())
        request.subset = parseList(o.series.subset, "--subset", 1, o.series.count);
    request.randomCount = o.series.randomCount;
    request.savedLevel = o.series.savedLevel;
    const auto header = generateSeries(window, request, streams);
    const bool clean = window.messages().empty() && header;
    if (o.json) {
        nlohmann::json out = header ? seriesJson(*header) : nlohmann::json::object();
        out["messages"] = messagesJson(window);
        std::printf("%s\n", out.dump().c_str());
    } else if (header) {
        std::printf("%s", seriesSummary(*header).c_str());
    }
    return clean ? 0 : 1;
}
}  // namespace

void addGenerateCommand(CLI::App& app, Action& run) {
    auto options = std::make_shared<GenerateOptions>();
    CLI::App* cmd = app.add_subcommand("generate", "Generate one noisy series");
    addSeriesOptions(*cmd, options->series);
    cmd->add_flag("--json", options->json, "Print JSON");
    cmd->callback([options, &run] { run = [options] { return runGenerate(*options); }; });
}

}  // namespace cli
