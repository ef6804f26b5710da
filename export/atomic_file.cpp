#include "atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace exporter {

std::string writeFileAtomically(const std::string& path,
                                const std::function<bool(std::FILE*)>& write) {
    // The temporary name lies next to the target so that the rename never crosses file systems.
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".tmp-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return "cannot create a file next to " + path + ": " + std::strerror(errno);
    // mkstemp makes the file private; give it the mode an ordinary new file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
        ::close(fd);
        ::unlink(name.data());
        return "cannot open " + path;
    }
    bool ok = write(f);
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(::fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        ::unlink(name.data());
        return "cannot write " + path;
    }
    if (std::rename(name.data(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(name.data());
        return "cannot replace " + path + ": " + why;
    }
    return {};
}

}  // namespace exporter
