// Combined HID backends and device watchers.
#include "link/combined_hid.hpp"

namespace kelpira::link {

namespace {

void add_line(std::string& lines, const std::string& line) {
    if (line.empty()) {
        return;
    }
    if (!lines.empty()) {
        lines += '\n';
    }
    lines += line;
}

}  // namespace

CombinedHidBackend::CombinedHidBackend(std::vector<HidBackend*> backends)
    : backends_(std::move(backends)) {}

std::vector<HidDeviceInfo> CombinedHidBackend::enumerate() {
    std::vector<HidDeviceInfo> all;
    std::map<std::string, HidBackend*> owners;
    for (HidBackend* b : backends_) {
        for (auto& info : b->enumerate()) {
            owners.emplace(info.path, b);
            all.push_back(std::move(info));
        }
    }
    std::lock_guard lk(mutex_);
    owners_ = std::move(owners);
    return all;
}

std::string CombinedHidBackend::unlisted_reason() const {
    std::string lines;
    for (const HidBackend* b : backends_) {
        add_line(lines, b->unlisted_reason());
    }
    return lines;
}

HidBackend* CombinedHidBackend::owner_of(const std::string& path) {
    {
        std::lock_guard lk(mutex_);
        if (auto it = owners_.find(path); it != owners_.end()) {
            return it->second;
        }
    }
    // A path learned elsewhere (a device-arrival event): ask the backends afresh.
    for (HidBackend* b : backends_) {
        for (const auto& info : b->enumerate()) {
            if (info.path == path) {
                std::lock_guard lk(mutex_);
                owners_[path] = b;
                return b;
            }
        }
    }
    return nullptr;
}

std::unique_ptr<HidDevice> CombinedHidBackend::open(const std::string& path) {
    HidBackend* owner = owner_of(path);
    return owner != nullptr ? owner->open(path) : nullptr;
}

CombinedDeviceWatcher::CombinedDeviceWatcher(std::vector<DeviceWatcher*> watchers)
    : watchers_(std::move(watchers)) {}

CombinedDeviceWatcher::~CombinedDeviceWatcher() {
    stop();
}

bool CombinedDeviceWatcher::start(DeviceEventHandler handler) {
    bool any = false;
    for (DeviceWatcher* w : watchers_) {
        any = w->start(handler) || any;
    }
    return any;
}

std::string CombinedDeviceWatcher::problem() const {
    std::string lines;
    for (const DeviceWatcher* w : watchers_) {
        add_line(lines, w->problem());
    }
    return lines;
}

void CombinedDeviceWatcher::stop() {
    for (DeviceWatcher* w : watchers_) {
        w->stop();
    }
}

}  // namespace kelpira::link
