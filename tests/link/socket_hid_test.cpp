// Local-socket devices end to end: a SensorLink against a device server on a private folder.
#include "link/socket_hid.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <future>
#include <thread>

#include "link/combined_hid.hpp"
#include "link/device_socket_names.hpp"
#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"
#include "support/device_folder.hpp"

using namespace kelpira;
using namespace kelpira::link;
using namespace std::chrono_literals;
using kelpira::testing::echo_answer;

namespace {

SensorCommand command(std::uint16_t code, std::uint8_t first_payload_byte = 0) {
    SensorCommand c;
    c.set_code(code);
    c.set_length(first_payload_byte ? 1 : 0);
    c.payload()[0] = first_payload_byte;
    return c;
}

// Records each request; `answer` decides what goes back.
struct Recorder {
    std::mutex m;
    std::vector<Report> requests;
    std::function<std::vector<InProcessReport>(const Report&)> answer = echo_answer;

    InProcessHandler handler() {
        return [this](const Report& r) {
            std::function<std::vector<InProcessReport>(const Report&)> a;
            {
                std::lock_guard lk(m);
                requests.push_back(r);
                a = answer;
            }
            return a(r);
        };
    }
    std::vector<Report> seen() {
        std::lock_guard lk(m);
        return requests;
    }
};

struct SocketFixture : ::testing::Test {
    kelpira::testing::ServedFolder served;
    SocketHidBackend backend{served.folder};
    SensorLink link{backend};
};

}  // namespace

TEST_F(SocketFixture, EnumeratesDeviceSocketsWithTheirHardwareIds) {
    EXPECT_TRUE(backend.enumerate().empty());
    const auto a = served.attach("b-second", echo_answer, "VID_04D8&PID_E967");
    const auto b = served.attach("a-first", echo_answer, "vid_c1ca&pid_b4ba");
    // Files that are not device sockets are never listed.
    std::ofstream(served.folder + "/plain.VID_04D8&PID_EABC") << "x";
    std::ofstream(served.folder + "/notes.txt") << "x";

    const auto list = backend.enumerate();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, served.folder + "/a-first.VID_C1CA&PID_B4BA");
    EXPECT_EQ(list[0].hardware_id, "VID_C1CA&PID_B4BA");
    EXPECT_EQ(list[1].path, served.path(a));
    EXPECT_EQ(list[1].hardware_id, "VID_04D8&PID_E967");
    EXPECT_EQ(served.path(b), list[0].path);

    served.server.detach(a);
    ASSERT_EQ(backend.enumerate().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(served.path(a)));
}

