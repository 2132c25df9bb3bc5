// Temporary-file-and-rename saving.
#include "common/safe_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace kelpira::common {

namespace {

bool is_special_file(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool flush_to_disk(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

bool write_file_safely(const std::string& path, const std::function<bool(std::ostream&)>& write) {
    if (is_special_file(path)) {
        std::ofstream out(path, std::ios::binary);
        if (!out) {
            return false;
        }
        const bool ok = write(out);
        out.flush();
        return ok && static_cast<bool>(out);
    }

    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    bool ok = false;
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (out) {
            ok = write(out);
            out.flush();
            ok = ok && static_cast<bool>(out);
        }
    }
    ok = ok && flush_to_disk(tmp);
    if (ok) {
        // Keep the permissions an existing target had; a new file gets the usual 0666 & ~umask.
        struct stat st{};
        if (::stat(path.c_str(), &st) == 0) {
            ::chmod(tmp.c_str(), st.st_mode & 07777);
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::chmod(tmp.c_str(), 0666 & ~mask);
        }
        ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        std::remove(tmp.c_str());
    }
    return ok;
}

}  // namespace kelpira::common
