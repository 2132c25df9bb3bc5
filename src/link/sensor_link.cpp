// The command transaction: sequence numbers, time-outs, stale answers, the I/O thread.
#include "link/sensor_link.hpp"

#include <optional>
#include <thread>
#include <utility>

namespace kelpira::link {

// What the I/O thread shares with the link. Owned jointly, so that an I/O thread that does
// not end in time at Close never touches freed memory.
struct LinkIo {
    std::unique_ptr<HidDevice> device;
    Signal request_signal;
    Signal response_signal;
    std::atomic<bool> stop{false};
    std::atomic<bool> removed{false};       // the device went away; set before the signal
    std::atomic<std::uint8_t> sequence{1};  // the request in progress; the I/O thread compares

    std::mutex mailbox_mutex;
    std::optional<Report> mailbox;  // the request not yet taken by the I/O thread

    std::mutex response_mutex;
    Report response{};  // written only by the I/O thread

    std::mutex exit_mutex;
    std::condition_variable exit_cv;
    bool exited = false;

    void post(const Report& r) {
        std::lock_guard lk(mailbox_mutex);
        mailbox = r;
    }
    std::optional<Report> take() {
        std::lock_guard lk(mailbox_mutex);
        return std::exchange(mailbox, std::nullopt);
    }
};

namespace {

void run_io_thread(const std::shared_ptr<LinkIo>& io) {
    Report in{};
    while (!io->stop.load()) {
        io->request_signal.acquire();
        if (io->stop.load()) {
            break;
        }
        const std::optional<Report> request = io->take();
        if (!request) {
            continue;
        }
        if (!io->device->write(*request) || !io->device->read(in)) {
            // A device that went away ends the waiting transaction now, not at its time-out.
            if (io->device->gone()) {
                io->removed.store(true);
                io->response_signal.release();
            }
            continue;
        }
        // An answer to an earlier, abandoned request is dropped; its caller has given up.
        if (in[3] != io->sequence.load()) {
            continue;
        }
        {
            std::lock_guard lk(io->response_mutex);
            io->response = in;
        }
        io->response_signal.release();
    }
    std::lock_guard lk(io->exit_mutex);
    io->exited = true;
    io->exit_cv.notify_all();
}

constexpr auto kThreadStopWait = std::chrono::milliseconds(5000);

}  // namespace

SensorLink::SensorLink(HidBackend& backend) : backend_(backend) {}

SensorLink::~SensorLink() {
    Close();
}

int SensorLink::Open(const std::string& path, std::chrono::milliseconds timeout) {
    std::lock_guard guard(lock_);
    if (open_.load()) {
        return 1;
    }
    timeout_ms_.store(timeout.count());
    loss_.store(LinkLoss::none);
    auto device = backend_.open(path);
    if (!device) {
        return 1;
    }
    // A device whose descriptor cannot be read keeps the report id learned last.
    if (const std::optional<bool> declares = device->declares_input_report_1()) {
        report_id_ = *declares ? 1 : 0;
    }

    auto io = std::make_shared<LinkIo>();
    io->device = std::move(device);
    sequence_ = 1;
    io->sequence.store(sequence_);
    // Not a common::Worker: it blocks in the device's read, which only cancel() ends, and is
    // detached so that a read that never returns cannot hold up Close.
    std::thread(run_io_thread, io).detach();
    {
        std::lock_guard lk(io_mutex_);
        io_ = std::move(io);
    }
    open_.store(true);
    return 0;
}

void SensorLink::Close() {
    std::shared_ptr<LinkIo> io;
    {
        // Cut a transaction in progress short, then wait for it to let go of the lock.
        std::shared_ptr<LinkIo> current;
        {
            std::lock_guard lk(io_mutex_);
            current = io_;
        }
        if (current) {
            current->response_signal.interrupt();
            current->device->cancel();
        }
        std::lock_guard guard(lock_);
        if (!open_.load()) {
            return;
        }
        open_.store(false);
        std::lock_guard lk(io_mutex_);
        io = std::move(io_);
    }
    io->take();
    io->stop.store(true);
    io->device->cancel();
    io->request_signal.release();
    std::unique_lock lk(io->exit_mutex);
    // The device is released here rather than with the thread's last reference, so that the
    // path can be opened again as soon as Close returns. A thread that overstays keeps it.
    if (io->exit_cv.wait_for(lk, kThreadStopWait, [&] { return io->exited; })) {
        io->device.reset();
    }
}

CommandResult SensorLink::Transact(SensorCommand& command) {
    if (!open_.load()) {
        return kResultNotOpen;
    }
    std::unique_lock guard(lock_, std::defer_lock);
    if (!guard.try_lock_for(timeout())) {
        return kResultLockOrSequence;
    }
    if (!open_.load()) {
        return kResultNotOpen;
    }
    LinkIo& io = *io_;

    Report request = command.bytes;
    request[0] = report_id_;
    ++sequence_;  // wraps 255 to 0; the first transaction after Open carries 2
    request[3] = sequence_;
    io.sequence.store(sequence_);

    // A late answer to an abandoned request may have left the response signal set; without
    // dropping it here every later transaction would see its predecessor's answer.
    io.response_signal.try_acquire();
    io.post(request);
    io.request_signal.release();

    CommandResult result;
    if (!io.response_signal.try_acquire_for(timeout())) {
        io.take();
        io.device->cancel();
        io.device->flush_input();
        result = kResultNoAnswer;
        note_loss(io.removed.load() ? LinkLoss::removed : LinkLoss::no_answer);
    } else if (io.removed.load()) {
        result = kResultNoAnswer;
        note_loss(LinkLoss::removed);
    } else {
        std::lock_guard lk(io.response_mutex);
        if (io.response[3] == sequence_) {
            command.bytes = io.response;
            result = kResultSuccess;
        } else {
            result = kResultLockOrSequence;
        }
    }
    io.take();
    return result;
}

void SensorLink::note_loss(LinkLoss loss) {
    LinkLoss worst = loss_.load();
    while (worst < loss && !loss_.compare_exchange_weak(worst, loss)) {
    }
}

std::string loss_text(LinkLoss loss) {
    switch (loss) {
        case LinkLoss::removed:
            return "sensor removed";
        case LinkLoss::no_answer:
            return "no answer (the last command may or may not have been carried out)";
        case LinkLoss::none:
            break;
    }
    return {};
}

}  // namespace kelpira::link
