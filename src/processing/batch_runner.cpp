// The batch run of kelpira-process: each file's header is read first, so that a run of mixed
// chemistries is refused before anything is written; then the rows of each file are processed
// into a spool that joins the output only once the file has been read to its end. With several
// jobs, files are read and processed at once while their results join the output in the
// order the files were given, so the output is the same whatever the number of jobs.
#include "processing/batch_runner.hpp"

#include <unistd.h>

#include <atomic>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "common/safe_file.hpp"
#include "common/stop_signals.hpp"
#include "common/visible_text.hpp"
#include "processing/batch_tables.hpp"
#include "processing/chemistry_table.hpp"
#include "processing/clock_correction.hpp"
#include "processing/input_spool.hpp"
#include "processing/netcdf_writer.hpp"
#include "processing/ordered_jobs.hpp"
#include "processing/progress_bar.hpp"
#include "processing/raw_file.hpp"
#include "processing/raw_header.hpp"
#include "processing/raw_row_scan.hpp"
#include "processing/result_quality.hpp"
#include "processing/result_spool.hpp"
#include "processing/series_quality.hpp"
#include "records/chemistry_type.hpp"

namespace kelpira::processing {

namespace {

constexpr std::string_view kProgram = "kelpira-process: ";

// Rows between two looks at the progress of the pass.
constexpr std::uint32_t kProgressRows = 8192;

// Files taken ahead of the oldest one whose results have not joined the output yet, per job:
// what bounds the results held at once.
constexpr std::size_t kFilesAheadPerJob = 2;

struct PreparedFile {
    std::string path;       // as the command line names it
    std::string open_path;  // the file itself, or its temporary copy
    ChemistryChoice chemistry = ChemistryChoice::nutrient;  // never `automatic`
    RawHeader header;
    std::uint64_t size = 0;
    std::vector<std::string> warnings;                   // told when the file's turn comes
    std::string sensor_name;                             // for a NetCDF file or the clock log
    std::vector<records::ClockLogRecord> clock_records;  // the sensor's, with a clock log
};

// What processing one file leaves until its turn to join the output comes.
struct ProcessedFile {
    ResultSpool results;
    std::vector<ResultRecord> records;  // instead of `results`, for a NetCDF file
    ResultSpool log;                    // the processing log's lines for this file
    CorrectionSpan span;                // the sensor times of the results, with a clock log
    std::optional<std::string> failure;
};

// Why a file or the whole run cannot go on.
struct Refusal {
    std::string reason;
    bool usage = false;  // the command line is wrong, not the file
};

std::optional<ChemistryChoice> chemistry_of_type(records::ChemistryType type) {
    if (records::is_nutrient(type)) {
        return ChemistryChoice::nutrient;
    }
    switch (type) {
        case records::ChemistryType::ph:
            return ChemistryChoice::ph;
        case records::ChemistryType::ta:
            return ChemistryChoice::ta;
        case records::ChemistryType::dic:
            return ChemistryChoice::dic;
        default:
            return std::nullopt;
    }
}

// Why `path` could not be written, as far as the file system tells after the fact.
std::string write_problem(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path file(path);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::error_code ec;
    if (fs::is_directory(file, ec)) {
        return "it is a folder";
    }
    if (!fs::is_directory(folder, ec)) {
        return "no such folder";
    }
    const bool exists = ::access(path.c_str(), F_OK) == 0;
    if ((exists && ::access(path.c_str(), W_OK) != 0) ||
        (!exists && ::access(folder.c_str(), W_OK) != 0)) {
        return "permission denied";
    }
    return "the file system refused to create or replace it";
}

// The largest positions or track file read: a track of a year at one point a second is less.
constexpr std::size_t kMaxPlacesBytes = std::size_t{16} << 20;

// "7 (TA)", or the bare code for a type no chemistry carries.
std::string type_text(records::ChemistryType type) {
    std::string text = std::to_string(records::code_of(type));
    if (const auto* d = records::find_chemistry(type)) {
        text += " (" + std::string(d->tab_text) + ")";
    }
    return text;
}

class BatchRun {
  public:
    BatchRun(const BatchOptions& options, std::istream& in, std::ostream& out, std::ostream& err)
        : options_(options),
          out_(out),
          err_(err),
          spool_(in),
          jobs_(options.jobs != 0 ? options.jobs
                                  : std::max(1u, std::thread::hardware_concurrency())) {}

    int run();

