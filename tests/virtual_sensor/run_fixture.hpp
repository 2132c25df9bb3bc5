// A virtual sensor with storage, a program loaded through the link, and helpers that run it on
// the fake clock and read back what it stored.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/board_commands.hpp"
#include "link/operation_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "records/diagnostics_records.hpp"
#include "records/output_record.hpp"
#include "statemachine/state_record.hpp"
#include "support/device_folder.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::virtual_sensor::testing {

// An operating state with the photodiodes and every LED on.
inline statemachine::StateRecord lit_state(std::uint32_t delay_s, std::uint8_t next) {
    statemachine::StateRecord s;
    s.normalised = 1;
    s.photodiode_power = 1;
    s.led_drive.fill(statemachine::kLedOn);
    s.state_switch = statemachine::kSwitchOn;
    s.delay_s = delay_s;
    s.default_next = next;
    return s;
}

inline statemachine::StateRecord idle_state() {
    statemachine::StateRecord s;
    s.normalised = 1;
    s.power_mode = statemachine::kPowerIdle;
    return s;
}

class RunFixture : public SensorFixture {
  protected:
    void start_with_storage(VirtualSensorOptions options = {}) {
        options.run.storage = storage.root;
        start(std::move(options));
    }

    void load(const std::vector<statemachine::StateRecord>& program) {
        for (std::size_t i = 0; i < program.size(); ++i) {
            ASSERT_EQ(
                link::set_state_record(link, static_cast<std::uint8_t>(i), i + 1 == program.size(),
                                       statemachine::encode(program[i])),
                0);
        }
    }

    // Moves the clock on in steps of a few seconds, as a status poll would see it.
    void run_for(std::chrono::seconds total) {
        for (auto t = std::chrono::seconds(0); t < total; t += std::chrono::seconds(5)) {
            fake_clock.advance(std::chrono::seconds(5));
            sensor->tick();
        }
    }

    std::vector<records::OutputRecord> outputs() {
        std::vector<records::OutputRecord> out;
        EXPECT_EQ(link::open_output_stream(link), 0);
        link::RecordBytes<link::kOutputRecordSize> bytes{};
        while (link::read_output_record(link, bytes) == 0) {
            out.push_back(records::decode_output_record(bytes));
        }
        return out;
    }

    std::vector<records::DiagnosticsEntry> diagnostics() {
        std::vector<records::DiagnosticsEntry> out;
        EXPECT_EQ(link::open_diagnostics(link), 0);
        link::RecordBytes<link::kDiagnosticsEntrySize> bytes{};
        while (link::read_diagnostics(link, bytes) == 0) {
            out.push_back(records::decode_diagnostics_entry(bytes));
        }
        return out;
    }

    std::string path(const std::string& name) const { return storage.root + "/" + name; }

    std::string file(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    kelpira::testing::TempFolder storage;
};

}  // namespace kelpira::virtual_sensor::testing
