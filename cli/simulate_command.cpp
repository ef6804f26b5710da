// ardentix-cli simulate: a whole statistical simulation over a grid of pulse counts and noise
// levels, with a progress bar, the error tables as CSV and JSON, and the elapsed time.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "commands.h"
#include "common.h"
#include "pipeline.h"
#include "series/generation.h"
#include "series/selection.h"
#include "series/series_header.h"
#include "simulation/driver.h"
#include "simulation/measures.h"
#include "simulation/rest_error_header.h"

namespace cli {

namespace {

struct SimulateOptions {
    std::string task = "detection";
    std::string seriesKind = "unfixed-cut";
    std::string etalons;  // default: 1 for detection, all otherwise
    std::string subset;
    std::string tuples;
    uint16_t proceeding = 1;
    uint16_t subsetMode = 4;
    uint16_t subsetStart = 1;
    uint32_t length = 1200;
    uint16_t tmin = 40;
    uint16_t tmax = 181;
    std::string pulses;  // FROM:TO[:INCR], default the feasible range
    std::string noise = "0:29:5";
    int64_t repeats = 100;
    std::optional<uint16_t> createLevel;  // default 75 for cut-off kinds, 100 otherwise
    std::optional<uint16_t> processLevel;
    unsigned threads = 0;
    std::optional<uint64_t> independentNoise;
    std::string csv;
    std::string json;
    bool quiet = false;
};

constexpr uint16_t kAlphabetSize = 20;
constexpr uint16_t kEtalonLength = 20;
constexpr int16_t kAmplitude = 128;

// "a:b" or "a:b:c" into numbers; throws UsageError.
std::vector<int64_t> parseColonList(const std::string& text, const char* what, size_t least,
                                    size_t most) {
    std::vector<int64_t> values;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ':')) {
        size_t used = 0;
        long long v = 0;
        try {
            v = std::stoll(item, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (item.empty() || used != item.size())
            throw UsageError(std::string(what) + ": not a number: '" + item + "'");
        values.push_back(v);
    }
    if (values.size() < least || values.size() > most)
        throw UsageError(std::string(what) + ": expected " +
                         (least == most
                              ? std::to_string(least) + " values"
                              : std::to_string(least) + " or " + std::to_string(most) + " values") +
                         " separated by ':', got '" + text + "'");
    return values;
}

std::string clock(double seconds) {
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, (s / 60) % 60, s % 60);
    return text;
}

// Progress on stderr: a bar redrawn in place on a terminal, plain lines otherwise.
class ProgressPrinter {
  public:
    ProgressPrinter(uint64_t cyclesPerCell, bool terminal)
        : perCell_(cyclesPerCell), terminal_(terminal), start_(std::chrono::steady_clock::now()) {}

