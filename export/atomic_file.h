#pragma once
// Writing a file so that it appears whole or not at all: the bytes go to a temporary file in
// the same folder, which replaces the chosen name only once it is complete and closed. On any
// failure the temporary file is removed and a file that was there stays untouched.

#include <cstdio>
#include <functional>
#include <string>

namespace exporter {

// Calls `write` with the temporary file open for binary writing; `write` returns false on a
// failure of its own. Returns an empty string on success, else what failed.
std::string writeFileAtomically(const std::string& path,
                                const std::function<bool(std::FILE*)>& write);

}  // namespace exporter
