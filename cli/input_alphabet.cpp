#include "input_alphabet.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/allocation.h"
#include "sample_value.h"
#include "series/alphabet.h"
#include "series/generation.h"

namespace cli {

namespace {

using AlphabetResult = ReadResult<series::Alphabet>;

constexpr size_t kMaxAlphabetBytes = size_t{16} << 20;

// Etalon samples are integers; a fractional value has no scale to be read with.
constexpr const char* kNoHint = "";

}  // namespace

AlphabetResult alphabetFromRows(const std::vector<std::vector<int16_t>>& rows,
                                const std::vector<std::string>& where, const std::string& name) {
    if (rows.empty())
        return AlphabetResult::failure(name + ": no etalons");
    if (rows.size() > kMaxFileEtalons)
        return AlphabetResult::failure(name + ": " + std::to_string(rows.size()) +
                                       " etalons, at most " + std::to_string(kMaxFileEtalons));
    const size_t L = rows[0].size();
    if (L == 0)
        return AlphabetResult::failure(name + ": " + where[0] + ": an etalon without samples");
    if (L > series::kMaxSeriesLength)
        return AlphabetResult::failure(name + ": etalons of " + std::to_string(L) +
                                       " samples, longer than any series (at most " +
                                       std::to_string(series::kMaxSeriesLength) + ")");
    series::Alphabet alphabet(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].size() != L)
            return AlphabetResult::failure(
                name + ": " + where[i] + ": " + std::to_string(rows[i].size()) + " samples, " +
                where[0] + " has " + std::to_string(L) + " (all etalons need one length)");
        // The energy is summed as the records sum it, in 32 bits; it must not overflow there.
        int64_t energy = 0;
        for (int16_t s : rows[i])
            energy += int64_t{s} * s;
        if (energy > std::numeric_limits<int32_t>::max())
            return AlphabetResult::failure(
                name + ": " + where[i] + ": energy " + std::to_string(energy) +
                " does not fit 32 bits (at most 2147483647); scale the etalon down");
        series::PulseHeader& e = alphabet[i];
        try {
            e.lpData = platform::allocateArray<int16_t>(L);
        } catch (const std::bad_alloc&) {
            return AlphabetResult::failure(name + ": no memory for the etalons");
        }
        std::copy(rows[i].begin(), rows[i].end(), e.lpData.get());
        e.wAllocated = static_cast<uint16_t>(L);
        e.wSize = static_cast<uint16_t>(L);
        e.wNumber = static_cast<uint16_t>(i + 1);
    }
    return AlphabetResult::success(std::move(alphabet));
}

AlphabetResult parseJsonAlphabet(const std::string& text, const std::string& name) {
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        return AlphabetResult::failure(name + ": not valid JSON: " + e.what());
    }
    if (!doc.is_object() || !doc.contains("etalons") || !doc["etalons"].is_array())
        return AlphabetResult::failure(name +
                                       ": a JSON alphabet is an object with an "
                                       "\"etalons\" array");
    const nlohmann::json& etalons = doc["etalons"];
    if (etalons.size() > kMaxFileEtalons)
        return AlphabetResult::failure(name + ": " + std::to_string(etalons.size()) +
                                       " etalons, at most " + std::to_string(kMaxFileEtalons));
    std::vector<std::vector<int16_t>> rows;
    std::vector<std::string> where;
    for (size_t i = 0; i < etalons.size(); ++i) {
        const std::string label = "etalon " + std::to_string(i + 1);
        const nlohmann::json& entry = etalons[i];
        const nlohmann::json* samples = &entry;
        if (entry.is_object()) {
            if (entry.contains("number") &&
                !(entry["number"].is_number_integer() && entry["number"] == i + 1))
                return AlphabetResult::failure(
                    name + ": " + label + ": \"number\" is " + entry["number"].dump() +
                    "; etalons are numbered 1, 2, ... in the order of the file");
            if (!entry.contains("samples"))
                return AlphabetResult::failure(name + ": " + label + ": no \"samples\"");
            samples = &entry["samples"];
        }
        if (!samples->is_array())
            return AlphabetResult::failure(name + ": " + label + ": the samples are not an array");
        std::vector<int16_t> row;
        for (size_t j = 0; j < samples->size(); ++j) {
            const nlohmann::json& v = (*samples)[j];
            const std::string at = name + ": " + label + ", element " + std::to_string(j) + ": ";
            const std::optional<RawNumber> number = jsonNumber(v);
            if (!number)
                return AlphabetResult::failure(at + "not a number: " + v.dump().substr(0, 40));
            const auto sample = toSample(*number, std::nullopt, kNoHint);
            if (!sample)
                return AlphabetResult::failure(at + sample.error);
            row.push_back(*sample.value);
        }
        rows.push_back(std::move(row));
        where.push_back(label);
    }
    return alphabetFromRows(rows, where, name);
}

AlphabetResult parseDelimitedAlphabet(std::istream& in, const std::string& name, char delimiter) {
    std::vector<std::vector<int16_t>> rows;
    std::vector<std::string> where;
    uint64_t lineNumber = 0, firstBlank = 0;
    std::string line;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);  // UTF-8 byte order mark
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string label = "line " + std::to_string(lineNumber);
        if (line.find_first_not_of(" \t") == std::string::npos) {
            if (firstBlank == 0)
                firstBlank = lineNumber;
            continue;
        }
        if (firstBlank != 0)
            return AlphabetResult::failure(name + ": line " + std::to_string(firstBlank) +
                                           ": empty line");
        if (rows.size() == kMaxFileEtalons)
            return AlphabetResult::failure(name + ": more than " + std::to_string(kMaxFileEtalons) +
                                           " etalons");
        std::vector<int16_t> row;
        std::stringstream cells(line);
        std::string cell;
        size_t column = 0;
        // getline drops an empty last cell ("1,2,"); it is refused like any other empty cell.
        const bool trailingEmpty = line.back() == delimiter;
        while (std::getline(cells, cell, delimiter)) {
            ++column;
            const std::string at = name + ": " + label + ", cell " + std::to_string(column) + ": ";
            const auto number = parseNumber(cell);
            if (!number)
                return AlphabetResult::failure(at +
                                               (cell.find_first_not_of(" \t") == std::string::npos
                                                    ? std::string("empty cell")
                                                    : "not a number: '" + cell + "'"));
            const auto sample = toSample(*number, std::nullopt, kNoHint);
            if (!sample)
                return AlphabetResult::failure(at + sample.error);
            row.push_back(*sample.value);
        }
        if (trailingEmpty)
            return AlphabetResult::failure(name + ": " + label + ", cell " +
                                           std::to_string(column + 1) + ": empty cell");
        rows.push_back(std::move(row));
        where.push_back(label);
    }
    if (in.bad())
        return AlphabetResult::failure("cannot read " + name);
    return alphabetFromRows(rows, where, name);
}

AlphabetResult readAlphabetFile(const std::string& path) {
    const std::string ext = lowerExtension(path);
    if (ext != "json" && ext != "csv" && ext != "tsv")
        return AlphabetResult::failure(path +
                                       ": unknown alphabet format; name it .json, .csv or .tsv");
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return AlphabetResult::failure("cannot read " + path + ": it is a directory");
    const auto bytes = readFileBytes(path, kMaxAlphabetBytes);
    if (!bytes)
        return AlphabetResult::failure(bytes.error);
    if (ext == "json")
        return parseJsonAlphabet(*bytes.value, path);
    std::istringstream in(*bytes.value);
    return parseDelimitedAlphabet(in, path, ext == "csv" ? ',' : '\t');
}

}  // namespace cli
