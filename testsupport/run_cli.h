#pragma once
// Runs ardentix-cli (its path given by ARDENTIX_CLI_PATH) with arguments, as a user would, and
// returns its standard output and exit status. Standard error is discarded.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace testsupport {

struct CliResult {
    int status = -1;
    std::string out;
};

// Runs the program with its standard output kept and its standard error sent to `errors`.
inline CliResult runCliCommand(const std::string& executable, const std::string& args,
                               const std::string& errors = "/dev/null") {
    const std::string command = executable + " " + args + " 2>" + errors;
    CliResult r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return r;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

}  // namespace testsupport