    void operator()(uint64_t done, uint64_t total) {
        const double elapsed = seconds();
        if (!terminal_ && done != total && elapsed - lastLine_ < 10.0)
            return;
        lastLine_ = elapsed;
        const double left = done ? elapsed * double(total - done) / double(done) : 0.0;
        const uint64_t cells = perCell_ ? done / perCell_ : 0,
                       allCells = perCell_ ? total / perCell_ : 0;
        char line[200];
        if (terminal_) {
            constexpr int kWidth = 30;
            const int filled = total ? int(kWidth * done / total) : kWidth;
            std::string bar(size_t(filled), '#');
            bar.resize(kWidth, '.');
            std::snprintf(
                line, sizeof line, "\r[%s] cells %llu/%llu cycles %llu/%llu elapsed %s left %s ",
                bar.c_str(), static_cast<unsigned long long>(cells),
                static_cast<unsigned long long>(allCells), static_cast<unsigned long long>(done),
                static_cast<unsigned long long>(total), clock(elapsed).c_str(),
                clock(left).c_str());
            std::fputs(line, stderr);
            if (done == total)
                std::fputs("\n", stderr);
        } else {
            std::snprintf(
                line, sizeof line,
                "progress: cells %llu/%llu, cycles %llu/%llu, elapsed %s, left %s\n",
                static_cast<unsigned long long>(cells), static_cast<unsigned long long>(allCells),
                static_cast<unsigned long long>(done), static_cast<unsigned long long>(total),
                clock(elapsed).c_str(), clock(left).c_str());
            std::fputs(line, stderr);
        }
        std::fflush(stderr);
    }

    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    uint64_t perCell_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
    double lastLine_ = -1e9;
};

std::atomic<bool> interrupted{false};
extern "C" void onInterrupt(int) {
    interrupted = true;
}

nlohmann::json tableJson(int32_t** table, uint16_t L, uint16_t P) {
    nlohmann::json rows = nlohmann::json::array();
    for (uint16_t k = 0; k < L; ++k)
        rows.push_back(std::vector<int32_t>(table[k], table[k] + P));
    return rows;
}

int runSimulate(const SimulateOptions& o) {
    // The kinds.
    const uint16_t selectedTask = parseTaskKind(o.task);
    const uint16_t seriesKind = parseSeriesKind(o.seriesKind);
    const uint16_t taskKind = deriveTaskKind(selectedTask, seriesKind);

    // The series parameters.
    SeriesOptions series;
    series.length = o.length;
    series.tmin = o.tmin;
    series.tmax = o.tmax;
    series.etalonLength = kEtalonLength;
    series.count = kAlphabetSize;
    series.amplitude = kAmplitude;
    validateSeriesOptions(series);
    const uint16_t minP = series::minPulsesFor(o.length, kEtalonLength, o.tmax);
    const uint16_t maxP = series::maxPulsesFor(o.length, kEtalonLength, o.tmin);

    // The grid.
    int64_t pulseFrom = minP, pulseTo = maxP, pulseStep = 1;
    if (!o.pulses.empty()) {
        const auto p = parseColonList(o.pulses, "--pulses", 2, 3);
        pulseFrom = p[0];
        pulseTo = p[1];
        if (p.size() == 3)
            pulseStep = p[2];
    }
    if (pulseStep == 0)
        pulseStep = 1;
    if (pulseStep < 0)
        throw UsageError("--pulses: the increment must not be negative");
    if (pulseFrom > pulseTo)
        throw UsageError("--pulses: FROM must not exceed TO");
    const int64_t P = (pulseTo - pulseFrom) / pulseStep + 1;
    if (P > 65535 || !simulation::gridFits16Bits(pulseFrom, pulseStep, P))
        throw UsageError("--pulses: the pulse counts must fit 16 bits");
    const auto n = parseColonList(o.noise, "--noise", 3, 3);
    if (n[1] < 0 || n[1] > 65535)
        throw UsageError("--noise: STEPS must lie in 0..65535");
    if (!simulation::gridFits16Bits(n[0], n[2], n[1]) || n[0] < 0 ||
        n[0] + n[2] * std::max<int64_t>(n[1] - 1, 0) < 0)
        throw UsageError("--noise: the levels must lie in 0..32767");
    if (o.repeats < 0 || o.repeats > 65535)
        throw UsageError("--repeats must lie in 0..65535");

    // The required list, the subset and the tuples.
    const std::vector<int32_t> list = requiredList(o.etalons, taskKind, kAlphabetSize);
    std::vector<uint16_t> required(list.begin(), list.end());
    std::vector<int32_t> subset;
    if (!o.subset.empty())
        subset = parseList(o.subset, "--subset", 1, kAlphabetSize);
    std::vector<std::vector<int32_t>> tuples;
    if (!o.tuples.empty())
        tuples = parseTuples(o.tuples, kAlphabetSize);
    if (tuples.empty() && !subset.empty() && taskKind == series::kTupleRecognition)
        tuples.push_back(subset);
    const bool cutOff = series::isCutOffKind(seriesKind);
    const uint16_t createLevel = o.createLevel.value_or(cutOff ? 75 : 100);
    const uint16_t processLevel = o.processLevel.value_or(cutOff ? 75 : 100);

    // The output files are opened before the run, so that a bad path costs nothing.
    std::ofstream csvFile, jsonFile;
    if (!o.csv.empty() && o.csv != "-") {
        csvFile.open(o.csv);
        if (!csvFile)
            throw UsageError("--csv: cannot write '" + o.csv + "'");
    }
    if (!o.json.empty() && o.json != "-") {
        jsonFile.open(o.json);
        if (!jsonFile)
            throw UsageError("--json: cannot write '" + o.json + "'");
    }

    // The application's pipeline: fresh streams, the alphabet, the series record with its subset.
    platform::ConsoleWindow window(true);
    series::RandomStreams streams;
    const series::Alphabet alphabet = makeAlphabet(window, series, streams);
    series::SeriesHeaderPtr header = series::getCutOffSeriesHeader(
        window, kAlphabetSize, kEtalonLength, o.tmin, o.tmax, o.length, nullptr);
    if (!header) {
        window.messageBox("Не могу выделить память для lpCutOffSeriesHeader!",
                          " About getCutOffSeriesHeader ", platform::MessageIcon::Warning);
        return 1;
    }
    if (!storeSelection(window, *header, taskKind, subset, tuples, 1, o.subsetMode, o.subsetStart))
        return 1;

    auto record = simulation::getRestErrHeader(window, uint16_t(P), uint16_t(n[1]),
                                               int32_t(o.repeats), nullptr);
    if (!record) {
        window.messageBox("Нет RestoreErrorHeader!", " About RestoreErrorHeader ");
        return 1;
    }
    if (!simulation::initRestErrHeader(window, uint16_t(P), int32_t(pulseFrom), int32_t(pulseStep),
                                       uint16_t(n[1]), int32_t(n[0]), int32_t(n[2]),
                                       int32_t(o.repeats), record.get())) {
        window.messageBox("Ошибка initRestErrHeader!", " About RestoreErrorHeader ");
        return 1;
    }

    // The run.
    const bool terminal = isatty(fileno(stderr)) != 0;
    auto printer = std::make_shared<ProgressPrinter>(uint64_t(o.repeats), terminal);
    simulation::SimulationContext context;
    context.amplitude = kAmplitude;
    context.subsetProceeding = o.proceeding;
    context.streams = &streams;
    context.threads = o.threads;
    context.independentNoiseSeed = o.independentNoise;
    context.cancel = &interrupted;
    if (!o.quiet) {
        context.progress = [printer](uint64_t done, uint64_t total) { (*printer)(done, total); };
        context.progressInterval = std::chrono::milliseconds(terminal ? 200 : 1000);
        std::fprintf(
            stderr,
            "simulate: %s in series with %s; length %u, Tmin %u, Tmax %u; pulses %lld "
            "to %lld step %lld; noise from %lld, %lld levels, step %lld; %lld repeats; "
            "%u threads\n",
            simulation::restErrTaskName(taskKind) ? simulation::restErrTaskName(taskKind) : "?",
            simulation::restErrSeriesName(seriesKind) ? simulation::restErrSeriesName(seriesKind)
                                                      : "?",
            unsigned{o.length}, unsigned{o.tmin}, unsigned{o.tmax},
            static_cast<long long>(pulseFrom), static_cast<long long>(pulseTo),
            static_cast<long long>(pulseStep), static_cast<long long>(n[0]),
            static_cast<long long>(n[1]), static_cast<long long>(n[2]),
            static_cast<long long>(o.repeats),
            o.threads ? o.threads : std::max(1u, std::thread::hardware_concurrency()));
    }
    interrupted = false;
    auto previous = std::signal(SIGINT, onInterrupt);
    const int complete = simulation::statCutoffBrelling(
        window, record.get(), kAlphabetSize, alphabet, uint16_t(required.size()), required.data(),
        seriesKind, taskKind, createLevel, processLevel, *header, context);
    std::signal(SIGINT, previous);
    const double elapsed = printer->seconds();
    if (!complete)
        return 1;

    const simulation::RestErrorHeader& r = *record;
    const simulation::GraphMeasures measures =
        simulation::graphMeasures(r, uint16_t(required.size()), required.data(), *header);
    if (!o.csv.empty()) {
        std::ostream& out = o.csv == "-" ? std::cout : csvFile;
        out << "pulses,noise,restoring,detection,recognition,restoring_norm,detection_rms,"
               "recognition_rate\n";
        char line[256];
        for (uint16_t j = 0; j < r.wVariousPulses; ++j)
            for (uint16_t k = 0; k < r.wNoiseLevels; ++k) {
                const auto v = simulation::normalisedCell(r, measures, k, j);
                std::snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%.6g,%.6g,%.6g\n",
                              r.wPulseValues[j], r.lpNoiseLevels[k], r.lpRestoringErrors()[k][j],
                              r.lpDetectionErrors[k][j], r.lpRecognitionErrors[k][j], v.restoring,
                              v.detection, v.recognition);
                out << line;
            }
    }
    if (!o.json.empty()) {
        const uint16_t L = r.wNoiseLevels, Pp = r.wVariousPulses;
        nlohmann::json out = {
            {"grid",
             {{"pulses", std::vector<int16_t>(r.wPulseValues, r.wPulseValues + Pp)},
              {"noiseLevels", std::vector<int16_t>(r.lpNoiseLevels, r.lpNoiseLevels + L)},
              {"repeats", r.repeats}}},
            {"kinds",
             {{"seriesKind", r.wSeriesKind},
              {"taskKind", r.wTaskKind},
              {"seriesName", r.lpSeriesName ? r.lpSeriesName : ""},
              {"taskName", r.lpTaskName ? r.lpTaskName : ""},
              {"createSavedLevel", r.wCreateSavedLevel},
              {"processSavedLevel", r.wProcessSavedLevel}}},
            {"tables",
             {{"restoring", tableJson(r.lpRestoringErrors(), L, Pp)},
              {"detection", tableJson(r.lpDetectionErrors, L, Pp)},
              {"recognition", tableJson(r.lpRecognitionErrors, L, Pp)}}},
            {"measures",
             {{"etEnergy", measures.etEnergy},
              {"Rmin", measures.Rmin},
              {"Rmax", measures.Rmax},
              {"restoringNormaliser", measures.restoringNormaliser},
              {"detectionNormaliser", measures.detectionNormaliser}}},
            {"simulationStartTime", static_cast<int64_t>(simulation::simulationStartTime)},
            {"simulationEndTime", static_cast<int64_t>(simulation::simulationEndTime)},
            {"elapsedSeconds", elapsed},
            {"independentNoiseSeed",
             o.independentNoise ? nlohmann::json(*o.independentNoise) : nlohmann::json()},
            {"messages", messagesJson(window)}};
        if (o.json == "-") {
            std::cout << out.dump() << "\n";
        } else {
            jsonFile << out.dump(1) << "\n";
        }
    }
    if (!o.quiet) {
        const uint64_t cycles = uint64_t(r.wVariousPulses) * r.wNoiseLevels * uint64_t(o.repeats);
        std::fprintf(stderr, "simulate: %llu cycles in %.1f s (%s), %.1f cycles/s\n",
                     static_cast<unsigned long long>(cycles), elapsed, clock(elapsed).c_str(),
                     elapsed > 0 ? double(cycles) / elapsed : 0.0);
    }
    return 0;
}

}  // namespace

