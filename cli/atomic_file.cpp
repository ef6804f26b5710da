#include "atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace cli {

namespace {

std::string failure(const std::string& path, int error) {
    return "cannot write " + path + ": " + std::strerror(error);
}

}  // namespace

std::string writeFileAtomically(const std::string& path, const std::string& content) {
    if (path.empty())
        return "cannot write an unnamed file";
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return "cannot write " + path + ": it is a directory";
    // A fresh name beside the target, so that the rename stays within one file system. The mode
    // 0666 is narrowed by the umask, as for any new file.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = path + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(attempt);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 100))
            return failure(path, errno);
    }
    const char* p = content.data();
    size_t left = content.size();
    int error = 0;
    while (left > 0 && error == 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        else {
            p += n;
            left -= static_cast<size_t>(n);
        }
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(temp.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return failure(path, error);
    }
    return "";
}

}  // namespace cli
