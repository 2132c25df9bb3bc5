// The serial side's terminal, its link and the thread that answers the platform.
#include "virtual_sensor/serial_side.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "virtual_sensor/eti_protocol.hpp"
#include "virtual_sensor/glider_protocol.hpp"
#include "virtual_sensor/serial_link_folder.hpp"

namespace kelpira::virtual_sensor {

namespace {

namespace fs = std::filesystem;

// What a long reply puts before its terminator: more than the 99 bytes a platform keeps.
constexpr std::size_t kLongReplyFill = 100;

std::string system_error(const std::string& what) {
    return what + ": " + std::strerror(errno);
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
            unsigned long sent = 0;
            std::from_chars(reply.data() + star + 1, reply.data() + star + 5, sent, 16);
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

// Shared by the side and its thread; the thread alone works the terminal and the protocol.
struct SerialSide::Channel {
    int master = -1;
    // The sensor's own hold on the platform's end: the line never hangs up between platforms,
    // and through it the sensor drops unread replies and lifts an exclusive hold.
    int line_end = -1;
    int watch = -1;      // inotify: the platform's opens and closes of its end
    int name_hold = -1;  // holds the link's name while this side runs
    std::array<int, 2> wake{-1, -1};
    SerialSideOptions options;
    unsigned spoiled = 0;  // replies that met the fault so far
    EtiMachine eti;
    std::string line;
    bool overlong = false;  // the current line passed kSerialLineCapacity: drop it
    std::string outbox;     // replies not yet taken by the terminal
    int openers = 0;        // platforms holding the line now

    mutable std::mutex mutex;
    mutable std::condition_variable followed;
    int holders = 0;  // openers as last published, guarded by mutex

    ~Channel() {
        for (int fd : {master, line_end, watch, wake[0], wake[1], name_hold}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }

    // Opens the terminal and publishes it as `link`; empty on success, otherwise why not.
    std::string open(const std::string& link, std::string& terminal) {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        std::array<char, 128> name{};
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
            ::ptsname_r(master, name.data(), name.size()) != 0) {
            return system_error("cannot open a pseudo-terminal");
        }
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        line_end = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (line_end < 0) {
            return system_error(std::string("cannot open ") + name.data());
        }
        // A raw line until the platform sets its own: no echo, CR kept as CR.
        termios raw{};
        ::tcgetattr(line_end, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(line_end, TCSANOW, &raw);
        watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (watch < 0 || ::inotify_add_watch(watch, name.data(),
                                             IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
            return system_error(std::string("cannot watch ") + name.data());
        }
        if (::pipe2(wake.data(), O_CLOEXEC) != 0) {
            return system_error("cannot make a pipe");
        }
        // A link made aside and renamed over the name, so that the name never points nowhere.
        const fs::path fresh =
            fs::path(link).parent_path() /
            ("." + fs::path(link).filename().string() + "." + std::to_string(::getpid()));
        std::error_code ec;
        fs::remove(fresh, ec);
        fs::create_symlink(name.data(), fresh, ec);
        if (!ec) {
            fs::rename(fresh, link, ec);
        }
        if (ec) {
            std::error_code ignored;
            fs::remove(fresh, ignored);
            return "cannot publish " + link + ": " + ec.message();
        }
        terminal = name.data();
        return {};
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
            const ssize_t n = ::write(master, outbox.data(), outbox.size());
            if (n <= 0) {
                return;  // full: poll says when it takes more
            }
            outbox.erase(0, static_cast<std::size_t>(n));
        }
    }

    // A platform closed the line: whatever it left unread is dropped, and once no platform
    // holds the line its exclusive hold is lifted. Every close comes before anything a later
    // platform sends, so this runs before its commands are read.
    void follow_platforms() {
        alignas(inotify_event) char events[1024];
        bool closed = false;
        ssize_t n = 0;
        while ((n = ::read(watch, events, sizeof events)) > 0) {
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(events + at);
                if ((e->mask & IN_OPEN) != 0) {
                    ++openers;
                }
                if ((e->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) != 0) {
                    openers = openers > 0 ? openers - 1 : 0;
                    closed = true;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
        if (closed) {
            outbox.clear();
            line.clear();
            overlong = false;
            ::tcflush(line_end, TCIFLUSH);
            if (openers == 0) {
                ::ioctl(line_end, TIOCNXCL);
            }
        }
        {
            std::lock_guard lk(mutex);
            holders = openers;
        }
        followed.notify_all();
    }

    void serve(VirtualSensor& sensor, common::WorkerControl& control) {
        while (!control.stop_requested()) {
            std::array<pollfd, 3> fds{};
            fds[0] = {wake[0], POLLIN, 0};
            fds[1] = {watch, POLLIN, 0};
            fds[2] = {master, static_cast<short>(POLLIN | (outbox.empty() ? 0 : POLLOUT)), 0};
            if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
                return;
            }
            if (fds[0].revents != 0 || control.stop_requested()) {
                return;
            }
            if (fds[1].revents != 0) {
                follow_platforms();
            }
            if ((fds[2].revents & POLLIN) != 0) {
                char buffer[512];
                const ssize_t r = ::read(master, buffer, sizeof buffer);
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
    if (fs::read_symlink(link_path_, ec) == terminal_path_) {
        fs::remove(link_path_, ec);
    }
}

std::string SerialSide::start(const std::string& folder, const std::string& link_name) {
    auto channel = std::make_shared<Channel>();
    channel->options = options_;
    const std::string link = (fs::path(folder) / link_name).string();
    std::string error;
    channel->name_hold = hold_serial_link_name(folder, link_name, error);
    if (channel->name_hold < 0) {
        return error;
    }
    std::string terminal;
    if (auto why = channel->open(link, terminal); !why.empty()) {
        return why;
    }
    terminal_path_ = terminal;
    link_path_ = link;
    channel_ = channel;
    worker_ = std::make_unique<common::Worker>(
        [channel, &sensor = sensor_](common::WorkerControl& control) {
            channel->serve(sensor, control);
        });
    return {};
}

void SerialSide::wait_until_free() const {
    std::unique_lock lk(channel_->mutex);
    channel_->followed.wait(lk, [&] { return channel_->holders == 0; });
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
