#include "file_options.h"

#include <cmath>

#include "export/atomic_file.h"
#include "input_alphabet.h"

namespace cli {

void addAlphabetFileOption(CLI::App& cmd, FileOptions& f) {
    auto* alphabet = cmd.add_option("--alphabet", f.alphabet,
                                    "Etalons from a file: JSON as `alphabet --json` writes it, or "
                                    "CSV/TSV with one etalon a row");
    for (const char* name : {"--count", "--etalon-length"})
        if (CLI::Option* other = cmd.get_option_no_throw(name))
            alphabet->excludes(other);
}

void addInputSeriesOptions(CLI::App& cmd, FileOptions& f) {
    auto* input = cmd.add_option("--input", f.input,
                                 "Process the series of this file (.csv, .tsv, .json, .npy) "
                                 "instead of generating one");
    cmd.add_option("--input-format", f.read.format, "csv, tsv, json or npy (default: extension)")
        ->needs(input);
    cmd.add_option("--column", f.read.column,
                   "CSV/TSV column: a header name or a number counted from 1 (default: the only "
                   "column, or 'noisy')")
        ->needs(input);
    cmd.add_option("--scale", f.read.scale, "Read values as round(value * S)")->needs(input);
    for (const char* name : {"--length", "--amplitude", "--noise", "--random-count", "--sequence",
                             "--saved-level", "--subset-mode", "--subset-start", "--create-level"})
        if (CLI::Option* other = cmd.get_option_no_throw(name))
            input->excludes(other);
}

series::Alphabet readAlphabetOption(const FileOptions& f, SeriesOptions& options) {
    auto read = readAlphabetFile(f.alphabet);
    if (!read)
        throw UsageError(read.error);
    series::Alphabet alphabet = std::move(*read.value);
    options.count = static_cast<uint16_t>(alphabet.size());
    options.etalonLength = alphabet[0].wSize;
    if (options.etalonLength > options.tmax)
        throw UsageError(f.alphabet + ": etalons of " + std::to_string(options.etalonLength) +
                         " samples, longer than --tmax " + std::to_string(options.tmax));
    return alphabet;
}

InputSeries readInputOption(const FileOptions& f) {
    if (f.read.scale && !(std::isfinite(*f.read.scale) && *f.read.scale > 0))
        throw UsageError("--scale must be a positive finite number");
    auto read = readInputSeries(f.input, f.read);
    if (!read)
        throw UsageError(read.error);
    return std::move(*read.value);
}

void writeOutputFile(const std::string& path, const std::string& content) {
    const std::string error = exporter::writeFileAtomically(path, content);
    if (!error.empty())
        throw UsageError(error);
}

}  // namespace cli
