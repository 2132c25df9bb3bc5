// The workers of the operation views, one kind per view: each fetches rows on its own thread
// and hands them to the view through a sink that never waits for the UI thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "common/worker.hpp"
#include "link/sensor_link.hpp"
#include "views/live_history.hpp"
#include "views/live_quality.hpp"
#include "views/view_cells.hpp"

namespace kelpira::views {

// Where a worker sends its rows. Both are called on the worker thread and must return at
// once (the views post each call to the UI thread).
struct RowSink {
    std::function<void()> clear;
    // `scroll`: bring the new row into view.
    std::function<void(ViewRow row, bool scroll)> append;
    // The last cell of the row appended `row`th since the last clear (from 0) now reads
    // `text`, in `colour` when it has one of its own. Only the processed output list uses it.
    std::function<void(std::size_t row, std::string text, std::optional<Rgb> colour)>
        revise_last_cell;
};

// The live history while the status poll runs, nullptr while it does not; asked afresh on
// every pass.
using HistorySource = std::function<std::shared_ptr<const LiveHistory>()>;

inline constexpr std::chrono::milliseconds kRawTextPeriod{1000};
inline constexpr std::chrono::milliseconds kReaderPeriod{500};
// How far back a new raw output view replays the history: the newest 1000 samples.
inline constexpr std::size_t kRawReplay = 1000;

// The samples a new raw output view replays before it follows new ones: k + 1 of them.
std::size_t raw_backlog(bool poll_running, std::size_t history_count);

// Raw output text: replays the newest samples without scrolling, then shows each new sample
// once a second. Issues no commands. While `paused` samples pass unseen.
void run_raw_text_worker(common::WorkerControl& control, const HistorySource& history,
                         const std::atomic<bool>& paused, const RowSink& sink);

// Processed output text: OPEN_OUTPUT_STREAM once (ending at once if that fails), then every
// 500 ms reads records with READ_OUTPUT_RECORD until the sensor has no more. While `paused`
// nothing is read. A read that finds the sensor removed ends it. With `quality`, each row
// ends in its result's flag (flag_cell), and a row whose flag a later result decided is
// revised through the sink.
void run_output_reader(common::WorkerControl& control, link::SensorLink& link,
                       const std::atomic<bool>& paused, const RowSink& sink,
                       LiveQuality* quality = nullptr);

// Diagnostics: OPEN_DIAGNOSTICS once, then READ_DIAGNOSTICS bursts every 500 ms, ending as
// the output reader does.
void run_diagnostics_reader(common::WorkerControl& control, link::SensorLink& link,
                            const std::atomic<bool>& paused, const RowSink& sink);

// The worker of the operation view on show. The main window shows one view at a time, and a
// view being replaced is deleted only after its successor is built, so the new view's worker
// must not begin while the old one may still be reading: both would take records from the
// sensor's one output cursor, and the old view would never show its share. Used on the UI
// thread.
class ViewWorkers {
  public:
    static constexpr std::chrono::milliseconds kStopWait{100};

    ViewWorkers() = default;
    ~ViewWorkers();
    ViewWorkers(const ViewWorkers&) = delete;
    ViewWorkers& operator=(const ViewWorkers&) = delete;

    // Stops the worker of the view before, if any, without waiting on this thread, and starts
    // `body`, which begins only once that worker has ended (a stopped worker ends within the
    // transaction it is in). Returns the new worker's ticket.
    std::uint64_t start(common::Worker::Body body);
    // Stops the worker of this ticket, waiting at most `wait`; one that overstays finishes on
    // its own with what it captured, and the next start() waits for it. A view going away after
    // its successor started leaves the successor's worker alone.
    void stop(std::uint64_t ticket, std::chrono::milliseconds wait = kStopWait);
    bool running() const { return worker_ != nullptr; }

  private:
    std::shared_ptr<common::Worker> worker_;
    // A stopped worker that had not ended when its stop gave up waiting.
    std::shared_ptr<common::Worker> leaving_;
    std::uint64_t ticket_ = 0;
};

}  // namespace kelpira::views
