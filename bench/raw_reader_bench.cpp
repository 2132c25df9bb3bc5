// Speed of the raw output file reader alone: header pass and row pass over a generated,
// realistic nutrient file, in MB/s of file read.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "processing/raw_header.hpp"
#include "processing/raw_row_scan.hpp"

namespace {

using namespace kelpira::processing;

// About 64 MB of a nutrient deployment: one row a second through intake, blank, standard,
// sample and idle states, photodiode readings with noise, platform values present. In the
// steady file, as a sensor writes them, unused channels, supply and platform columns repeat row
// after row; in the other every real has noise (a file's worst case for the row scan).
std::filesystem::path nutrient_path(bool steady_columns) {
    return std::filesystem::temp_directory_path() /
           ("kelpira_raw_reader_bench_" + std::to_string(::getpid()) +
            (steady_columns ? "_steady" : "_noisy") + ".csv");
}

std::filesystem::path write_nutrient_file(bool steady_columns) {
    const auto p = nutrient_path(steady_columns);
    std::ofstream out(p, std::ios::binary);
    out << "%KELPIRA.HEADER_START\n"
           "%KELPIRA.CHEMISTRY.TYPE=1\n"
           "%KELPIRA.CORE.SENSOR_NAME=KELPIRA-0042\n"
           "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=1\n"
           "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE=2\n"
           "%KELPIRA.CHEMISTRY.STANDARD1_MEASUREMENT_STATE=3\n"
           "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE=4\n"
           "%KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=10.000\n"
           "%KELPIRA.CHEMISTRY.PROCESSING_TRIGGER=2\n"
           "%KELPIRA.HEADER_END\n"
           "%Counter,State,Ch0,Ch1,Ch2,Ch3,Ch4,Ch5,Ch6,Ch7,V1,V2,I1,I2,Time,S,T,O2,Depth,"
           "PTime\n";
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 0.002);
    const auto steady = [&](double v) { return steady_columns ? v : v + std::fabs(noise(rng)); };
    char line[512];
    std::uint32_t t = 1700000000;
    for (std::uint32_t i = 0; out.tellp() < (64 << 20); ++i, ++t) {
        const unsigned state = 1 + (i / 60) % 5;
        const double level = state == 3 ? 0.5 : state == 4 ? 0.8 : 1.0;
        const int n = std::snprintf(
            line, sizeof line,
            "%u,%u,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,%.3f,%.3f,%u,%u,%u,%.4f,%.4f,"
            "%.3f,%.2f,%u\n",
            i, state, level + noise(rng), level * 0.9 + noise(rng), level * 1.1 + noise(rng),
            1.0 + noise(rng), 0.01 + noise(rng), 2.5 + noise(rng), steady(0.002), steady(0.0),
            steady(12.01), steady(3.3), i % 4096, 512, t, 35.1 + noise(rng), 11.2 + noise(rng),
            steady(250.0), steady(12.5), t + 1);
        out.write(line, n);
    }
    return p;
}

const std::filesystem::path& nutrient_file() {
    static const std::filesystem::path path = write_nutrient_file(true);
    return path;
}

const std::filesystem::path& noisy_nutrient_file() {
    static const std::filesystem::path path = write_nutrient_file(false);
    return path;
}

void BM_RowPass(benchmark::State& state, const std::filesystem::path& (*file_path)()) {
    auto file = RawFile::open(file_path());
    const auto size = static_cast<std::int64_t>(file->size());
    double checksum = 0;
    for (auto _ : state) {
        const auto pass = for_each_row(*file, RawChemistry::nutrient, [&](const RawRow& row) {
            checksum += row.channels[0];
            return true;
        });
        benchmark::DoNotOptimize(pass);
    }
    benchmark::DoNotOptimize(checksum);
    state.SetBytesProcessed(size * static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK_CAPTURE(BM_RowPass, steady_columns, nutrient_file)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RowPass, every_real_noisy, noisy_nutrient_file)->Unit(benchmark::kMillisecond);

// The pH header pass reads every line of a file: the cost of finding lines alone.
void BM_HeaderPassToEnd(benchmark::State& state) {
    auto file = RawFile::open(nutrient_file());
    const auto size = static_cast<std::int64_t>(file->size());
    RawHeader header;
    for (auto _ : state) {
        benchmark::DoNotOptimize(read_header(*file, RawChemistry::ph, header));
    }
    state.SetBytesProcessed(size * static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_HeaderPassToEnd)->Unit(benchmark::kMillisecond);

// The floor: reading the same bytes in the same blocks without looking at them.
void BM_ReadOnly(benchmark::State& state) {
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(nutrient_file()));
    std::vector<char> block(1 << 20);
    for (auto _ : state) {
        std::FILE* f = std::fopen(nutrient_file().c_str(), "rb");
        while (std::fread(block.data(), 1, block.size(), f) > 0) {
        }
        std::fclose(f);
    }
    state.SetBytesProcessed(size * static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::error_code ec;
    std::filesystem::remove(nutrient_path(true), ec);
    std::filesystem::remove(nutrient_path(false), ec);
    return 0;
}