void addSimulateCommand(CLI::App& app, Action& run) {
    auto o = std::make_shared<SimulateOptions>();
    CLI::App* cmd = app.add_subcommand("simulate", "Run a statistical simulation over a grid");
    cmd->add_option("--task", o->task,
                    "detection, recognition, joint, series-processing or a code (1, 2, 4, 64)")
        ->capture_default_str();
    cmd->add_option("--series", o->seriesKind,
                    "fixed-whole, fixed-cut, unfixed-whole, unfixed-cut, fixed-tuples, "
                    "unfixed-tuples or a code")
        ->capture_default_str();
    cmd->add_option("--etalons", o->etalons,
                    "Required etalons, e.g. 1,3,5 (default: 1 for detection, all otherwise)");
    cmd->add_option("--subset", o->subset, "Selected subset (tuple) embedded in the series");
    cmd->add_option("--tuples", o->tuples, "Stored tuples for tuple recognition, e.g. 1,2;3,4,5");
    cmd->add_option("--proceeding", o->proceeding, "Subset proceeding: 1 complete, 2 shifted")
        ->capture_default_str()
        ->check(CLI::Range(1, 2));
    cmd->add_option("--subset-mode", o->subsetMode,
                    "1 single random, 2 single fixed, 3 multiple random, 4 complete, 5 shifted")
        ->capture_default_str()
        ->check(CLI::Range(1, 5));
    cmd->add_option("--subset-start", o->subsetStart, "1-based pulse where embedding starts")
        ->capture_default_str()
        ->check(CLI::Range(1, 65535));
    cmd->add_option("--length", o->length, "Series length N")->capture_default_str();
    cmd->add_option("--tmin", o->tmin, "Minimal distance between pulse starts")
        ->capture_default_str();
    cmd->add_option("--tmax", o->tmax, "Maximal distance between pulse starts")
        ->capture_default_str();
    cmd->add_option("--pulses", o->pulses, "FROM:TO[:INCR] (default: the feasible range)");
    cmd->add_option("--noise", o->noise, "INITIAL:STEPS:INCR")->capture_default_str();
    cmd->add_option("--repeats", o->repeats, "Repeats per cell")->capture_default_str();
    cmd->add_option("--create-level", o->createLevel,
                    "Saved energy level for creating (default 75 for cut-off kinds, else 100)")
        ->check(CLI::Range(0, 100));
    cmd->add_option("--process-level", o->processLevel,
                    "Saved energy level for processing (default as --create-level)")
        ->check(CLI::Range(0, 100));
    cmd->add_option("--threads", o->threads, "Worker threads (0: all hardware threads)")
        ->capture_default_str();
    cmd->add_option("--independent-noise", o->independentNoise,
                    "Seed of the independent 64-bit noise generator");
    cmd->add_option("--csv", o->csv, "Write the cells as CSV to FILE (- for stdout)");
    cmd->add_option("--json", o->json, "Write the grid, tables and kinds as JSON (- for stdout)");
    cmd->add_flag("--quiet", o->quiet, "No progress and no summary on stderr");
    cmd->callback([o, &run] { run = [o] { return runSimulate(*o); }; });
}

}  // namespace cli
