// An emulated sensor served in-process that can hold one WRITE_FIRMWARE_BLOCK until the test
// lets it go, image files, and the upgrade thread's events collected for the test's thread.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <semaphore>
#include <string>
#include <vector>

#include "link/command_catalogue.hpp"
#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"
#include "link/upgrade_block.hpp"
#include "maintenance/sensor_return.hpp"
#include "maintenance/upgrade_action.hpp"
#include "maintenance/upgrade_streamer.hpp"
#include "support/temp_folder.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::testing {

// The image bytes 0, 1, 2, ... 255, 0, 1, ... of the given length, with `text` at `at`.
inline std::string image_bytes(std::size_t length, const std::string& text = {},
                               std::size_t at = 0) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<char>(i & 0xFF);
    }
    bytes.replace(at, text.size(), text);
    return bytes.substr(0, length);
}

// Events as the UI thread would receive them, one at a time.
class EventQueue {
  public:
    maintenance::UpgradeSink sink() {
        return [this](const maintenance::UpgradeEvent& e) {
            {
                std::lock_guard lock(mutex_);
                events_.push_back(e);
            }
            ready_.notify_one();
        };
    }
    // The next event; a test that waits longer than any upgrade takes has failed.
    maintenance::UpgradeEvent next() {
        std::unique_lock lock(mutex_);
        const bool came =
            ready_.wait_for(lock, std::chrono::seconds(20), [this] { return !events_.empty(); });
        EXPECT_TRUE(came) << "the upgrade thread went silent";
        if (!came) {
            return maintenance::UpgradeOutcome{};
        }
        auto e = events_.front();
        events_.pop_front();
        return e;
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<maintenance::UpgradeEvent> events_;
};

// The payload of a logged WRITE_FIRMWARE_BLOCK, decoded.
inline std::vector<link::UpgradeBlock> blocks_sent(const virtual_sensor::VirtualSensor& s) {
    std::vector<link::UpgradeBlock> blocks;
    for (const auto& c : s.log()) {
        if (c.code == link::code_value(link::CommandCode::WRITE_FIRMWARE_BLOCK)) {
            EXPECT_EQ(c.payload.size(), link::UpgradeBlock::size);
            blocks.push_back(link::decode_upgrade_block(c.payload));
        }
    }
    return blocks;
}

class UpgradeFixture : public ::testing::Test {
  protected:
    static constexpr auto kPath = "/virtual/upgrade";

    // Serves the sensor and opens the link as the upgrade does. With `hold_block`, the
    // sensor stops at that block number until release() (reached() tells when it got there).
    void start(virtual_sensor::VirtualSensorOptions options,
               std::optional<std::uint32_t> hold_block = std::nullopt) {
        sensor = std::make_unique<virtual_sensor::VirtualSensor>(std::move(options));
        virtual_sensor::DeviceHooks hooks;
        hooks.on_restart = [this] {
            ++restarts;
            if (arrived) {
                arrived(kPath);  // the host's arrival notice
            }
        };
        hooks.on_remove = [this] { backend.remove(kPath); };
        sensor->set_hooks(std::move(hooks));
        backend.add(kPath, sensor->hardware_id(), [this, hold_block](const link::Report& r) {
            const link::SensorCommand c{r};
            if (hold_block && c.code() == 259 &&
                link::decode_upgrade_block(c.payload()).block_number == *hold_block) {
                reached_.release();
                release_.acquire();
            }
            return sensor->handle(r);
        });
        ASSERT_EQ(link.Open(kPath, maintenance::kMaintenanceTimeout), 0);
    }
    void wait_until_held() { reached_.acquire(); }
    // Finds the sensor again at kPath after its restart, within `wait`.
    maintenance::ReturnWatch watch(
        std::chrono::milliseconds wait = maintenance::kSensorReturnWait) {
        return {&backend, kPath, wait};
    }
    void release() { release_.release(); }

    void TearDown() override { link.Close(); }

    TempFolder files;
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    std::unique_ptr<virtual_sensor::VirtualSensor> sensor;
    std::atomic<int> restarts{0};
    std::function<void(const std::string&)> arrived;  // told of the sensor's restart

  private:
    std::binary_semaphore reached_{0};
    std::binary_semaphore release_{0};
};

inline virtual_sensor::VirtualSensorOptions in_bootloader(std::string firmware = "KELPIRA_2_6_1") {
    virtual_sensor::VirtualSensorOptions o;
    o.running = virtual_sensor::RunningCode::bootloader;
    o.firmware_version = std::move(firmware);
    return o;
}

}  // namespace kelpira::testing
