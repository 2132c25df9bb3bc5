// Speed of kelpira-process end to end on realistic raw files (a nutrient file and a pH
// file), of the row reader alone, and of plain reading as the floor; the same files written as
// a CSV table and as a NetCDF file (which must cost at most 1.5 times the CSV); and a fleet's
// files (8 nutrient files of 100 MB) processed with 1 and with 2 jobs.
//
//   process_bench                                   run the benchmarks (files of 100 MB in
//                                                   $TMPDIR, made on first use; the fleet's
//                                                   files in a folder of their own there,
//                                                   removed at the end)
//   process_bench --benchmark_filter=Jobs           the fleet alone
//   process_bench --generate nutrient|ph MB FILE    write one raw file of about MB megabytes
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "processing/batch_runner.hpp"
#include "processing/raw_file.hpp"
#include "processing/raw_row_scan.hpp"

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMegabyte = 1000000;
constexpr std::uint64_t kBenchFileBytes = 100 * kMegabyte;

const char* const kNutrientHeader =
    "%KELPIRA.HEADER_START\n"
    "%KELPIRA.CORE.SENSOR_NAME=KELPIRA-0042\n"
    "%KELPIRA.CHEMISTRY.TYPE=1\n"
    "%KELPIRA.CHEMISTRY.SENSOR_VERSION=0\n"
    "%KELPIRA.CHEMISTRY.MEASUREMENT_CHANNEL_MEDIUM=0\n"
    "%KELPIRA.CHEMISTRY.MEASUREMENT_CHANNEL_SHORT=1\n"
    "%KELPIRA.CHEMISTRY.MEASUREMENT_CHANNEL_LONG=2\n"
    "%KELPIRA.CHEMISTRY.MONITORING_CHANNEL_MEDIUM=3\n"
    "%KELPIRA.CHEMISTRY.MONITORING_CHANNEL_SHORT=255\n"
    "%KELPIRA.CHEMISTRY.MONITORING_CHANNEL_LONG=255\n"
    "%KELPIRA.CHEMISTRY.OUTPUT_CHANNEL_SELECTION=0\n"
    "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=1\n"
    "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE=4\n"
    "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE=2\n"
    "%KELPIRA.CHEMISTRY.STANDARD1_MEASUREMENT_STATE=3\n"
    "%KELPIRA.CHEMISTRY.STANDARD2_MEASUREMENT_STATE=6\n"
    "%KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=10.000\n"
    "%KELPIRA.CHEMISTRY.STANDARD2_CONCENTRATION=20.000\n"
    "%KELPIRA.CHEMISTRY.STANDARD_ADJUSTMENT=0\n"
    "%KELPIRA.CHEMISTRY.PROCESSING_TRIGGER=2\n"
    "%KELPIRA.CHEMISTRY.ENABLE_OPTICAL_CORRECTION=0\n"
    "%KELPIRA.HEADER_END\n"
    "%Counter,State,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Supply,Temp,Status,Flags,Time,"
    "Salinity,Temperature,Oxygen,Depth,PlatformTime\n";

const char* const kPhHeader =
    "%KELPIRA.HEADER_START\n"
    "%KELPIRA.CHEMISTRY.TYPE=4\n"
    "%KELPIRA.CHEMISTRY.SENSOR_VERSION=0\n"
    "%KELPIRA.CHEMISTRY.SAMPLE_INTERVAL=100\n"
    "%KELPIRA.CHEMISTRY.INPUT_CHANNEL_434=0\n"
    "%KELPIRA.CHEMISTRY.INPUT_CHANNEL_578=1\n"
    "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=1\n"
    "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE=2\n"
    "%KELPIRA.CHEMISTRY.BLANK_START_OFFSET=50\n"
    "%KELPIRA.CHEMISTRY.BLANK_END_OFFSET=70\n"
    "%KELPIRA.CHEMISTRY.ABSORBANCE_MIN_434=0.1\n"
    "%KELPIRA.CHEMISTRY.ABSORBANCE_MAX_578=0.6\n"
    "%KELPIRA.CHEMISTRY.DPH_BY_DT=-0.01582\n"
    "%KELPIRA.CHEMISTRY.R_ADJUSTMENT_SCALE=1.0\n"
    "%KELPIRA.CHEMISTRY.R_ADJUSTMENT_OFFSET=0.0\n"
    "%KELPIRA.CHEMISTRY.T1_ADJUSTMENT_SCALE=0.5\n"
    "%KELPIRA.CHEMISTRY.T2_ADJUSTMENT_SCALE=0.5\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_INPUT_CHANNEL.0=6\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_A.0=0.0\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_B.0=0.0\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_C.0=-20.0\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_D.0=60.0\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_INPUT_CHANNEL.1=7\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_A.1=0.0\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_B.1=0.0\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_C.1=-20.0\n"
    "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_D.1=60.0\n"
    "%KELPIRA.HEADER_END\n"
    "%Counter,State,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,Supply,Temp,Status,Flags,Time,"
    "Salinity,Temperature,Oxygen,Depth,PlatformTime\n";

