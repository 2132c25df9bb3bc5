// Splitting fuzz input into command-line arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelpira::fuzz {

// The arguments of a command line written with NUL between them; at most `max` of them.
inline std::vector<std::string> split_args(const std::uint8_t* data, std::size_t size,
                                           std::size_t max = 64) {
    std::vector<std::string> args;
    if (size == 0) {
        return args;
    }
    args.emplace_back();
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != 0) {
            args.back().push_back(static_cast<char>(data[i]));
        } else if (args.size() == max) {
            break;
        } else {
            args.emplace_back();
        }
    }
    return args;
}

}  // namespace kelpira::fuzz
