// ardentix-cli process: generate a series as the application's "next data" pipeline does, or
// read a recorded one (--input), then run the procedure that the dispatch table picks, and report
// the findings and the chains.

#include <cstdio>

#include "batch_processing.h"
#include "commands.h"
#include "common.h"
#include "csv_output.h"
#include "engine/chains.h"
#include "engine/dispatch.h"
#include "file_options.h"
#include "observed_series.h"
#include "platform/headless_host.h"
#include "report_json.h"
#include "series/generation.h"
#include "series/selection.h"
#include "series/series_header.h"
#include "simulation/driver.h"

namespace cli {

namespace {

struct ProcessOptions {
    SeriesOptions series;
    std::string task = "detection";
    std::string seriesKind = "unfixed-cut";
    std::string etalons;
    uint16_t createLevel = 75;
    uint16_t processLevel = 75;
    std::string tuples;
    uint16_t currentTuple = 1;
    uint16_t proceeding = 1;
    FileOptions files;
    bool json = false;
};

// The procedures that search a known number of pulses K (wImpulseQuantity).
bool needsPulseCount(engine::Procedure p) {
    using engine::Procedure;
    return p == Procedure::DetectKnownNumber || p == Procedure::RecognizeKnownNumber ||
           p == Procedure::DetectTuplesKnownNumber || p == Procedure::RecognizeTuplesKnownNumber;
}

// The recorded series of --input. Its length is the series length; the pulse count comes from
// --pulses exactly when the dispatched procedure needs one.
InputSeries readObservedSeries(const FileOptions& files, SeriesOptions& so, uint16_t taskKind,
                               uint16_t seriesKind) {
    InputSeries observed = readInputOption(files);
    const engine::Procedure procedure = engine::procedureFor(taskKind, seriesKind);
    const std::string kinds = std::string(engine::procedureName(procedure)) + " (task " +
                              std::to_string(taskKind) + ", series " + std::to_string(seriesKind) +
                              ")";
    if (needsPulseCount(procedure) && !so.pulses)
        throw UsageError(kinds + " processes a known number of pulses: give it with --pulses K");
    if (!needsPulseCount(procedure) && so.pulses)
        throw UsageError("--pulses: " + kinds + " finds the number of pulses itself");
    if (observed.samples.size() < so.etalonLength)
        throw UsageError(files.input + ": " + std::to_string(observed.samples.size()) +
                         " samples, fewer than the etalon length " +
                         std::to_string(so.etalonLength));
    so.length = static_cast<uint32_t>(observed.samples.size());
    return observed;
}

int runProcess(const ProcessOptions& o) {
    if (o.files.foundCsv == "-" && o.json)
        throw UsageError("--found-csv - and --json both write to standard output");
    SeriesOptions so = o.series;
    std::optional<series::Alphabet> fileAlphabet;
    if (!o.files.alphabet.empty())
        fileAlphabet = readAlphabetOption(o.files, so);
    const uint16_t seriesKind = parseSeriesKind(o.seriesKind);
    const uint16_t taskKind = deriveTaskKind(parseTaskKind(o.task), seriesKind);
    std::optional<InputSeries> observed;
    if (!o.files.input.empty())
        observed = readObservedSeries(o.files, so, taskKind, seriesKind);
    validateSeriesOptions(so);
    const bool tupleTask =
        taskKind == series::kTupleDetection || taskKind == series::kTupleRecognition;
    if (tupleTask && !series::isTupleKind(seriesKind) && o.series.subset.empty())
        throw UsageError("tuple task kinds need --subset");
    if (series::isTupleKind(seriesKind) && o.series.subset.empty() && o.tuples.empty())
        throw UsageError("tuple series kinds need --subset (or --tuples for recognition)");
    if (o.proceeding < 1 || o.proceeding > 2)
        throw UsageError("--proceeding must be 1 or 2");

    std::vector<int32_t> required;
    if (!o.etalons.empty())
        required = parseList(o.etalons, "--etalons", 1, so.count);

    std::vector<int32_t> subset;
    if (!o.series.subset.empty())
        subset = parseList(o.series.subset, "--subset", 1, so.count);
    std::vector<std::vector<int32_t>> tuples;
    if (!o.tuples.empty())
        tuples = parseTuples(o.tuples, so.count);
    if (taskKind == series::kTupleRecognition && tuples.empty())
        tuples.push_back(subset);
    if (!tuples.empty() && (o.currentTuple < 1 || o.currentTuple > tuples.size()))
        throw UsageError("--current-tuple must lie in 1.." + std::to_string(tuples.size()));
    if (subset.empty() && !tuples.empty())
        subset = tuples[o.currentTuple - 1];

    // Whole-pulse kinds are generated and processed with the level 100.
    const bool cutOff = series::isCutOffKind(seriesKind);
    const uint16_t createLevel = cutOff ? o.createLevel : 100;
    const uint16_t processLevel = cutOff ? o.processLevel : 100;
    if (createLevel > 100 || processLevel > 100)
        throw UsageError("levels must lie in 0..100");

    BatchRequest request;
    request.series = &so;
    request.seriesKind = seriesKind;
    request.selectedTask = parseTaskKind(o.task);
    request.required = required;
    request.subset = subset;
    request.tuples = tuples;
    request.currentTuple = o.currentTuple;
    request.proceeding = o.proceeding;
    request.createLevel = createLevel;
    request.processLevel = processLevel;
    if (fileAlphabet)
        request.alphabet = &*fileAlphabet;
    if (observed)
        request.observed = &observed->samples;
    platform::HeadlessHost window(1280, 960, !o.json, nullptr);
    app::AppSettings settings;
    runBatchProcessing(window, settings, request);
    if (!settings.lpSeriesHeader || !settings.lpChainsHeader) {
        if (o.json)
            std::printf(
                "%s\n",
                nlohmann::json{{"messages", messagesJson(window.messages())}}.dump().c_str());
        return 1;
    }
    const engine::ChainsHeaderPtr& chains = settings.lpChainsHeader;
    const engine::ProcessingOutcome outcome =
        settings.lastProcessing.value_or(engine::ProcessingOutcome{});
    const series::SeriesHeader& h = *settings.lpSeriesHeader;
    // A recorded series has no clean series to measure the restoration against.
    const nlohmann::json restoring =
        observed ? nlohmann::json() : nlohmann::json(simulation::restoringSquaredError(window, h));

    // The findings table is written only by a run that reported no message.
    const bool clean = window.messages().empty();
    if (o.files.foundCsv == "-") {
        if (clean)
            std::printf("%s", foundCsv(h).c_str());
        return clean ? 0 : 1;
    }
    if (clean && !o.files.foundCsv.empty())
        writeOutputFile(o.files.foundCsv, foundCsv(h));
    if (o.json) {
        nlohmann::json out = seriesJson(h);
        if (observed) {
            for (const char* key : {"pure", "truth", "noiseLevel", "amplitude"})
                out[key] = nullptr;
            if (h.wImpulseQuantity == 0)
                out["pulses"] = nullptr;
            out["input"] = {{"file", o.files.input},
                            {"format", observed->format},
                            {"scale", o.files.read.scale ? nlohmann::json(*o.files.read.scale)
                                                         : nlohmann::json()}};
        }
        out["taskKind"] = taskKind;
        out["seriesKind"] = seriesKind;
        out["procedure"] = engine::procedureName(outcome.procedure);
        out["result"] = outcome.hasResult ? nlohmann::json(outcome.result) : nlohmann::json();
        out["restoringError"] = restoring;
        out["found"] = foundJson(h, tupleTask);
        out["chains"] = chainsJson(*chains);
        out["messages"] = messagesJson(window.messages());
        std::printf("%s\n", out.dump().c_str());
    } else {
        std::printf("%s", (observed ? observedSummary(h, o.files.input, observed->format)
                                    : seriesSummary(h))
                              .c_str());
        std::printf("\ntask: %s, series: %s, procedure: %s",
                    chains->lpTaskName ? chains->lpTaskName : "-",
                    chains->lpSeriesName ? chains->lpSeriesName : "-",
                    engine::procedureName(outcome.procedure));
        if (outcome.hasResult)
            std::printf(", result %d", outcome.result);
        std::printf("\ndetected pulses: %u\n", unsigned{h.wDetectedQuantity});
        for (int k = 0; k < h.wDetectedQuantity; ++k)
            std::printf("%4d  %5d  %6d  %2d..%d\n", k + 1, h.lpDetectedStart[k],
                        h.lpDetectedEtalon[k], h.lpDetectedCutBegin[k], h.lpDetectedCutEnd[k]);
        if (tupleTask)
            std::printf("tuples: %d, recognized subset: %d\n", int{h.wDetectedTuples},
                        int{h.wRecognizedSubset});
        std::printf("restoration error: %s\n\n%s",
                    observed ? "- (no clean series)" : restoring.dump().c_str(),
                    engine::chainsListing(*chains).c_str());
    }
    return clean ? 0 : 1;
}

}  // namespace

void addProcessCommand(CLI::App& app, Action& run) {
    auto o = std::make_shared<ProcessOptions>();
    CLI::App* cmd =
        app.add_subcommand("process", "Generate a series (or read one, --input) and process it");
    addSeriesOptions(*cmd, o->series);
    cmd->add_option("--task", o->task, "detection, recognition, joint, series-processing or a code")
        ->capture_default_str();
    cmd->add_option("--series", o->seriesKind,
                    "fixed-whole, fixed-cut, unfixed-whole, unfixed-cut, fixed-tuples, "
                    "unfixed-tuples or a code")
        ->capture_default_str();
    cmd->add_option("--etalons", o->etalons, "Required etalons, e.g. 1,2,3");
    cmd->add_option("--create-level", o->createLevel, "Saved level for generating cut-off pulses")
        ->capture_default_str();
    cmd->add_option("--process-level", o->processLevel, "Saved level for processing")
        ->capture_default_str();
    cmd->add_option("--tuples", o->tuples, "Stored tuples for tuple recognition, e.g. \"1,2;3,4\"");
    cmd->add_option("--current-tuple", o->currentTuple, "1-based tuple embedded in the series")
        ->capture_default_str();
    cmd->add_option("--proceeding", o->proceeding, "1 complete, 2 probably shifted complete")
        ->capture_default_str();
    addAlphabetFileOption(*cmd, o->files);
    cmd->add_option("--found-csv", o->files.foundCsv,
                    "Write the found pulses as start,etalon,cut_begin,cut_end (- for standard "
                    "output, in place of the report)");
    addInputSeriesOptions(*cmd, o->files);
    cmd->add_flag("--json", o->json, "Print JSON");
    cmd->callback([o, &run] { run = [o] { return runProcess(*o); }; });
}

}  // namespace cli
