// The device server's poll loop: accepting the one client, answering, leaving and returning.
#include "virtual_sensor/device_server.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "link/device_socket_names.hpp"

namespace kelpira::virtual_sensor {

namespace {

bool make_address(const std::string& path, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when a socket file exists at `path` and nobody listens on it any more.
bool is_stale_socket(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) {
        return false;
    }
    sockaddr_un addr{};
    if (!make_address(path, addr)) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    const bool refused =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 &&
        errno == ECONNREFUSED;
    ::close(fd);
    return refused;
}

std::uint64_t inode_of(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_ino) : 0;
}

bool has_hung_up(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int millis_until(std::chrono::steady_clock::time_point t) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(t - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 60'000));
}

}  // namespace

DeviceServer::DeviceServer(std::string folder)
    : folder_(std::move(folder)), wake_fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

DeviceServer::~DeviceServer() {
    {
        std::lock_guard lk(mutex_);
        for (auto& [id, s] : devices_) {
            close_device(s);
        }
        devices_.clear();
    }
    if (wake_fd_ >= 0) {
        ::close(wake_fd_);
    }
}

void DeviceServer::wake() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(wake_fd_, &one, sizeof one);
}

void DeviceServer::stop() {
    stop_.store(true);
    wake();
}

std::optional<DeviceId> DeviceServer::attach(ServedDevice device, std::string& error) {
    auto id = link::normalise_hardware_id(device.hardware_id);
    if (!id) {
        error = "not a hardware id of the form VID_xxxx&PID_xxxx: " + device.hardware_id;
        return std::nullopt;
    }
    device.hardware_id = *id;
    if (device.label.empty() || device.label[0] == '.' ||
        device.label.find('/') != std::string::npos) {
        error = "not a usable device label: " + device.label;
        return std::nullopt;
    }
    if (wake_fd_ < 0) {
        error = "cannot create the server's wake-up descriptor";
        return std::nullopt;
    }
    Served s;
    s.path = link::device_socket_path(folder_,
                                      link::device_socket_name(device.label, device.hardware_id));
    s.device = std::move(device);
    std::lock_guard lk(mutex_);
    if (!listen_on(s, error)) {
        return std::nullopt;
    }
    const DeviceId new_id = next_id_++;
    devices_.emplace(new_id, std::move(s));
    wake();
    return new_id;
}

// Binds a hidden name first and renames it into place once listening, so that whoever sees the
// name appear can connect at once.
bool DeviceServer::listen_on(Served& s, std::string& error) {
    const auto slash = s.path.rfind('/');
    const std::string hidden = s.path.substr(0, slash + 1) + "." + s.path.substr(slash + 1);
    sockaddr_un addr{};
    sockaddr_un hidden_addr{};
    if (!make_address(s.path, addr) || !make_address(hidden, hidden_addr)) {
        error = "socket path too long: " + hidden;
        return false;
    }
    struct stat st {};
    if (::lstat(s.path.c_str(), &st) == 0) {
        if (!is_stale_socket(s.path)) {
            error = s.path + " is in use";
            return false;
        }
        ::unlink(s.path.c_str());
    }
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = std::string("cannot create a socket: ") + std::strerror(errno);
        return false;
    }
    ::unlink(hidden.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&hidden_addr), sizeof hidden_addr) != 0 ||
        ::listen(fd, 4) != 0 || ::rename(hidden.c_str(), s.path.c_str()) != 0) {
        error = "cannot serve " + s.path + ": " + std::strerror(errno);
        ::close(fd);
        ::unlink(hidden.c_str());
        return false;
    }
    s.listen_fd = fd;
    s.inode = inode_of(s.path);
    return true;
}

void DeviceServer::close_device(Served& s) {
    if (s.client_fd >= 0) {
        ::close(s.client_fd);
        s.client_fd = -1;
    }
    s.pending.clear();
    if (s.listen_fd >= 0) {
        if (inode_of(s.path) == s.inode) {
            ::unlink(s.path.c_str());
        }
        ::close(s.listen_fd);
        s.listen_fd = -1;
    }
}

void DeviceServer::detach(DeviceId id) {
    std::lock_guard lk(mutex_);
    if (auto it = devices_.find(id); it != devices_.end()) {
        close_device(it->second);
        devices_.erase(it);
        wake();
    }
}

void DeviceServer::restart_after_answer(DeviceId id, std::chrono::milliseconds absence) {
    std::lock_guard lk(mutex_);
    if (auto it = devices_.find(id); it != devices_.end()) {
        it->second.after = After::restart;
        it->second.absence = absence;
        wake();
    }
}

void DeviceServer::detach_after_answer(DeviceId id) {
    std::lock_guard lk(mutex_);
    if (auto it = devices_.find(id); it != devices_.end()) {
        it->second.after = After::leave;
        wake();
    }
}

std::optional<std::string> DeviceServer::path_of(DeviceId id) const {
    std::lock_guard lk(mutex_);
    if (auto it = devices_.find(id); it != devices_.end()) {
        return it->second.path;
    }
    return std::nullopt;
}

