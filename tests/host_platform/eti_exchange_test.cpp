// The ETI sentence exchange over a pseudo-terminal, against a scripted sensor.
#include <memory>
#include <thread>

#include "host_platform/eti_exchange.hpp"
#include "host_platform/eti_sentence.hpp"
#include "host_platform/platform_simulator_controller.hpp"
#include "host_platform/printf_text.hpp"
#include "pty_peer.hpp"
#include "support/recording_prompter.hpp"

namespace kelpira::host_platform {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kSample{5'000};

std::string printf_crc(std::uint16_t crc) {
    return printf_text("%04X", crc);
}
std::string printf_crc_text(std::uint16_t computed, std::uint16_t received) {
    return printf_text("Invalid CRC (%04X != %04X", computed, received);
}

TEST(EtiSentence, CarriesItsCrc16Arc) {
    EXPECT_EQ(crc16_arc("123456789"), 0xBB3D);
    EXPECT_EQ(crc16_arc(""), 0);
    EXPECT_EQ(eti_sentence("$CMD,0"), "$CMD,0*" + printf_crc(crc16_arc("$CMD,0")) + "\r\n");
    EXPECT_EQ(eti_reply_crc("$CMD,1,2*1234*5"), crc16_arc("$CMD,1,2"));
}

TEST(EtiSentence, MeasurementRequestTakesTheShownDecimals) {
    SimulatorSettings sim;
    sim.salinity = 35.1;      // 35.1 x 100 as a double is 3509.99...
    sim.temperature = 1.001;  // 1.001 x 1000 as a double is 1000.99...
    sim.min_depth = -3;
    sim.p1 = 4;
    sim.p2 = -5;
    sim.p3 = 6;
    EXPECT_EQ(eti_measure_body(sim), "$CMD,1,3510,1001,-30,4,-5,6");
}

// The sensor's reply to a sentence, with a right or a wrong checksum.
std::string reply(const std::string& body, bool right = true) {
    return body + "*" + printf_crc(static_cast<std::uint16_t>(crc16_arc(body) + (right ? 0 : 1))) +
           "\r\n";
}

// A reply cut off as too long leaves its tail on the line, and a late reply to an earlier
// sentence can still come in: neither may be taken for the answer to a later sentence.
TEST(EtiSimulation, FollowsTheSensorStateAndListsEachResult) {
    testing::PtyPeer peer;
    testing::Stepper stepper;
    testing::EventLog log;
    testing::RecordingPrompter prompter;
    PlatformSimulatorController controller{
        prompter, log.events(), {open_serial_port, testing::fixed_clock(), stepper.hook()}};
    SimulatorSettings sim;
    SerialSettings serial;
    choose_platform_type(PlatformType::eti, sim, serial);
    serial.serial_port = peer.path();
    sim.salinity = 35.0;
    sim.temperature = 15.25;
    sim.min_depth = 10;
    sim.sample_interval = 5;
    ASSERT_TRUE(controller.start(sim, serial));

    // A state reply with a wrong checksum is reported and not used; with the right one it is.
    EXPECT_EQ(peer.read_line("\r\n"), eti_sentence("$CMD,0"));
    peer.write(reply("$CMD,0,1,124,215", false));
    stepper.await(kSample, 1);
    stepper.step(kSample);
    EXPECT_EQ(peer.read_line("\r\n"), eti_sentence("$CMD,0"));
    peer.write(reply("$CMD,0,1,124,215"));

    EXPECT_EQ(peer.read_line("\r\n"), eti_sentence("$CMD,2,1700000000"));
    peer.write(reply("$CMD,2"));
    const std::string measure = eti_sentence("$CMD,1,3500,15250,100,0,0,0");
    EXPECT_EQ(peer.read_line("\r\n"), measure);
    const std::string overlong = "$CMD,1,2," + std::string(120, '7');
    peer.write(reply(overlong));
    stepper.await(kSample, 2);
    stepper.step(kSample);
    EXPECT_EQ(peer.read_line("\r\n"), measure);
    peer.write(reply("$CMD,1,2"));
    stepper.await(kSample, 3);
    stepper.step(kSample);
    EXPECT_EQ(peer.read_line("\r\n"), measure);
    peer.write(reply("$CMD,2") + reply("$CMD,1,3"));  // a late clock reply, then the answer
    EXPECT_EQ(peer.read_line("\r\n"), eti_sentence("$CMD,3"));
    peer.write(reply("$CMD,3,1700000000,12345,-1500"));
    const auto rows = log.rows(1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (ResultRow{"0", "14/11/2023 22:13:20", "12.345", "", "", "", "", "",
                                  "-1.500", "", "", "", ""}));
    // The next measurement starts with the clock again.
    EXPECT_EQ(peer.read_line("\r\n"), eti_sentence("$CMD,2,1700000000"));

    const std::uint16_t crc = crc16_arc("$CMD,0,1,124,215");
    EXPECT_EQ(log.statuses(7),
              (std::vector<std::string>{
                  printf_crc_text(crc, static_cast<std::uint16_t>(crc + 1)),
                  "state=1, supply=12.4, temperature=21.50", "RS232 read error (2)", "state=2",
                  "Ignoring >>$CMD,2*" + printf_crc(crc16_arc("$CMD,2")) + "<<", "state=3",
                  "time=1700000000,value=12.345,temp=-1.500"}));
    EXPECT_EQ(log.clears(), 1);

    // The simulator now waits for the clock reply: Stop ends that read at once.
    stepper.release_all();
    controller.stop();
    EXPECT_FALSE(controller.running());
    EXPECT_TRUE(peer.wait_hang_up());
}

// A reply of the right command but the wrong form is reported and not used.
TEST(EtiSimulation, AReplyOfTheRightCommandInAnotherFormIsIgnored) {
    testing::PtyPeer peer;
    testing::Stepper stepper;
    testing::EventLog log;
    testing::RecordingPrompter prompter;
    PlatformSimulatorController controller{
        prompter, log.events(), {open_serial_port, testing::fixed_clock(), stepper.hook()}};
    SimulatorSettings sim;
    SerialSettings serial;
    choose_platform_type(PlatformType::eti, sim, serial);
    serial.serial_port = peer.path();
    ASSERT_TRUE(controller.start(sim, serial));
    EXPECT_EQ(peer.read_line("\r\n"), eti_sentence("$CMD,0"));
    peer.write(reply("$CMD,0,1"));
    EXPECT_EQ(log.statuses(1), std::vector<std::string>{"Ignoring >>$CMD,0,1*" +
                                                        printf_crc(crc16_arc("$CMD,0,1")) + "<<"});
    stepper.release_all();
    controller.stop();
}

}  // namespace
}  // namespace kelpira::host_platform
