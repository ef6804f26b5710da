#include "simulation_run.h"

#include <sstream>
#include <stdexcept>

#include "common.h"
#include "json_fields.h"
#include "pipeline.h"
#include "series/generation.h"
#include "series/series_header.h"

namespace cli {

namespace {

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

}  // namespace

nlohmann::json RunDefinition::toJson() const {
    return {{"taskKind", taskKind},
            {"seriesKind", seriesKind},
            {"etalons", etalons},
            {"subset", subset},
            {"tuples", tuples},
            {"proceeding", proceeding},
            {"subsetMode", subsetMode},
            {"subsetStart", subsetStart},
            {"length", length},
            {"tmin", tmin},
            {"tmax", tmax},
            {"etalonLength", etalonLength},
            {"alphabetSize", alphabetSize},
            {"amplitude", amplitude},
            {"pulses", {{"from", pulseFrom}, {"step", pulseStep}, {"count", pulseCount}}},
            {"noise", {{"from", noiseFrom}, {"step", noiseStep}, {"count", noiseCount}}},
            {"repeats", repeats},
            {"createSavedLevel", createLevel},
            {"processSavedLevel", processLevel},
            {"independentNoiseSeed",
             independentNoise ? nlohmann::json(*independentNoise) : nlohmann::json()}};
}

RunDefinition RunDefinition::fromJson(const nlohmann::json& j) {
    RunDefinition d;
    d.taskKind = integerField<uint16_t>(j, "taskKind");
    d.seriesKind = integerField<uint16_t>(j, "seriesKind");
    d.etalons = integerList<int32_t>(j, "etalons");
    d.subset = integerList<int32_t>(j, "subset");
    const nlohmann::json& tuples = member(j, "tuples");
    if (!tuples.is_array())
        throw std::runtime_error("'tuples' is not a list");
    for (const nlohmann::json& tuple : tuples) {
        d.tuples.emplace_back();
        if (!tuple.is_array())
            throw std::runtime_error("'tuples' is not a list of lists");
        for (const nlohmann::json& v : tuple)
            d.tuples.back().push_back(integerValue<int32_t>(v, "tuples"));
    }
    d.proceeding = integerField<uint16_t>(j, "proceeding");
    d.subsetMode = integerField<uint16_t>(j, "subsetMode");
    d.subsetStart = integerField<uint16_t>(j, "subsetStart");
    d.length = integerField<uint32_t>(j, "length");
    d.tmin = integerField<uint16_t>(j, "tmin");
    d.tmax = integerField<uint16_t>(j, "tmax");
    d.etalonLength = integerField<uint16_t>(j, "etalonLength");
    d.alphabetSize = integerField<uint16_t>(j, "alphabetSize");
    d.amplitude = integerField<int16_t>(j, "amplitude");
    const nlohmann::json& pulses = objectField(j, "pulses");
    d.pulseFrom = integerField<int32_t>(pulses, "from");
    d.pulseStep = integerField<int32_t>(pulses, "step");
    d.pulseCount = integerField<uint16_t>(pulses, "count");
    const nlohmann::json& noise = objectField(j, "noise");
    d.noiseFrom = integerField<int32_t>(noise, "from");
    d.noiseStep = integerField<int32_t>(noise, "step");
    d.noiseCount = integerField<uint16_t>(noise, "count");
    d.repeats = integerField<int32_t>(j, "repeats");
    d.createLevel = integerField<uint16_t>(j, "createSavedLevel");
    d.processLevel = integerField<uint16_t>(j, "processSavedLevel");
    if (!member(j, "independentNoiseSeed").is_null())
        d.independentNoise = integerField<uint64_t>(j, "independentNoiseSeed");
    return d;
}

RunDefinition resolveRun(const SimulateOptions& o) {
    RunDefinition d;
    const uint16_t selectedTask = parseTaskKind(o.task);
    d.seriesKind = parseSeriesKind(o.seriesKind);
    d.taskKind = deriveTaskKind(selectedTask, d.seriesKind);

    // The series parameters.
    SeriesOptions series;
    series.length = o.length;
    series.tmin = o.tmin;
    series.tmax = o.tmax;
    series.etalonLength = kEtalonLength;
    series.count = kAlphabetSize;
    series.amplitude = kAmplitude;
    validateSeriesOptions(series);
    d.length = o.length;
    d.tmin = o.tmin;
    d.tmax = o.tmax;
    d.etalonLength = kEtalonLength;
    d.alphabetSize = kAlphabetSize;
    d.amplitude = kAmplitude;
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
    d.pulseFrom = int32_t(pulseFrom);
    d.pulseStep = int32_t(pulseStep);
    d.pulseCount = uint16_t(P);
    d.noiseFrom = int32_t(n[0]);
    d.noiseCount = uint16_t(n[1]);
    d.noiseStep = int32_t(n[2]);
    d.repeats = int32_t(o.repeats);

    // The required list, the subset and the tuples.
    d.etalons = requiredList(o.etalons, d.taskKind, kAlphabetSize);
    if (!o.subset.empty())
        d.subset = parseList(o.subset, "--subset", 1, kAlphabetSize);
    if (!o.tuples.empty())
        d.tuples = parseTuples(o.tuples, kAlphabetSize);
    if (d.tuples.empty() && !d.subset.empty() && d.taskKind == series::kTupleRecognition)
        d.tuples.push_back(d.subset);
    d.proceeding = o.proceeding;
    d.subsetMode = o.subsetMode;
    d.subsetStart = o.subsetStart;
    const bool cutOff = series::isCutOffKind(d.seriesKind);
    d.createLevel = o.createLevel.value_or(cutOff ? 75 : 100);
    d.processLevel = o.processLevel.value_or(cutOff ? 75 : 100);
    d.independentNoise = o.independentNoise;
    return d;
}

simulation::RestErrorHeaderPtr makeRecord(platform::Window& window, const RunDefinition& d) {
    auto record =
        simulation::getRestErrHeader(window, d.pulseCount, d.noiseCount, d.repeats, nullptr);
    if (!record) {
        window.messageBox("Нет RestoreErrorHeader!", " About RestoreErrorHeader ");
        return nullptr;
    }
    if (!simulation::initRestErrHeader(window, d.pulseCount, d.pulseFrom, d.pulseStep, d.noiseCount,
                                       d.noiseFrom, d.noiseStep, d.repeats, record.get())) {
        window.messageBox("Ошибка initRestErrHeader!", " About RestoreErrorHeader ");
        return nullptr;
    }
    return record;
}

bool prepareRun(const RunDefinition& d, PreparedRun& p) {
    SeriesOptions series;
    series.length = d.length;
    series.tmin = d.tmin;
    series.tmax = d.tmax;
    series.etalonLength = d.etalonLength;
    series.count = d.alphabetSize;
    series.amplitude = d.amplitude;
    p.alphabet = makeAlphabet(p.window, series, p.streams);
    p.header = series::getCutOffSeriesHeader(p.window, d.alphabetSize, d.etalonLength, d.tmin,
                                             d.tmax, d.length, nullptr);
    if (!p.header) {
        p.window.messageBox("Не могу выделить память для lpCutOffSeriesHeader!",
                            " About getCutOffSeriesHeader ", platform::MessageIcon::Warning);
        return false;
    }
    if (!storeSelection(p.window, *p.header, d.taskKind, d.subset, d.tuples, 1, d.subsetMode,
                        d.subsetStart))
        return false;
    p.record = makeRecord(p.window, d);
    if (!p.record)
        return false;
    p.required.assign(d.etalons.begin(), d.etalons.end());
    return true;
}

}  // namespace cli