  private:
    std::optional<Refusal> check_paths() const;
    std::optional<int> prepare_all();
    std::variant<PreparedFile, Refusal> prepare_from(const std::string& path,
                                                     const std::string& open_path) const;
    std::optional<Refusal> check_overrides(ChemistryChoice chemistry) const;
    std::optional<Refusal> check_single_chemistry() const;
    void process_all(std::ostream* log);
    std::vector<NetcdfInput> inputs() const;
    bool write_flagged(std::ostream* out);
    bool write_table(std::ostream* out, std::ostream* log);
    bool write_netcdf(const std::string& temporary, std::ostream* log);
    void process_file(std::size_t index, bool logging, ProcessedFile& done,
                      const std::atomic<bool>& give_up);
    void show_progress(std::uint64_t more_bytes, std::size_t file_number);
    bool join_output(std::size_t index, ProcessedFile& done, std::ostream* out, std::ostream* log);
    void report(const std::string& path, const std::string& reason);
    void warn(const std::string& path, const std::string& text);
    bool write_log();
    bool read_places();

    const BatchOptions& options_;
    std::ostream& out_;
    std::ostream& err_;
    InputSpool spool_;
    const unsigned jobs_;
    std::vector<PreparedFile> prepared_;
    std::optional<ProgressBar> progress_;
    std::mutex err_mutex_;  // the progress bar is drawn from the jobs' threads
    std::atomic<std::uint64_t> bytes_done_{0};
    bool any_failed_ = false;
    bool any_written_ = false;    // a file's results joined the table
    bool table_started_ = false;  // the output could be opened and the files were processed
    bool table_written_ = false;
    bool log_lost_ = false;                 // a file's log lines could not be held until written
    std::string output_refused_;            // why the safe writer refused the output's path
    std::optional<ClockLog> clock_log_;     // --clock-log
    std::unique_ptr<NetcdfWriter> netcdf_;  // while a NetCDF file is written
    std::optional<quality::QcParametersFile> qc_;  // --qc
    // With --qc, every result in the order of the table, flagged once all are in.
    std::vector<NetcdfRow> qc_rows_;
    std::string netcdf_error_;               // what the netCDF library said when it failed
    std::vector<SensorPosition> positions_;  // --position and --positions
    std::vector<TrackPoint> track_;          // --track
};

void BatchRun::warn(const std::string& path, const std::string& text) {
    const std::lock_guard lock(err_mutex_);
    if (progress_) {
        err_ << '\n';  // keep the bar's line
    }
    err_ << kProgram << path << ": " << text << '\n';
}

void BatchRun::report(const std::string& path, const std::string& reason) {
    warn(path, reason);
    any_failed_ = true;
}

std::optional<Refusal> BatchRun::check_paths() const {
    namespace fs = std::filesystem;
    const auto same = [](const std::string& a, const std::string& b) {
        std::error_code ec;
        return fs::equivalent(a, b, ec) && !ec;
    };
    for (const auto& file : options_.files) {
        if (!options_.writes_to_stdout() && same(*options_.output, file)) {
            return Refusal{"--output " + *options_.output + " is one of the raw files", true};
        }
        if (options_.log && same(*options_.log, file)) {
            return Refusal{"--log " + *options_.log + " is one of the raw files", true};
        }
    }
    if (options_.clock_log && !options_.writes_to_stdout() &&
        (*options_.clock_log == *options_.output || same(*options_.clock_log, *options_.output))) {
        return Refusal{"--output and --clock-log name the same file", true};
    }
    if (options_.log && !options_.writes_to_stdout() &&
        (*options_.log == *options_.output || same(*options_.log, *options_.output))) {
        return Refusal{"--output and --log name the same file", true};
    }
    return std::nullopt;
}

std::optional<Refusal> BatchRun::check_overrides(ChemistryChoice chemistry) const {
    for (const auto& o : options_.overrides) {
        RawHeader scratch;
        if (!apply_header_key(scratch, chemistry_entry(chemistry).reading, o.key, o.value)) {
            return Refusal{"--set " + o.key + "=" + o.value + ": not a header key of " +
                               std::string(chemistry_entry(chemistry).display_name) +
                               " files, or its value does not read as a number",
                           true};
        }
    }
    return std::nullopt;
}

// Standard input and pipes are copied first, one after another; then the headers are read by
// the jobs, and each file's outcome is told in the order of the command line. Returns the
// exit status when the run stops there.
std::optional<int> BatchRun::prepare_all() {
    const auto& files = options_.files;
    std::vector<std::variant<PreparedFile, Refusal>> prepared(files.size());
    std::vector<std::string> open_paths(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string error;
        if (const auto open_path = spool_.readable(files[i], error)) {
            open_paths[i] = *open_path;
        } else {
            prepared[i] = Refusal{error};
        }
        if (common::interrupted()) {
            return kExitInterrupted;
        }
    }
    std::optional<int> status;
    run_ordered(
        files.size(), jobs_, jobs_ * kFilesAheadPerJob,
        [&](std::size_t i, const std::atomic<bool>&) {
            if (!open_paths[i].empty()) {
                prepared[i] = prepare_from(files[i], open_paths[i]);
            }
        },
        [&](std::size_t i) {
            if (common::interrupted()) {
                status = kExitInterrupted;
                return false;
            }
            if (auto* refusal = std::get_if<Refusal>(&prepared[i])) {
                if (refusal->usage) {
                    err_ << kProgram << refusal->reason << '\n';
                    status = kExitUsage;
                    return false;
                }
                report(files[i], refusal->reason);
                return true;
            }
            auto& f = std::get<PreparedFile>(prepared[i]);
            for (const auto& text : f.warnings) {
                warn(f.path, text);
            }
            prepared_.push_back(std::move(f));
            return true;
        });
    return status;
}

std::variant<PreparedFile, Refusal> BatchRun::prepare_from(const std::string& path,
                                                           const std::string& open_path) const {
    std::string error;
    auto file = RawFile::open(open_path, &error);
    if (!file) {
        return Refusal{"cannot open: " + error};
    }
    const bool overridden = !options_.overrides.empty();
    const auto no_header = Refusal{
        "no header (no %KELPIRA.HEADER_START line); give its parameters with --set KEY=VALUE"};
    PreparedFile f;
    f.path = path;
    f.open_path = open_path;
    f.chemistry = options_.chemistry;
    if (f.chemistry == ChemistryChoice::automatic) {
        // The TYPE key is among the keys every chemistry reads; the nutrient pass stops at the
        // end of the header.
        RawHeader sniff;
        const auto reading = read_header(*file, RawChemistry::nutrient, sniff, options_.overrides);
        if (reading.read_error) {
            return Refusal{std::string(kReadErrorText)};
        }
        if (!reading.found && !overridden) {
            return no_header;
        }
        if (!sniff.chemistry) {
            return Refusal{
                "no chemistry type (KELPIRA.CHEMISTRY.TYPE) in the header; "
                "choose the chemistry with --chemistry"};
        }
        const auto chemistry = chemistry_of_type(*sniff.chemistry);
        if (!chemistry) {
            return Refusal{"chemistry type " + type_text(*sniff.chemistry) + " has no processing"};
        }
        f.chemistry = *chemistry;
    }
    if (auto refusal = check_overrides(f.chemistry)) {
        return *refusal;
    }
    // A fresh header per file: each file is processed with its own calibration.
    const auto reading =
        read_header(*file, chemistry_entry(f.chemistry).reading, f.header, options_.overrides);
    if (reading.read_error) {
        return Refusal{std::string(kReadErrorText)};
    }
    if (!reading.found && !overridden) {
        return no_header;
    }
    // A file without a TYPE key is taken as the chemistry the command line names.
    if (f.header.chemistry && chemistry_of_type(*f.header.chemistry) != f.chemistry) {
        return Refusal{"wrong chemistry type " + type_text(*f.header.chemistry) + " for " +
                       std::string(chemistry_entry(f.chemistry).display_name) + " processing"};
    }
    if (f.chemistry == ChemistryChoice::nutrient && !f.header.chemistry) {
        f.warnings.emplace_back(
            "no chemistry type (KELPIRA.CHEMISTRY.TYPE) in the header: a dilution ratio of "
            "1.0 is used; set the type with --set KELPIRA.CHEMISTRY.TYPE=N (1 nitrate, "
            "2 phosphate, 3 silicate, 5 nitrite, 6 iron)");
    }
    if (f.chemistry == ChemistryChoice::ph) {
        if (auto problem = ph_interval_problem(f.header.ph_sample_interval_ms)) {
            return Refusal{*problem};
        }
    }
    if (options_.format.format == OutputFormat::netcdf || clock_log_ || qc_) {
        f.sensor_name = read_sensor_name(*file);
    }
    if (clock_log_) {
        f.clock_records = sensor_records(*clock_log_, f.sensor_name);
    }
    f.size = file->size();
    return f;
}

std::optional<Refusal> BatchRun::check_single_chemistry() const {
    std::vector<const PreparedFile*> first_of;
    for (const auto& f : prepared_) {
        bool seen = false;
        for (const auto* g : first_of) {
            seen = seen || g->chemistry == f.chemistry;
        }
        if (!seen) {
            first_of.push_back(&f);
        }
    }
    if (first_of.size() < 2) {
        return std::nullopt;
    }
    std::string which;
    for (const auto* f : first_of) {
        which += (which.empty() ? "" : ", ") +
                 std::string(chemistry_entry(f->chemistry).display_name) + " in " + f->path;
    }
    return Refusal{"the files hold several chemistries (" + which +
                       "); process one chemistry per run, or choose one with --chemistry",
                   true};
}

void BatchRun::show_progress(std::uint64_t more_bytes, std::size_t file_number) {
    const std::uint64_t done = bytes_done_ += more_bytes;
    const std::lock_guard lock(err_mutex_);
    progress_->update(done, file_number);
}

// Runs on a job's thread: touches only its own file and `done`, and the progress bar under
// its lock.
void BatchRun::process_file(std::size_t index, bool logging, ProcessedFile& done,
                            const std::atomic<bool>& give_up) {
    const PreparedFile& f = prepared_[index];
    std::string error;
    auto file = RawFile::open(f.open_path, &error);
    if (!file) {
        done.failure = "cannot open: " + error;
        return;
    }
    if (logging) {
        done.log.append("Reading file " + f.path + "\n");
    }
    LogSink sink;
    if (logging) {
        sink = [&done](const std::string& line) {
            done.log.append(line);
            done.log.append("\n");
        };
    }
    std::uint32_t rows = 0;
    std::uint64_t shown = 0;  // bytes of this file already counted in the progress
    const auto tick = [&] {
        if (progress_ && ++rows % kProgressRows == 0) {
            show_progress(file->position() - shown, index + 1);
            shown = file->position();
        }
    };
    std::optional<TableWriter> table;
    if (options_.format.format == OutputFormat::netcdf || qc_) {
        table.emplace(f.chemistry, f.header, std::move(sink), done.records);
    } else {
        table.emplace(f.chemistry, f.header, std::move(sink), done.results);
    }
    if (clock_log_) {
        table->correct_times(f.clock_records, done.span);
    }
    const RowPass pass =
        for_each_row(*file, chemistry_entry(f.chemistry).reading, [&](const RawRow& row) {
            table->feed(row);
            tick();
            return !give_up.load(std::memory_order_relaxed) && !common::interrupted();
        });
    bytes_done_ += f.size - std::min(shown, f.size);
    if (pass != RowPass::completed) {
        done.results.clear();
        done.records.clear();
        done.failure = std::string(kReadErrorText);
    }
}

bool BatchRun::join_output(std::size_t index, ProcessedFile& done, std::ostream* out,
                           std::ostream* log) {
    const PreparedFile& f = prepared_[index];
    if (log != nullptr) {
        const std::lock_guard lock(err_mutex_);
        if (!done.log.move_to(*log)) {
            log_lost_ = true;
        }
    }
    if (done.failure) {
        report(f.path, *done.failure);
        if (netcdf_) {
            netcdf_->fail_input(static_cast<std::uint32_t>(index), *done.failure);
        }
        return true;
    }
    if (clock_log_) {
        for (const auto& text :
             correction_warnings(*clock_log_, f.sensor_name, f.clock_records, done.span)) {
            warn(f.path, text);
        }
    }
    // A file read to its end that gave nothing is not an error of the file, but a silent empty
    // table would read as one processed: say so.
    if (done.results.empty() && done.records.empty()) {
        warn(f.path, "no results: no measurement cycle of " +
                         std::string(chemistry_entry(f.chemistry).display_name) +
                         " is complete in its rows (its processing parameters name the states a "
                         "cycle must pass)");
    }
    if (qc_) {
        any_written_ = true;
        for (auto& record : done.records) {
            qc_rows_.push_back({static_cast<std::uint32_t>(index), std::move(record)});
        }
        return true;
    }
    if (netcdf_) {
        any_written_ = true;
        for (const auto& record : done.records) {
            if (!netcdf_->add(static_cast<std::uint32_t>(index), record)) {
                return false;
            }
        }
        return true;
    }
    if (!any_written_) {
        *out << table_header_line(f.chemistry, clock_log_.has_value());
        any_written_ = true;
    }
    return done.results.move_to(*out);
}

// Writes the results to `out`, or to the NetCDF file being written when `out` is null.
bool BatchRun::write_table(std::ostream* out, std::ostream* log) {
    table_started_ = true;
    std::vector<ProcessedFile> processed(prepared_.size());
    const bool all = run_ordered(
        prepared_.size(), jobs_, jobs_ * kFilesAheadPerJob,
        [&](std::size_t i, const std::atomic<bool>& give_up) {
            process_file(i, log != nullptr, processed[i], give_up);
        },
        [&](std::size_t i) {
            // What the file held is let go once it has joined the output.
            ProcessedFile done = std::exchange(processed[i], ProcessedFile{});
            return !common::interrupted() && join_output(i, done, out, log);
        });
    if (!all) {
        return false;
    }
    if (progress_) {
        progress_->finish();
    }
    if (qc_ && any_written_ && !write_flagged(out)) {
        return false;
    }
    return any_written_ && (out == nullptr || static_cast<bool>(out->flush()));
}

std::vector<NetcdfInput> BatchRun::inputs() const {
    std::vector<NetcdfInput> out;
    for (const auto& f : prepared_) {
        out.push_back({f.path, f.header, f.sensor_name, f.clock_records});
    }
    return out;
}

// The results held for --qc, flagged, into the table or the NetCDF file.
bool BatchRun::write_flagged(std::ostream* out) {
    const auto chemistry = prepared_.front().chemistry;
    const auto in = inputs();
    const auto flagged = flag_results(*qc_, chemistry, in, qc_rows_, clock_log_.has_value());
    for (const auto& text : flagged.warnings) {
        warn("--qc", text);
    }
    if (!netcdf_) {
        *out << quality_table_header_line(chemistry, clock_log_.has_value());
    }
    for (std::size_t r = 0; r < qc_rows_.size(); ++r) {
        const auto& row = qc_rows_[r];
        if (netcdf_) {
            if (!netcdf_->add(row.input, row.record, flagged.rows[r])) {
                return false;
            }
            continue;
        }
        const auto& f = prepared_[row.input];
        *out << quality_table_line(
            chemistry, row.record, f.sensor_name,
            clock_log_
                ? std::optional(corrected_time(f.clock_records, result_sensor_time(row.record)))
                : std::nullopt,
            flagged.rows[r]);
    }
    return true;
}

// One NetCDF file of every file's results, with the parameters each file was processed with.
bool BatchRun::write_netcdf(const std::string& temporary, std::ostream* log) {
    NetcdfDescription description;
    description.chemistry = prepared_.front().chemistry;
    description.inputs = inputs();
    description.quality = qc_;
    if (clock_log_) {
        description.clock_log = clock_log_->path;
    }
    description.attributes = options_.format.attributes;
    description.feature_type = options_.format.feature_type;
    description.positions = positions_;
    description.track = track_;
    description.history = options_.command_line;
    description.created = std::time(nullptr);
    netcdf_ = NetcdfWriter::create(temporary, std::move(description), netcdf_error_);
    if (!netcdf_) {
        table_started_ = true;
        any_written_ = true;  // said as a file that cannot be written
        return false;
    }
    bool ok = write_table(nullptr, log);
    // An interrupted run leaves no file, so its end is not written either.
    ok = ok && netcdf_->finish();
    if (ok) {
        for (const auto& text : netcdf_->warnings()) {
            warn(*options_.output, text);
        }
    }
    if (netcdf_error_.empty()) {
        netcdf_error_ = netcdf_->error();
    }
    netcdf_.reset();
    return ok;
}

void BatchRun::process_all(std::ostream* log) {
    if (options_.format.format == OutputFormat::netcdf) {
        table_written_ = common::write_path_safely(
            *options_.output,
            [&](const std::string& temporary) { return write_netcdf(temporary, log); },
            &output_refused_);
    } else if (options_.writes_to_stdout()) {
        table_written_ = write_table(&out_, log);
    } else {
        table_written_ = common::write_file_safely(
            *options_.output, [&](std::ostream& out) { return write_table(&out, log); },
            &output_refused_);
    }
}

// Processes the files with their log where --log says; false when the log could not even
// be created, and nothing was processed.
bool BatchRun::write_log() {
    if (!options_.log) {
        process_all(nullptr);
        return true;
    }
    if (*options_.log == "-") {
        process_all(&err_);
        if (log_lost_) {
            err_ << kProgram << "cannot write the whole log to standard error\n";
            any_failed_ = true;
        }
        return true;
    }
    bool created = false;
    std::string refused;
    const bool log_written = common::write_file_safely(
        *options_.log,
        [&](std::ostream& log) {
            created = true;
            process_all(&log);
            // An interrupted run leaves no log file either, and a log missing lines none.
            return !common::interrupted() && !log_lost_ && static_cast<bool>(log.flush());
        },
        &refused);
    if (!log_written && !common::interrupted()) {
        err_ << kProgram << (refused.empty() ? "cannot write the log to " + *options_.log : refused)
             << '\n';
        any_failed_ = true;
    }
    return created;
}

// The positions and the track files the NetCDF file places its results with.
bool BatchRun::read_places() {
    positions_ = options_.format.positions;
    const auto read = [&](const std::string& what, const std::string& path, auto parse,
                          auto& into) {
        std::ifstream in(path, std::ios::binary);
        std::string text(kMaxPlacesBytes + 1, '\0');
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(in.gcount()));
        std::string error;
        if (!in.eof() || in.bad()) {
            error = text.size() > kMaxPlacesBytes ? "larger than 16 MiB" : "cannot be read";
        } else if (auto rows = parse(text, error)) {
            into.insert(into.end(), rows->begin(), rows->end());
            return true;
        }
        err_ << kProgram << what << " " << path << ": " << common::visible_text(error) << '\n';
        return false;
    };
    const auto& f = options_.format;
    return (!f.positions_file ||
            read("positions", *f.positions_file, parse_positions_csv, positions_)) &&
           (!f.track_file || read("track", *f.track_file, parse_track_csv, track_));
}

int BatchRun::run() {
    if (auto refusal = check_paths()) {
        err_ << kProgram << refusal->reason << '\n';
        return kExitUsage;
    }
    if (options_.clock_log) {
        std::string error;
        clock_log_ = load_clock_log(*options_.clock_log, error);
        if (!clock_log_) {
            err_ << kProgram << error << '\n';
            return kExitFileFailed;
        }
    }
    if (options_.qc) {
        std::string error;
        qc_ = quality::load_qc_parameters(*options_.qc, error);
        if (!qc_) {
            err_ << kProgram << "--qc " << error << '\n';
            return kExitFileFailed;
        }
    }
    if (!read_places()) {
        return kExitFileFailed;
    }
    if (const auto status = prepare_all()) {
        return *status;
    }
    if (auto refusal = check_single_chemistry()) {
        err_ << kProgram << refusal->reason << '\n';
        return kExitUsage;
    }
    if (qc_ && !prepared_.empty()) {
        const auto problem =
            quality_parameters_problem(*qc_, prepared_.front().chemistry, inputs());
        if (!problem.empty()) {
            err_ << kProgram << "--qc " << *options_.qc << ": " << problem << '\n';
            return kExitFileFailed;
        }
    }
    if (prepared_.empty()) {
        return kExitFileFailed;
    }
    if (options_.progress) {
        std::uint64_t total = 0;
        for (const auto& f : prepared_) {
            total += f.size;
        }
        progress_.emplace(err_, total, prepared_.size());
    }

    const bool log_created = write_log();
    if (common::interrupted()) {
        return kExitInterrupted;
    }
    if (!log_created) {
        return kExitFileFailed;
    }
    // An output that cannot be opened stops the run before any file is processed.
    if (!table_written_ && (any_written_ || !table_started_)) {
        if (!output_refused_.empty()) {
            err_ << kProgram << output_refused_ << '\n';
        } else {
            const std::string why = !netcdf_error_.empty() ? netcdf_error_
                                    : options_.writes_to_stdout()
                                        ? std::string("it was closed or is full")
                                        : write_problem(*options_.output);
            err_ << kProgram << "cannot write the results to "
                 << (options_.writes_to_stdout() ? std::string("standard output")
                                                 : *options_.output)
                 << ": " << why << '\n';
        }
        return kExitFileFailed;
    }
    return any_failed_ ? kExitFileFailed : kExitProcessed;
}

}  // namespace

int run_batch(const BatchOptions& options, std::istream& standard_input,
              std::ostream& standard_output, std::ostream& standard_error) {
    if (options.series) {
        return run_series_quality(options, standard_input, standard_output, standard_error);
    }
    return BatchRun(options, standard_input, standard_output, standard_error).run();
}

}  // namespace kelpira::processing
