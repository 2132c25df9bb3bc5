// inotify watch on the virtual-sensor folder, read by a thread that a wake descriptor stops.
#include "link/folder_watcher.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "common/private_folder.hpp"
#include "link/device_socket_names.hpp"

namespace kelpira::link {

namespace {

constexpr std::uint32_t kWatchedEvents =
    IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR;

bool is_socket(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

}  // namespace

FolderDeviceWatcher::FolderDeviceWatcher(std::string folder) : folder_(std::move(folder)) {}

FolderDeviceWatcher::~FolderDeviceWatcher() {
    stop();
}

bool FolderDeviceWatcher::start(DeviceEventHandler handler) {
    std::lock_guard lk(mutex_);
    if (thread_.joinable()) {
        return false;
    }
    std::string why;
    const common::UniqueFd folder =
        common::open_private_folder(folder_, folder_ == default_device_folder(), why);
    if (!folder.valid()) {
        problem_ = unlisted_devices_text(folder_, why);
        return false;
    }
    // The folder checked is the one watched: reached through its descriptor, not its name.
    const std::string watched = "/proc/self/fd/" + std::to_string(folder.get());
    const auto unwatched = [this] {
        problem_ =
            "Virtual sensors arriving in " + folder_ + " are not noticed: " + std::strerror(errno);
    };
    const int in = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (in < 0) {
        unwatched();
        return false;
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0 || ::inotify_add_watch(in, watched.c_str(), kWatchedEvents) < 0) {
        unwatched();
        ::close(in);
        if (wake >= 0) {
            ::close(wake);
        }
        return false;
    }
    problem_.clear();
    inotify_fd_ = in;
    wake_fd_ = wake;
    // Not a common::Worker: the thread sleeps in poll() on inotify, which a write to the wake
    // eventfd ends and the Worker's semaphore cannot.
    thread_ = std::thread([this, in, wake, h = std::move(handler)] { run(in, wake, h); });
    return true;
}

std::string FolderDeviceWatcher::problem() const {
    std::lock_guard lk(mutex_);
    return problem_;
}

void FolderDeviceWatcher::stop() {
    std::lock_guard lk(mutex_);
    if (!thread_.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(wake_fd_, &one, sizeof one);
    thread_.join();
    ::close(inotify_fd_);
    ::close(wake_fd_);
    inotify_fd_ = -1;
    wake_fd_ = -1;
}

void FolderDeviceWatcher::run(int inotify_fd, int wake_fd,
                              const DeviceEventHandler& handler) const {
    alignas(inotify_event) std::array<char, 16 * 1024> buf{};
    for (;;) {
        pollfd fds[2] = {{inotify_fd, POLLIN, 0}, {wake_fd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return;
        }
        const ssize_t n = ::read(inotify_fd, buf.data(), buf.size());
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            return;
        }
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            inotify_event ev{};
            std::memcpy(&ev, buf.data() + at, sizeof ev);
            const char* name_at = buf.data() + at + sizeof(inotify_event);
            at += static_cast<ssize_t>(sizeof(inotify_event) + ev.len);
            if (ev.len == 0 || at > n) {
                continue;
            }
            const std::string name(name_at, strnlen(name_at, ev.len));
            if (!hardware_id_of_socket_name(name)) {
                continue;
            }
            const std::string path = device_socket_path(folder_, name);
            if ((ev.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
                handler({DeviceChange::removal, path});
            } else if (is_socket(path)) {
                handler({DeviceChange::arrival, path});
            }
        }
    }
}

}  // namespace kelpira::link
