// LiveHistory: the last hour of distinct live samples, a ring of 3600 that the status poll
// fills and the raw output views read.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

#include "records/live_sample.hpp"

namespace kelpira::views {

// Written by the poll thread only; readers on any thread copy whole samples under the lock,
// so no reader ever sees a sample that mixes two.
class LiveHistory {
  public:
    static constexpr std::size_t kCapacity = 3600;

    LiveHistory();  // allocates every slot once; appending never allocates

    // Adds a sample; when full, the oldest one goes.
    void append(const records::LiveSample& sample);
    // Empties the history (count and start 0).
    void clear();

    std::size_t count() const;
    // The slot of the oldest sample.
    std::size_t start() const;
    // The k-th newest sample (0: the newest); none when the history holds k or fewer.
    std::optional<records::LiveSample> newest(std::size_t k) const;
    // The newest `n` samples (fewer when the history holds fewer), oldest first, copied in
    // one go so that they belong together.
    std::vector<records::LiveSample> newest_samples(std::size_t n) const;

  private:
    const records::LiveSample& slot_of_newest(
        std::size_t k) const;  // with the lock held, k < count_

    mutable std::mutex mutex_;
    std::vector<records::LiveSample> slots_;
    std::size_t count_ = 0;
    std::size_t start_ = 0;
};

}  // namespace kelpira::views
