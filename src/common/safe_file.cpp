// Temporary-file-and-rename saving, every step relative to the folder's descriptor.
#include "common/safe_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>

#include "common/path_walk.hpp"
#include "common/unique_fd.hpp"

namespace kelpira::common {

namespace {

namespace fs = std::filesystem;

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

bool write_through(int fd, const std::function<bool(std::ostream&)>& write) {
    FdBuffer buffer(fd);
    std::ostream out(&buffer);
    const bool ok = write(out);
    return static_cast<bool>(out.flush()) && ok;
}

// The permissions of a new file: 0666 less the umask, read from the kernel's account of this
// process because asking umask() means changing it for every thread. Private when unknown.
mode_t new_file_mode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            char* end = nullptr;
            const unsigned long mask = std::strtoul(line.c_str() + 6, &end, 8);
            if (end != line.c_str() + 6) {
                return static_cast<mode_t>(0666 & ~mask);
            }
        }
    }
    return 0600;
}

// The mode the finished file gets: the one it replaces keeps its permissions.
mode_t final_mode(const WalkedPath& target) {
    struct stat st {};
    if (::fstatat(target.folder.get(), target.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(st.st_mode)) {
        return st.st_mode & 07777;
    }
    return new_file_mode();
}

std::string random_suffix() {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937_64 pick(seed());
    std::string suffix = ".";
    for (int i = 0; i < 6; ++i) {
        suffix += kLetters[pick() % (sizeof kLetters - 1)];
    }
    return suffix;
}

// Makes a new file beside the target, for this user only until it is complete (whatever the
// folder lets others do), never through a link. Invalid when none can be made (errno says
// why); `name` is then unspecified.
UniqueFd make_temporary(const WalkedPath& target, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target.name + random_suffix();
        UniqueFd fd(::openat(target.folder.get(), name.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.valid() || errno != EEXIST) {
            return fd;
        }
    }
    return UniqueFd();
}

// Why a target that is not a regular file is not written, or empty when it is written
// directly (never replaced): the user's own pipe, a terminal or device of the user or of root
// such as /dev/null. Someone else's pipe would hand them the text.
std::string special_file_problem(const WalkedPath& target, const struct stat& st) {
    const bool own = st.st_uid == ::geteuid();
    if (S_ISFIFO(st.st_mode) && !own) {
        return target.shown + " is a pipe that belongs to " + user_name(st.st_uid) +
               ": not written";
    }
    if (S_ISCHR(st.st_mode) && !own && st.st_uid != 0) {
        return target.shown + " is a device that belongs to " + user_name(st.st_uid) +
               ": not written";
    }
    if (!S_ISFIFO(st.st_mode) && !S_ISCHR(st.st_mode)) {
        return target.shown + " is neither a file nor a pipe nor a terminal: not written";
    }
    return {};
}

bool write_special(const WalkedPath& target, const struct stat& st,
                   const std::function<bool(std::ostream&)>& write, std::string& refusal) {
    refusal = special_file_problem(target, st);
    if (!refusal.empty()) {
        return false;
    }
    const int flags = O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
    UniqueFd fd(::openat(target.folder.get(), target.name.c_str(), flags | O_NONBLOCK));
    if (!fd.valid() && errno == ENXIO && S_ISFIFO(st.st_mode)) {
        // The user's own pipe that nobody reads yet: wait for its reader, as a shell does.
        fd.reset(::openat(target.folder.get(), target.name.c_str(), flags));
    }
    struct stat opened {};
    if (!fd.valid() || ::fstat(fd.get(), &opened) != 0) {
        return false;
    }
    if (opened.st_dev != st.st_dev || opened.st_ino != st.st_ino) {
        refusal = target.shown + " was replaced while it was opened: not written";
        return false;
    }
    const int status = ::fcntl(fd.get(), F_GETFL);
    if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
        return false;
    }
    return write_through(fd.get(), write);
}

// Room for `size` bytes in the file before any of it is overwritten, so that a full disk
// refuses the save rather than cutting the file short. A file system that cannot reserve
// still takes a text no longer than the file, which needs no new room.
bool reserve(int fd, std::size_t size, const struct stat& st) {
    if (size == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) {
        return true;
    }
    return (errno == EOPNOTSUPP || errno == ENOSYS) && static_cast<off_t>(size) <= st.st_size;
}

