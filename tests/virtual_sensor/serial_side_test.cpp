// The sensor's serial side as a platform meets it: the pseudo-terminal behind the published
// link, the exact bytes of the firmware's answers, its checksums and its scripted faults.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "host_platform/eti_sentence.hpp"
#include "server_args.hpp"
#include "support/device_folder.hpp"
#include "virtual_sensor/eti_protocol.hpp"
#include "virtual_sensor/live_status.hpp"
#include "virtual_sensor/sensor_fixture.hpp"
#include "virtual_sensor/serial_link_folder.hpp"
#include "virtual_sensor/serial_side.hpp"

namespace kelpira::virtual_sensor {
namespace {

using testing::FakeClock;
using testing::kStartSeconds;

// The platform's end of the line: opens the published link as a simulator would.
class Platform {
  public:
    explicit Platform(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        termios raw{};
        ::tcgetattr(fd_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(fd_, TCSANOW, &raw);
    }
    ~Platform() { ::close(fd_); }
    bool open() const { return fd_ >= 0; }
    void hold_exclusively() { ASSERT_EQ(::ioctl(fd_, TIOCEXCL), 0); }
    bool held_exclusively() const {
        int on = 0;
        return ::ioctl(fd_, TIOCGEXCL, &on) == 0 && on != 0;
    }

    void send(const std::string& text) {
        ASSERT_EQ(::write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // Everything up to and including `terminator`. The poll limit only keeps a broken sensor
    // from hanging the suite.
    std::string read_until(const std::string& terminator) {
        std::string got;
        while (got.size() < terminator.size() ||
               got.compare(got.size() - terminator.size(), terminator.size(), terminator) != 0) {
            pollfd p{fd_, POLLIN, 0};
            char c = 0;
            if (::poll(&p, 1, 10000) != 1 || ::read(fd_, &c, 1) != 1) {
                ADD_FAILURE() << "no answer after \"" << got << "\"";
                return got;
            }
            got.push_back(c);
        }
        return got;
    }

  private:
    int fd_;
};

class SerialSideTest : public ::testing::Test {
  protected:
    void start(SerialProtocol protocol, SerialFault fault = SerialFault::none,
               std::optional<unsigned> fault_replies = std::nullopt, unsigned stored = 0,
               std::int32_t supply_mv = 12000) {
        VirtualSensorOptions o;
        o.stored_results = stored;
        o.supply_mv = supply_mv;
        o.serial = {protocol, fault, fault_replies};
        sensor = std::make_unique<VirtualSensor>(o, clock.clock());
        side = std::make_unique<SerialSide>(*sensor, o.serial);
        ASSERT_EQ(side->start(folder.root, "Demo Sensor"), "");
        platform = std::make_unique<Platform>(side->link_path());
        ASSERT_TRUE(platform->open());
    }

    records::LiveSample live_sample() {
        records::LiveSample s;
        sensor->edit_state_now([&](SensorState& st, TimePoint now) { s = sensor_sample(st, now); });
        return s;
    }

    static std::string eti(const std::string& body) { return host_platform::eti_sentence(body); }

    kelpira::testing::TempFolder folder;
    FakeClock clock;
    std::unique_ptr<VirtualSensor> sensor;
    std::unique_ptr<SerialSide> side;
    std::unique_ptr<Platform> platform;
};

TEST_F(SerialSideTest, PublishesTheTerminalAsALinkNamedAfterTheSensorUntilItEnds) {
    start(SerialProtocol::seaglider);
    const std::string link = folder.root + "/Demo Sensor";
    EXPECT_EQ(side->link_path(), link);
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), side->terminal_path());
    EXPECT_EQ(side->terminal_path().rfind("/dev/pts/", 0), 0u);
    platform.reset();
    side.reset();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    EXPECT_EQ(serial_link_name("../lab/unit 3"), "_lab_unit 3");
}

// A second sensor of the same name is refused while the first runs; once it is gone (killed:
// its link stays behind), start-up removes the link and the name is free again.
TEST_F(SerialSideTest, ANameIsHeldWhileItsSensorRunsAndAStaleLinkIsRemoved) {
    start(SerialProtocol::seaglider);
    const std::string link = folder.root + "/Demo Sensor";
    VirtualSensorOptions o;
    o.serial = {SerialProtocol::eti, SerialFault::none, std::nullopt};
    VirtualSensor second_sensor(o, clock.clock());
    SerialSide second(second_sensor, o.serial);
    EXPECT_EQ(
        second.start(folder.root, "Demo Sensor"),
        link + " is the serial line of a virtual sensor that is running: choose another name");
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), side->terminal_path());
    remove_stale_serial_links(folder.root);
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), side->terminal_path());

    // A killed sensor leaves its link; the system lifts its hold on the name.
    platform.reset();
    side.reset();
    std::filesystem::create_symlink("/dev/pts/0", link);
    std::filesystem::create_symlink("/dev/pts/1", folder.root + "/Gone");
    remove_stale_serial_links(folder.root);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder.root + "/Gone")));
    ASSERT_EQ(second.start(folder.root, "Demo Sensor"), "");
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), second.terminal_path());
}

