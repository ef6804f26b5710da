#include "partial_result.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "json_fields.h"

namespace cli {

namespace {

constexpr const char* kFormat = "ardentix-simulation-partial";
constexpr int kVersion = 1;

nlohmann::json messagesJson(const std::vector<platform::Message>& messages) {
    nlohmann::json out = nlohmann::json::array();
    for (const auto& m : messages)
        out.push_back({{"title", m.title}, {"text", m.text}});
    return out;
}

std::vector<platform::Message> messagesFrom(const nlohmann::json& json, const char* key) {
    const nlohmann::json& list = member(json, key);
    if (!list.is_array())
        throw std::runtime_error(std::string("'") + key + "' is not a list");
    std::vector<platform::Message> out;
    for (const nlohmann::json& m : list)
        out.push_back(platform::Message{textField(m, "text"), textField(m, "title")});
    return out;
}

std::string cycleText(simulation::CycleRange r) {
    if (r.size() == 0)
        return "no cycles";
    return "cycles " + std::to_string(r.begin) + " to " + std::to_string(r.end - 1);
}

std::string listText(const std::vector<uint32_t>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i == 10) {
            text += ", ...";
            break;
        }
        text += (i ? ", " : "") + std::to_string(values[i]);
    }
    return text;
}

// The entries of the run definitions that differ.
std::string differences(const nlohmann::json& a, const nlohmann::json& b) {
    std::string text;
    for (auto it = a.begin(); it != a.end(); ++it)
        if (!b.contains(it.key()) || b.at(it.key()) != it.value())
            text += (text.empty() ? "" : ", ") + it.key();
    for (auto it = b.begin(); it != b.end(); ++it)
        if (!a.contains(it.key()))
            text += (text.empty() ? "" : ", ") + it.key();
    return text;
}

}  // namespace

std::string exactDoubleText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

double exactDoubleFrom(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE ||
        exactDoubleText(value) != text)
        throw std::runtime_error("'" + text + "' is not an exact number");
    return value;
}

nlohmann::json partialJson(const PartialResult& p) {
    nlohmann::json cells = {{"first", p.firstCell}};
    nlohmann::json cycles = nlohmann::json::array(), restoring = nlohmann::json::array(),
                   detection = nlohmann::json::array(), mismatches = nlohmann::json::array();
    for (const simulation::CellSums& s : p.sums) {
        cycles.push_back(s.cycles);
        restoring.push_back(s.restoring);
        detection.push_back(s.detection);
        mismatches.push_back(s.mismatches);
    }
    cells["cycles"] = cycles;
    cells["restoring"] = restoring;
    cells["detection"] = detection;
    cells["mismatches"] = mismatches;
    nlohmann::json out = {
        {"format", kFormat},
        {"version", kVersion},
        {"run", p.run.toJson()},
        {"shard", {{"index", p.shardIndex}, {"count", p.shardCount}}},
        {"cycles", {{"begin", p.cycles.begin}, {"end", p.cycles.end}, {"grid", p.gridCycles}}},
        {"cells", cells},
        {"messages",
         {{"setup", messagesJson(p.setupMessages)}, {"run", messagesJson(p.runMessages)}}},
        {"simulationStartTime", p.startTime},
        {"simulationEndTime", p.endTime},
        {"elapsedSeconds", exactDoubleText(p.elapsedSeconds)},
        {"planningSeconds", exactDoubleText(p.planningSeconds)}};
    if (p.measures) {
        const simulation::GraphMeasures& m = *p.measures;
        out["measures"] = {{"etEnergy", m.etEnergy},
                           {"minSq", m.minSq},
                           {"Rmin", m.Rmin},
                           {"Rmax", m.Rmax},
                           {"restoringNormaliser", exactDoubleText(m.restoringNormaliser)},
                           {"detectionNormaliser", exactDoubleText(m.detectionNormaliser)}};
    }
    return out;
}

