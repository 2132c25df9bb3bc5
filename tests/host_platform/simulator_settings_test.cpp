// The form's defaults, limits and enabling; the results list's cap and cells; reply scanning;
// and the session's start and close rules.
#include <gtest/gtest.h>

#include "host_platform/platform_simulator_controller.hpp"
#include "host_platform/reply_scan.hpp"
#include "host_platform/result_rows.hpp"
#include "host_platform/simulator_settings.hpp"
#include "support/recording_prompter.hpp"

namespace kelpira::host_platform {
namespace {

TEST(SimulatorSettings, ChoosingATypeLoadsItsDefaults) {
    SimulatorSettings sim;
    SerialSettings serial;
    serial.override_settings = true;
    serial.line = {115200, 5, Parity::mark, StopBits::two};
    choose_platform_type(PlatformType::sense_ocean, sim, serial);
    EXPECT_EQ(serial.line.baud_rate, 19200u);
    EXPECT_EQ(serial.line.data_bits, 8);
    EXPECT_EQ(serial.line.parity, Parity::even);
    EXPECT_EQ(serial.line.stop_bits, StopBits::one);
    EXPECT_EQ(serial.slave_address, 71);
    EXPECT_EQ(sim.direction, Direction::fixed);
    EXPECT_EQ(serial_group_caption(sim.platform_type), "RS485 Communication Parameters");

    choose_platform_type(PlatformType::bridges, sim, serial);
    EXPECT_EQ(serial.line.baud_rate, 9600u);
    EXPECT_EQ(serial.line.parity, Parity::none);
    EXPECT_EQ(serial.slave_address, 0);
    EXPECT_EQ(sim.direction, Direction::alternating);
    EXPECT_TRUE(sim.enable_sampling);
    choose_platform_type(PlatformType::seaglider, sim, serial);
    EXPECT_FALSE(sim.enable_sampling);
    EXPECT_EQ(serial_group_caption(PlatformType::none), "Serial Communication Parameters");
    EXPECT_EQ(serial_group_caption(PlatformType::eti), "RS232 Communication Parameters");

    sim.min_depth = 12;
    choose_direction(Direction::surfaced, sim);
    EXPECT_EQ(sim.min_depth, 0);

    EXPECT_EQ(clamp_dive_number(70000), 65535);
    EXPECT_EQ(clamp_interval(0), 1);
    EXPECT_EQ(clamp_interval(100000), 99999);
    EXPECT_EQ(clamp_slave_address(256), 255);
}

TEST(SimulatorSettings, EnablingFollowsTypeDirectionAndTicks) {
    SimulatorSettings sim;
    SerialSettings serial;
    FormEnabling e = form_enabling(sim, serial, false);
    EXPECT_TRUE(e.platform_type);
    EXPECT_FALSE(e.serial_port || e.update_interval || e.sample_interval || e.start || e.stop);

    choose_platform_type(PlatformType::seaglider, sim, serial);
    e = form_enabling(sim, serial, false);
    EXPECT_TRUE(e.dive_number && e.p_values && e.direction && e.min_depth && e.max_depth &&
                e.dive_rate && e.climb_rate && e.enable_sampling && e.start && e.download);
    EXPECT_FALSE(e.sample_interval || e.salinity || e.line_settings || e.slave_address || e.stop);
    sim.enable_sampling = true;
    choose_direction(Direction::hovering, sim);
    e = form_enabling(sim, serial, false);
    EXPECT_TRUE(e.sample_interval && e.min_depth);
    EXPECT_FALSE(e.max_depth || e.dive_rate || e.climb_rate);

    choose_platform_type(PlatformType::sense_ocean, sim, serial);
    e = form_enabling(sim, serial, false);
    EXPECT_TRUE(e.salinity && e.temperature && e.sample_interval && e.direction);
    EXPECT_FALSE(e.start || e.download || e.dive_number || e.slave_address);
    serial.override_settings = true;
    e = form_enabling(sim, serial, false);
    EXPECT_TRUE(e.line_settings && e.slave_address);

    choose_platform_type(PlatformType::storm_logger, sim, serial);
    e = form_enabling(sim, serial, false);
    EXPECT_FALSE(e.direction || e.min_depth || e.start);
    EXPECT_TRUE(e.update_interval && e.sample_interval && e.line_settings);

    e = form_enabling(sim, serial, true);
    EXPECT_TRUE(e.stop);
    EXPECT_FALSE(e.platform_type || e.serial_port || e.start || e.download);
}

TEST(ResultRows, TheListKeepsTheNewest1001) {
    EXPECT_FALSE(adding_drops_oldest(0));
    EXPECT_FALSE(adding_drops_oldest(1000));  // the 1001st row joins the others
    EXPECT_TRUE(adding_drops_oldest(1001));   // the 1002nd deletes the first
    EXPECT_EQ(kResultColumns[8].title, "Temperature (degC)");
    EXPECT_EQ(platform_time_text(2147483648LL), "2147483648");
    EXPECT_EQ(platform_time_text(0), "01/01/1970 00:00:00");
}

TEST(ReplyScan, ReadsAsTheScanFunctionsDo) {
    auto f = scan_reply(" 7 , x", " %u,%u");
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(std::get<std::uint32_t>(f[0]), 7u);
    f = scan_reply("$CMD,-1,4294967295*0x1aF", "$CMD,%d,%u*%x");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(std::get<std::int32_t>(f[0]), -1);
    EXPECT_EQ(std::get<std::uint32_t>(f[1]), 4294967295u);
    EXPECT_EQ(std::get<std::uint32_t>(f[2]), 0x1AFu);
    f = scan_reply("1,2.5e1,3", "%d,%lf,%d");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(std::get<double>(f[1]), 25.0);
    EXPECT_TRUE(scan_reply("$CMD,", "$CMD,%d").empty());
    EXPECT_TRUE(scan_reply("$CMX,1", "$CMD,%d").empty());
}

// A port that is never read here.
class IdlePort : public SerialPort {
  public:
    bool write(std::string_view) override { return true; }
    ByteRead read_byte(std::chrono::milliseconds) override { return {ReadStatus::cancelled, 0}; }
    void purge_input() override {}
    void cancel() override {}
};

TEST(PlatformSimulatorController, StartsOnlyWhatExistsAndAsksBeforeClosing) {
    testing::RecordingPrompter prompter;
    std::vector<std::string> opened;
    SimulatorHooks hooks;
    hooks.open_port = [&](const std::string& path, const LineSettings&) {
        opened.push_back(path);
        return path == "/dev/ttyS9" ? OpenedPort{nullptr, "/dev/ttyS9: busy"}
                                    : OpenedPort{std::make_unique<IdlePort>(), ""};
    };
    PlatformSimulatorController controller(prompter, {}, hooks);
    SimulatorSettings sim;
    SerialSettings serial;
    serial.serial_port = "/dev/ttyS9";
    choose_platform_type(PlatformType::slocum_glider, sim, serial);
    EXPECT_FALSE(controller.start(sim, serial));
    choose_platform_type(PlatformType::eti, sim, serial);
    EXPECT_FALSE(controller.download(sim, serial));
    EXPECT_TRUE(opened.empty());

    EXPECT_FALSE(controller.start(sim, serial));
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Connect");
    EXPECT_EQ(prompter.prompts[0].text,
              "Can't open serial port /dev/ttyS9 - make sure no other application has it open");
    EXPECT_FALSE(controller.running());
    EXPECT_TRUE(controller.close());
    EXPECT_EQ(prompter.prompts.size(), 1u);  // idle: closes without asking

    serial.serial_port = "/dev/ttyS1";
    ASSERT_TRUE(controller.start(sim, serial));
    EXPECT_FALSE(controller.start(sim, serial));  // one session at a time
    prompter.answers = {common::Answer::No, common::Answer::Yes};
    EXPECT_FALSE(controller.close());
    EXPECT_TRUE(controller.running());
    EXPECT_TRUE(controller.close());
    EXPECT_FALSE(controller.running());
    EXPECT_EQ(prompter.prompts[1].caption, "Exit");
    EXPECT_EQ(prompter.prompts[1].text, "Stop simulation?");
}

}  // namespace
}  // namespace kelpira::host_platform
