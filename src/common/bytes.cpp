// Little-endian reader and writer for packed records.
#include "common/bytes.hpp"

#include <algorithm>

namespace kelpira::common {

std::uint64_t ByteReader::read_uint(std::size_t n) {
    if (remaining() < n) {
        overrun_ = true;
        pos_ = data_.size();
        return 0;
    }
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) {
        v |= static_cast<std::uint64_t>(data_[pos_ + i]) << (8 * i);
    }
    pos_ += n;
    return v;
}

std::string ByteReader::text(std::size_t width) {
    const std::size_t avail = std::min(width, remaining());
    if (avail < width) {
        overrun_ = true;
    }
    const auto* begin = data_.data() + pos_;
    const auto* end = std::find(begin, begin + avail, std::uint8_t{0});
    std::string s(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin));
    pos_ += avail;
    return s;
}

void ByteReader::bytes(std::span<std::uint8_t> out) {
    const std::size_t avail = std::min(out.size(), remaining());
    if (avail < out.size()) {
        overrun_ = true;
    }
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(pos_), avail, out.begin());
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(avail), out.end(), std::uint8_t{0});
    pos_ += avail;
}

void ByteReader::skip(std::size_t n) {
    if (remaining() < n) {
        overrun_ = true;
        pos_ = data_.size();
        return;
    }
    pos_ += n;
}

void ByteWriter::write_uint(std::uint64_t v, std::size_t n) {
    if (data_.size() - std::min(pos_, data_.size()) < n) {
        overrun_ = true;
        pos_ = data_.size();
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        data_[pos_ + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    pos_ += n;
}

void ByteWriter::text(std::string_view s, std::size_t width) {
    const std::size_t n = std::min(s.size(), width);
    for (std::size_t i = 0; i < width; ++i) {
        u8(i < n ? static_cast<std::uint8_t>(s[i]) : std::uint8_t{0});
    }
}

void ByteWriter::bytes(std::span<const std::uint8_t> in) {
    for (auto b : in) {
        u8(b);
    }
}

void ByteWriter::zeros(std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        u8(0);
    }
}

}  // namespace kelpira::common
