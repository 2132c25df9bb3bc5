// kelpira-ctl upgrade against emulated sensors served in a private folder: the exit statuses,
// the progress and messages on standard error, and Ctrl+C in both kinds of upgrade.
#include <signal.h>

#include <gtest/gtest.h>

#include <semaphore>
#include <thread>

#include "ctl/ctl_program.hpp"
#include "link/upgrade_block.hpp"
#include "server_args.hpp"

namespace kelpira {
namespace {

std::string image(std::size_t length, const std::string& text = {}) {
    std::string bytes(length, '\xff');
    bytes.replace(0, text.size(), text);
    return bytes.substr(0, length);
}

// The blocks the sensor was sent, as (block number, count).
std::vector<std::pair<std::uint32_t, std::uint32_t>> blocks(
    const virtual_sensor::VirtualSensor& s) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
    for (const auto& c : s.log()) {
        if (c.code == 259) {
            const auto b = link::decode_upgrade_block(c.payload);
            out.emplace_back(b.block_number, b.count);
        }
    }
    return out;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CtlUpgrade : public ::testing::Test {
  protected:
    testing::TempFolder files;
    std::string runtime = files.path("runtime");
};

}  // namespace

TEST_F(CtlUpgrade, ASensorInItsBootloaderComesBackOnTheNewFirmware) {
    const auto parsed = virtual_sensor_program::parse_server_options(
        {"--bootloader", "--firmware", "KELPIRA_2_6_1"});
    ASSERT_TRUE(parsed.options);
    ServedSensors served(runtime);
    served.serve(std::make_unique<virtual_sensor::VirtualSensor>(parsed.options->devices[0].sensor),
                 "old");
    const std::string fw = files.write("fw.bin", image(128, "KELPIRA_2_8_3"));

    const auto boot = run({"info"}, runtime);
    EXPECT_EQ(boot.status, 1);
    EXPECT_TRUE(has(boot.out, "Mode: Bootloader\n")) << boot.out;
    EXPECT_TRUE(has(boot.err,
                    ": the sensor runs its bootloader (--start-firmware starts its "
                    "firmware)\n"))
        << boot.err;

    const auto r = run({"--progress", "upgrade", fw}, runtime);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lines_of(r.err),
              (std::vector<std::string>{
                  "kelpira-ctl: Upgrade running, 64 bytes written",
                  "kelpira-ctl: Upgrade running, 128 bytes written",
                  "kelpira-ctl: Image written, 128 bytes; waiting for the sensor to restart",
                  "kelpira-ctl: Upgrade complete, 128 bytes written",
                  "kelpira-ctl: the sensor is back, running KELPIRA_2_8_3"}));

    const auto info = run({"info"}, runtime);
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(has(info.out, "Mode: Firmware\n")) << info.out;
    EXPECT_TRUE(has(info.out, "Firmware Version: KELPIRA_2_8_3\n")) << info.out;
    EXPECT_TRUE(has(info.out, "Compatibility: All operations are safe.\n")) << info.out;
}

TEST_F(CtlUpgrade, InfoStartsTheFirmwareOnlyWhenAskedTo) {
    const auto parsed = virtual_sensor_program::parse_server_options(
        {"--bootloader", "--firmware", "KELPIRA_2_6_1"});
    ASSERT_TRUE(parsed.options);
    ServedSensors served(runtime);
    served.serve(std::make_unique<virtual_sensor::VirtualSensor>(parsed.options->devices[0].sensor),
                 "old");
    const auto info = run({"--start-firmware", "info"}, runtime);
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(has(info.out, "Mode: Firmware\n")) << info.out;
    EXPECT_TRUE(has(info.out, "Firmware Version: KELPIRA_2_6_1\n")) << info.out;
}

TEST_F(CtlUpgrade, WhatCannotBeUpgradedFails) {
    ServedSensors served(runtime);
    auto& sensor = served.serve(std::make_unique<virtual_sensor::VirtualSensor>(), "fw");
    const std::string fw = files.write("fw.bin", image(64));

    EXPECT_EQ(run({"upgrade"}, runtime).status, 2);
    const auto missing = run({"upgrade", files.path("none.bin")}, runtime);
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(has(missing.err, files.path("none.bin") + ": no such image file")) << missing.err;
    const auto firmware = run({"upgrade", fw}, runtime);
    EXPECT_EQ(firmware.status, 1);
    EXPECT_TRUE(has(firmware.err, "--bootloader writes a bootloader image")) << firmware.err;

    // The warning unanswered (standard input ends), then answered otherwise than "yes".
    EXPECT_EQ(run({"upgrade", fw, "--bootloader"}, runtime).status, 1);
    const auto no = run({"upgrade", fw, "--bootloader"}, runtime, files.write("no", "y\n"));
    EXPECT_EQ(no.status, 1);
    EXPECT_TRUE(has(no.err, "Are you sure you want to do this?")) << no.err;
    EXPECT_TRUE(has(no.err, fw + ": nothing was written to the sensor")) << no.err;
    EXPECT_TRUE(blocks(sensor).empty());

    const auto yes = run({"upgrade", fw, "--bootloader"}, runtime, files.write("yes", "yes\n"));
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_EQ(blocks(sensor),
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 64}, {1, 0}}));
}

