// An input read once, as kelpira-process reads standard input and a pipe: byte 0 sets the
// copy's limit (16 bytes a step), the rest is what comes down the pipe. The copy must hold
// exactly those bytes, or be refused when they are more than the limit.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "fuzz_inputs.hpp"
#include "processing/input_spool.hpp"

namespace kelpira::fuzz {

namespace {

// What `path` reads, whole.
std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The copy holds `sent` when it fits in `most`; otherwise it is refused with a reason.
void check(const std::optional<std::string>& copy, const std::string& error,
           const std::string& sent, std::uint64_t most) {
    const bool fits = sent.size() <= most;
    if (fits != copy.has_value() || (copy && read_all(*copy) != sent) || (!copy && error.empty())) {
        std::abort();
    }
}

}  // namespace

int input_spool_input(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint64_t most = std::uint64_t{data[0]} * 16;
    const std::string sent(reinterpret_cast<const char*>(data) + 1, size - 1);

    // Standard input.
    std::istringstream standard_input(sent);
    processing::InputSpool from_stdin(standard_input, most);
    std::string error;
    check(from_stdin.readable("-", error), error, sent, most);

    // A pipe named by its path; the fuzzer's inputs fit in the pipe's buffer, so the whole
    // input is written before it is read.
    int ends[2];
    if (sent.size() > 65536 || ::pipe2(ends, O_CLOEXEC) != 0) {
        return 0;
    }
    const bool written = sent.empty() || ::write(ends[1], sent.data(), sent.size()) ==
                                             static_cast<ssize_t>(sent.size());
    ::close(ends[1]);
    std::istringstream unused;
    processing::InputSpool from_pipe(unused, most);
    error.clear();
    if (written) {
        check(from_pipe.readable("/proc/self/fd/" + std::to_string(ends[0]), error), error, sent,
              most);
    }
    ::close(ends[0]);
    return 0;
}

}  // namespace kelpira::fuzz
