// Temporary-file-and-rename saving.
#include "common/safe_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// The file a path names once its symbolic links are followed (the last link's target may not
// exist yet): saving through a link replaces the file it points to and keeps the link.
std::string link_target(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path p = path;
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) {
            break;
        }
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p.string();
}

// Where no temporary file can be made beside the target (a writable file in a folder the user
// may not write), the file is written in place: the whole text is made first, so a failed
// `write` still leaves the file as it was.
bool write_in_place(const std::string& path, const std::function<bool(std::ostream&)>& write) {
    std::ostringstream text;
    if (!write(text)) {
        return false;
    }
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        const std::string content = text.str();
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            return false;
        }
    }
    return flush_to_disk(path);
}

}  // namespace

bool write_file_safely(const std::string& named_path,
                       const std::function<bool(std::ostream&)>& write) {
    const std::string path = link_target(named_path);
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
        const bool folder_closed = errno == EACCES || errno == EPERM || errno == EROFS;
        if (folder_closed && ::access(path.c_str(), W_OK) == 0) {
            return write_in_place(path, write);
        }
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
