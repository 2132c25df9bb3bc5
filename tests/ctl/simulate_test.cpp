// kelpira-ctl simulate run as a script runs it, against a scripted sensor on a pseudo-terminal.
#include <future>

#include "ctl/ctl_program.hpp"
#include "host_platform/pty_peer.hpp"

namespace kelpira {
namespace {

// `kelpira-ctl simulate --download` on the peer's line, running until the test's answers end it.
std::future<CtlRun> start_download(testing::PtyPeer& peer, const testing::TempFolder& runtime) {
    return std::async(std::launch::async, [&peer, &runtime] {
        return run({"simulate", "--platform", "bridges", "--port", peer.path(), "--download"},
                   runtime.path(""));
    });
}

TEST(CtlSimulate, DownloadListsTheStoredResultsAsCsv) {
    const testing::TempFolder runtime;
    testing::PtyPeer peer;
    auto done = start_download(peer, runtime);
    EXPECT_EQ(peer.read(15), "\r\r\r\rdownload=1\r");
    peer.write("\n3,1700000000,5.25,1.5,0.25,1,3,1,2,3,12.1\r\n4,1,0,0,0,0,1,0,0,0,0\r");
    const CtlRun r = done.get();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        lines_of(r.out),
        (std::vector<std::string>{
            "Dive Number,Time (platform),Value,Std Dev,Validity,Depth (m),Direction,"
            "Salinity (PSU),Temperature (degC),P1,P2,P3,Supply (V)",
            "3,14/11/2023 22:13:20,1.500,0.250,good,5.250,climbing,0.000,0.000,1,2,3,12.1",
            "4,01/01/1970 00:00:01,0.000,0.000,unknown,0.000,surfaced,0.000,0.000,0,0,0,0.0"}));
}

TEST(CtlSimulate, ADownloadWhoseLineGoesAwayFails) {
    const testing::TempFolder runtime;
    testing::PtyPeer peer;
    auto done = start_download(peer, runtime);
    EXPECT_EQ(peer.read(15), "\r\r\r\rdownload=1\r");
    peer.hang_up();
    const CtlRun r = done.get();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.out).size(), 1u) << r.out;  // the column titles
    EXPECT_EQ(r.err, "kelpira-ctl: " + peer.path() +
                         ": RS232 read error (4): download stopped, results received: 0\n");
}

TEST(CtlSimulate, StatusGoesToStandardError) {
    const testing::TempFolder runtime;
    testing::PtyPeer peer;
    auto done = std::async(std::launch::async, [&] {
        return run({"simulate", "--platform", "seaglider", "--port", peer.path(), "--dive", "7",
                    "--min-depth", "10", "--update", "1", "--duration", "1"},
                   runtime.path(""));
    });
    EXPECT_EQ(peer.read(4), "\r\r\r\r");
    EXPECT_TRUE(peer.read_line().starts_with("clock-set="));
    EXPECT_EQ(peer.read_like("\r\rstart=0007\r"), "\r\rstart=0007\r");
    const CtlRun r = done.get();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines_of(r.err)[0],
              "kelpira-ctl: " + peer.path() + ": Depth: 10.00, Direction: dive");
}

TEST(CtlSimulate, RefusesWhatItCannotDo) {
    const testing::TempFolder runtime;
    CtlRun r = run({"simulate", "--port", "/dev/ttyS0"}, runtime.path(""));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines_of(r.err).at(0), "kelpira-ctl: --platform is required");
    r = run({"simulate", "--platform", "eti", "--port", "/dev/ttyS0", "--download"},
            runtime.path(""));
    EXPECT_EQ(r.status, 2);
    r = run({"simulate", "--platform", "eti", "--port", "/dev/kelpira-no-port"}, runtime.path(""));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "kelpira-ctl: Can't open serial port /dev/kelpira-no-port - make sure no other "
              "application has it open\n");
}

}  // namespace
}  // namespace kelpira
