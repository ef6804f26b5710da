// ardentix-cli process: generate a series as the application's "next data" pipeline does, then
// run the procedure that the dispatch table picks, and report the findings and the chains.

#include <cstdio>

#include "commands.h"
#include "common.h"
#include "engine/chains.h"
#include "engine/dispatch.h"
#include "pipeline.h"
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
    bool json = false;
};

// The etalon sequence as "next data" draws it: the library generator from state 1, value >> 3,
// modulo the required count; detection and recognition series repeat its first entry.
std::vector<uint16_t> drawSequence(const std::vector<int32_t>& required, uint16_t maxPulses,
                                   uint16_t taskKind) {
    series::LibraryRandom random;
    std::vector<uint16_t> sequence(maxPulses);
    for (auto& v : sequence)
        v = static_cast<uint16_t>(required[(random.next() >> 3) % required.size()]);
    if ((taskKind == series::kDetection || taskKind == series::kRecognition) && !sequence.empty())
        std::fill(sequence.begin(), sequence.end(), sequence[0]);
    return sequence;
}

nlohmann::json pulsesJson(const int16_t* start, const int16_t* etalon, const int16_t* b,
                          const int16_t* e, int n) {
    nlohmann::json out = nlohmann::json::array();
    for (int i = 0; i < n; ++i)
        out.push_back(
            {{"start", start[i]}, {"etalon", etalon[i]}, {"cutBegin", b[i]}, {"cutEnd", e[i]}});
    return out;
}

int runProcess(const ProcessOptions& o) {
    SeriesOptions so = o.series;
    validateSeriesOptions(so);
    const uint16_t seriesKind = parseSeriesKind(o.seriesKind);
    const uint16_t taskKind = deriveTaskKind(parseTaskKind(o.task), seriesKind);
    const bool tupleTask =
        taskKind == series::kTupleDetection || taskKind == series::kTupleRecognition;
    if (tupleTask && !series::isTupleKind(seriesKind) && o.series.subset.empty())
        throw UsageError("tuple task kinds need --subset");
    if (series::isTupleKind(seriesKind) && o.series.subset.empty() && o.tuples.empty())
        throw UsageError("tuple series kinds need --subset (or --tuples for recognition)");
    if (o.proceeding < 1 || o.proceeding > 2)
        throw UsageError("--proceeding must be 1 or 2");

    const std::vector<int32_t> required = requiredList(o.etalons, taskKind, so.count);

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

    platform::ConsoleWindow window(!o.json);
    series::RandomStreams streams;
    const series::Alphabet alphabet = makeAlphabet(window, so, streams);
    const uint16_t maxP = series::maxPulsesFor(so.length, so.etalonLength, so.tmin);

    std::vector<uint16_t> required16(required.begin(), required.end());
    GenerationRequest request;
    request.options = &so;
    request.alphabet = &alphabet;
    request.sequence = o.series.sequence.empty() ? drawSequence(required, maxP, taskKind)
                                                 : sequenceFromText(o.series.sequence, maxP);
    request.randomCount = series::isUnknownNumberKind(seriesKind);
    request.savedLevel = createLevel;

    series::SeriesHeaderPtr header = series::getCutOffSeriesHeader(
        window, so.count, so.etalonLength, so.tmin, so.tmax, so.length, nullptr);
    if (header)
        storeSelection(window, *header, taskKind, subset, tuples, o.currentTuple, so.subsetMode,
                       so.subsetStart);
    std::vector<const int32_t*> rows;
    std::vector<int32_t> lengths;
    for (const auto& t : tuples) {
        rows.push_back(t.data());
        lengths.push_back(static_cast<int32_t>(t.size()));
    }
    header = generateSeries(window, request, streams, std::move(header));
    if (!header) {
        window.messageBox("Не могу создать ряд!", "CM_INFO");
        if (o.json)
            std::printf("%s\n", nlohmann::json{{"messages", messagesJson(window)}}.dump().c_str());
        return 1;
    }

    engine::ChainsHeaderPtr chains =
        engine::getChainsHeader(window, 10, header->wMaxPulses, nullptr);
    if (!chains)
        return 1;
    int32_t debugRepeat = 0;
    engine::ProcessingInput input;
    input.alphabet = &alphabet;
    input.listCount = static_cast<uint16_t>(required16.size());
    input.list = required16.data();
    input.subsetCount = static_cast<int32_t>(subset.size());
    input.subset = subset.data();
    input.tupleCount = static_cast<int32_t>(tuples.size());
    input.tupleLengths = lengths.data();
    input.tupleLists = rows.data();
    input.proceeding = o.proceeding;
    input.Tmin = so.tmin;
    input.Tmax = so.tmax;
    input.level = processLevel;
    input.debugRepeat = &debugRepeat;
    const engine::ProcessingOutcome outcome =
        engine::runProcedure(window, taskKind, seriesKind, input, *chains, *header);
    engine::addToChainsHeader(window, seriesKind, taskKind, createLevel, processLevel,
                              chains.get());
    const int32_t restoring = simulation::restoringSquaredError(window, *header);

    const series::SeriesHeader& h = *header;
    if (o.json) {
        nlohmann::json out = seriesJson(h);
        out["taskKind"] = taskKind;
        out["seriesKind"] = seriesKind;
        out["procedure"] = engine::procedureName(outcome.procedure);
        out["result"] = outcome.hasResult ? nlohmann::json(outcome.result) : nlohmann::json();
        out["restoringError"] = restoring;
        nlohmann::json found = {
            {"pulses", pulsesJson(h.lpDetectedStart, h.lpDetectedEtalon, h.lpDetectedCutBegin,
                                  h.lpDetectedCutEnd, h.wDetectedQuantity)},
            {"count", h.wDetectedQuantity}};
        if (tupleTask) {
            nlohmann::json t = nlohmann::json::array();
            for (int i = 0; i < h.wDetectedTuples && i < h.wPulsesCapacity; ++i)
                t.push_back({{"first", h.lpTupleFirst[i]}, {"last", h.lpTupleLast[i]}});
            found["tuples"] = t;
            found["recognizedSubset"] = h.wRecognizedSubset;
        }
        out["found"] = found;
        nlohmann::json rowsJson = nlohmann::json::array();
        for (int r = 0; r < chains->wPretenders; ++r)
            rowsJson.push_back(
                {{"distance", chains->distance[r]},
                 {"pulses", pulsesJson(chains->lpChainStart[r], chains->pulsesList[r],
                                       chains->lpChainCutBegin[r], chains->lpChainCutEnd[r],
                                       chains->lpChainLength[r])}});
        out["chains"] = rowsJson;
        out["messages"] = messagesJson(window);
        std::printf("%s\n", out.dump().c_str());
    } else {
        std::printf("%s", seriesSummary(h).c_str());
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
        std::printf("restoration error: %d\n\n%s", restoring,
                    engine::chainsListing(*chains).c_str());
    }
    return window.messages().empty() ? 0 : 1;
}

}  // namespace

void addProcessCommand(CLI::App& app, Action& run) {
    auto o = std::make_shared<ProcessOptions>();
    CLI::App* cmd = app.add_subcommand("process", "Generate a series and process it");
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
    cmd->add_flag("--json", o->json, "Print JSON");
    cmd->callback([o, &run] { run = [o] { return runProcess(*o); }; });
}

}  // namespace cli
