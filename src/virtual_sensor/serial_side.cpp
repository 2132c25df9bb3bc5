// The serial side's terminal, its link and the thread that answers the platform.
#include "virtual_sensor/serial_side.hpp"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "virtual_sensor/eti_protocol.hpp"
#include "virtual_sensor/glider_protocol.hpp"

namespace kelpira::virtual_sensor {

namespace {

namespace fs = std::filesystem;

// Until a platform first opens the line, how often the thread looks whether one has.
constexpr int kFirstOpenCheckMs = 100;

// What a long reply puts before its terminator: more than the 99 bytes a platform keeps.
constexpr std::size_t kLongReplyFill = 100;

std::string system_error(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

struct Terminal {
    int master = -1;
    std::string path;  // the platform's end, /dev/pts/N
};

// A pseudo-terminal with a raw line (no echo, CR kept as CR) until the platform sets its own.
std::optional<Terminal> open_terminal(std::string& error) {
    Terminal t;
    t.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    std::array<char, 128> name{};
    if (t.master < 0 || ::grantpt(t.master) != 0 || ::unlockpt(t.master) != 0 ||
        ::ptsname_r(t.master, name.data(), name.size()) != 0) {
        error = system_error("cannot open a pseudo-terminal");
        if (t.master >= 0) {
            ::close(t.master);
        }
        return std::nullopt;
    }
    t.path = name.data();
    ::fcntl(t.master, F_SETFL, ::fcntl(t.master, F_GETFL) | O_NONBLOCK);
    const int line = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (line >= 0) {
        termios raw{};
        ::tcgetattr(line, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(line, TCSANOW, &raw);
        ::close(line);
    }
    return t;
}

// A link made aside and renamed over the name, so that the name never points nowhere.
std::string publish(const std::string& target, const fs::path& link) {
    const fs::path fresh =
        link.parent_path() / ("." + link.filename().string() + "." + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove(fresh, ec);
    fs::create_symlink(target, fresh, ec);
    if (!ec) {
        fs::rename(fresh, link, ec);
    }
    if (ec) {
        std::error_code ignored;
        fs::remove(fresh, ignored);
        return "cannot publish " + link.string() + ": " + ec.message();
    }
    return {};
}

std::string spoil(std::string reply, SerialFault fault) {
    switch (fault) {
        case SerialFault::silence:
            return {};
        case SerialFault::long_reply:
            reply.insert(reply.find_last_not_of("\r\n") + 1, kLongReplyFill, '#');
            return reply;
        case SerialFault::wrong_checksum: {
            const auto star = reply.rfind('*');
            if (star == std::string::npos || star + 5 > reply.size()) {
                return reply;
            }
            const auto sent = std::strtoul(reply.substr(star + 1, 4).c_str(), nullptr, 16);
            char digits[8];
            std::snprintf(digits, sizeof digits, "%04lX", (sent + 1) & 0xFFFF);
            reply.replace(star + 1, 4, digits);
            return reply;
        }
        case SerialFault::none:
            break;
    }
    return reply;
}

}  // namespace

// Shared by the side and its thread. The thread alone touches the terminal and the protocol
// state; the terminal's path is read by others under the lock.
struct SerialSide::Channel {
    Terminal terminal;
    std::array<int, 2> wake{-1, -1};
    std::string link;
    SerialSideOptions options;
    unsigned spoiled = 0;  // replies that met the fault so far
    EtiMachine eti;
    std::string line;
    bool overlong = false;  // the current line passed kSerialLineCapacity: drop it
    std::string outbox;     // replies not yet taken by the terminal

    mutable std::mutex mutex;
    mutable std::condition_variable renewed;
    std::string published;  // the terminal the link names

    ~Channel() {
        for (int fd : {terminal.master, wake[0], wake[1]}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }

    void answer(VirtualSensor& sensor, const std::string& text) {
        std::vector<std::string> replies;
        sensor.edit_state_now([&](SensorState& state, TimePoint now) {
            if (options.protocol == SerialProtocol::eti) {
                if (auto reply = answer_eti_sentence(state, eti, now, text)) {
                    replies.push_back(std::move(*reply));
                }
            } else {
                replies = answer_glider_line(state, now, *options.protocol, text);
            }
        });
        for (auto& r : replies) {
            const bool faulty = options.fault != SerialFault::none &&
                                (!options.fault_replies || spoiled < *options.fault_replies);
            if (faulty) {
                ++spoiled;
                r = spoil(std::move(r), options.fault);
            }
            outbox += r;
        }
    }

    // Commands end in CR (the gliders) or CR LF (ETI); empty lines between them are nothing.
    void take(VirtualSensor& sensor, const char* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const char c = bytes[i];
            if (c == '\r' || c == '\n') {
                if (!overlong && !line.empty()) {
                    answer(sensor, line);
                }
                line.clear();
                overlong = false;
            } else if (line.size() < kSerialLineCapacity) {
                line.push_back(c);
            } else {
                overlong = true;
            }
        }
    }

    void flush() {
        while (!outbox.empty()) {
            const ssize_t n = ::write(terminal.master, outbox.data(), outbox.size());
            if (n <= 0) {
                return;  // full: poll says when it takes more
            }
            outbox.erase(0, static_cast<std::size_t>(n));
        }
    }

    // The platform closed the line: the link moves to a fresh terminal. False when none can
    // be had, and the side stops answering.
    bool renew() {
        std::string error;
        auto fresh = open_terminal(error);
        if (!fresh || !publish(fresh->path, link).empty()) {
            if (fresh) {
                ::close(fresh->master);
            }
            return false;
        }
        ::close(terminal.master);
        terminal = *fresh;
        outbox.clear();
        line.clear();
        overlong = false;
        {
            std::lock_guard lk(mutex);
            published = terminal.path;
        }
        renewed.notify_all();
        return true;
    }

    void serve(VirtualSensor& sensor, common::WorkerControl& control) {
        bool opened = false;  // a platform has had this terminal open
        while (!control.stop_requested()) {
            pollfd probe{terminal.master, POLLIN, 0};
            ::poll(&probe, 1, 0);
            const bool nobody = (probe.revents & POLLHUP) != 0 && (probe.revents & POLLIN) == 0;
            if (nobody && opened) {
                if (!renew()) {
                    return;
                }
                opened = false;
                continue;
            }
            std::array<pollfd, 2> fds{};
            fds[0] = {wake[0], POLLIN, 0};
            fds[1] = {terminal.master, static_cast<short>(POLLIN | (outbox.empty() ? 0 : POLLOUT)),
                      0};
            // Before the first platform comes only the stop is waited for, a while at a time.
            const int n = ::poll(fds.data(), nobody ? 1 : 2, nobody ? kFirstOpenCheckMs : -1);
            if (n < 0 && errno != EINTR) {
                return;
            }
            if (fds[0].revents != 0 || control.stop_requested()) {
                return;
            }
            if (nobody) {
                continue;
            }
            opened = true;
            if ((fds[1].revents & POLLIN) != 0) {
                char buffer[512];
                const ssize_t r = ::read(terminal.master, buffer, sizeof buffer);
                if (r > 0) {
                    take(sensor, buffer, static_cast<std::size_t>(r));
                }
            }
            flush();
        }
    }
};

SerialSide::SerialSide(VirtualSensor& sensor, SerialSideOptions options)
    : sensor_(sensor), options_(std::move(options)) {}

SerialSide::~SerialSide() {
    if (!worker_) {
        return;
    }
    const char stop = 1;
    [[maybe_unused]] const auto n = ::write(channel_->wake[1], &stop, 1);
    worker_->stop();
    std::error_code ec;
    if (fs::read_symlink(link_path_, ec) == terminal_path()) {
        fs::remove(link_path_, ec);
    }
}

std::string SerialSide::start(const std::string& folder, const std::string& link_name) {
    auto channel = std::make_shared<Channel>();
    channel->options = options_;
    channel->link = (fs::path(folder) / link_name).string();
    std::string error;
    auto terminal = open_terminal(error);
    if (!terminal) {
        return error;
    }
    channel->terminal = *terminal;
    if (::pipe2(channel->wake.data(), O_CLOEXEC) != 0) {
        return system_error("cannot make a pipe");
    }
    if (auto why = publish(terminal->path, channel->link); !why.empty()) {
        return why;
    }
    channel->published = terminal->path;
    link_path_ = channel->link;
    channel_ = channel;
    worker_ = std::make_unique<common::Worker>(
        [channel, &sensor = sensor_](common::WorkerControl& control) {
            channel->serve(sensor, control);
        });
    return {};
}

std::string SerialSide::terminal_path() const {
    std::lock_guard lk(channel_->mutex);
    return channel_->published;
}

std::string SerialSide::wait_for_new_terminal(const std::string& old) const {
    std::unique_lock lk(channel_->mutex);
    channel_->renewed.wait(lk, [&] { return channel_->published != old; });
    return channel_->published;
}

std::string serial_link_name(const std::string& sensor_name) {
    std::string name = sensor_name;
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    while (!name.empty() && name.front() == '.') {
        name.erase(0, 1);
    }
    return name.empty() ? "sensor" : name;
}

}  // namespace kelpira::virtual_sensor
