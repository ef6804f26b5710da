#include "simulation_output.h"

#include <cstdio>
#include <iostream>

#include <nlohmann/json.hpp>

#include "common.h"

namespace cli {

namespace {

nlohmann::json tableJson(int32_t** table, uint16_t L, uint16_t P) {
    nlohmann::json rows = nlohmann::json::array();
    for (uint16_t k = 0; k < L; ++k)
        rows.push_back(std::vector<int32_t>(table[k], table[k] + P));
    return rows;
}

std::unique_ptr<AtomicFile> openOutput(const std::string& path, const char* option) {
    if (path.empty() || path == "-")
        return nullptr;
    try {
        return std::make_unique<AtomicFile>(path);
    } catch (const std::runtime_error& e) {
        throw UsageError(std::string(option) + ": " + e.what());
    }
}

void put(const std::string& path, AtomicFile* file, const std::string& text) {
    if (path == "-")
        std::cout << text << std::flush;
    else if (file)
        file->commit(text);
}

}  // namespace

void addOutputOptions(CLI::App& cmd, OutputOptions& o) {
    cmd.add_option("--csv", o.csv, "Write the cells as CSV to FILE (- for stdout)");
    cmd.add_option("--json", o.json, "Write the grid, tables and kinds as JSON (- for stdout)");
    addPlotOptions(cmd, o.plot);
}

SimulationOutputs::SimulationOutputs(const OutputOptions& options)
    : options_(options),
      csv_(openOutput(options.csv, "--csv")),
      json_(openOutput(options.json, "--json")) {
    checkPlotOptions(options.plot);
}

void SimulationOutputs::write(const SimulationReport& report, const RunDefinition& run) {
    if (!options_.csv.empty())
        put(options_.csv, csv_.get(), simulationCsv(report));
    if (!options_.json.empty())
        put(options_.json, json_.get(), simulationJson(report, options_.json != "-") + "\n");
    writeSimulationPlot(options_.plot, run, *report.record, report.measures, report.startTime,
                        report.endTime);
}

std::string simulationCsv(const SimulationReport& report) {
    const simulation::RestErrorHeader& r = *report.record;
    std::string out =
        "pulses,noise,restoring,detection,recognition,restoring_norm,detection_rms,"
        "recognition_rate\n";
    char line[256];
    for (uint16_t j = 0; j < r.wVariousPulses; ++j)
        for (uint16_t k = 0; k < r.wNoiseLevels; ++k) {
            const auto v = simulation::normalisedCell(r, report.measures, k, j);
            std::snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%.6g,%.6g,%.6g\n", r.wPulseValues[j],
                          r.lpNoiseLevels[k], r.lpRestoringErrors()[k][j],
                          r.lpDetectionErrors[k][j], r.lpRecognitionErrors[k][j], v.restoring,
                          v.detection, v.recognition);
            out += line;
        }
    return out;
}

std::string simulationJson(const SimulationReport& report, bool pretty) {
    const simulation::RestErrorHeader& r = *report.record;
    const simulation::GraphMeasures& m = report.measures;
    const uint16_t L = r.wNoiseLevels, P = r.wVariousPulses;
    nlohmann::json messages = nlohmann::json::array();
    for (const auto& message : report.messages)
        messages.push_back({{"title", message.title}, {"text", message.text}});
    const nlohmann::json out = {
        {"grid",
         {{"pulses", std::vector<int16_t>(r.wPulseValues, r.wPulseValues + P)},
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
         {{"restoring", tableJson(r.lpRestoringErrors(), L, P)},
          {"detection", tableJson(r.lpDetectionErrors, L, P)},
          {"recognition", tableJson(r.lpRecognitionErrors, L, P)}}},
        {"measures",
         {{"etEnergy", m.etEnergy},
          {"Rmin", m.Rmin},
          {"Rmax", m.Rmax},
          {"restoringNormaliser", m.restoringNormaliser},
          {"detectionNormaliser", m.detectionNormaliser}}},
        {"simulationStartTime", static_cast<int64_t>(report.startTime)},
        {"simulationEndTime", static_cast<int64_t>(report.endTime)},
        {"elapsedSeconds", report.elapsedSeconds},
        {"independentNoiseSeed", report.independentNoiseSeed
                                     ? nlohmann::json(*report.independentNoiseSeed)
                                     : nlohmann::json()},
        {"messages", messages}};
    return pretty ? out.dump(1) : out.dump();
}

}  // namespace cli
