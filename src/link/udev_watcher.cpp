// The libudev monitor of hidraw devices: poll() on the monitor and an eventfd, so stop() ends
// the wait at once.
#include "link/udev_watcher.hpp"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace kelpira::link {

std::optional<DeviceEvent> hidraw_event(const char* action, const char* devnode) {
    if (action == nullptr || devnode == nullptr || *devnode == '\0') {
        return std::nullopt;
    }
    if (std::strcmp(action, "add") == 0) {
        return DeviceEvent{DeviceChange::arrival, devnode};
    }
    if (std::strcmp(action, "remove") == 0) {
        return DeviceEvent{DeviceChange::removal, devnode};
    }
    return std::nullopt;
}

namespace {

void run_monitor(udev_monitor* monitor, int wake_fd, const DeviceEventHandler& handler) {
    pollfd fds[2] = {{udev_monitor_get_fd(monitor), POLLIN, 0}, {wake_fd, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;  // stop()
        }
        if (fds[0].revents & POLLIN) {
            udev_device* device = udev_monitor_receive_device(monitor);
            if (device == nullptr) {
                continue;
            }
            const auto event =
                hidraw_event(udev_device_get_action(device), udev_device_get_devnode(device));
            udev_device_unref(device);
            if (event) {
                handler(*event);
            }
        } else if (fds[0].revents != 0) {
            return;  // the monitor's socket failed
        }
    }
}

}  // namespace

UdevHidrawWatcher::~UdevHidrawWatcher() {
    stop();
}

bool UdevHidrawWatcher::start(DeviceEventHandler handler) {
    std::lock_guard lk(mutex_);
    if (thread_.joinable() || !handler) {
        return false;
    }
    udev_ = udev_new();
    monitor_ = udev_ != nullptr ? udev_monitor_new_from_netlink(udev_, "udev") : nullptr;
    wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    const bool ready =
        monitor_ != nullptr && wake_fd_ >= 0 &&
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) >= 0 &&
        udev_monitor_enable_receiving(monitor_) >= 0;
    if (!ready) {
        if (monitor_ != nullptr) {
            udev_monitor_unref(monitor_);
        }
        if (udev_ != nullptr) {
            udev_unref(udev_);
        }
        if (wake_fd_ >= 0) {
            ::close(wake_fd_);
        }
        monitor_ = nullptr;
        udev_ = nullptr;
        wake_fd_ = -1;
        problem_ = "USB sensors arriving or leaving are not noticed: no udev monitor";
        return false;
    }
    problem_.clear();
    // Not a common::Worker: the thread sleeps in poll() on the monitor, which a write to the
    // wake eventfd ends and the Worker's semaphore cannot.
    thread_ = std::thread(run_monitor, monitor_, wake_fd_, std::move(handler));
    return true;
}

std::string UdevHidrawWatcher::problem() const {
    std::lock_guard lk(mutex_);
    return problem_;
}

void UdevHidrawWatcher::stop() {
    std::lock_guard lk(mutex_);
    if (!thread_.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    while (::write(wake_fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
    udev_monitor_unref(monitor_);
    udev_unref(udev_);
    ::close(wake_fd_);
    monitor_ = nullptr;
    udev_ = nullptr;
    wake_fd_ = -1;
}

}  // namespace kelpira::link