void DeviceServer::run() {
    while (!stop_.load()) {
        serve_once();
    }
    std::lock_guard lk(mutex_);
    for (auto& [id, s] : devices_) {
        close_device(s);
    }
    devices_.clear();
}

void DeviceServer::serve_once() {
    std::vector<pollfd> fds{{wake_fd_, POLLIN, 0}};
    int timeout = -1;
    {
        std::lock_guard lk(mutex_);
        for (const auto& [id, s] : devices_) {
            if (s.listen_fd >= 0) {
                fds.push_back({s.listen_fd, POLLIN, 0});
            }
            if (s.client_fd >= 0) {
                fds.push_back({s.client_fd, POLLIN, 0});
            }
            std::optional<Clock::time_point> next;
            if (!s.pending.empty()) {
                next = s.pending.front().due;
            } else if (s.after != After::stay) {
                next = Clock::now();
            }
            if (s.returns_at) {
                next = next ? std::min(*next, *s.returns_at) : *s.returns_at;
            }
            if (next) {
                const int ms = millis_until(*next);
                timeout = timeout < 0 ? ms : std::min(timeout, ms);
            }
        }
    }
    if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
        return;
    }
    if (stop_.load()) {
        return;
    }
    std::uint64_t count = 0;
    [[maybe_unused]] const auto drained = ::read(wake_fd_, &count, sizeof count);

    // Accept and read under the lock; answer without it, since the handler may call back.
    struct Request {
        DeviceId id;
        std::uint64_t connection;
        link::Report bytes;
        link::InProcessHandler handler;
    };
    std::vector<Request> requests;
    {
        std::lock_guard lk(mutex_);
        for (auto& [id, s] : devices_) {
            for (int fd; s.listen_fd >= 0 && (fd = ::accept4(s.listen_fd, nullptr, nullptr,
                                                             SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;) {
                if (s.client_fd >= 0 && has_hung_up(s.client_fd)) {
                    // The client closed before this one connected; the loop has just not
                    // read its goodbye yet.
                    ::close(s.client_fd);
                    s.client_fd = -1;
                }
                if (s.client_fd >= 0) {
                    ::close(fd);  // the device is open to another client already
                    continue;
                }
                const std::uint8_t greeting[link::kGreetingSize] = {
                    link::kGreetingMagic, s.device.declares_report_id_1
                                              ? link::kGreetingDeclaresReport1
                                              : std::uint8_t{0}};
                if (::send(fd, greeting, sizeof greeting, MSG_NOSIGNAL | MSG_DONTWAIT) !=
                    static_cast<ssize_t>(sizeof greeting)) {
                    ::close(fd);
                    continue;
                }
                s.client_fd = fd;
                ++s.connection;
                s.pending.clear();
            }
            if (s.client_fd < 0) {
                continue;
            }
            std::array<std::uint8_t, link::kReportSize + 1> buf{};
            const ssize_t n = ::recv(s.client_fd, buf.data(), buf.size(), MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
                ::close(s.client_fd);  // the client closed the device
                s.client_fd = -1;
                s.pending.clear();
            } else if (n == static_cast<ssize_t>(link::kReportSize)) {
                Request r{id, s.connection, {}, s.device.handler};
                std::copy_n(buf.begin(), link::kReportSize, r.bytes.begin());
                requests.push_back(std::move(r));
            }
        }
    }
    for (auto& r : requests) {
        auto answers = r.handler ? r.handler(r.bytes) : std::vector<link::InProcessReport>{};
        const auto now = Clock::now();
        std::lock_guard lk(mutex_);
        auto it = devices_.find(r.id);
        if (it == devices_.end() || it->second.connection != r.connection ||
            it->second.client_fd < 0) {
            continue;
        }
        for (const auto& a : answers) {
            it->second.pending.push_back({a.bytes, now + a.delay});
        }
    }

    std::lock_guard lk(mutex_);
    const auto now = Clock::now();
    for (auto it = devices_.begin(); it != devices_.end();) {
        Served& s = it->second;
        while (!s.pending.empty() && s.pending.front().due <= now) {
            if (s.client_fd >= 0) {
                // A client that stopped reading loses the answer, as a full HID queue drops it.
                ::send(s.client_fd, s.pending.front().bytes.data(), link::kReportSize,
                       MSG_NOSIGNAL | MSG_DONTWAIT);
            }
            s.pending.pop_front();
        }
        if (s.pending.empty() && s.after != After::stay) {
            close_device(s);
            if (s.after == After::leave) {
                it = devices_.erase(it);
                continue;
            }
            s.returns_at = now + s.absence;
            s.after = After::stay;
        }
        if (s.returns_at && *s.returns_at <= now) {
            s.returns_at.reset();
            std::string error;
            if (!listen_on(s, error)) {
                it = devices_.erase(it);  // someone took the path meanwhile: the device is gone
                continue;
            }
        }
        ++it;
    }
}

void remove_stale_sockets(const std::string& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string path = link::device_socket_path(folder, name);
        if (link::hardware_id_of_socket_name(name) && is_stale_socket(path)) {
            ::unlink(path.c_str());
        }
    }
}

}  // namespace kelpira::virtual_sensor
