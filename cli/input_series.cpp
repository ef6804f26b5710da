#include "input_series.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "input_npy.h"
#include "sample_value.h"
#include "series/generation.h"

namespace cli {

namespace {

using SamplesResult = ReadResult<std::vector<int16_t>>;

// Text files larger than this cannot be a series of at most 32767 samples (JSON output of
// process for the longest series is well under a megabyte).
constexpr size_t kMaxJsonBytes = size_t{64} << 20;

// `count` is "40000 samples" or "more than 32767 samples".
std::string tooLong(const std::string& name, const std::string& count) {
    const std::string limit = std::to_string(series::kMaxSeriesLength);
    return name + ": " + count + "; a series holds at most " + limit +
           " (pulse positions are signed 16-bit): cut the recording into windows of at most " +
           limit + " samples and process each window";
}

// One line of a delimited table split into cells, with double-quoted cells unquoted ("" inside
// quotes is one quote) and blanks around cells removed. Null on an unbalanced quote.
std::optional<std::vector<std::string>> splitCells(const std::string& line, char delimiter) {
    std::vector<std::string> cells;
    const auto blank = [delimiter](char c) { return (c == ' ' || c == '\t') && c != delimiter; };
    size_t i = 0;
    for (;;) {
        while (i < line.size() && blank(line[i]))
            ++i;
        std::string cell;
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (;;) {
                if (i >= line.size())
                    return std::nullopt;
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += line[i++];
            }
            while (i < line.size() && blank(line[i]))
                ++i;
            if (i < line.size() && line[i] != delimiter)
                return std::nullopt;
        } else {
            while (i < line.size() && line[i] != delimiter)
                cell += line[i++];
            while (!cell.empty() && blank(cell.back()))
                cell.pop_back();
        }
        cells.push_back(std::move(cell));
        if (i >= line.size())
            return cells;
        ++i;  // the delimiter
    }
}

bool isNumberCell(const std::string& cell) {
    return parseNumber(cell).has_value();
}

// A header cell: not a number and not starting like one ("12a" is a broken number, not a name).
bool isNameCell(const std::string& cell) {
    if (cell.empty() || isNumberCell(cell))
        return false;
    const char c = cell[0];
    return !(std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.');
}

bool isBlankLine(const std::string& line) {
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

bool allDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

std::string joinNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names)
        out += (out.empty() ? "" : ", ") + ("'" + n + "'");
    return out;
}

// The 0-based column `column` names, or the refusal.
ReadResult<size_t> chooseColumn(const std::string& name, const std::string& column,
                                const std::vector<std::string>* header, size_t width) {
    using Result = ReadResult<size_t>;
    if (column.empty()) {
        if (width == 1)
            return Result::success(0);
        if (header)
            for (size_t c = 0; c < width; ++c)
                if ((*header)[c] == "noisy")
                    return Result::success(c);
        return Result::failure(name + ": " + std::to_string(width) +
                               " columns; choose one with --column NAME or --column NUMBER");
    }
    if (allDigits(column)) {
        const unsigned long long n = std::strtoull(column.c_str(), nullptr, 10);
        if (n < 1 || n > width)
            return Result::failure(name + ": no column " + column + " (the table has " +
                                   std::to_string(width) + ", counted from 1)");
        return Result::success(static_cast<size_t>(n - 1));
    }
    if (!header)
        return Result::failure(name + ": no header line, so --column " + column +
                               " names nothing; give the column's number instead");
    size_t found = width;
    for (size_t c = 0; c < width; ++c)
        if ((*header)[c] == column) {
            if (found != width)
                return Result::failure(name + ": the header names two columns '" + column + "'");
            found = c;
        }
    if (found == width)
        return Result::failure(name + ": no column '" + column + "' (the header has " +
                               joinNames(*header) + ")");
    return Result::success(found);
}

}  // namespace

std::optional<std::string> seriesLengthError(const std::string& name, uint64_t count) {
    if (count == 0)
        return name + ": the series is empty";
    if (count > series::kMaxSeriesLength)
        return tooLong(name, std::to_string(count) + " samples");
    return std::nullopt;
}

