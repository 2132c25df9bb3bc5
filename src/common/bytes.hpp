// Little-endian reader and writer for the packed records exchanged with the sensor.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace kelpira::common {

// Reads fields one after another from a packed little-endian buffer. Reading past the end
// yields zeros and marks the reader as overrun instead of touching memory it does not own.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint8_t u8() { return static_cast<std::uint8_t>(read_uint(1)); }
    std::int8_t i8() { return static_cast<std::int8_t>(u8()); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(read_uint(2)); }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(read_uint(4)); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::uint64_t u64() { return read_uint(8); }
    float f32() { return std::bit_cast<float>(u32()); }
    double f64() { return std::bit_cast<double>(u64()); }

    // A fixed-width text field: the characters up to the first NUL or the width,
    // never further.
    std::string text(std::size_t width);
    void bytes(std::span<std::uint8_t> out);
    void skip(std::size_t n);

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }
    bool overrun() const { return overrun_; }

  private:
    std::uint64_t read_uint(std::size_t n);

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool overrun_ = false;
};

// Writes fields one after another into a packed little-endian buffer. Writing past the end
// is dropped and marks the writer as overrun.
class ByteWriter {
  public:
    explicit ByteWriter(std::span<std::uint8_t> data) : data_(data) {}

    void u8(std::uint8_t v) { write_uint(v, 1); }
    void i8(std::int8_t v) { u8(static_cast<std::uint8_t>(v)); }
    void u16(std::uint16_t v) { write_uint(v, 2); }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void u32(std::uint32_t v) { write_uint(v, 4); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void u64(std::uint64_t v) { write_uint(v, 8); }
    void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
    void f64(double v) { u64(std::bit_cast<std::uint64_t>(v)); }

    // A fixed-width text field: the text cut to the width, the rest filled with NULs. A text
    // as long as the width carries no terminator, as the sensor stores it.
    void text(std::string_view s, std::size_t width);
    void bytes(std::span<const std::uint8_t> in);
    void zeros(std::size_t n);

    std::size_t position() const { return pos_; }
    bool overrun() const { return overrun_; }

  private:
    void write_uint(std::uint64_t v, std::size_t n);

    std::span<std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool overrun_ = false;
};

}  // namespace kelpira::common
