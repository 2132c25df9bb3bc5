// The four quality tests and the aggregate over a million records of a nutrient series
// (hourly, a slow tide, ripple, stuck runs, spikes and missing values), all at once and one
// record at a time as the processed output views flag them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "quality/live_series.hpp"
#include "quality/qc_tests.hpp"

using namespace kelpira;

namespace {

constexpr std::size_t kRecords = 1000000;

struct Series {
    std::vector<double> times;
    std::vector<double> values;
};

const Series& million_records() {
    static const Series series = [] {
        Series s;
        std::mt19937 random(36);
        std::uniform_real_distribution<double> unit(0, 1);
        double value = 12;
        for (std::size_t i = 0; i < kRecords; ++i) {
            s.times.push_back(1.8e9 + 3600.0 * static_cast<double>(i));
            const double u = unit(random);
            if (u < 0.01) {
                s.values.push_back(std::numeric_limits<double>::quiet_NaN());
                continue;
            }
            if (u > 0.3) {  // otherwise the value sticks
                value = 12 + 4 * std::sin(static_cast<double>(i) / 12.4) + unit(random) * 0.2 +
                        (u > 0.999 ? 5 : 0);
            }
            s.values.push_back(std::round(value * 1000) / 1000);  // as exported, "%.3f"
        }
        return s;
    }();
    return series;
}

quality::SeriesParameters nitrate() {
    quality::SeriesParameters p;
    p.max_gap_s = 3 * 3600;
    p.gross_range = quality::GrossRangeTest{{-0.5, 60}, quality::Span{0, 40}};
    p.spike = quality::SpikeTest{1.0, 2.0};
    p.rate_of_change = quality::RateOfChangeTest{3, 90000, 0.5, 3};
    p.flat_line = quality::FlatLineTest{3, 5, 0.005, 0.1};
    return p;
}

void BM_AllFourTests(benchmark::State& state) {
    const auto& s = million_records();
    const auto p = nitrate();
    for (auto _ : state) {
        auto flags = quality::flag_series(p, s.times, s.values);
        benchmark::DoNotOptimize(flags.aggregate.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kRecords));
}
BENCHMARK(BM_AllFourTests)->Unit(benchmark::kMillisecond);

// The same records appended one by one: the cost of a record stays flat however many came
// before it.
void BM_LiveSeries(benchmark::State& state) {
    const auto& s = million_records();
    const auto p = nitrate();
    for (auto _ : state) {
        quality::LiveSeries series(p);
        for (std::size_t i = 0; i < kRecords; ++i) {
            auto flags = series.append(s.times[i], s.values[i]);
            benchmark::DoNotOptimize(flags);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kRecords));
}
BENCHMARK(BM_LiveSeries)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