// Where no temporary file can be made beside the target (a writable file in a folder the user
// may not write), the file is written in place, over its old text: the whole text is ready and
// its room reserved first, so that a failed `write` or a full disk leaves the file as it was.
bool write_in_place(const WalkedPath& target, const std::string& content, std::string& refusal) {
    UniqueFd fd(::openat(target.folder.get(), target.name.c_str(),
                         O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    if (!reserve(fd.get(), content.size(), st)) {
        refusal = target.shown + ": no room to write it in place; it was left as it was";
        return false;
    }
    std::size_t at = 0;
    while (at < content.size()) {
        const ssize_t n =
            ::pwrite(fd.get(), content.data() + at, content.size() - at, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        at += static_cast<std::size_t>(n);
    }
    return ::ftruncate(fd.get(), static_cast<off_t>(content.size())) == 0 &&
           ::fsync(fd.get()) == 0 && ::close(fd.release()) == 0;
}

bool read_all(int fd, std::string& text) {
    std::array<char, 1 << 16> chunk{};
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0;
        }
        text.append(chunk.data(), static_cast<std::size_t>(n));
    }
}

bool folder_closed(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

bool writable(const WalkedPath& target) {
    return ::faccessat(target.folder.get(), target.name.c_str(), W_OK, AT_SYMLINK_NOFOLLOW) == 0;
}

bool walk(const std::string& path, WalkedPath& target, std::string* refusal) {
    std::string refused;
    if (walk_to_file(path, target, refused)) {
        return true;
    }
    if (refusal != nullptr) {
        *refusal = refused;
    }
    return false;
}

bool refuse(std::string* refusal, const std::string& why) {
    if (refusal != nullptr && !why.empty()) {
        *refusal = why;
    }
    return false;
}

// A folder only this user may enter, made in `folder` (an O_PATH descriptor) under a new
// name: whatever a library makes in it, and with whatever permissions, nobody else can open.
UniqueFd make_private_box(int folder, const std::string& base, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + random_suffix();
        if (::mkdirat(folder, name.c_str(), 0700) == 0) {
            return UniqueFd(
                ::openat(folder, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return UniqueFd();
}

// The name a library opens to reach `file` in the box: through this process's descriptor of
// the box, so that no folder on the way can be swapped meanwhile.
std::string name_in_box(const UniqueFd& box, const std::string& file) {
    return "/proc/self/fd/" + std::to_string(box.get()) + "/" + file;
}

struct Box {
    WalkedPath where;  // the box, its folder and name
    UniqueFd fd;
    ~Box() {
        if (fd.valid()) {
            ::unlinkat(where.folder.get(), where.name.c_str(), AT_REMOVEDIR);
        }
    }
};

}  // namespace

bool write_file_safely(const std::string& named_path,
                       const std::function<bool(std::ostream&)>& write, std::string* refusal) {
    WalkedPath target;
    if (!walk(named_path, target, refusal)) {
        return false;
    }
    struct stat st {};
    if (::fstatat(target.folder.get(), target.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) {
            return false;
        }
        std::string why;
        const bool ok = write_special(target, st, write, why);
        return ok || refuse(refusal, why);
    }

    std::string tmp;
    UniqueFd fd = make_temporary(target, tmp);
    if (!fd.valid()) {
        if (!folder_closed(errno) || !writable(target)) {
            return false;
        }
        std::ostringstream text;
        if (!write(text)) {
            return false;
        }
        std::string why;
        return write_in_place(target, text.str(), why) || refuse(refusal, why);
    }
    bool ok = write_through(fd.get(), write);
    // Readable by others only once complete, and only if the file it replaces was.
    ok = ok && ::fchmod(fd.get(), final_mode(target)) == 0;
    ok = ok && ::fsync(fd.get()) == 0;
    ok = ::close(fd.release()) == 0 && ok;
    const int folder = target.folder.get();
    ok = ok && ::renameat(folder, tmp.c_str(), folder, target.name.c_str()) == 0;
    if (!ok) {
        ::unlinkat(folder, tmp.c_str(), 0);
    }
    return ok;
}

bool write_path_safely(const std::string& named_path,
                       const std::function<bool(const std::string& temporary)>& write,
                       std::string* refusal) {
    WalkedPath target;
    if (!walk(named_path, target, refusal)) {
        return false;
    }
    struct stat st {};
    if (::fstatat(target.folder.get(), target.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(st.st_mode)) {
        return refuse(refusal, named_path + " is not a regular file");
    }
    Box box;
    box.fd = make_private_box(target.folder.get(), target.name, box.where.name);
    bool in_place = false;
    if (!box.fd.valid()) {
        if (!folder_closed(errno) || !writable(target)) {
            return false;
        }
        // No room beside the target: the library writes in the system's temporary folder and
        // the file is copied in place.
        in_place = true;
        box.where.folder =
            UniqueFd(::open(fs::temp_directory_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        box.fd = make_private_box(box.where.folder.get(), "kelpira-in-place", box.where.name);
        if (!box.fd.valid()) {
            return false;
        }
    } else {
        box.where.folder = UniqueFd(::dup(target.folder.get()));
    }
    const std::string& file = target.name;
    bool ok = write(name_in_box(box.fd, file));
    UniqueFd written(ok ? ::openat(box.fd.get(), file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)
                        : -1);
    struct stat made {};
    ok = written.valid() && ::fstat(written.get(), &made) == 0 && S_ISREG(made.st_mode);
    std::string why;
    if (ok && in_place) {
        std::string text;
        ok = read_all(written.get(), text) && write_in_place(target, text, why);
    } else if (ok) {
        ok = ::fchmod(written.get(), final_mode(target)) == 0 && ::fsync(written.get()) == 0 &&
             ::renameat(box.fd.get(), file.c_str(), target.folder.get(), file.c_str()) == 0;
    }
    ::unlinkat(box.fd.get(), file.c_str(), 0);
    return ok || refuse(refusal, why);
}

}  // namespace kelpira::common
