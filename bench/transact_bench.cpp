// Microseconds per SensorLink::Transact round trip against in-process devices that answer at
// once: the software's share of a transaction, which a USB round trip of 2 to 4 ms dwarfs.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <semaphore>
#include <thread>

#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

using namespace kelpira;
using namespace std::chrono_literals;

namespace {

constexpr auto kPath = "/dev/virtual/bench";

void run(benchmark::State& state, link::SensorLink& sensor_link, std::uint16_t code) {
    if (sensor_link.Open(kPath, 3000ms) != 0) {
        state.SkipWithError("the device did not open");
        return;
    }
    for (auto _ : state) {
        link::SensorCommand command;
        command.set_code(code);
        if (sensor_link.Transact(command) != link::kResultSuccess) {
            state.SkipWithError("a transaction failed");
            break;
        }
        benchmark::DoNotOptimize(command.bytes);
    }
    sensor_link.Close();
}

// The device echoes the request: the link, its I/O thread and the device queue alone.
void BM_Transact_Echo(benchmark::State& state) {
    link::InProcessHidBackend backend;
    backend.add(kPath, "VID_04D8&PID_EABC", [](const link::Report& request) {
        link::InProcessReport answer;
        answer.bytes = request;
        answer.bytes[4] = 0;
        return std::vector<link::InProcessReport>{answer};
    });
    link::SensorLink sensor_link(backend);
    run(state, sensor_link, 400);
}
BENCHMARK(BM_Transact_Echo)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The emulated sensor answers GET_LIVE_STATUS, as the status poll asks it every second.
void BM_Transact_VirtualSensor(benchmark::State& state) {
    link::InProcessHidBackend backend;
    virtual_sensor::VirtualSensor sensor;
    virtual_sensor::attach_in_process(backend, kPath, sensor);
    link::SensorLink sensor_link(backend);
    run(state, sensor_link, 418);
}
BENCHMARK(BM_Transact_VirtualSensor)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The baseline: a round trip between two threads through a pair of std::binary_semaphore, the
// least a hand-off to the I/O thread and back can cost on this machine.
void BM_SemaphorePingPong(benchmark::State& state) {
    std::binary_semaphore ping(0);
    std::binary_semaphore pong(0);
    std::atomic<bool> stop{false};
    std::thread partner([&] {
        for (;;) {
            ping.acquire();
            if (stop.load()) {
                return;
            }
            pong.release();
        }
    });
    for (auto _ : state) {
        ping.release();
        pong.acquire();
    }
    stop.store(true);
    ping.release();
    partner.join();
}
BENCHMARK(BM_SemaphorePingPong)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
