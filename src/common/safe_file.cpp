// Temporary-file-and-rename saving.
#include "common/safe_file.hpp"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>

namespace kelpira::common {

namespace {

namespace fs = std::filesystem;

bool is_special_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

std::string user_name(uid_t uid) {
    std::array<char, 4096> buffer{};
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->pw_name;
    }
    return "uid " + std::to_string(uid);
}

// A link in a folder anyone may write and only owners may delete from (/tmp) that belongs to
// someone else may have been planted to make this user overwrite a file of their own: such a
// link is not followed (the kernel's protected_symlinks rule, applied here because the links
// are resolved here). Empty when `link` may be followed, otherwise why not.
std::string planted_link_problem(const fs::path& link, const struct stat& link_st) {
    if (link_st.st_uid == ::geteuid()) {
        return {};
    }
    const fs::path folder = link.has_parent_path() ? link.parent_path() : fs::path(".");
    struct stat folder_st {};
    if (::stat(folder.c_str(), &folder_st) != 0) {
        return {};
    }
    const bool shared = (folder_st.st_mode & S_ISVTX) != 0 && (folder_st.st_mode & S_IWOTH) != 0;
    if (!shared) {
        return {};
    }
    return link.string() + " is a link that belongs to " + user_name(link_st.st_uid) +
           ", in a folder anyone may write: not followed";
}

// The file a path names once its symbolic links are followed (the last link's target may not
// exist yet): saving through a link replaces the file it points to and keeps the link. Empty,
// with `refusal` set, when a link is not to be followed.
std::string link_target(const std::string& path, std::string& refusal) {
    fs::path p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            break;
        }
        refusal = planted_link_problem(p, st);
        if (!refusal.empty()) {
            return {};
        }
        std::error_code ec;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) {
            break;
        }
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p.string();
}

// Writes straight to a descriptor, so that the temporary file is written through the one
// descriptor that made it, never by opening its name again.
class FdBuffer : public std::streambuf {
  public:
    explicit FdBuffer(int fd) : fd_(fd) { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

  protected:
    int_type overflow(int_type c) override {
        if (!drain()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

  private:
    bool drain() {
        const char* at = pbase();
        while (at < pptr()) {
            const ssize_t n = ::write(fd_, at, static_cast<std::size_t>(pptr() - at));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            at += n;
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return true;
    }

    int fd_;
    std::array<char, 1 << 16> buffer_{};
};

// Makes a new file beside `path`, readable and writable as any new file of this process is
// (0666 less the umask, applied by the kernel: the process-wide umask is never changed), and
// never through a link. -1 when none can be made; `name` is then unspecified.
int make_temporary(const std::string& path, std::string& name) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937_64 pick(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + ".";
        for (int i = 0; i < 6; ++i) {
            name += kLetters[pick() % (sizeof kLetters - 1)];
        }
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Where no temporary file can be made beside the target (a writable file in a folder the user
// may not write), the file is written in place: the whole text is made first, so a failed
// `write` still leaves the file as it was.
bool write_in_place(const std::string& path, const std::function<bool(std::ostream&)>& write) {
    std::ostringstream text;
    if (!write(text)) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = false;
    {
        FdBuffer buffer(fd);
        std::ostream out(&buffer);
        const std::string content = text.str();
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        ok = static_cast<bool>(out.flush());
    }
    ok = ::fsync(fd) == 0 && ok;
    return ::close(fd) == 0 && ok;
}

}  // namespace

bool write_file_safely(const std::string& named_path,
                       const std::function<bool(std::ostream&)>& write, std::string* refusal) {
    std::string refused;
    const std::string path = link_target(named_path, refused);
    if (!refused.empty()) {
        if (refusal != nullptr) {
            *refusal = refused;
        }
        return false;
    }
    if (is_special_file(path)) {
        std::ofstream out(path, std::ios::binary);
        if (!out) {
            return false;
        }
        const bool ok = write(out);
        out.flush();
        return ok && static_cast<bool>(out);
    }

    std::string tmp;
    const int fd = make_temporary(path, tmp);
    if (fd < 0) {
        const bool folder_closed = errno == EACCES || errno == EPERM || errno == EROFS;
        if (folder_closed && ::access(path.c_str(), W_OK) == 0) {
            return write_in_place(path, write);
        }
        return false;
    }
    bool ok = false;
    {
        FdBuffer buffer(fd);
        std::ostream out(&buffer);
        ok = write(out);
        ok = static_cast<bool>(out.flush()) && ok;
    }
    // An existing target keeps its permissions; a new one has those the temporary was made with.
    struct stat st {};
    if (ok && ::stat(path.c_str(), &st) == 0) {
        ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(tmp.c_str());
    }
    return ok;
}

bool write_path_safely(const std::string& named_path,
                       const std::function<bool(const std::string& temporary)>& write,
                       std::string* refusal) {
    std::string refused;
    const std::string path = link_target(named_path, refused);
    if (refused.empty() && is_special_file(path)) {
        refused = named_path + " is not a regular file";
    }
    if (!refused.empty()) {
        if (refusal != nullptr) {
            *refusal = refused;
        }
        return false;
    }
    std::string tmp;
    const int fd = make_temporary(path, tmp);
    if (fd < 0) {
        const bool folder_closed = errno == EACCES || errno == EPERM || errno == EROFS;
        if (!folder_closed || ::access(path.c_str(), W_OK) != 0) {
            return false;
        }
        const int spare =
            make_temporary((fs::temp_directory_path() / "kelpira-in-place").string(), tmp);
        if (spare < 0) {
            return false;
        }
        ::close(spare);
        const bool written = write(tmp) && write_in_place(path, [&tmp](std::ostream& out) {
                                 std::ifstream in(tmp, std::ios::binary);
                                 out << in.rdbuf();
                                 return static_cast<bool>(in) && static_cast<bool>(out);
                             });
        std::remove(tmp.c_str());
        return written;
    }
    ::close(fd);
    bool ok = write(tmp);
    // The writer may have made the file anew under the name: reach it by name again (never
    // through a link) to give it the target's permissions and flush it.
    const int written = ok ? ::open(tmp.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC) : -1;
    ok = written >= 0;
    struct stat st {};
    if (ok && ::stat(path.c_str(), &st) == 0) {
        ok = ::fchmod(written, st.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(written) == 0;
    ok = (written < 0 || ::close(written) == 0) && ok;
    ok = ok && std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(tmp.c_str());
    }
    return ok;
}

}  // namespace kelpira::common
