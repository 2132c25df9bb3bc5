// The quality flags of one series computed as its records arrive, each record costing O(1)
// on average (flat line: O(fail_run)) however long the series grows.
//
// flag_series() flags a whole series through it, so a reprocessing ends with the flags the
// live views showed: the newest usable record's spike flag stays 2 until the next usable
// record arrives, and then that record's spike flag and aggregate are the only earlier flags
// that change.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "quality/qc_parameters.hpp"
#include "quality/quality_flag.hpp"
#include "quality/window_stats.hpp"

namespace kelpira::quality {

// gross range, spike, rate of change, flat line, aggregate.
using RecordFlags = std::array<Flag, 5>;
inline constexpr std::size_t kAggregateFlag = 4;

struct LiveFlags {
    RecordFlags flags;  // of the record appended
    // The earlier record whose spike flag (and so aggregate) the new record decided, when
    // they changed: its position in the series and its flags now.
    std::optional<std::size_t> revised;
    RecordFlags revised_flags{};
};

class LiveSeries {
  public:
    // `parameters` validated (qc_parameters_file checks them).
    explicit LiveSeries(const SeriesParameters& parameters);

    // Appends a record; nothing, and the series unchanged, when `time` is not finite or does
    // not increase on the last record's.
    std::optional<LiveFlags> append(double time, double value);

    std::size_t size() const { return size_; }

  private:
    Flag spike_of_last(double time, double value) const;
    Flag rate_of_change(double time, double value);
    Flag flat_line(double time, double value) const;
    // Forgets the usable records no test will look at again.
    void compact();

    SeriesParameters parameters_;
    std::size_t size_ = 0;
    std::optional<double> last_time_;
    // The usable records still needed, oldest first: the rate-of-change window and the last
    // few for the spike and flat-line tests.
    std::vector<double> times_;
    std::vector<double> values_;
    std::size_t first_ = 0;  // the oldest of them in the rate-of-change window
    WindowStats window_;
    // The newest usable record: its position in the series and its flags.
    std::size_t last_index_ = 0;
    RecordFlags last_flags_{};
};

// The aggregate of the four tests' flags of a value: 9 when missing, else the most severe of
// 4, 3 and 1 among them, else 2.
Flag aggregate_of(double value, const RecordFlags& flags);

}  // namespace kelpira::quality
