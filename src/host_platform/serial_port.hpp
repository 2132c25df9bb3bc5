// The serial-port port: what the platform simulator asks of a serial line, and the reply
// reader built on it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelpira::host_platform {

// The line codes the form's lists carry: parity 0 none, 1 odd, 2 even, 3 mark, 4 space; stop
// bits 0 for one, 2 for two.
enum class Parity : std::uint8_t { none = 0, odd = 1, even = 2, mark = 3, space = 4 };
enum class StopBits : std::uint8_t { one = 0, two = 2 };

struct LineSettings {
    std::uint32_t baud_rate = 9600;
    std::uint8_t data_bits = 8;  // 5 to 8
    Parity parity = Parity::none;
    StopBits stop_bits = StopBits::one;
};

// Every read and write gives up after this long.
inline constexpr std::chrono::milliseconds kSerialTimeout{500};
// A sentence is formatted into this many bytes at most.
inline constexpr std::size_t kMaxSentence = 256;
// A reply longer than this without its terminator is refused.
inline constexpr std::size_t kMaxReply = 99;

// How a read ended. The numbers are those the status line prints in "RS232 read error (%d)".
enum class ReadStatus : int { ok = 0, timed_out = 1, too_long = 2, cancelled = 3, failed = 4 };

struct ByteRead {
    ReadStatus status = ReadStatus::failed;
    std::uint8_t byte = 0;  // valid when status is ok
};

// An open serial line. read_byte() and write() are called by one thread at a time (the
// simulator's port lock sees to that); cancel() may be called from any thread at any time.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Writes `text` in one write, giving up after kSerialTimeout. True when all of it went out.
    virtual bool write(std::string_view text) = 0;
    // Waits at most `timeout` for one byte.
    virtual ByteRead read_byte(std::chrono::milliseconds timeout) = 0;
    // Drops every byte received and not yet read.
    virtual void purge_input() = 0;
    // Ends a read blocked now at once with ReadStatus::cancelled, and every later read too:
    // a cancelled port is only good for closing.
    virtual void cancel() = 0;
};

struct Reply {
    ReadStatus status = ReadStatus::failed;
    std::string text;  // every byte received, the terminator included when status is ok
};

// Reads byte by byte, each byte waited for at most kSerialTimeout, until `terminator` has come
// as consecutive bytes. A byte that breaks a partial match restarts matching with the next
// byte; it is not itself compared with the terminator's first byte. Fails when no byte comes
// in time, or (too_long) when a byte arrives with kMaxReply bytes already stored.
Reply read_until(SerialPort& port, std::string_view terminator);

// The reply without its terminator, as status messages quote it.
std::string_view reply_body(const Reply& reply, std::string_view terminator);

struct OpenedPort {
    std::unique_ptr<SerialPort> port;  // nullptr when the port could not be opened
    std::string error;                 // why, for standard error and the tests
};

// Opens `path` (a device path such as /dev/ttyUSB0, or a virtual sensor's link) for reading
// and writing. A port another program has locked (flock) is refused, and so is one it opened
// exclusively (TIOCEXCL) unless we run as root; one opened by a program that does neither
// cannot be told apart. While ours, the port is locked and exclusive, so other programs cannot
// open it (root's can). A path in the serial link folder is opened only as
// serial_line_to_open() allows; a pseudo-terminal of another user is refused. Applies the line
// settings; reads and writes time out after kSerialTimeout.
OpenedPort open_serial_port(const std::string& path, const LineSettings& line);

// How the simulator opens its port; tests open pseudo-terminals or fakes through it.
using PortOpener = std::function<OpenedPort(const std::string& path, const LineSettings& line)>;

// The serial ports of this machine (device paths, in the order the system lists them),
// followed by the virtual sensors' serial links in serial_link_folder(), by name. When that
// folder's links are not listed, `unlisted` (when given) says why; otherwise it is emptied.
std::vector<std::string> list_serial_ports(std::string* unlisted = nullptr);

}  // namespace kelpira::host_platform
