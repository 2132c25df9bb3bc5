// The Seaglider and BRIDGES exchanges over a pseudo-terminal, against a scripted sensor.
#include "host_platform/glider_exchange.hpp"
#include "host_platform/platform_simulator_controller.hpp"
#include "pty_peer.hpp"
#include "support/recording_prompter.hpp"

namespace kelpira::host_platform {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kUpdate{10'000};
constexpr milliseconds kSample{7'000};

struct GliderBench {
    testing::PtyPeer peer;
    testing::Stepper stepper;
    testing::EventLog log;
    testing::RecordingPrompter prompter;
    PlatformSimulatorController controller{
        prompter, log.events(), {open_serial_port, testing::fixed_clock(), stepper.hook()}};
    SimulatorSettings sim;
    SerialSettings serial;

    GliderBench() {
        choose_platform_type(PlatformType::seaglider, sim, serial);
        serial.serial_port = peer.path();
        sim.dive_number = 7;
        sim.min_depth = 10;
        sim.max_depth = 20;
        sim.dive_rate = 10;
        sim.climb_rate = 10;
        sim.update_interval = 10;
        sim.sample_interval = 7;
        sim.p1 = 1;
        sim.p2 = -2;
        sim.p3 = 3;
    }
    ~GliderBench() {
        stepper.release_all();
        controller.stop();
    }
    void expect_opening() {
        const std::string opening = "\r\r\r\rclock-set=9,12,2026,1,2,3\r\r\rstart=0007\r";
        EXPECT_EQ(peer.read_like(opening), opening);
    }
};

TEST(GliderSimulation, DivesStepByStepAndTurnsAtTheMaxDepth) {
    GliderBench b;
    ASSERT_TRUE(b.controller.start(b.sim, b.serial));
    b.expect_opening();
    for (int m = 10; m <= 20; ++m) {
        EXPECT_EQ(b.peer.read_line(), "status=a," + std::to_string(m) + ".00,1,-2,3\r");
        b.stepper.step(kUpdate);
    }
    EXPECT_EQ(b.peer.read_line(), "status=b,20.00,1,-2,3\r");
    b.stepper.step(kUpdate);
    EXPECT_EQ(b.peer.read_line(), "status=b,19.00,1,-2,3\r");
    const auto statuses = b.log.statuses(13);
    EXPECT_EQ(statuses[0], "Depth: 10.00, Direction: dive");
    EXPECT_EQ(statuses[10], "Depth: 20.00, Direction: dive");
    EXPECT_EQ(statuses[11], "Depth: 20.00, Direction: climb");
    EXPECT_EQ(b.log.clears(), 0);  // the list is left alone without sampling
}

TEST(GliderSimulation, ClimbsBackToTheMinDepthAndDivesAgain) {
    SimulatorSettings sim;
    sim.min_depth = 10;
    sim.max_depth = 11;
    sim.dive_rate = 50;
    sim.climb_rate = 50;
    sim.update_interval = 1;
    DiveModel d = first_dive_state(sim);
    std::string seen;
    for (int i = 0; i < 8; ++i) {
        d = next_dive_state(d, sim);
        seen += status_sentence(d, sim);
    }
    EXPECT_EQ(seen,
              "status=a,10.00,0,0,0\rstatus=a,10.50,0,0,0\rstatus=a,11.00,0,0,0\r"
              "status=b,11.00,0,0,0\rstatus=b,10.50,0,0,0\rstatus=b,10.00,0,0,0\r"
              "status=a,10.00,0,0,0\rstatus=a,10.50,0,0,0\r");
}

TEST(GliderSimulation, SamplesShareTheLineAndListTheReplies) {
    GliderBench b;
    b.sim.enable_sampling = true;
    ASSERT_TRUE(b.controller.start(b.sim, b.serial));
    b.expect_opening();
    EXPECT_EQ(b.peer.read_line(), "status=a,10.00,1,-2,3\r");
    b.stepper.await(kUpdate, 1);

    // Sea water below 0 degrees C comes as a negative number of thousandths.
    const char* replies[] = {"SC>1700000000,12345,-1900,0,12\r", "1700000000,12345,1,1,12\r",
                             "-5,1,1,7,1\r", "garbage\r"};
    for (const char* reply : replies) {
        b.stepper.step(kSample);
        EXPECT_EQ(b.peer.read_line(), "sample\r");
        b.peer.write(reply);
    }
    const auto rows = b.log.rows(3);
    EXPECT_EQ(rows[0], (ResultRow{"-", "14/11/2023 22:13:20", "12.345", "0.012", "good", "-", "-",
                                  "-", "-1.900", "-", "-", "-", "-"}));
    EXPECT_EQ(rows[1][4], "bad");
    EXPECT_EQ(rows[1][8], "0.001");
    EXPECT_EQ(rows[2][1], "-5");
    EXPECT_EQ(rows[2][4], "unknown");
    EXPECT_EQ(b.log.statuses(2).back(), "Invalid response (garbage)");
    EXPECT_EQ(b.log.clears(), 1);
}

TEST(GliderDownload, ListsEveryStoredResultUntilSilence) {
    GliderBench b;
    ASSERT_TRUE(b.controller.download(b.sim, b.serial));
    EXPECT_EQ(b.peer.read(15), "\r\r\r\rdownload=1\r");
    b.peer.write(
        "\n7,1700000000,12.5,1.2346,0.01,1,2,1,-2,3,12.34\r"
        "not a result\r"
        "\n8,4294967295,0,0,0,2,5,0,0,0,0\r");
    const auto finished = b.log.finished(1);
    EXPECT_EQ(finished, (std::vector<std::uint64_t>{b.controller.session()}));
    EXPECT_EQ(b.log.complete(), std::vector<bool>{true});
    EXPECT_EQ(b.log.statuses(1).back(),
              "Download ended, results received: 2 (nothing more within 500 ms)");
    const auto rows = b.log.rows(2);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (ResultRow{"7", "14/11/2023 22:13:20", "1.235", "0.010", "good", "12.500",
                                  "diving", "0.000", "0.000", "1", "-2", "3", "12.3"}));
    EXPECT_EQ(rows[1][1], "4294967295");
    EXPECT_EQ(rows[1][4], "bad");
    EXPECT_EQ(rows[1][6], "unknown");

    // A report from an earlier session leaves the running one alone.
    b.controller.download_ended(b.controller.session() - 1);
    EXPECT_TRUE(b.controller.running());
    b.controller.download_ended(b.controller.session());
    EXPECT_FALSE(b.controller.running());
    EXPECT_TRUE(b.peer.wait_hang_up());
}

// The sensor falls silent, or its line goes away, before the first, the middle and the last of
// three results: the rows that came stay, the status line says how it ended and how many came,
// the port closes, and the next download lists everything.
TEST(GliderDownload, ACutDownloadSaysHowFarItGotAndTheNextOneWorks) {
    const std::string results =
        "1,1,0,0,0,1,1,0,0,0,12\r2,1,0,0,0,1,1,0,0,0,12\r"
        "3,1,0,0,0,1,1,0,0,0,12\r";
    const std::size_t line_length = results.size() / 3;
    for (const bool removed : {false, true}) {
        for (const std::size_t sent : {0, 1, 2}) {
            SCOPED_TRACE(std::to_string(sent) + (removed ? " then removed" : " then silent"));
            GliderBench b;
            ASSERT_TRUE(b.controller.download(b.sim, b.serial));
            EXPECT_EQ(b.peer.read(15), "\r\r\r\rdownload=1\r");
            b.peer.write(results.substr(0, sent * line_length));
            if (removed) {
                b.log.rows(sent);  // what was sent has been read before the line goes
                b.peer.hang_up();
            }
            EXPECT_EQ(b.log.finished(1).size(), 1u);
            EXPECT_EQ(b.log.complete(), std::vector<bool>{!removed});
            const std::string count = std::to_string(sent);
            EXPECT_EQ(b.log.statuses(1).back(),
                      removed ? "RS232 read error (4): download stopped, results received: " + count
                              : "Download ended, results received: " + count +
                                    " (nothing more within 500 ms)");
            EXPECT_EQ(b.log.rows(sent).size(), sent);
            b.controller.download_ended(b.controller.session());
            EXPECT_FALSE(b.controller.running());

            testing::PtyPeer next;
            b.serial.serial_port = next.path();
            ASSERT_TRUE(b.controller.download(b.sim, b.serial));
            EXPECT_EQ(next.read(15), "\r\r\r\rdownload=1\r");
            next.write(results);
            EXPECT_EQ(b.log.finished(2).size(), 2u);
            EXPECT_EQ(b.log.rows(sent + 3).size(), sent + 3);
        }
    }
}

}  // namespace
}  // namespace kelpira::host_platform
