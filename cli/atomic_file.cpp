#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace cli {

namespace {

std::runtime_error failure(const std::string& what, const std::string& path) {
    return std::runtime_error("cannot write '" + path + "': " + what + ": " + std::strerror(errno));
}

// The permissions an ordinary new file gets (0666 less the umask).
mode_t ordinaryMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
    const size_t slash = path_.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    if (name.empty())
        throw std::runtime_error("cannot write '" + path_ + "': not a file name");
    std::string pattern = folder + "." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    fd_ = mkstemp(buffer.data());
    if (fd_ < 0)
        throw failure("cannot create a file in its folder", path_);
    temporary_ = buffer.data();
    fchmod(fd_, ordinaryMode());
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) {
        close(fd_);
        unlink(temporary_.c_str());
    }
}

void AtomicFile::commit(const std::string& text) {
    if (fd_ < 0)
        throw std::runtime_error("cannot write '" + path_ + "' twice");
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd_, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw failure("writing failed", path_);
        written += size_t(n);
    }
    if (fsync(fd_) != 0)
        throw failure("flushing failed", path_);
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        unlink(temporary_.c_str());
        throw failure("closing failed", path_);
    }
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        unlink(temporary_.c_str());
        throw failure("renaming failed", path_);
    }
}

}  // namespace cli
