// A HID device behind a file descriptor that hands out one input report per read (hidraw),
// with reads that another thread can cancel.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "link/hid_device.hpp"

namespace kelpira::link {

struct FdHidOptions {
    // The descriptor carries report ids, so every report read starts with its id byte. On a
    // device without ids the kernel leaves the byte out: it is read into bytes 1..128 and
    // byte 0 is set to 0, so callers always see byte 0 = report id.
    bool numbered_input = false;
    std::optional<bool> declares_input_report_1{};  // nothing: the descriptor was unreadable
};

// Writes always pass all 129 bytes: the kernel drops a leading report id 0 before the report
// goes on the wire, and sends a non-zero one with it.
class FdHidDevice : public HidDevice {
  public:
    // Takes the descriptor in all cases (closes it on failure). nullptr when the wake-up
    // channel cannot be made.
    static std::unique_ptr<FdHidDevice> adopt(int fd, FdHidOptions options);
    ~FdHidDevice() override;
    FdHidDevice(const FdHidDevice&) = delete;
    FdHidDevice& operator=(const FdHidDevice&) = delete;

    bool write(const Report& report) override;
    bool read(Report& report) override;
    void cancel() override;
    void flush_input() override;
    bool gone() const override { return gone_.load(); }
    std::optional<bool> declares_input_report_1() override {
        return options_.declares_input_report_1;
    }

  private:
    FdHidDevice(int fd, int wake_fd, FdHidOptions options);
    bool cancelled();
    // Waits until the device is ready for `events` or a cancel arrives. False when cancelled,
    // or when the device is gone.
    bool wait_ready(short events);
    // Records that the device went away; returns false, for the failing read or write.
    bool lose();

    int fd_;
    int wake_fd_;  // an eventfd that cancel() signals; poll() watches it beside the device
    FdHidOptions options_;
    std::mutex mutex_;
    bool cancelled_ = false;  // sticky until the next write
    std::atomic<bool> gone_{false};
};

}  // namespace kelpira::link