// A sample every second; a small deterministic jitter so that the numbers vary as readings do.
struct RowWriter {
    std::string text;
    std::uint32_t counter = 0;
    std::uint32_t time = 1700000000;
    std::uint32_t noise = 12345;  // a sensor of its own for another seed

    double jitter() {
        noise = noise * 1103515245u + 12345u;
        return static_cast<double>((noise >> 16) & 0x3ff) / 1024.0 * 1e-3;
    }

    void row(int state, const double (&ch)[8]) {
        char line[400];
        const int n = std::snprintf(
            line, sizeof line,
            "%u,%d,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,%.3f,%.3f,%u,%u,%u,%.4f,%.4f,%.3f,"
            "%.2f,%u\n",
            counter, state, ch[0] + jitter(), ch[1] + jitter(), ch[2] + jitter(), ch[3] + jitter(),
            ch[4], ch[5], ch[6] + jitter(), ch[7] + jitter(), 12.1 + jitter(), 18.25, 0u, 1u, time,
            35.1234 + jitter(), 12.3456 + jitter(), 6.789, 10.5, time + 3);
        text.append(line, static_cast<std::size_t>(n));
        ++counter;
        ++time;
    }
};

// Nutrient cycles: intake, blank, standard 1, sample, flush.
void append_nutrient_cycle(RowWriter& w) {
    const double blank[8] = {2.5, 2.4, 2.3, 2.2, 0, 0, 0, 0};
    const double standard[8] = {1.25, 1.6, 0.9, 2.2, 0, 0, 0, 0};
    const double sample[8] = {2.0, 2.1, 1.6, 2.21, 0, 0, 0, 0};
    const double flush[8] = {2.4, 2.3, 2.2, 2.2, 0, 0, 0, 0};
    for (int i = 0; i < 5; ++i)
        w.row(1, flush);
    for (int i = 0; i < 60; ++i)
        w.row(2, blank);
    for (int i = 0; i < 60; ++i)
        w.row(3, standard);
    for (int i = 0; i < 60; ++i)
        w.row(4, sample);
    for (int i = 0; i < 120; ++i)
        w.row(5, flush);
}

// pH cycles: intake, then 100 s of measurement at 10 rows a second (blank, then a dye peak
// flushing out), then flush.
void append_ph_cycle(RowWriter& w) {
    const double thermistor = 2.0;  // 20 degrees C through the header calibration
    for (int i = 0; i < 10; ++i) {
        const double ch[8] = {3.0, 3.0, 0, 0, 0, 0, thermistor, thermistor};
        w.row(1, ch);
    }
    for (int i = 0; i < 1000; ++i) {
        double a434 = 0, a578 = 0;
        if (i > 720) {
            const double x = (i - 720) / 280.0;
            a434 = 1.2 * x * std::exp(1 - x * 4) + 0.02;
            a578 = 1.8 * a434 + 0.1 * a434 * a434;
        }
        const double ch[8] = {3.0 * std::pow(10, -a434),
                              3.0 * std::pow(10, -a578),
                              0,
                              0,
                              0,
                              0,
                              thermistor,
                              thermistor};
        w.row(2, ch);
    }
    for (int i = 0; i < 50; ++i) {
        const double ch[8] = {3.0, 3.0, 0, 0, 0, 0, thermistor, thermistor};
        w.row(3, ch);
    }
}

void generate(const std::string& kind, std::uint64_t bytes, const std::string& path,
              std::uint32_t seed = 12345) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const bool ph = kind == "ph";
    out << (ph ? kPhHeader : kNutrientHeader);
    std::uint64_t written = 0;
    RowWriter w;
    w.noise = seed;
    while (written < bytes) {
        w.text.clear();
        ph ? append_ph_cycle(w) : append_nutrient_cycle(w);
        out.write(w.text.data(), static_cast<std::streamsize>(w.text.size()));
        written += w.text.size();
    }
}

std::string bench_file(const std::string& kind) {
    const char* tmp = std::getenv("TMPDIR");
    const fs::path path =
        fs::path(tmp != nullptr ? tmp : "/tmp") / ("kelpira_bench_" + kind + "_100MB.csv");
    std::error_code ec;
    if (!fs::exists(path, ec) || fs::file_size(path, ec) < kBenchFileBytes) {
        generate(kind, kBenchFileBytes, path.string());
    }
    return path.string();
}

void BM_ReadFloor(benchmark::State& state, const std::string& kind) {
    const std::string path = bench_file(kind);
    std::vector<char> buffer(1 << 20);
    std::uint64_t total = 0;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        ssize_t n;
        while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) {
            total += static_cast<std::uint64_t>(n);
        }
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

