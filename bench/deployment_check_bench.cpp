// The whole deployment check against the in-process virtual sensor, which answers at once:
// the software's share (reads through the link, dry runs, rules). A real sensor adds one USB
// round trip of a few milliseconds per command. Also the rules alone, on what was read.
#include <benchmark/benchmark.h>

#include <chrono>

#include "deployment_check/deployment_check.hpp"
#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

using namespace kelpira;
using namespace std::chrono_literals;

namespace {

constexpr auto kPath = "/dev/virtual/bench";

deployment_check::CheckInputs inputs() {
    deployment_check::CheckInputs in;
    in.days = 30;
    in.stroke_ul = 50;
    in.reagents = {{1, 250}, {2, 250}};
    in.platform = deployment_check::HostPlatform::seaglider;
    return in;
}

void BM_DeploymentCheck_VirtualSensor(benchmark::State& state) {
    link::InProcessHidBackend backend;
    virtual_sensor::VirtualSensor sensor;
    virtual_sensor::attach_in_process(backend, kPath, sensor);
    link::SensorLink sensor_link(backend);
    if (sensor_link.Open(kPath, 3000ms) != 0) {
        state.SkipWithError("the device did not open");
        return;
    }
    const auto in = inputs();
    for (auto _ : state) {
        benchmark::DoNotOptimize(deployment_check::run_check(sensor_link, in));
    }
    sensor_link.Close();
}
BENCHMARK(BM_DeploymentCheck_VirtualSensor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DeploymentCheck_RulesOnly(benchmark::State& state) {
    link::InProcessHidBackend backend;
    virtual_sensor::VirtualSensor sensor;
    virtual_sensor::attach_in_process(backend, kPath, sensor);
    link::SensorLink sensor_link(backend);
    if (sensor_link.Open(kPath, 3000ms) != 0) {
        state.SkipWithError("the device did not open");
        return;
    }
    const auto reading = deployment_check::read_sensor(sensor_link, {});
    sensor_link.Close();
    const auto in = inputs();
    for (auto _ : state) {
        benchmark::DoNotOptimize(deployment_check::judge(reading, in));
    }
}
BENCHMARK(BM_DeploymentCheck_RulesOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
