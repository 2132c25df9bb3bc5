// Report I/O on a file descriptor: poll() on the device and an eventfd, so that cancel() from
// any thread ends a blocked read at once.
#include "link/fd_hid_device.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace kelpira::link {

namespace {

// hidraw keeps at most 64 reports per reader; a flush that finds more than this is racing a
// device that keeps sending, and stops rather than spin.
constexpr int kFlushLimit = 256;

void drain_eventfd(int fd) {
    std::uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

}  // namespace

std::unique_ptr<FdHidDevice> FdHidDevice::adopt(int fd, FdHidOptions options) {
    const int flags = ::fcntl(fd, F_GETFL);
    const int wake_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    // Non-blocking, so that a read after poll() or a flush never blocks when another thread
    // took the report first.
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0 || wake_fd < 0) {
        ::close(fd);
        if (wake_fd >= 0) {
            ::close(wake_fd);
        }
        return nullptr;
    }
    return std::unique_ptr<FdHidDevice>(new FdHidDevice(fd, wake_fd, options));
}

FdHidDevice::FdHidDevice(int fd, int wake_fd, FdHidOptions options)
    : fd_(fd), wake_fd_(wake_fd), options_(options) {}

FdHidDevice::~FdHidDevice() {
    ::close(wake_fd_);
    ::close(fd_);
}

bool FdHidDevice::cancelled() {
    std::lock_guard lk(mutex_);
    return cancelled_;
}

void FdHidDevice::cancel() {
    std::lock_guard lk(mutex_);
    cancelled_ = true;
    const std::uint64_t one = 1;
    while (::write(wake_fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool FdHidDevice::lose() {
    gone_.store(true);
    return false;
}

bool FdHidDevice::wait_ready(short events) {
    for (;;) {
        pollfd fds[2] = {{fd_, events, 0}, {wake_fd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lose();
        }
        if (fds[1].revents & POLLIN) {
            std::lock_guard lk(mutex_);
            if (cancelled_) {
                return false;
            }
            // A wake-up left over from a cancel that a write has since cleared.
            drain_eventfd(wake_fd_);
        }
        if (fds[0].revents & events) {
            return true;
        }
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            return lose();  // the device was removed
        }
    }
}

bool FdHidDevice::write(const Report& report) {
    {
        std::lock_guard lk(mutex_);
        cancelled_ = false;
        drain_eventfd(wake_fd_);
    }
    for (;;) {
        const ssize_t n = ::write(fd_, report.data(), report.size());
        if (n == static_cast<ssize_t>(report.size())) {
            return true;
        }
        if (n >= 0) {
            return false;  // a report goes whole or not at all
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN) {
            return lose();
        }
        if (!wait_ready(POLLOUT)) {
            return false;
        }
    }
}

bool FdHidDevice::read(Report& report) {
    const std::size_t offset = options_.numbered_input ? 0 : 1;
    for (;;) {
        if (cancelled() || !wait_ready(POLLIN)) {
            return false;
        }
        const ssize_t n = ::read(fd_, report.data() + offset, report.size() - offset);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;  // a flush on another thread took the report
            }
            return lose();
        }
        if (n == 0) {
            return lose();  // end of file: the other side is gone
        }
        // A short report leaves no bytes of an earlier one behind.
        std::fill(report.begin() + static_cast<std::ptrdiff_t>(offset) + n, report.end(),
                  std::uint8_t{0});
        if (offset == 1) {
            report[0] = 0;
        }
        // A report that raced a cancel belongs to the abandoned request.
        return !cancelled();
    }
}

void FdHidDevice::flush_input() {
    Report scratch{};
    for (int i = 0; i < kFlushLimit; ++i) {
        const ssize_t n = ::read(fd_, scratch.data(), scratch.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
    }
}

}  // namespace kelpira::link
