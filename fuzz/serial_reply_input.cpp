// What a sensor sends on its serial line: bytes read until each protocol's terminator, and the
// replies scanned with the formats the glider and ETI exchanges use, checksum included.
#include <algorithm>
#include <string>
#include <string_view>

#include "fuzz_inputs.hpp"
#include "host_platform/eti_sentence.hpp"
#include "host_platform/reply_scan.hpp"
#include "host_platform/serial_port.hpp"

namespace kelpira::fuzz {

namespace {

// A line that has received `bytes` and then falls silent.
class RecordedLine : public host_platform::SerialPort {
  public:
    explicit RecordedLine(std::string_view bytes) : bytes_(bytes) {}
    bool write(std::string_view) override { return true; }
    host_platform::ByteRead read_byte(std::chrono::milliseconds) override {
        if (next_ == bytes_.size()) {
            return {host_platform::ReadStatus::timed_out, 0};
        }
        return {host_platform::ReadStatus::ok, static_cast<std::uint8_t>(bytes_[next_++])};
    }
    void purge_input() override {}
    void cancel() override {}

  private:
    std::string_view bytes_;
    std::size_t next_ = 0;
};

constexpr const char* kFormats[] = {
    "%d,%d,%d,%d,%d",                         // glider clock and status
    " %u,%u,%lf,%lf,%lf,%u,%u,%d,%d,%d,%lf",  // glider sample and download rows
    "$CMD,%d,%u,%u,%d*%x",                    // ETI state and result
    "$CMD,%d,%u*%x",                          // ETI measurement accepted
};

}  // namespace

int serial_reply_input(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const std::string_view terminator : {"\r", "\r\n"}) {
        RecordedLine line(bytes);
        for (int reply = 0; reply < 8; ++reply) {
            const auto r = host_platform::read_until(line, terminator);
            if (r.status != host_platform::ReadStatus::ok &&
                r.status != host_platform::ReadStatus::too_long) {
                break;
            }
            const std::string_view text = host_platform::reply_body(r, terminator);
            for (const char* format : kFormats) {
                (void)host_platform::scan_reply(text, format);
            }
            (void)host_platform::eti_reply_crc(text);
        }
    }
    return 0;
}

}  // namespace kelpira::fuzz
