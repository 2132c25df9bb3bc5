// Copying inputs that cannot be read twice into nameless temporary files.
#include "processing/input_spool.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "common/stop_signals.hpp"
#include "processing/raw_row_scan.hpp"

namespace kelpira::processing {

namespace {

// Pipes, terminals, devices and sockets are read once; files, and folders and missing files
// (which opening and reading report), are opened as they are.
bool can_be_read_twice(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 ||
           !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode));
}

std::string reason(int error) {
    return std::generic_category().message(error);
}

// A file in the temporary folder with no name: made nameless (O_TMPFILE) or, where the file
// system cannot, unlinked at once.
common::UniqueFd make_nameless_file(std::string& error) {
    const std::string folder = std::filesystem::temp_directory_path().string();
    common::UniqueFd fd(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (!fd.valid() && (errno == EOPNOTSUPP || errno == EISDIR)) {
        std::string name = folder + "/kelpira-process-XXXXXX";
        fd.reset(::mkostemp(name.data(), O_CLOEXEC));
        if (fd.valid()) {
            ::unlink(name.c_str());
        }
    }
    if (!fd.valid()) {
        error = "cannot make a temporary copy in " + folder + ": " + reason(errno);
    }
    return fd;
}

// A read of `fd` that gives up after a tenth of a second of silence (as a read a signal cut
// short), so that a stop signal that came just before the read is still seen in time.
ssize_t read_within_a_tenth(int fd, char* at, std::size_t size) {
    pollfd ready{fd, POLLIN, 0};
    const int n = ::poll(&ready, 1, 100);
    if (n == 0) {
        errno = EINTR;
    }
    return n > 0 ? ::read(fd, at, size) : -1;
}

enum class Copied { all, failed, interrupted };

// Copies what `read` gives into `to`, one block at a time: every write checked, the limit
// kept and an interruption honoured between blocks (and by the read or write it cuts short).
template <typename Read>
Copied copy(Read read, int to, std::uint64_t most, std::string& error) {
    std::array<char, 1 << 16> block{};
    std::uint64_t total = 0;
    for (;;) {
        if (common::interrupted()) {
            return Copied::interrupted;
        }
        const ssize_t n = read(block.data(), block.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = std::string(kReadErrorText);
            return Copied::failed;
        }
        if (n == 0) {
            return Copied::all;
        }
        total += static_cast<std::uint64_t>(n);
        if (total > most) {
            error = "longer than " + std::to_string(most >> 20) +
                    " MiB, the most read from a pipe: save it to a file and process the file";
            return Copied::failed;
        }
        for (ssize_t at = 0; at < n;) {
            const ssize_t w = ::write(to, block.data() + at, static_cast<std::size_t>(n - at));
            if (w < 0 && errno == EINTR && !common::interrupted()) {
                continue;
            }
            if (w < 0 && errno == EINTR) {
                return Copied::interrupted;
            }
            if (w <= 0) {
                error = "cannot make a temporary copy: " + reason(w < 0 ? errno : ENOSPC);
                return Copied::failed;
            }
            at += w;
        }
    }
}

// Reads standard input. The process's own standard input is read by descriptor: the
// library's reader retries a read a signal cut short, so a silent pipe could never be stopped.
Copied copy_standard_input(std::istream& in, int to, std::uint64_t most, std::string& error) {
    if (in.rdbuf() == std::cin.rdbuf()) {
        return copy(
            [](char* at, std::size_t size) { return read_within_a_tenth(STDIN_FILENO, at, size); },
            to, most, error);
    }
    return copy(
        [&in](char* at, std::size_t size) -> ssize_t {
            in.read(at, static_cast<std::streamsize>(size));
            if (in.bad()) {
                errno = EIO;
                return -1;
            }
            return static_cast<ssize_t>(in.gcount());
        },
        to, most, error);
}

}  // namespace

std::optional<std::string> InputSpool::readable(const std::string& path, std::string& error) {
    if (path != "-" && can_be_read_twice(path)) {
        return path;
    }
    common::UniqueFd copy_fd = make_nameless_file(error);
    if (!copy_fd.valid()) {
        return std::nullopt;
    }
    Copied copied = Copied::failed;
    if (path == "-") {
        copied = copy_standard_input(standard_input_, copy_fd.get(), most_, error);
    } else {
        const common::UniqueFd in(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC));
        if (!in.valid()) {
            error = "cannot open: " + reason(errno);
            return std::nullopt;
        }
        copied = copy(
            [&in](char* at, std::size_t size) { return read_within_a_tenth(in.get(), at, size); },
            copy_fd.get(), most_, error);
    }
    if (copied != Copied::all) {
        return std::nullopt;
    }
    const std::string name = "/proc/self/fd/" + std::to_string(copy_fd.get());
    copies_.push_back(std::move(copy_fd));
    return name;
}

}  // namespace kelpira::processing