TEST_F(SerialSideTest, APlatformClosingTheLineLeavesItCleanAndOpenForTheNext) {
    start(SerialProtocol::seaglider);
    platform->send("sample\rsample\r");
    platform->read_until("\r");  // the second answer is left unread
    platform->hold_exclusively();
    platform.reset();
    side->wait_until_free();
    platform = std::make_unique<Platform>(side->link_path());
    EXPECT_FALSE(platform->held_exclusively());
    platform->send("clock-set=8,12,2026,11,30,0\rsample\r");
    EXPECT_EQ(platform->read_until("\r").substr(0, 11), "1796729400,");
}

TEST_F(SerialSideTest, SeagliderTakesClockStartAndStatusAndAnswersSample) {
    start(SerialProtocol::seaglider);
    platform->send("\r\r");
    platform->send("\r\rclock-set=8,12,2026,11,30,0\r");
    platform->send("\r\rstart=0007\r");
    platform->send("status=a,12.50,1,2,-3\r");
    platform->send("sample\r");
    const std::int64_t set = kStartSeconds + 5400;  // 08/12/2026 11:30:00
    char expected[64];
    std::snprintf(expected, sizeof expected, "%lld,10000,%d,0,0\r", static_cast<long long>(set),
                  live_sample().temperature_mc);
    EXPECT_EQ(platform->read_until("\r"), expected);

    const auto s = live_sample();
    EXPECT_EQ(s.platform_depth, 12.5f);
    EXPECT_EQ(s.platform_time, set);
    EXPECT_EQ(s.sensor_time, set);
    sensor->edit_state([](SensorState& st) {
        ASSERT_TRUE(st.platform_report);
        EXPECT_EQ(st.platform_report->direction, kPlatformDown);
        EXPECT_EQ(st.platform_report->p3, -3);
        EXPECT_TRUE(st.run.active);  // the platform's start started the deployment
    });
}

TEST_F(SerialSideTest, GliderDownloadListsTheStoredResultsAndBridgesPromptsItsSample) {
    start(SerialProtocol::bridges, SerialFault::none, std::nullopt, 3);
    platform->send("\r\r");
    platform->send("\r\rdownload=1\r");
    EXPECT_EQ(platform->read_until("\r"), "1,1796722800,5.000,10.000,0.000,1,2,0,0,0,12.0\r");
    EXPECT_EQ(platform->read_until("\r"), "1,1796723400,27.500,10.010,0.000,1,2,0,0,0,12.0\r");
    EXPECT_EQ(platform->read_until("\r"), "1,1796724000,50.000,10.020,0.000,1,2,0,0,0,12.0\r");
    platform->send("sample\r");
    EXPECT_EQ(platform->read_until("\r"),
              "SC>1796724000,10020," + std::to_string(live_sample().temperature_mc) + ",0,0\r");
}

TEST_F(SerialSideTest, EtiRunsAMeasurementFromReadyToResultAndIgnoresBadChecksums) {
    start(SerialProtocol::eti);
    platform->send("$CMD,0*0000\r\n");  // wrong checksum: not answered
    platform->send(eti("$CMD,0"));
    const auto s = live_sample();
    EXPECT_EQ(platform->read_until("\r\n"), eti("$CMD,0,1," + std::to_string(s.voltage_mv / 100) +
                                                "," + std::to_string(s.temperature_mc / 100)));
    platform->send(eti("$CMD,2,1796724100"));
    EXPECT_EQ(platform->read_until("\r\n"), "$CMD,2,1796724100*DE60\r\n");
    platform->send(eti("$CMD,1,3510,12500,100,1,2,3"));
    EXPECT_EQ(platform->read_until("\r\n"), eti("$CMD,1,2"));
    EXPECT_FLOAT_EQ(live_sample().platform_salinity, 35.1f);
    EXPECT_FLOAT_EQ(live_sample().platform_temperature, 12.5f);
    EXPECT_FLOAT_EQ(live_sample().platform_depth, 10.0f);

    clock.advance(kEtiMeasurementTime - std::chrono::seconds(1));
    platform->send(eti("$CMD,1"));
    EXPECT_EQ(platform->read_until("\r\n"), eti("$CMD,1,2"));
    clock.advance(std::chrono::seconds(1));
    platform->send(eti("$CMD,1"));
    EXPECT_EQ(platform->read_until("\r\n"), eti("$CMD,1,3"));
    platform->send(eti("$CMD,3"));
    EXPECT_EQ(platform->read_until("\r\n"),
              eti("$CMD,3,1796724110,10000," + std::to_string(live_sample().temperature_mc)));
    platform->send(eti("$CMD,1"));  // collected: the next one starts
    EXPECT_EQ(platform->read_until("\r\n"), eti("$CMD,1,2"));
}

