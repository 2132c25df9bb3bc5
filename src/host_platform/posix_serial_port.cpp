// The serial port on POSIX systems: libserialport lists the ports and sets up the ones it
// knows; reads wait in poll() on the port and on a wake pipe, so that another thread can end
// a blocked read at once.
#include <fcntl.h>
#include <libserialport.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "host_platform/serial_port.hpp"
#include "host_platform/serial_port_names.hpp"
#include "host_platform/termios_line.hpp"

namespace kelpira::host_platform {

namespace {

using Clock = std::chrono::steady_clock;

int remaining_ms(Clock::time_point until) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

class PosixSerialPort final : public SerialPort {
  public:
    PosixSerialPort(int fd, sp_port* sp, int wake_read, int wake_write)
        : fd_(fd), sp_(sp), wake_read_(wake_read), wake_write_(wake_write) {}

    ~PosixSerialPort() override {
        if (sp_ != nullptr) {
            sp_close(sp_);
            sp_free_port(sp_);
        } else {
            ::close(fd_);
        }
        ::close(wake_read_);
        ::close(wake_write_);
    }

    bool write(std::string_view text) override {
        const auto until = Clock::now() + kSerialTimeout;
        while (!text.empty()) {
            const ssize_t n = ::write(fd_, text.data(), text.size());
            if (n > 0) {
                text.remove_prefix(static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            }
            pollfd p[2] = {{fd_, POLLOUT, 0}, {wake_read_, POLLIN, 0}};
            if (::poll(p, 2, remaining_ms(until)) <= 0 || p[1].revents != 0) {
                return false;
            }
        }
        return true;
    }

    ByteRead read_byte(std::chrono::milliseconds timeout) override {
        const auto until = Clock::now() + timeout;
        for (;;) {
            if (cancelled_.load(std::memory_order_acquire)) {
                return {ReadStatus::cancelled, 0};
            }
            pollfd p[2] = {{fd_, POLLIN, 0}, {wake_read_, POLLIN, 0}};
            const int ready = ::poll(p, 2, remaining_ms(until));
            if (ready < 0 && errno != EINTR) {
                return {ReadStatus::failed, 0};
            }
            if (p[1].revents != 0) {
                return {ReadStatus::cancelled, 0};
            }
            if ((p[0].revents & POLLIN) != 0) {
                std::uint8_t byte = 0;
                const ssize_t n = ::read(fd_, &byte, 1);
                if (n == 1) {
                    return {ReadStatus::ok, byte};
                }
                if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                    continue;
                }
            }
            if ((p[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0) {
                // The line is gone (a pseudo-terminal whose other end closed): it stays
                // silent, so wait out the time-out as for silence instead of spinning.
                pollfd wake{wake_read_, POLLIN, 0};
                ::poll(&wake, 1, remaining_ms(until));
                return {wake.revents != 0 ? ReadStatus::cancelled : ReadStatus::failed, 0};
            }
            if (ready == 0 || remaining_ms(until) == 0) {
                return {ReadStatus::timed_out, 0};
            }
        }
    }

    void purge_input() override { ::tcflush(fd_, TCIFLUSH); }

    void cancel() override {
        cancelled_.store(true, std::memory_order_release);
        const char one = 1;
        // The pipe is never drained: once cancelled, every poll sees it ready.
        [[maybe_unused]] const ssize_t n = ::write(wake_write_, &one, 1);
    }

  private:
    int fd_;
    sp_port* sp_;
    int wake_read_;
    int wake_write_;
    std::atomic<bool> cancelled_{false};
};

// Line settings through termios, for lines libserialport does not know (pseudo-terminals).
bool apply_termios(int fd, const LineSettings& line) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        return false;
    }
    set_termios_line(t, line);
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

bool apply_libserialport(sp_port* sp, const LineSettings& line) {
    static constexpr sp_parity kParity[] = {SP_PARITY_NONE, SP_PARITY_ODD, SP_PARITY_EVEN,
                                            SP_PARITY_MARK, SP_PARITY_SPACE};
    return sp_set_baudrate(sp, static_cast<int>(line.baud_rate)) == SP_OK &&
           sp_set_bits(sp, line.data_bits) == SP_OK &&
           sp_set_parity(sp, kParity[static_cast<int>(line.parity)]) == SP_OK &&
           sp_set_stopbits(sp, line.stop_bits == StopBits::two ? 2 : 1) == SP_OK &&
           sp_set_flowcontrol(sp, SP_FLOWCONTROL_NONE) == SP_OK;
}

}  // namespace

OpenedPort open_serial_port(const std::string& path, const LineSettings& line) {
    OpenedPort out;
    std::string line_path;
    if (auto why = serial_line_to_open(path, line_path); !why.empty()) {
        out.error = path + ": " + why;
        return out;
    }
    sp_port* sp = nullptr;
    int fd = -1;
    if (sp_get_port_by_name(line_path.c_str(), &sp) == SP_OK &&
        sp_open(sp, SP_MODE_READ_WRITE) == SP_OK && sp_get_port_handle(sp, &fd) == SP_OK) {
        // libserialport knows this port.
    } else {
        if (sp != nullptr) {
            sp_free_port(sp);
            sp = nullptr;
        }
        fd = ::open(line_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            out.error = path + ": " + std::strerror(errno);
            return out;
        }
    }
    auto fail = [&](const std::string& why) {
        if (sp != nullptr) {
            sp_close(sp);
            sp_free_port(sp);
        } else {
            ::close(fd);
        }
        out.error = path + ": " + why;
        return std::move(out);
    };
    if (::isatty(fd) == 0) {
        return fail("not a serial line");
    }
    // Whoever answers on the terminal owns it: it is checked on the line opened, not its name.
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return fail(std::strerror(errno));
    }
    if (auto why = terminal_owner_problem(st); !why.empty()) {
        return fail(why);
    }
    // Another program holding the line with a lock (as terminal programs do) refuses us, and
    // once ours no other program can open it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return fail("in use by another program");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    if (::ioctl(fd, TIOCEXCL) != 0) {
        return fail(std::string("cannot open exclusively: ") + std::strerror(errno));
    }
    if (!(sp != nullptr ? apply_libserialport(sp, line) : apply_termios(fd, line))) {
        return fail("cannot apply the line settings");
    }
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        return fail(std::strerror(errno));
    }
    out.port = std::make_unique<PosixSerialPort>(fd, sp, wake[0], wake[1]);
    return out;
}

std::vector<std::string> list_serial_ports(std::string* unlisted) {
    std::vector<std::string> names;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) == SP_OK) {
        for (int i = 0; ports[i] != nullptr; ++i) {
            names.emplace_back(sp_get_port_name(ports[i]));
        }
        sp_free_port_list(ports);
    }
    auto links = serial_links(serial_link_folder());
    for (auto& link : links.paths) {
        names.push_back(std::move(link));
    }
    if (unlisted != nullptr) {
        *unlisted = std::move(links.problem);
    }
    return names;
}

}  // namespace kelpira::host_platform
