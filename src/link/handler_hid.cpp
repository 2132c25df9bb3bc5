// In-process HID devices: a queue of input reports, cancellable blocking reads.
#include "link/handler_hid.hpp"

#include <algorithm>
#include <condition_variable>
#include <deque>

namespace kelpira::link {

struct InProcessEntry {
    std::string hardware_id;
    InProcessHandler handler;
    std::optional<bool> report_id_1;

    std::mutex m;
    std::condition_variable cv;
    bool removed = false;
    bool is_open = false;
    bool cancelled = false;
    struct Pending {
        Report bytes;
        std::chrono::steady_clock::time_point ready;
    };
    std::deque<Pending> queue;
    std::vector<Report> written;
};

namespace {

class InProcessDevice : public HidDevice {
  public:
    explicit InProcessDevice(std::shared_ptr<InProcessEntry> e) : e_(std::move(e)) {}
    ~InProcessDevice() override {
        std::lock_guard lk(e_->m);
        e_->is_open = false;
        e_->queue.clear();
    }

    bool write(const Report& report) override {
        {
            std::lock_guard lk(e_->m);
            if (e_->removed) {
                return false;
            }
            e_->cancelled = false;
            e_->written.push_back(report);
        }
        auto replies = e_->handler ? e_->handler(report) : std::vector<InProcessReport>{};
        const auto now = std::chrono::steady_clock::now();
        {
            std::lock_guard lk(e_->m);
            if (e_->removed) {
                return false;
            }
            for (const auto& r : replies) {
                e_->queue.push_back({r.bytes, now + r.delay});
            }
        }
        e_->cv.notify_all();
        return true;
    }

    bool read(Report& report) override {
        std::unique_lock lk(e_->m);
        for (;;) {
            if (e_->removed || e_->cancelled) {
                return false;
            }
            if (!e_->queue.empty()) {
                const auto ready = e_->queue.front().ready;
                if (ready <= std::chrono::steady_clock::now()) {
                    report = e_->queue.front().bytes;
                    e_->queue.pop_front();
                    return true;
                }
                e_->cv.wait_until(lk, ready);
            } else {
                e_->cv.wait(lk);
            }
        }
    }

    void cancel() override {
        {
            std::lock_guard lk(e_->m);
            e_->cancelled = true;
        }
        e_->cv.notify_all();
    }

    // Drops what has arrived; a report still on its way (delayed) arrives later, as a late
    // answer on a real bus does.
    void flush_input() override {
        std::lock_guard lk(e_->m);
        const auto now = std::chrono::steady_clock::now();
        std::erase_if(e_->queue, [&](const auto& p) { return p.ready <= now; });
    }

    std::optional<bool> declares_input_report_1() override { return e_->report_id_1; }

    bool gone() const override {
        std::lock_guard lk(e_->m);
        return e_->removed;
    }

  private:
    std::shared_ptr<InProcessEntry> e_;
};

}  // namespace

void InProcessHidBackend::add(const std::string& path, const std::string& hardware_id,
                              InProcessHandler handler, std::optional<bool> declares_report_id_1) {
    auto e = std::make_shared<InProcessEntry>();
    e->hardware_id = hardware_id;
    e->handler = std::move(handler);
    e->report_id_1 = declares_report_id_1;
    std::lock_guard lk(mutex_);
    if (devices_.count(path) == 0) {
        order_.push_back(path);
    }
    devices_[path] = std::move(e);
}

void InProcessHidBackend::remove(const std::string& path) {
    std::shared_ptr<InProcessEntry> e;
    {
        std::lock_guard lk(mutex_);
        auto it = devices_.find(path);
        if (it == devices_.end()) {
            return;
        }
        e = it->second;
        devices_.erase(it);
        std::erase(order_, path);
    }
    {
        std::lock_guard lk(e->m);
        e->removed = true;
    }
    e->cv.notify_all();
}

std::vector<Report> InProcessHidBackend::written(const std::string& path) const {
    std::shared_ptr<InProcessEntry> e;
    {
        std::lock_guard lk(mutex_);
        auto it = devices_.find(path);
        if (it == devices_.end()) {
            return {};
        }
        e = it->second;
    }
    std::lock_guard lk(e->m);
    return e->written;
}

std::vector<HidDeviceInfo> InProcessHidBackend::enumerate() {
    std::lock_guard lk(mutex_);
    std::vector<HidDeviceInfo> out;
    for (const auto& p : order_) {
        out.push_back({p, devices_.at(p)->hardware_id});
    }
    return out;
}

std::unique_ptr<HidDevice> InProcessHidBackend::open(const std::string& path) {
    std::shared_ptr<InProcessEntry> e;
    {
        std::lock_guard lk(mutex_);
        auto it = devices_.find(path);
        if (it == devices_.end()) {
            return nullptr;
        }
        e = it->second;
    }
    std::lock_guard lk(e->m);
    if (e->is_open || e->removed) {
        return nullptr;
    }
    e->is_open = true;
    return std::make_unique<InProcessDevice>(e);
}

}  // namespace kelpira::link