TEST_F(SerialSideTest, EtiSensorOnALowSupplyIsNotReadyAndStartsNoMeasurement) {
    start(SerialProtocol::eti, SerialFault::none, std::nullopt, 0, 8000);
    platform->send(eti("$CMD,1,3510,12500,100,1,2,3"));
    EXPECT_EQ(platform->read_until("\r\n"), eti("$CMD,1,0"));
    platform->send(eti("$CMD,0"));
    const auto s = live_sample();
    EXPECT_EQ(platform->read_until("\r\n"), eti("$CMD,0,0," + std::to_string(s.voltage_mv / 100) +
                                                "," + std::to_string(s.temperature_mc / 100)));
}

TEST_F(SerialSideTest, WrongChecksumFaultSpoilsOnlyTheRepliesItIsGiven) {
    start(SerialProtocol::eti, SerialFault::wrong_checksum, 1);
    platform->send(eti("$CMD,2,1796724100"));
    platform->send(eti("$CMD,2,1796724100"));
    EXPECT_EQ(platform->read_until("\r\n"), "$CMD,2,1796724100*DE61\r\n");
    EXPECT_EQ(platform->read_until("\r\n"), "$CMD,2,1796724100*DE60\r\n");
}

TEST_F(SerialSideTest, SilenceFaultTakesTheCommandButAnswersNothing) {
    start(SerialProtocol::seaglider, SerialFault::silence, 1);
    platform->send("clock-set=8,12,2026,11,30,0\rsample\rsample\r");
    // The first answer never comes: the first bytes are the second answer.
    EXPECT_EQ(platform->read_until("\r"), std::to_string(kStartSeconds + 5400) + ",10000," +
                                              std::to_string(live_sample().temperature_mc) +
                                              ",0,0\r");
}

TEST_F(SerialSideTest, LongReplyFaultPushesTheTerminatorPast99Bytes) {
    start(SerialProtocol::eti, SerialFault::long_reply);
    platform->send(eti("$CMD,3"));
    const std::string reply = platform->read_until("\r\n");
    EXPECT_GT(reply.find('\r'), 99u);
    EXPECT_EQ(reply.substr(reply.size() - 102), std::string(100, '#') + "\r\n");
}

TEST(SerialSideOptions, SerialTakesAProtocolOrASerialNumberAndFaultsTakeACount) {
    using virtual_sensor_program::parse_server_options;
    const auto p = parse_server_options(
        {"--serial", "ETI", "--serial-fault", "silence:2", "--device", "--serial", "42"});
    ASSERT_TRUE(p.options) << p.outcome.err;
    const auto& first = p.options->devices[0].sensor;
    EXPECT_EQ(first.serial.protocol, SerialProtocol::eti);
    EXPECT_EQ(first.serial.fault, SerialFault::silence);
    EXPECT_EQ(first.serial.fault_replies, 2u);
    EXPECT_EQ(first.serial_number, 1001);
    EXPECT_EQ(p.options->devices[1].sensor.serial_number, 42);
    EXPECT_FALSE(p.options->devices[1].sensor.serial.protocol);
    EXPECT_FALSE(parse_server_options({"--serial", "slocum"}).options);
    EXPECT_FALSE(parse_server_options({"--serial-fault", "silence:0"}).options);
    const std::string help = parse_server_options({"--help"}).outcome.out;
    for (const char* opt : {"--serial N|PROTOCOL", "--serial-fault", "--stored-results"}) {
        EXPECT_NE(help.find(opt), std::string::npos) << opt;
    }
}

}  // namespace
}  // namespace kelpira::virtual_sensor