void BM_RowReader(benchmark::State& state, const std::string& kind) {
    const std::string path = bench_file(kind);
    const auto chemistry = kind == "ph" ? kelpira::processing::RawChemistry::ph
                                        : kelpira::processing::RawChemistry::nutrient_multi;
    std::uint64_t total = 0;
    for (auto _ : state) {
        auto file = kelpira::processing::RawFile::open(path);
        std::uint64_t rows = 0;
        kelpira::processing::for_each_row(*file, chemistry, [&](const auto&) {
            ++rows;
            return true;
        });
        benchmark::DoNotOptimize(rows);
        total += file->size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

void BM_ProcessEndToEnd(benchmark::State& state, const std::string& kind) {
    const std::string path = bench_file(kind);
    kelpira::processing::BatchOptions options;
    options.files = {path};
    options.output = "/dev/null";
    std::istringstream no_input;
    std::ostringstream out, err;
    std::uint64_t total = 0;
    for (auto _ : state) {
        const int status = kelpira::processing::run_batch(options, no_input, out, err);
        if (status != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
        total += fs::file_size(path);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

// The whole run into a file of its own in $TMPDIR, as CSV or as NetCDF.
void BM_ProcessToFile(benchmark::State& state, const std::string& kind,
                      kelpira::processing::OutputFormat format) {
    const std::string path = bench_file(kind);
    const bool netcdf = format == kelpira::processing::OutputFormat::netcdf;
    const char* tmp = std::getenv("TMPDIR");
    const fs::path output = fs::path(tmp != nullptr ? tmp : "/tmp") /
                            ("kelpira_bench_results." + std::string(netcdf ? "nc" : "csv"));
    kelpira::processing::BatchOptions options;
    options.files = {path};
    options.output = output.string();
    options.format.format = format;
    std::istringstream no_input;
    std::ostringstream out, err;
    std::uint64_t total = 0;
    for (auto _ : state) {
        if (kelpira::processing::run_batch(options, no_input, out, err) != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
        total += fs::file_size(path);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
    std::error_code ec;
    fs::remove(output, ec);
}

// A fleet's files, each from a sensor of its own, in a folder made for this run of the
// benchmark and removed at its end.
class Fleet {
  public:
    static constexpr int kFiles = 8;

    Fleet() {
        const char* tmp = std::getenv("TMPDIR");
        std::string folder = (fs::path(tmp != nullptr ? tmp : "/tmp") / "kelpira_fleet_XXXXXX");
        folder_ = ::mkdtemp(folder.data()) != nullptr ? folder : "";
        for (int i = 0; i < kFiles && !folder_.empty(); ++i) {
            files_.push_back((fs::path(folder_) / ("R000000" + std::to_string(i) + ".CSV")));
            generate("nutrient", kBenchFileBytes, files_.back(), 1000u + static_cast<unsigned>(i));
        }
    }
    ~Fleet() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    Fleet(const Fleet&) = delete;
    Fleet& operator=(const Fleet&) = delete;

    const std::vector<std::string>& files() const { return files_; }
    std::string output(int jobs) const {
        return (fs::path(folder_) / ("results-" + std::to_string(jobs) + ".csv")).string();
    }

  private:
    std::string folder_;
    std::vector<std::string> files_;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The whole fleet with state.range(0) jobs; the table must be the one a single job writes.
void BM_FleetWithJobs(benchmark::State& state) {
    static const Fleet fleet;
    const int jobs = static_cast<int>(state.range(0));
    kelpira::processing::BatchOptions options;
    options.files = fleet.files();
    options.output = fleet.output(jobs);
    options.jobs = static_cast<unsigned>(jobs);
    std::istringstream no_input;
    std::ostringstream out, err;
    std::uint64_t total = 0;
    for (auto _ : state) {
        if (kelpira::processing::run_batch(options, no_input, out, err) != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
        for (const auto& f : fleet.files()) {
            total += fs::file_size(f);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
    if (jobs != 1 && fs::exists(fleet.output(1)) &&
        slurp(fleet.output(jobs)) != slurp(fleet.output(1))) {
        state.SkipWithError("the table differs from the one-job table");
    }
}

BENCHMARK(BM_FleetWithJobs)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadFloor, nutrient, std::string("nutrient"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RowReader, nutrient, std::string("nutrient"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessEndToEnd, nutrient, std::string("nutrient"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessToFile, nutrient_csv, std::string("nutrient"),
                  kelpira::processing::OutputFormat::csv)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessToFile, nutrient_netcdf, std::string("nutrient"),
                  kelpira::processing::OutputFormat::netcdf)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadFloor, ph, std::string("ph"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RowReader, ph, std::string("ph"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessEndToEnd, ph, std::string("ph"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessToFile, ph_csv, std::string("ph"),
                  kelpira::processing::OutputFormat::csv)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessToFile, ph_netcdf, std::string("ph"),
                  kelpira::processing::OutputFormat::netcdf)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string_view(argv[1]) == "--generate") {
        generate(argv[2], std::strtoull(argv[3], nullptr, 10) * kMegabyte, argv[4]);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
