// Copying inputs that cannot be read twice into temporary files.
#include "processing/input_spool.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "processing/raw_row_scan.hpp"

namespace kelpira::processing {

namespace {

// Pipes, terminals and sockets are read once; files, and folders and missing files (which
// opening and reading report), are opened as they are.
bool can_be_read_twice(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 ||
           !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode));
}

std::string reason(int error) {
    return std::generic_category().message(error);
}

// Copies all of `in` to `out`; false on a read or write error.
bool copy(std::istream& in, std::ostream& out) {
    std::array<char, 1 << 16> block{};
    while (in) {
        in.read(block.data(), block.size());
        out.write(block.data(), in.gcount());
    }
    return !in.bad() && static_cast<bool>(out.flush());
}

}  // namespace

InputSpool::~InputSpool() {
    for (const auto& copy : copies_) {
        std::remove(copy.c_str());
    }
}

std::optional<std::string> InputSpool::readable(const std::string& path, std::string& error) {
    if (path != "-" && can_be_read_twice(path)) {
        return path;
    }
    std::string copy_path =
        (std::filesystem::temp_directory_path() / "kelpira-process-XXXXXX").string();
    const int fd = ::mkstemp(copy_path.data());
    if (fd < 0) {
        error = "cannot make a temporary copy: " + reason(errno);
        return std::nullopt;
    }
    ::close(fd);
    copies_.push_back(copy_path);
    std::ofstream out(copy_path, std::ios::binary | std::ios::trunc);
    bool copied = false;
    if (path == "-") {
        copied = copy(standard_input_, out);
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "cannot open: " + reason(errno);
            return std::nullopt;
        }
        copied = copy(in, out);
    }
    if (!copied) {
        error = std::string(kReadErrorText);
        return std::nullopt;
    }
    return copy_path;
}

}  // namespace kelpira::processing
