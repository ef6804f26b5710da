#include "input_file.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace cli {

ReadResult<std::string> readFileBytes(const std::string& path, size_t limit) {
    using Result = ReadResult<std::string>;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return Result::failure("cannot open " + path + ": " + std::strerror(errno));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        if (n == 0)
            break;
        if (bytes.size() + n > limit)
            return Result::failure(path + ": the file is larger than " + std::to_string(limit) +
                                   " bytes, far more than a series or an alphabet needs");
        bytes.append(buffer, n);
    }
    if (std::ferror(file.get()))
        return Result::failure("cannot read " + path + ": " + std::strerror(errno));
    return Result::success(std::move(bytes));
}

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty() && ext[0] == '.')
        ext.erase(0, 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace cli
