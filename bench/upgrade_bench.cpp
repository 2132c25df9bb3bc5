// The software's time per upgrade block: a 256 KiB image streamed from its file to the
// emulated sensor served in-process with no device latency. A USB full-speed round trip takes
// 4 to 6 ms, so the goal is under 40 microseconds a block. per_block is the real time of one
// block; the CPU column divided by the 4097 blocks of an image is its processor time.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"
#include "link/upgrade_block.hpp"
#include "maintenance/upgrade_streamer.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

using namespace kelpira;

namespace {

constexpr auto kPath = "/dev/virtual/upgrade-bench";
constexpr std::size_t kImageSize = 256 * 1024;
constexpr double kBlocksPerImage = kImageSize / link::kBlockDataSize + 1;  // + closing

std::string write_image() {
    const auto path = std::filesystem::temp_directory_path() /
                      ("kelpira-upgrade-bench-" + std::to_string(::getpid()) + ".bin");
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < kImageSize; ++i) {
        out.put(static_cast<char>(i * 7));
    }
    return path.string();
}

// A sensor running its firmware takes a bootloader image again and again; it restarts on
// every closing block without leaving (no host to leave).
void BM_UpgradeImage(benchmark::State& state) {
    const std::string image_path = write_image();
    link::InProcessHidBackend backend;
    virtual_sensor::VirtualSensor sensor;
    backend.add(kPath, sensor.hardware_id(),
                [&sensor](const link::Report& request) { return sensor.handle(request); });
    link::SensorLink sensor_link(backend);
    if (sensor_link.Open(kPath, std::chrono::milliseconds(5000)) != 0) {
        state.SkipWithError("the device did not open");
        return;
    }
    for (auto _ : state) {
        std::ifstream image(image_path, std::ios::binary);
        const auto outcome = maintenance::stream_image(
            sensor_link, image, link::kBootloaderLoadAddress, [] { return false; },
            [](std::uint32_t bytes) { benchmark::DoNotOptimize(bytes); });
        if (outcome.status != maintenance::kUpgradeComplete) {
            state.SkipWithError("the upgrade failed");
            break;
        }
        sensor.clear_log();
    }
    sensor_link.Close();
    std::filesystem::remove(image_path);
    state.counters["per_block"] =
        benchmark::Counter(kBlocksPerImage, benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}
// Real time counts the hand-offs between this thread, the link's I/O thread and back, which a
// loaded machine stretches; the process's CPU time is the work itself, on every thread.
BENCHMARK(BM_UpgradeImage)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
