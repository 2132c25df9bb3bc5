// The whole deployment check against the in-process virtual sensor, which answers at once:
// the software's share (reads through the link, dry runs, rules). A real sensor adds one USB
// round trip of a few milliseconds per command. Also the rules alone, on what was read.
#include <benchmark/benchmark.h>

#include <chrono>

#include "deployment_check/deployment_check.hpp"
#include "deployment_check/program_walk.hpp"
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
    in.stroke_ul = deployment_check::StrokeVolume{50, 50};
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
    // A check that stopped early would time nothing worth timing.
    const auto first = deployment_check::run_check(sensor_link, in);
    if (first.readiness == deployment_check::Readiness::not_checked || !first.configuration ||
        !first.timeline) {
        state.SkipWithError("the check did not read the whole sensor");
        return;
    }
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

// The longest walk the check decides: a 255-state program whose counters nest two rounds of
// 255 (16.5 million states entered before it stops).
statemachine::StateMachineImage nested_program() {
    statemachine::StateMachineImage image;
    image.last_index = statemachine::kMaxLastIndex;
    for (std::size_t i = 0; i < statemachine::kMaxStates; ++i) {
        auto& s = image.states[i];
        s.default_next = static_cast<std::uint8_t>(i + 1);
        s.delay_s = 1;
    }
    image.states[254].power_mode = statemachine::kPowerIdle;
    for (std::size_t k = 0; k < 2; ++k) {
        auto& s = image.states[252 + k];
        s.default_next = 0;
        s.counter[k] = {1, 254, static_cast<std::uint8_t>(253 + k),
                        statemachine::kCounterIncAndTest};
    }
    return image;
}

void BM_ProgramWalk_NestedCounters(benchmark::State& state) {
    const auto image = nested_program();
    for (auto _ : state) {
        benchmark::DoNotOptimize(deployment_check::walk_program(image, 0));
    }
}
BENCHMARK(BM_ProgramWalk_NestedCounters)->Unit(benchmark::kMillisecond);

// The whole judgement of a sensor holding that program: the walk, its fault paths and the
// timeline over its 16.5 million states.
void BM_DeploymentCheck_NestedCounters(benchmark::State& state) {
    link::InProcessHidBackend backend;
    virtual_sensor::VirtualSensor sensor;
    virtual_sensor::attach_in_process(backend, kPath, sensor);
    link::SensorLink sensor_link(backend);
    if (sensor_link.Open(kPath, 3000ms) != 0) {
        state.SkipWithError("the device did not open");
        return;
    }
    auto reading = deployment_check::read_sensor(sensor_link, {});
    sensor_link.Close();
    reading.program = nested_program();
    const auto in = inputs();
    for (auto _ : state) {
        benchmark::DoNotOptimize(deployment_check::judge(reading, in));
    }
}
BENCHMARK(BM_DeploymentCheck_NestedCounters)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
