// A list that keeps at most a fixed number of entries, dropping the oldest first: the live
// output, diagnostics and processing result lists all behave this way.
#pragma once

#include <cstddef>
#include <deque>
#include <utility>

namespace kelpira::common {

template <typename T>
class CappedList {
  public:
    explicit CappedList(std::size_t capacity) : capacity_(capacity) {}

    // Once the list is full the oldest entry is dropped before the new one goes in.
    void push_back(T value) {
        if (capacity_ == 0) {
            return;
        }
        if (items_.size() >= capacity_) {
            items_.pop_front();
            ++dropped_;
        }
        items_.push_back(std::move(value));
    }

    void clear() {
        items_.clear();
        dropped_ = 0;
    }

    std::size_t capacity() const { return capacity_; }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    // How many entries were pushed out since the last clear().
    std::size_t dropped() const { return dropped_; }

    const T& operator[](std::size_t i) const { return items_[i]; }
    T& operator[](std::size_t i) { return items_[i]; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::size_t capacity_;
    std::size_t dropped_ = 0;
    std::deque<T> items_;
};

}  // namespace kelpira::common
