// Local-socket HID devices: connection with greeting, cancellable blocking reads.
#include "link/socket_hid.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "common/private_folder.hpp"
#include "link/device_socket_names.hpp"

namespace kelpira::link {

namespace {

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

int poll_retrying(pollfd* fds, nfds_t n, int timeout_ms) {
    for (;;) {
        const int r = ::poll(fds, n, timeout_ms);
        if (r >= 0 || errno != EINTR) {
            return r;
        }
    }
}

// Like FdHidDevice, but sends with MSG_NOSIGNAL: a write to a socket whose server has gone
// must fail, not raise SIGPIPE in the program.
class SocketHidDevice : public HidDevice {
  public:
    SocketHidDevice(int sock, bool report_1)
        : sock_(sock), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), report_1_(report_1) {}

    bool valid() const { return wake_.get() >= 0; }

    bool write(const Report& report) override {
        cancelled_.store(false);
        drain_wake();
        for (;;) {
            const ssize_t n = ::send(sock_.get(), report.data(), report.size(), MSG_NOSIGNAL);
            if (n == static_cast<ssize_t>(report.size())) {
                return true;
            }
            if (n >= 0) {
                return false;
            }
            if (errno != EAGAIN && errno != EINTR) {
                return lose();
            }
            if (errno == EAGAIN && !wait_for(POLLOUT)) {
                return false;
            }
        }
    }

    bool read(Report& report) override {
        for (;;) {
            if (!wait_for(POLLIN)) {
                return false;
            }
            std::array<std::uint8_t, kReportSize + 1> buf{};
            const ssize_t n = ::recv(sock_.get(), buf.data(), buf.size(), 0);
            if (n == 0) {
                return lose();  // the device has gone
            }
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR) {
                    continue;  // flush_input took the packet first
                }
                return lose();
            }
            if (n == static_cast<ssize_t>(kReportSize)) {
                std::copy_n(buf.begin(), kReportSize, report.begin());
                return true;
            }
            // A packet of another size is not a report of this device; wait for the next one.
        }
    }

    void cancel() override {
        cancelled_.store(true);
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(wake_.get(), &one, sizeof one);
    }

    void flush_input() override {
        std::array<std::uint8_t, kReportSize + 1> buf{};
        while (::recv(sock_.get(), buf.data(), buf.size(), MSG_DONTWAIT) > 0) {
        }
    }

    std::optional<bool> declares_input_report_1() override { return report_1_; }

    bool gone() const override { return gone_.load(); }

  private:
    bool lose() {
        gone_.store(true);
        return false;
    }

    // Waits until the socket is ready for `events`; false when cancelled or the socket failed.
    bool wait_for(short events) {
        for (;;) {
            if (cancelled_.load()) {
                return false;
            }
            pollfd fds[2] = {{sock_.get(), events, 0}, {wake_.get(), POLLIN, 0}};
            if (poll_retrying(fds, 2, -1) < 0) {
                return lose();
            }
            if ((fds[0].revents & events) != 0) {
                return true;
            }
            if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                return lose();
            }
            // Woken: the loop looks at the cancel flag again.
        }
    }

    void drain_wake() {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto n = ::read(wake_.get(), &count, sizeof count);
    }

    Fd sock_;
    Fd wake_;
    bool report_1_;
    std::atomic<bool> cancelled_{false};  // set by cancel(), cleared by the next write
    std::atomic<bool> gone_{false};       // a read or write found the server gone
};

}  // namespace

SocketHidBackend::SocketHidBackend(std::string folder, std::chrono::milliseconds greeting_timeout)
    : folder_(std::move(folder)), greeting_timeout_(greeting_timeout) {}

common::UniqueFd SocketHidBackend::open_folder() {
    std::string problem;
    common::UniqueFd fd =
        common::open_private_folder(folder_, folder_ == default_device_folder(), problem);
    std::lock_guard lk(mutex_);
    unlisted_ = problem.empty() ? std::string() : unlisted_devices_text(folder_, problem);
    return fd;
}

std::vector<HidDeviceInfo> SocketHidBackend::enumerate() {
    std::vector<HidDeviceInfo> out;
    {
        std::lock_guard lk(mutex_);
        refused_.clear();
    }
    const common::UniqueFd folder = open_folder();
    // The listing reads the folder through its own descriptor, never by name again.
    DIR* listing = folder.valid() ? ::fdopendir(::dup(folder.get())) : nullptr;
    if (listing == nullptr) {
        return out;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        auto id = hardware_id_of_socket_name(name);
        struct stat st {};
        if (!id || ::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISSOCK(st.st_mode)) {
            continue;
        }
        out.push_back({device_socket_path(folder_, name), *id});
    }
    ::closedir(listing);
    std::sort(out.begin(), out.end(),
              [](const HidDeviceInfo& a, const HidDeviceInfo& b) { return a.path < b.path; });
    return out;
}

std::string SocketHidBackend::unlisted_reason() const {
    std::lock_guard lk(mutex_);
    if (unlisted_.empty() || refused_.empty()) {
        return unlisted_ + refused_;
    }
    return unlisted_ + "\n" + refused_;
}

std::unique_ptr<HidDevice> SocketHidBackend::open(const std::string& path) {
    // Only a socket of this folder, reached through the folder's descriptor.
    const std::string name = std::filesystem::path(path).filename().string();
    if (device_socket_path(folder_, name) != path || !hardware_id_of_socket_name(name)) {
        return nullptr;
    }
    const common::UniqueFd folder = open_folder();
    if (!folder.valid()) {
        return nullptr;
    }
    const std::string through = "/proc/self/fd/" + std::to_string(folder.get()) + "/" + name;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (through.size() >= sizeof addr.sun_path) {
        return nullptr;
    }
    std::memcpy(addr.sun_path, through.c_str(), through.size() + 1);

    const int raw = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (raw < 0) {
        return nullptr;
    }
    Fd sock(raw);
    // Non-blocking: a server that is not accepting any more must not hold the caller.
    if (::connect(raw, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        return nullptr;
    }
    // The kernel says who serves the socket: only this user (or root) may play a sensor.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(raw, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        (peer.uid != ::geteuid() && peer.uid != 0)) {
        std::lock_guard lk(mutex_);
        refused_ = "Virtual sensor " + path + " is not used: its server runs as uid " +
                   std::to_string(peer.uid) + ", not as you";
        return nullptr;
    }
    pollfd pfd{raw, POLLIN, 0};
    if (poll_retrying(&pfd, 1, static_cast<int>(greeting_timeout_.count())) <= 0) {
        return nullptr;
    }
    std::array<std::uint8_t, kGreetingSize + 1> greeting{};
    const ssize_t n = ::recv(raw, greeting.data(), greeting.size(), 0);
    if (n != static_cast<ssize_t>(kGreetingSize) || greeting[0] != kGreetingMagic) {
        return nullptr;  // turned away: another client has the device
    }
    const bool report_1 = (greeting[1] & kGreetingDeclaresReport1) != 0;
    auto device = std::make_unique<SocketHidDevice>(sock.release(), report_1);
    if (!device->valid()) {
        return nullptr;
    }
    return device;
}

}  // namespace kelpira::link