TEST_F(CtlUpgrade, ASensorInNeitherBootloaderNorFirmwareIsLeftAlone) {
    virtual_sensor::VirtualSensor sensor;
    std::filesystem::create_directories(runtime + "/kelpira");
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    std::filesystem::permissions(runtime + "/kelpira", std::filesystem::perms::owner_all);
    ASSERT_EQ(link::prepare_device_folder(runtime + "/kelpira/devices"), "");
    virtual_sensor::DeviceServer server(runtime + "/kelpira/devices");
    std::string error;
    // The device info answer reports mode 3.
    ASSERT_TRUE(server.attach({"odd", sensor.hardware_id(), false,
                               [&sensor](const link::Report& r) {
                                   auto answers = sensor.handle(r);
                                   if (link::SensorCommand{r}.code() == 262) {
                                       for (auto& answer : answers) {
                                           answer.bytes[link::kPayloadOffset + 1] = 3;
                                       }
                                   }
                                   return answers;
                               }},
                              error))
        << error;
    std::thread serving([&server] { server.run(); });
    const auto r =
        run({"upgrade", files.write("boot.bin", image(64)), "--bootloader", "--yes"}, runtime);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err,
                    "the sensor reports mode 3, neither its bootloader (1) nor its "
                    "firmware (2): nothing was written"))
        << r.err;
    server.stop();
    serving.join();
    EXPECT_TRUE(blocks(sensor).empty());
}

namespace {

// A sensor that holds block 2 until the test has seen `until` on the program's standard
// error after interrupting it.
class Interrupted : public CtlUpgrade {
  protected:
    CtlRun upgrade(virtual_sensor::RunningCode running, const std::vector<std::string>& args,
                   const std::string& until, int signal = SIGINT) {
        virtual_sensor::VirtualSensorOptions options;
        options.running = running;
        sensor = std::make_unique<virtual_sensor::VirtualSensor>(options);
        std::filesystem::create_directories(runtime + "/kelpira");
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        std::filesystem::permissions(runtime + "/kelpira", std::filesystem::perms::owner_all);
        EXPECT_EQ(link::prepare_device_folder(runtime + "/kelpira/devices"), "");
        virtual_sensor::DeviceServer server(runtime + "/kelpira/devices");
        std::string error;
        // The closing block restarts the sensor, as a served one does.
        auto self = std::make_shared<std::atomic<virtual_sensor::DeviceId>>(0);
        virtual_sensor::DeviceHooks hooks;
        hooks.on_restart = [&server, self] {
            server.restart_after_answer(self->load(), std::chrono::milliseconds(0));
        };
        sensor->set_hooks(std::move(hooks));
        const auto id = server.attach(
            {"held", sensor->hardware_id(), false,
             [this](const link::Report& r) {
                 const link::SensorCommand c{r};
                 if (c.code() == 259 && link::decode_upgrade_block(c.payload()).block_number == 2) {
                     reached.release();
                     release.acquire();
                 }
                 return sensor->handle(r);
             }},
            error);
        self->store(id.value_or(0));
        std::thread serving([&server] { server.run(); });
        auto process = spawn(args, runtime);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        if (reached.try_acquire_until(deadline)) {
            ::kill(process.pid, signal);
            while (!has(testing::TempFolder::read(process.err_path), until)) {
                if (std::chrono::steady_clock::now() > deadline) {
                    ADD_FAILURE() << "never wrote " << until;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        } else {
            ADD_FAILURE() << "block 2 was never sent";
            ::kill(process.pid, SIGKILL);
        }
        release.release();
        auto r = finish(process);
        server.stop();
        serving.join();
        return r;
    }

    std::unique_ptr<virtual_sensor::VirtualSensor> sensor;
    std::binary_semaphore reached{0};
    std::binary_semaphore release{0};
};

}  // namespace

TEST_F(Interrupted, AFirmwareUpgradeStopsBeforeTheNextBlock) {
    const auto r = upgrade(virtual_sensor::RunningCode::bootloader,
                           {"upgrade", files.write("fw.bin", image(640))}, "Stopping...");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelpira-ctl: Stopping...\nkelpira-ctl: Upgrade failed after 192 bytes (1)\n");
    EXPECT_EQ(blocks(*sensor),
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 64}, {1, 64}, {2, 64}}));
}

class InterruptedBy : public Interrupted, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptedBy, ABootloaderUpgradeHoldsTheSignalOff) {
    const auto r =
        upgrade(virtual_sensor::RunningCode::firmware,
                {"upgrade", files.write("boot.bin", image(192)), "--bootloader", "--yes"},
                "return the sensor", GetParam());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err,
                    "kelpira-ctl: SIGINT (Ctrl+C), SIGTERM, SIGHUP and SIGQUIT are held off "
                    "until the bootloader is written\n"))
        << r.err;
    EXPECT_TRUE(has(r.err, " held off: the bootloader is being written\n")) << r.err;
    EXPECT_TRUE(has(r.err, "kelpira-ctl: Upgrade complete, 192 bytes written\n")) << r.err;
    EXPECT_EQ(blocks(*sensor).back(), (std::pair<std::uint32_t, std::uint32_t>{3, 0}));
}

INSTANTIATE_TEST_SUITE_P(EverySignalThatEndsAProgram, InterruptedBy,
                         ::testing::Values(SIGTERM, SIGHUP, SIGQUIT));

TEST_F(Interrupted, ABootloaderUpgradeGoesOnWithTheWarning) {
    const auto r =
        upgrade(virtual_sensor::RunningCode::firmware,
                {"upgrade", files.write("boot.bin", image(192)), "--bootloader", "--yes"},
                "return the sensor");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err,
                    "kelpira-ctl: You must let this operation complete or you will have to "
                    "return the sensor to Marivane Sensors for repair.\n"))
        << r.err;
    EXPECT_TRUE(has(r.err, "kelpira-ctl: Upgrade complete, 192 bytes written\n")) << r.err;
    EXPECT_EQ(blocks(*sensor).back(), (std::pair<std::uint32_t, std::uint32_t>{3, 0}));
}

}  // namespace kelpira
