// ardentix-cli generate: one series from fresh stream states.

#include <cstdio>

#include "commands.h"
#include "common.h"
#include "csv_output.h"
#include "file_options.h"
#include "pipeline.h"
#include "series/generation.h"

namespace cli {

namespace {
struct GenerateOptions {
    SeriesOptions series;
    FileOptions files;
    bool json = false;
};

int runGenerate(const GenerateOptions& o) {
    if (o.files.seriesCsv == "-" && o.json)
        throw UsageError("--csv - and --json both write to standard output");
    SeriesOptions so = o.series;
    std::optional<series::Alphabet> fileAlphabet;
    if (!o.files.alphabet.empty())
        fileAlphabet = readAlphabetOption(o.files, so);
    validateSeriesOptions(so);
    platform::ConsoleWindow window(!o.json);
    series::RandomStreams streams;
    const series::Alphabet alphabet =
        fileAlphabet ? std::move(*fileAlphabet) : makeAlphabet(window, so, streams);
    GenerationRequest request;
    request.options = &so;
    request.alphabet = &alphabet;
    request.sequence = sequenceFromText(so.sequence, 0);
    if (!so.subset.empty())
        request.subset = parseList(so.subset, "--subset", 1, so.count);
    request.randomCount = so.randomCount;
    request.savedLevel = so.savedLevel;
    const auto header = generateSeries(window, request, streams);
    const bool clean = window.messages().empty() && header;
    // The table is written only for a series made without any message.
    if (o.files.seriesCsv == "-") {
        if (clean)
            std::printf("%s", seriesCsv(*header).c_str());
        return clean ? 0 : 1;
    }
    if (clean && !o.files.seriesCsv.empty())
        writeOutputFile(o.files.seriesCsv, seriesCsv(*header));
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
    addAlphabetFileOption(*cmd, options->files);
    cmd->add_option(
        "--csv", options->files.seriesCsv,
        "Write the series as index,pure,noisy (- for standard output, in place of the summary)");
    cmd->add_flag("--json", options->json, "Print JSON");
    cmd->callback([options, &run] { run = [options] { return runGenerate(*options); }; });
}

}  // namespace cli
