// Raw files that cannot be read twice (standard input, a pipe, process substitution, a
// device): each file is read once for its header and again for its rows, so these are first
// copied into a temporary file that has no name from the moment it is made (nothing is left
// behind, even by a killed program), up to a limit.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "common/unique_fd.hpp"

namespace kelpira::processing {

// The most copied from one such input: a year of a sensor's raw output is a few megabytes,
// and an endless pipe must not fill the disk.
inline constexpr std::uint64_t kMostCopiedBytes = 256u << 20;

class InputSpool {
  public:
    // "-" names `standard_input`.
    explicit InputSpool(std::istream& standard_input, std::uint64_t most = kMostCopiedBytes)
        : standard_input_(standard_input), most_(most) {}
    InputSpool(const InputSpool&) = delete;
    InputSpool& operator=(const InputSpool&) = delete;

    // The path to open for `path`: the path itself unless it is "-", a pipe, a terminal, a
    // device or a socket, which are copied first (the copy is reached through this process's
    // descriptor of it). Nothing, with the reason in `error`, when such an input cannot be
    // read or copied, is longer than the limit, or the copy was interrupted (Ctrl+C, a kill:
    // common::interrupted() then says so; each block read and written is a point where it
    // stops).
    std::optional<std::string> readable(const std::string& path, std::string& error);

  private:
    std::istream& standard_input_;
    std::uint64_t most_;
    std::vector<common::UniqueFd> copies_;
};

}  // namespace kelpira::processing
