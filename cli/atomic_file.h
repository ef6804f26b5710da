#pragma once
// Writing a whole file so that readers see either the old file or the complete new one.

#include <string>

namespace cli {

// Writes `content` to a new file in the folder of `path`, flushes it to disk and renames it over
// `path`. On any failure the temporary file is removed, `path` is untouched, and the message
// naming the file is returned; "" on success.
std::string writeFileAtomically(const std::string& path, const std::string& content);

}  // namespace cli
