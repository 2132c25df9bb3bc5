// The view workers' passes: the raw output replay and follow, and the two record readers.
#include "views/view_workers.hpp"

#include "link/board_commands.hpp"
#include "link/operation_commands.hpp"
#include "records/diagnostics_records.hpp"
#include "records/output_record.hpp"

namespace kelpira::views {

std::size_t raw_backlog(bool poll_running, std::size_t history_count) {
    if (!poll_running || history_count == 0) {
        return 0;
    }
    return history_count > kRawReplay ? kRawReplay - 1 : history_count - 1;
}

void run_raw_text_worker(common::WorkerControl& control, const HistorySource& history,
                         const std::atomic<bool>& paused, const RowSink& sink) {
    sink.clear();
    std::size_t k = 0;
    {
        const auto h = history();
        k = raw_backlog(h != nullptr, h ? h->count() : 0);
    }
    std::size_t rows = 0;
    bool shown_any = false;  // whether last_counter holds a sample's counter
    std::uint32_t last_counter = 0;
    while (!control.stop_requested()) {
        const auto h = history();
        const std::size_t n = h ? h->count() : 0;
        if (n == 0) {
            if (rows > 0) {
                sink.clear();
            }
            rows = 0;
            shown_any = false;
        } else if (k < n) {
            const auto sample = h->newest(k);
            if (sample && (!shown_any || sample->counter != last_counter)) {
                if (!paused.load(std::memory_order_relaxed)) {
                    sink.append({raw_output_cells(*sample), kBlack, std::nullopt}, k == 0);
                    rows = rows < kRawReplay + 1 ? rows + 1 : rows;
                }
                last_counter = sample->counter;
                shown_any = true;
            }
        }
        if (k > 0) {
            --k;
            continue;
        }
        control.wait(kRawTextPeriod);
    }
}

namespace {

// OPEN once, then bursts of reads every 500 ms; `read` answers false when there is no row.
// A sensor removed from the link ends the reader: nothing will answer it again.
void run_reader(common::WorkerControl& control, const link::SensorLink& link,
                const std::function<bool()>& open, const std::function<bool(ViewRow&)>& read,
                const std::atomic<bool>& paused, const RowSink& sink) {
    if (!open()) {
        return;
    }
    while (!control.stop_requested()) {
        while (!control.stop_requested() && !paused.load(std::memory_order_relaxed)) {
            ViewRow row;
            if (!read(row)) {
                break;
            }
            sink.append(std::move(row), true);
        }
        if (link.loss() == link::LinkLoss::removed) {
            return;
        }
        control.wait(kReaderPeriod);
    }
}

}  // namespace

void run_output_reader(common::WorkerControl& control, link::SensorLink& link,
                       const std::atomic<bool>& paused, const RowSink& sink, LiveQuality* quality) {
    run_reader(
        control, link, [&link] { return link::open_output_stream(link) == link::kResultSuccess; },
        [&link, &sink, quality](ViewRow& row) {
            link::RecordBytes<link::kOutputRecordSize> bytes{};
            if (link::read_output_record(link, bytes) != link::kResultSuccess) {
                return false;
            }
            const auto record = records::decode_output_record(bytes);
            row.cells = processed_output_cells(record);
            if (quality != nullptr) {
                const auto flags = quality->append(record);
                // The earlier rows first: they were appended before this one.
                for (const auto& revised : flags.revised) {
                    const auto cell = flag_cell(revised.flag);
                    sink.revise_last_cell(revised.result, cell.text, cell.colour);
                }
                const auto cell = flag_cell(flags.flag);
                row.cells.push_back(cell.text);
                row.last_cell_colour = cell.colour;
            }
            return true;
        },
        paused, sink);
}

void run_diagnostics_reader(common::WorkerControl& control, link::SensorLink& link,
                            const std::atomic<bool>& paused, const RowSink& sink) {
    run_reader(
        control, link, [&link] { return link::open_diagnostics(link) == link::kResultSuccess; },
        [&link](ViewRow& row) {
            link::RecordBytes<link::kDiagnosticsEntrySize> bytes{};
            if (link::read_diagnostics(link, bytes) != link::kResultSuccess) {
                return false;
            }
            row = diagnostics_row(records::decode_diagnostics_entry(bytes));
            return true;
        },
        paused, sink);
}

ViewWorkers::~ViewWorkers() {
    if (leaving_) {
        leaving_->stop(std::chrono::milliseconds(0));
    }
    if (worker_) {
        worker_->stop(kStopWait);
    }
}

std::uint64_t ViewWorkers::start(common::Worker::Body body) {
    std::shared_ptr<common::Worker> before = std::move(leaving_);
    if (worker_) {
        worker_->request_stop();
        before = std::move(worker_);
    }
    if (before) {
        // From here on only the new thread touches the worker before.
        body = [before, run = std::move(body)](common::WorkerControl& control) {
            while (!before->wait_finished(kStopWait)) {
            }
            if (!control.stop_requested()) {
                run(control);
            }
        };
    }
    worker_ = std::make_shared<common::Worker>(std::move(body));
    return ++ticket_;
}

void ViewWorkers::stop(std::uint64_t ticket, std::chrono::milliseconds wait) {
    if (!worker_ || ticket != ticket_) {
        return;
    }
    worker_->request_stop();
    if (!worker_->wait_finished(wait)) {
        leaving_ = std::move(worker_);
    }
    worker_.reset();
}

}  // namespace kelpira::views