PartialResult partialFromJson(const nlohmann::json& j) {
    if (!j.is_object() || !j.contains("format") || j.at("format") != kFormat)
        throw std::runtime_error("not a partial simulation result of ardentix-cli");
    if (integerField<int>(j, "version") != kVersion)
        throw std::runtime_error("written in another format version (" +
                                 member(j, "version").dump() + ", this program reads " +
                                 std::to_string(kVersion) + ")");
    PartialResult p;
    p.run = RunDefinition::fromJson(objectField(j, "run"));
    const nlohmann::json& shard = objectField(j, "shard");
    p.shardIndex = integerField<uint32_t>(shard, "index");
    p.shardCount = integerField<uint32_t>(shard, "count");
    if (p.shardCount == 0 || p.shardIndex >= p.shardCount)
        throw std::runtime_error("shard " + std::to_string(p.shardIndex) + "/" +
                                 std::to_string(p.shardCount) + " does not exist");
    const nlohmann::json& cycles = objectField(j, "cycles");
    p.cycles.begin = integerField<uint64_t>(cycles, "begin");
    p.cycles.end = integerField<uint64_t>(cycles, "end");
    p.gridCycles = integerField<uint64_t>(cycles, "grid");
    const uint64_t u = uint16_t(p.run.repeats);
    if (u == 0 || p.gridCycles != p.run.cycles() || p.cycles.begin > p.cycles.end ||
        p.cycles.end > p.gridCycles)
        throw std::runtime_error("its cycles do not fit its grid");

    const nlohmann::json& cells = objectField(j, "cells");
    p.firstCell = integerField<uint64_t>(cells, "first");
    const auto counts = integerList<uint32_t>(cells, "cycles");
    const auto restoring = integerList<int64_t>(cells, "restoring");
    const auto detection = integerList<int64_t>(cells, "detection");
    const auto mismatches = integerList<int64_t>(cells, "mismatches");
    if (restoring.size() != counts.size() || detection.size() != counts.size() ||
        mismatches.size() != counts.size())
        throw std::runtime_error("its cell lists differ in length");
    // Each cell must hold exactly the cycles of the range that fall into it.
    const uint64_t touched =
        p.cycles.size() == 0 ? 0 : (p.cycles.end - 1) / u - p.cycles.begin / u + 1;
    if (counts.size() != touched || (touched > 0 && p.firstCell != p.cycles.begin / u))
        throw std::runtime_error("its cells do not match its " + cycleText(p.cycles));
    for (size_t i = 0; i < counts.size(); ++i) {
        const uint64_t cellBegin = (p.firstCell + i) * u;
        const uint64_t inside =
            std::min(p.cycles.end, cellBegin + u) - std::max(p.cycles.begin, cellBegin);
        if (counts[i] != inside)
            throw std::runtime_error("its cells do not match its " + cycleText(p.cycles));
        p.sums.push_back({restoring[i], detection[i], mismatches[i], counts[i]});
    }

    const bool last = p.cycles.size() > 0 && p.cycles.end == p.gridCycles;
    if (last != j.contains("measures"))
        throw std::runtime_error(last ? "it holds the last cycle but no 'measures'"
                                      : "it has 'measures' without the last cycle");
    if (last) {
        const nlohmann::json& m = objectField(j, "measures");
        simulation::GraphMeasures g;
        g.etEnergy = integerField<int32_t>(m, "etEnergy");
        g.minSq = integerField<int32_t>(m, "minSq");
        g.Rmin = integerField<int32_t>(m, "Rmin");
        g.Rmax = integerField<int32_t>(m, "Rmax");
        g.restoringNormaliser = exactDoubleFrom(textField(m, "restoringNormaliser"));
        g.detectionNormaliser = exactDoubleFrom(textField(m, "detectionNormaliser"));
        p.measures = g;
    }
    const nlohmann::json& messages = objectField(j, "messages");
    p.setupMessages = messagesFrom(messages, "setup");
    p.runMessages = messagesFrom(messages, "run");
    p.startTime = integerField<int64_t>(j, "simulationStartTime");
    p.endTime = integerField<int64_t>(j, "simulationEndTime");
    p.elapsedSeconds = exactDoubleFrom(textField(j, "elapsedSeconds"));
    p.planningSeconds = exactDoubleFrom(textField(j, "planningSeconds"));
    return p;
}

NamedPartial readPartialText(const std::string& name, const std::string& text) {
    NamedPartial named{name, std::nullopt, ""};
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        named.problem = name + ": not complete JSON (truncated or damaged): " + e.what();
        return named;
    }
    try {
        named.partial = partialFromJson(json);
    } catch (const std::exception& e) {
        named.problem = name + ": not a usable partial result: " + e.what();
    }
    return named;
}

NamedPartial readPartialFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    if (!in || in.bad()) {
        const int error = errno;
        return {path, std::nullopt,
                path + ": cannot be read: " + (error ? std::strerror(error) : "read error")};
    }
    return readPartialText(path, text.str());
}