TEST_F(SocketFixture, AMissingFolderIsMadePrivateAndListsNothing) {
    SocketHidBackend nowhere(served.temp.root + "/absent");
    EXPECT_TRUE(nowhere.enumerate().empty());
    EXPECT_EQ(nowhere.open(served.temp.root + "/absent/x.VID_04D8&PID_EABC"), nullptr);
    struct stat st {};
    ASSERT_EQ(::lstat((served.temp.root + "/absent").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// A sensor served as `uid` on `path`: the socket is bound by the caller (who may write the
// folder) and listened on as `uid`, which is who the kernel then says serves it. Each
// connection gets the greeting; it runs until the test kills it, once `ready` got a byte.
// `flip`, when given, is renamed to `flip`+".away" and back between connections.
pid_t serve_as(uid_t uid, const std::string& path, int ready, const std::string& flip = {}) {
    const pid_t pid = ::fork();
    if (pid != 0) {
        return pid;
    }
    const int sock = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    if (sock < 0 || ::bind(sock, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::setgid(uid) != 0 || ::setuid(uid) != 0 || ::listen(sock, 64) != 0) {
        ::_exit(1);
    }
    const char one = 1;
    [[maybe_unused]] const auto said = ::write(ready, &one, 1);
    for (;;) {
        pollfd waiting{sock, POLLIN, 0};
        ::poll(&waiting, 1, flip.empty() ? -1 : 0);
        for (int c = -1; (c = ::accept(sock, nullptr, nullptr)) >= 0; ::close(c)) {
            const std::uint8_t greeting[2] = {kGreetingMagic, 0};
            [[maybe_unused]] const auto sent = ::send(c, greeting, 2, MSG_NOSIGNAL);
        }
        if (!flip.empty()) {
            ::rename(flip.c_str(), (flip + ".away").c_str());
            ::rename((flip + ".away").c_str(), flip.c_str());
        }
    }
}

TEST_F(SocketFixture, ASensorServedByAnotherUserIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to serve as another user";
    }
    const std::string path = served.folder + "/fake.VID_04D8&PID_EABC";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t server = serve_as(65534, path, ready[1]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(backend.enumerate().size(), 1u);
    EXPECT_EQ(backend.open(path), nullptr);
    EXPECT_EQ(backend.unlisted_reason(),
              "Virtual sensor " + path + " is not used: its server runs as uid 65534, not as you");
    ::kill(server, SIGKILL);
    ::waitpid(server, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}

// Another user flips their own folder, in a folder anyone may write, away and back while the
// user connects: the folder is checked and used through one descriptor, so none of the
// attempts reaches their sensor.
TEST_F(SocketFixture, AFlippingFolderOfAnotherUserIsNeverReached) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant a folder of another user";
    }
    ASSERT_EQ(::chmod(served.temp.root.c_str(), 0711), 0);
    const std::string shared = served.temp.root + "/tmp";
    const std::string planted = shared + "/kelpira-0";
    ASSERT_EQ(::mkdir(shared.c_str(), 01777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    for (const auto& dir : {planted, planted + "/devices"}) {
        ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
        ASSERT_EQ(::chown(dir.c_str(), 65534, 65534), 0);
    }
    const std::string path = planted + "/devices/fake.VID_04D8&PID_EABC";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t server = serve_as(65534, path, ready[1], planted);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    SocketHidBackend user(planted + "/devices");
    int connected = 0;
    for (int i = 0; i < 3000; ++i) {
        user.enumerate();
        connected += user.open(path) != nullptr ? 1 : 0;
    }
    ::kill(server, SIGKILL);
    ::waitpid(server, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(connected, 0);
}

// Another user who made the folder first (or a folder others may enter) could serve a fake
// sensor there, or read what is sent to one.
TEST_F(SocketFixture, AFolderThatIsNotPrivateListsAndOpensNothingAndSaysWhy) {
    const auto id = served.attach("planted", echo_answer);
    ASSERT_EQ(backend.enumerate().size(), 1u);
    EXPECT_EQ(backend.unlisted_reason(), "");
    ASSERT_EQ(::chmod(served.folder.c_str(), 0777), 0);
    EXPECT_TRUE(backend.enumerate().empty());
    EXPECT_EQ(backend.unlisted_reason(), "Virtual sensors in " + served.folder +
                                             " are not listed: " + served.folder +
                                             " is open to other users");
    EXPECT_EQ(backend.open(served.path(id)), nullptr);
    ASSERT_EQ(::chmod(served.folder.c_str(), 0700), 0);
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant a folder of another user";
    }
    ASSERT_EQ(::chown(served.folder.c_str(), 65534, 65534), 0);
    EXPECT_TRUE(backend.enumerate().empty());
    EXPECT_EQ(backend.unlisted_reason(), "Virtual sensors in " + served.folder +
                                             " are not listed: " + served.folder +
                                             " belongs to another user (uid 65534)");
    EXPECT_EQ(link.Open(served.path(id), 500ms), 1);
}

TEST_F(SocketFixture, TransactionCarriesExactBytesBothWays) {
    Recorder rec;
    const auto id = served.attach("s", rec.handler());
    ASSERT_EQ(link.Open(served.path(id), 1000ms), 0);
    auto c = command(404, 2);
    ASSERT_EQ(link.Transact(c), kResultSuccess);
    EXPECT_EQ(c.code(), 404);
    EXPECT_EQ(c.sequence(), 2);
    EXPECT_EQ(c.payload()[0], 3);

    const auto seen = rec.seen();
    ASSERT_EQ(seen.size(), 1u);
    Report want{};
    want[1] = 0x94;
    want[2] = 0x01;
    want[3] = 2;
    want[5] = 1;
    want[6] = 2;
    EXPECT_EQ(seen[0], want);

    for (int i = 0; i < 300; ++i) {  // past the sequence number's wrap
        auto more = command(294, static_cast<std::uint8_t>(i));
        ASSERT_EQ(link.Transact(more), kResultSuccess) << i;
        EXPECT_EQ(more.payload()[0], static_cast<std::uint8_t>(i + 1));
    }
    link.Close();
}

TEST_F(SocketFixture, DeviceDeclaringReport1GetsReportId1) {
    Recorder rec;
    const auto id = served.attach("s", rec.handler(), "VID_04D8&PID_EABC", true);
    auto device = backend.open(served.path(id));
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->declares_input_report_1(), true);
    device.reset();

    ASSERT_EQ(link.Open(served.path(id), 1000ms), 0);
    auto c = command(262);
    ASSERT_EQ(link.Transact(c), kResultSuccess);
    EXPECT_EQ(rec.seen().back()[0], 1);
    link.Close();
}

TEST_F(SocketFixture, OpenIsExclusiveAndFreedByClose) {
    const auto id = served.attach("s", echo_answer);
    const auto path = served.path(id);
    auto first = backend.open(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(backend.open(path), nullptr);
    EXPECT_EQ(link.Open(path, 500ms), 1);

    // The first client still works after the second was turned away.
    auto c = command(260, 9);
    c.bytes[3] = 2;
    ASSERT_TRUE(first->write(c.bytes));
    Report answer{};
    ASSERT_TRUE(first->read(answer));
    EXPECT_EQ(answer[6], 10);

    // Closed, the device is free at once: the probe closes and "Connect" opens straight after.
    first.reset();
    EXPECT_NE(backend.open(path), nullptr);
}

TEST_F(SocketFixture, OpenFailsWhereNobodyListens) {
    EXPECT_EQ(backend.open(served.folder + "/none.VID_04D8&PID_EABC"), nullptr);
    // A socket file left by a server that was killed.
    const std::string stale = served.folder + "/stale.VID_04D8&PID_EABC";
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, stale.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    ASSERT_EQ(backend.enumerate().size(), 1u);
    EXPECT_EQ(backend.open(stale), nullptr);

    virtual_sensor::remove_stale_sockets(served.folder);
    EXPECT_TRUE(backend.enumerate().empty());
}

TEST_F(SocketFixture, RemovalWhileReadBlocksFailsTheReadAndTheTransaction) {
    std::promise<void> asked;
    std::atomic<bool> once{false};
    const auto id = served.attach("s", [&](const Report&) {
        if (!once.exchange(true)) {
            asked.set_value();
        }
        return std::vector<InProcessReport>{};  // silent: the I/O thread blocks in its read
    });
    ASSERT_EQ(link.Open(served.path(id), 5000ms), 0);
    auto result = std::async(std::launch::async, [&] {
        auto c = command(418);
        return link.Transact(c);
    });
    asked.get_future().wait();
    const auto removed_at = std::chrono::steady_clock::now();
    served.server.detach(id);
    EXPECT_EQ(result.get(), kResultNoAnswer);
    const auto noticed = std::chrono::steady_clock::now() - removed_at;
    // At once, not at the link's time-out; and every exchange after it.
    EXPECT_LT(noticed, 1000ms);
    EXPECT_EQ(link.loss(), LinkLoss::removed);
    auto again = command(418);
    EXPECT_EQ(link.Transact(again), kResultNoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - removed_at, 1000ms);
    std::printf("removal noticed after %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(noticed).count()));

    const auto start = std::chrono::steady_clock::now();
    link.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    auto c = command(418);
    EXPECT_EQ(link.Transact(c), kResultNotOpen);
}

TEST_F(SocketFixture, RemovalEndsABlockedReadOfTheDeviceItself) {
    const auto id =
        served.attach("s", [](const Report&) { return std::vector<InProcessReport>{}; });
    auto device = backend.open(served.path(id));
    ASSERT_NE(device, nullptr);
    auto read = std::async(std::launch::async, [&] {
        Report r{};
        return device->read(r);
    });
    served.server.detach(id);
    EXPECT_FALSE(read.get());
    Report r{};
    EXPECT_FALSE(device->write(r));
}

TEST_F(SocketFixture, CancelEndsAReadAndStaysUntilTheNextWrite) {
    const auto id = served.attach("s", echo_answer);
    auto device = backend.open(served.path(id));
    ASSERT_NE(device, nullptr);

    auto blocked = std::async(std::launch::async, [&] {
        Report r{};
        return device->read(r);
    });
    device->cancel();
    EXPECT_FALSE(blocked.get());

    // Sticky: a read started after the cancel fails at once, even with an answer waiting.
    Report req{};
    req[6] = 4;
    device->cancel();
    Report r{};
    EXPECT_FALSE(device->read(r));

    ASSERT_TRUE(device->write(req));
    ASSERT_TRUE(device->read(r));
    EXPECT_EQ(r[6], 5);
}

TEST_F(SocketFixture, FlushDiscardsAnswersAlreadyQueued) {
    Recorder rec;
    rec.answer = [](const Report& req) {
        if (req[6] == 1) {
            auto two = echo_answer(req);
            two.push_back(two[0]);
            return two;
        }
        if (req[6] == 2) {
            return std::vector<InProcessReport>{};
        }
        return echo_answer(req);
    };
    const auto id = served.attach("s", rec.handler());
    auto device = backend.open(served.path(id));
    ASSERT_NE(device, nullptr);
    Report req{};
    req[6] = 1;
    ASSERT_TRUE(device->write(req));
    req[6] = 2;
    ASSERT_TRUE(device->write(req));
    // The server handles one request after the other and sends each answer before it reads
    // the next request: once the silent second one is handled, both answers to the first
    // are here.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (rec.seen().size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    ASSERT_EQ(rec.seen().size(), 2u);
    device->flush_input();
    req[6] = 40;
    ASSERT_TRUE(device->write(req));
    Report r{};
    ASSERT_TRUE(device->read(r));
    EXPECT_EQ(r[6], 41);
}

TEST_F(SocketFixture, LateAnswerGives5AndNeverPassesForTheNextOne) {
    Recorder rec;
    rec.answer = [](const Report& req) {
        auto a = echo_answer(req);
        if (req[6] == 1) {
            a[0].delay = 600ms;
        }
        return a;
    };
    const auto id = served.attach("s", rec.handler());
    ASSERT_EQ(link.Open(served.path(id), 300ms), 0);
    auto late = command(418, 1);
    EXPECT_EQ(link.Transact(late), kResultNoAnswer);
    EXPECT_EQ(link.loss(), LinkLoss::no_answer) << "still attached, only the answer lost";
    // The late answer comes in while the next transactions run: none of them takes it.
    for (std::uint8_t v = 30; v < 36; ++v) {
        auto c = command(418, v);
        const auto before = c.bytes;
        const auto rc = link.Transact(c);
        if (rc == kResultSuccess) {
            EXPECT_EQ(c.payload()[0], v + 1) << "answer of another request delivered";
        } else {
            EXPECT_TRUE(rc == kResultNoAnswer || rc == kResultLockOrSequence) << int(rc);
            EXPECT_EQ(c.bytes, before);
        }
    }
    auto last = command(418, 50);
    ASSERT_EQ(link.Transact(last), kResultSuccess) << "the link recovers";
    EXPECT_EQ(last.payload()[0], 51);
    link.Close();
}

TEST_F(SocketFixture, CombinedBackendListsBothAndOpensWithTheOwner) {
    InProcessHidBackend in_process;
    in_process.add("/dev/hidraw-fake", "VID_04D8&PID_EABD", echo_answer);
    const auto id = served.attach("s", echo_answer);
    CombinedHidBackend both({&in_process, &backend});

    const auto list = both.enumerate();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, "/dev/hidraw-fake");
    EXPECT_EQ(list[1].path, served.path(id));
    EXPECT_NE(both.open(served.path(id)), nullptr);
    EXPECT_NE(both.open("/dev/hidraw-fake"), nullptr);
    EXPECT_EQ(both.open("/dev/none"), nullptr);

    // A device that arrived after the last enumeration is still found.
    const auto later = served.attach("t", echo_answer);
    CombinedHidBackend fresh({&in_process, &backend});
    EXPECT_NE(fresh.open(served.path(later)), nullptr);
}
