// The live sample ring: append with overwrite of the oldest, whole-sample copies for readers.
#include "views/live_history.hpp"

#include <algorithm>

namespace kelpira::views {

LiveHistory::LiveHistory() : slots_(kCapacity) {}

void LiveHistory::append(const records::LiveSample& sample) {
    std::lock_guard lk(mutex_);
    if (count_ < kCapacity) {
        ++count_;
    } else {
        start_ = (start_ + 1) % kCapacity;
    }
    slots_[(start_ + count_ - 1) % kCapacity] = sample;
}

void LiveHistory::clear() {
    std::lock_guard lk(mutex_);
    count_ = 0;
    start_ = 0;
}

std::size_t LiveHistory::count() const {
    std::lock_guard lk(mutex_);
    return count_;
}

std::size_t LiveHistory::start() const {
    std::lock_guard lk(mutex_);
    return start_;
}

const records::LiveSample& LiveHistory::slot_of_newest(std::size_t k) const {
    return slots_[(start_ + count_ - k - 1) % kCapacity];
}

std::optional<records::LiveSample> LiveHistory::newest(std::size_t k) const {
    std::lock_guard lk(mutex_);
    if (k >= count_) {
        return std::nullopt;
    }
    return slot_of_newest(k);
}

std::vector<records::LiveSample> LiveHistory::newest_samples(std::size_t n) const {
    std::lock_guard lk(mutex_);
    const std::size_t taken = std::min(n, count_);
    std::vector<records::LiveSample> out;
    out.reserve(taken);
    for (std::size_t k = taken; k-- > 0;) {
        out.push_back(slot_of_newest(k));
    }
    return out;
}

}  // namespace kelpira::views