std::optional<MergedRun> mergePartials(platform::Window& window,
                                       const std::vector<NamedPartial>& partials,
                                       std::vector<std::string>& problems) {
    std::vector<const NamedPartial*> usable;
    for (const NamedPartial& p : partials) {
        if (p.partial)
            usable.push_back(&p);
        else
            problems.push_back(p.problem);
    }
    if (usable.empty()) {
        if (problems.empty())
            problems.push_back("no partial results were given");
        return std::nullopt;
    }

    // One run, one split.
    const NamedPartial& first = *usable.front();
    const nlohmann::json definition = first.partial->run.toJson();
    bool sameRun = true;
    for (const NamedPartial* p : usable) {
        const nlohmann::json other = p->partial->run.toJson();
        if (other != definition) {
            problems.push_back(p->name + " and " + first.name +
                               " come from different runs (they differ in " +
                               differences(definition, other) + ")");
            sameRun = false;
        } else if (p->partial->shardCount != first.partial->shardCount) {
            problems.push_back(p->name + " is shard " + std::to_string(p->partial->shardIndex) +
                               " of " + std::to_string(p->partial->shardCount) + ", " + first.name +
                               " shard " + std::to_string(first.partial->shardIndex) + " of " +
                               std::to_string(first.partial->shardCount) +
                               ": the run was split differently");
            sameRun = false;
        }
    }
    if (!sameRun || !problems.empty())
        return std::nullopt;

    // Every shard once.
    const uint32_t count = first.partial->shardCount;
    std::map<uint32_t, std::vector<std::string>> byIndex;
    for (const NamedPartial* p : usable)
        byIndex[p->partial->shardIndex].push_back(p->name);
    std::vector<uint32_t> missing;
    for (uint32_t i = 0; i < count; ++i)
        if (!byIndex.count(i))
            missing.push_back(i);
    for (const auto& [index, names] : byIndex)
        if (names.size() > 1) {
            std::string list;
            for (const std::string& name : names)
                list += (list.empty() ? "" : ", ") + name;
            problems.push_back("shard " + std::to_string(index) + " of " + std::to_string(count) +
                               " is given more than once: " + list);
        }
    if (!missing.empty())
        problems.push_back((missing.size() == 1 ? "shard " : "shards ") + listText(missing) +
                           " of " + std::to_string(count) + (missing.size() == 1 ? " is" : " are") +
                           " missing");
    if (!problems.empty())
        return std::nullopt;

    // The cycles, each exactly once, in order.
    std::sort(usable.begin(), usable.end(), [](const NamedPartial* a, const NamedPartial* b) {
        return std::pair(a->partial->cycles.begin, a->partial->cycles.end) <
               std::pair(b->partial->cycles.begin, b->partial->cycles.end);
    });
    const uint64_t grid = first.partial->gridCycles;
    uint64_t covered = 0;
    const NamedPartial* previous = nullptr;
    for (const NamedPartial* p : usable) {
        const simulation::CycleRange r = p->partial->cycles;
        if (r.size() == 0)
            continue;
        if (r.begin < covered)
            problems.push_back(previous->name + " (" + cycleText(previous->partial->cycles) +
                               ") and " + p->name + " (" + cycleText(r) + ") overlap");
        else if (r.begin > covered)
            problems.push_back(cycleText({covered, r.begin}) + " are in no file");
        covered = std::max(covered, r.end);
        previous = p;
    }
    if (covered < grid)
        problems.push_back(cycleText({covered, grid}) + " are in no file");
    if (!problems.empty())
        return std::nullopt;

    // Fold.
    const RunDefinition& run = first.partial->run;
    MergedRun merged;
    merged.run = run;
    merged.record = makeRecord(window, run);
    if (!merged.record) {
        problems.push_back("the simulation record could not be made");
        return std::nullopt;
    }
    simulation::addInitRestErrHeader(window, run.seriesKind, run.taskKind, run.createLevel,
                                     static_cast<int16_t>(run.processLevel), merged.record.get());
    std::vector<simulation::CellSums> cells(size_t{run.pulseCount} * run.noiseCount);
    SimulationReport& report = merged.report;
    report.startTime = usable.front()->partial->startTime;
    report.endTime = usable.front()->partial->endTime;
    for (const NamedPartial* p : usable) {
        const PartialResult& part = *p->partial;
        for (size_t i = 0; i < part.sums.size(); ++i)
            cells[part.firstCell + i].add(part.sums[i]);
        if (part.measures)
            report.measures = *part.measures;
        report.messages.insert(report.messages.end(), part.runMessages.begin(),
                               part.runMessages.end());
        report.startTime = std::min<std::time_t>(report.startTime, part.startTime);
        report.endTime = std::max<std::time_t>(report.endTime, part.endTime);
        report.elapsedSeconds += part.elapsedSeconds;
    }
    // The set-up is the same in every shard; a whole run shows its messages once.
    const auto& setup = usable.front()->partial->setupMessages;
    report.messages.insert(report.messages.begin(), setup.begin(), setup.end());
    simulation::writeCellTables(*merged.record, cells);
    merged.record->ifComplete = 1;
    report.record = merged.record.get();
    report.independentNoiseSeed = run.independentNoise;
    return merged;
}

}  // namespace cli
