// An emulated sensor served in-process with an open link, for the operation views' core.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "link/command_catalogue.hpp"
#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::testing {

class ViewSensorTest : public ::testing::Test {
  protected:
    static constexpr auto kPath = "/virtual/views0";

    // A short time-out: the faults used here are lost answers.
    void start(virtual_sensor::VirtualSensorOptions options = {}) {
        sensor = std::make_unique<virtual_sensor::VirtualSensor>(std::move(options));
        virtual_sensor::attach_in_process(backend, kPath, *sensor);
        ASSERT_EQ(link.Open(kPath, std::chrono::milliseconds(100)), 0);
        sensor->clear_log();
    }
    void SetUp() override { start(); }
    void TearDown() override { link.Close(); }

    void edit(const std::function<void(virtual_sensor::SensorState&)>& f) { sensor->edit_state(f); }
    void lose_answers(link::CommandCode code) {
        sensor->inject(link::code_value(code), {virtual_sensor::FaultKind::no_answer});
    }
    // The payloads the sensor received with this code.
    std::vector<std::vector<std::uint8_t>> sent(link::CommandCode code) const {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& c : sensor->log()) {
            if (c.code == link::code_value(code)) {
                out.push_back(c.payload);
            }
        }
        return out;
    }

    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    RecordingPrompter prompter;
    std::unique_ptr<virtual_sensor::VirtualSensor> sensor;
};

}  // namespace kelpira::testing
