// A record's bytes numbered 1, 2, 3, ...: every field then decodes to a value that names its
// offset.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <numeric>

namespace kelpira::testing {

template <std::size_t N>
std::array<std::uint8_t, N> counting_bytes() {
    std::array<std::uint8_t, N> b{};
    std::iota(b.begin(), b.end(), std::uint8_t{1});
    return b;
}

}  // namespace kelpira::testing