SamplesResult parseDelimitedSeries(std::istream& in, const std::string& name, char delimiter,
                                   const std::string& column, const std::optional<double>& scale) {
    std::vector<int16_t> samples;
    std::optional<std::vector<std::string>> header;
    size_t width = 0, chosen = 0;
    bool started = false;
    uint64_t lineNumber = 0, firstBlank = 0;
    std::string line;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);  // UTF-8 byte order mark
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = name + ": line " + std::to_string(lineNumber) + ": ";
        if (isBlankLine(line)) {
            if (firstBlank == 0)
                firstBlank = lineNumber;
            continue;
        }
        if (firstBlank != 0)
            return SamplesResult::failure(name + ": line " + std::to_string(firstBlank) +
                                          ": empty line");
        auto cells = splitCells(line, delimiter);
        if (!cells)
            return SamplesResult::failure(where + "unbalanced quotes");
        if (!started) {
            started = true;
            width = cells->size();
            bool anyNumber = false, anyName = false;
            for (const std::string& c : *cells) {
                anyNumber = anyNumber || isNumberCell(c);
                anyName = anyName || isNameCell(c);
            }
            if (!anyNumber && anyName)
                header = *cells;
            const auto pick = chooseColumn(name, column, header ? &*header : nullptr, width);
            if (!pick)
                return SamplesResult::failure(pick.error);
            chosen = *pick.value;
            if (header)
                continue;
        }
        if (cells->size() != width)
            return SamplesResult::failure(where + std::to_string(cells->size()) +
                                          (cells->size() == 1 ? " cell" : " cells") +
                                          ", the first line has " + std::to_string(width));
        const std::string& cell = (*cells)[chosen];
        const std::string inColumn = header ? " in column '" + (*header)[chosen] + "'" : "";
        if (cell.empty())
            return SamplesResult::failure(where + "empty cell" + inColumn);
        const auto number = parseNumber(cell);
        if (!number)
            return SamplesResult::failure(where + "not a number" + inColumn + ": '" + cell + "'");
        const auto sample = toSample(*number, scale, kScaleHint);
        if (!sample)
            return SamplesResult::failure(where + sample.error);
        if (samples.size() == series::kMaxSeriesLength)
            return SamplesResult::failure(tooLong(
                name, "more than " + std::to_string(series::kMaxSeriesLength) + " samples"));
        samples.push_back(*sample.value);
    }
    if (in.bad())
        return SamplesResult::failure("cannot read " + name);
    if (const auto e = seriesLengthError(name, samples.size()))
        return SamplesResult::failure(*e);
    return SamplesResult::success(std::move(samples));
}

SamplesResult parseJsonSeries(const std::string& text, const std::string& name,
                              const std::optional<double>& scale) {
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        return SamplesResult::failure(name + ": not valid JSON: " + e.what());
    }
    const nlohmann::json* array = &doc;
    std::string key;
    if (doc.is_object()) {
        key = doc.contains("samples") ? "samples" : "noisy";
        if (!doc.contains(key))
            return SamplesResult::failure(name +
                                          ": a JSON object needs a \"samples\" or \"noisy\" array");
        array = &doc[key];
    }
    if (!array->is_array())
        return SamplesResult::failure(
            name + (key.empty() ? ": JSON is neither an array of samples nor an object"
                                : ": \"" + key + "\" is not an array"));
    if (const auto e = seriesLengthError(name, array->size()))
        return SamplesResult::failure(*e);
    std::vector<int16_t> samples;
    samples.reserve(array->size());
    for (size_t i = 0; i < array->size(); ++i) {
        const nlohmann::json& v = (*array)[i];
        const std::string where = name + ": element " + std::to_string(i) + ": ";
        const std::optional<RawNumber> number = jsonNumber(v);
        if (!number)
            return SamplesResult::failure(where + "not a number: " + v.dump().substr(0, 40));
        const auto sample = toSample(*number, scale, kScaleHint);
        if (!sample)
            return SamplesResult::failure(where + sample.error);
        samples.push_back(*sample.value);
    }
    return SamplesResult::success(std::move(samples));
}

ReadResult<std::string> seriesFormatFor(const std::string& path, const std::string& format) {
    using Result = ReadResult<std::string>;
    const std::string f = format.empty() ? lowerExtension(path) : format;
    for (const char* known : {"csv", "tsv", "json", "npy"})
        if (f == known)
            return Result::success(f);
    if (!format.empty())
        return Result::failure("--input-format: unknown format '" + format +
                               "' (csv, tsv, json or npy)");
    return Result::failure(
        path + ": unknown format" +
        (f.empty() ? std::string(" (no extension)") : " (extension '." + f + "')") +
        "; name it .csv, .tsv, .json or .npy or give --input-format");
}

ReadResult<InputSeries> readInputSeries(const std::string& path, const SeriesReadOptions& o) {
    using Result = ReadResult<InputSeries>;
    const auto format = seriesFormatFor(path, o.format);
    if (!format)
        return Result::failure(format.error);
    const std::string& f = *format.value;
    if (!o.column.empty() && f != "csv" && f != "tsv")
        return Result::failure("--column applies to CSV and TSV tables, not to " + f);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return Result::failure("cannot read " + path + ": it is a directory");
    SamplesResult samples;
    if (f == "csv" || f == "tsv") {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return Result::failure("cannot open " + path + ": " + std::strerror(errno));
        samples = parseDelimitedSeries(in, path, f == "csv" ? ',' : '\t', o.column, o.scale);
    } else if (f == "json") {
        const auto bytes = readFileBytes(path, kMaxJsonBytes);
        if (!bytes)
            return Result::failure(bytes.error);
        samples = parseJsonSeries(*bytes.value, path, o.scale);
    } else {
        samples = readNpySeries(path, o.scale);
    }
    if (!samples)
        return Result::failure(samples.error);
    return Result::success(InputSeries{std::move(*samples.value), f});
}

}  // namespace cli
