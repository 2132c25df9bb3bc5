// SensorLink: the one open connection to a sensor, running one command transaction at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "link/hid_device.hpp"
#include "link/link_sync.hpp"
#include "link/sensor_command.hpp"

namespace kelpira::link {

struct LinkIo;

// What became of the link's exchanges since Open, the worst first: the device went away, or a
// sensor still attached let an exchange go unanswered.
enum class LinkLoss { none, no_answer, removed };

// Open/Close belong to the UI thread; Transact may be called from any thread at any time and
// runs strictly one transaction at a time. A dedicated I/O thread is the only one that reads
// and writes the device.
class SensorLink {
  public:
    explicit SensorLink(HidBackend& backend);
    ~SensorLink();
    SensorLink(const SensorLink&) = delete;
    SensorLink& operator=(const SensorLink&) = delete;

    // 0 on success, 1 when the device cannot be opened or the link is already open. The
    // time-out bounds every later transaction's wait for the lock and for the answer.
    int Open(const std::string& path, std::chrono::milliseconds timeout);
    // Waits for a transaction in progress to end (it is cut short), stops the I/O thread and
    // releases the device. Harmless when the link is not open.
    void Close();
    // 0: the buffer holds the answer (its byte 4 is the sensor's result); 1: the lock was not
    // obtained in time or the answer was stale (buffer untouched); 5: no answer in time, or at
    // once when the device went away (removed() then says so); 15: the link is not open.
    CommandResult Transact(SensorCommand& command);

    bool is_open() const { return open_.load(); }
    // The worst loss since Open: `removed` once a read or write found the device gone (every
    // later one then fails at once, its write failing), `no_answer` once an answer did not come in
    // time.
    LinkLoss loss() const { return loss_.load(); }
    std::chrono::milliseconds timeout() const { return std::chrono::milliseconds(timeout_ms_); }

  private:
    void note_loss(LinkLoss loss);

    HidBackend& backend_;
    TimedLock lock_;  // the transaction lock; Open and Close hold it too
    std::atomic<bool> open_{false};
    std::atomic<std::int64_t> timeout_ms_{0};
    std::atomic<LinkLoss> loss_{LinkLoss::none};
    std::uint8_t report_id_ = 0;  // learned at Open; kept across opens
    std::uint8_t sequence_ = 1;   // written only by the lock holder
    std::mutex io_mutex_;         // guards the pointer io_ only, so Close can reach it unlocked
    std::shared_ptr<LinkIo> io_;  // shared with the I/O thread, which may outlive Close
};

// A loss in the words every long operation uses: "sensor removed" when the device went away,
// "no answer (the last command may or may not have been carried out)" when a sensor still
// attached did not answer (it may have done it and lost only the answer); empty for none.
std::string loss_text(LinkLoss loss);

}  // namespace kelpira::link
