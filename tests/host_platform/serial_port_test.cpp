// The serial port: reply reading, opening a real line (a pseudo-terminal), exclusivity, line
// settings, cancelling a blocked read, and the port list's virtual links.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <latch>
#include <optional>
#include <thread>

#include "host_platform/serial_port.hpp"
#include "host_platform/serial_port_names.hpp"
#include "host_platform/simulator_settings.hpp"
#include "host_platform/termios_line.hpp"
#include "pty_peer.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::host_platform {
namespace {

// Hands out scripted bytes, then silence.
class ScriptedPort : public SerialPort {
  public:
    explicit ScriptedPort(std::string bytes) : bytes_(bytes.begin(), bytes.end()) {}
    bool write(std::string_view) override { return true; }
    ByteRead read_byte(std::chrono::milliseconds) override {
        if (bytes_.empty()) {
            return {ReadStatus::timed_out, 0};
        }
        const auto b = static_cast<std::uint8_t>(bytes_.front());
        bytes_.pop_front();
        return {ReadStatus::ok, b};
    }
    void purge_input() override {}
    void cancel() override {}
    std::size_t left() const { return bytes_.size(); }

  private:
    std::deque<char> bytes_;
};

TEST(ReadUntil, ABrokenPartialMatchRestartsAfterTheBreakingByte) {
    // The second CR breaks "\r\n" and is not taken as the start of a new match, so the LF after
    // it matches nothing; only the later CR LF ends the reply.
    ScriptedPort port("ab\r\r\ncd\r\nrest");
    const Reply r = read_until(port, "\r\n");
    EXPECT_EQ(r.status, ReadStatus::ok);
    EXPECT_EQ(r.text, "ab\r\r\ncd\r\n");
    EXPECT_EQ(reply_body(r, "\r\n"), "ab\r\r\ncd");
    EXPECT_EQ(port.left(), 4u);
}

TEST(ReadUntil, NinetyNineBytesAreTheLimit) {
    ScriptedPort fits(std::string(98, 'x') + "\r");
    EXPECT_EQ(read_until(fits, "\r").text.size(), 99u);

    // A byte arriving with 99 stored fails, even the terminator.
    ScriptedPort over(std::string(99, 'x') + "\r");
    const Reply r = read_until(over, "\r");
    EXPECT_EQ(r.status, ReadStatus::too_long);
    EXPECT_EQ(r.text, std::string(99, 'x'));

    ScriptedPort silent("partial");
    EXPECT_EQ(read_until(silent, "\r").status, ReadStatus::timed_out);
}

TEST(TermiosLine, CarriesTheFourLineSettings) {
    termios t{};
    set_termios_line(t, {19200, 8, Parity::even, StopBits::one});
    EXPECT_EQ(::cfgetospeed(&t), B19200);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), CS8 | PARENB);
    set_termios_line(t, {115200, 7, Parity::mark, StopBits::two});
    EXPECT_EQ(::cfgetospeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB),
              CS7 | PARENB | PARODD | CMSPAR | CSTOPB);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
}

TEST(PosixSerialPort, TalksOverALineAndHoldsItExclusively) {
    testing::PtyPeer peer;
    // A descriptor of our own on the line's side shows the rate the port applied.
    const int observer = ::open(peer.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer, 0);
    auto opened = open_serial_port(peer.path(), {19200, 8, Parity::even, StopBits::one});
    ASSERT_NE(opened.port, nullptr) << opened.error;
    termios t{};
    ASSERT_EQ(::tcgetattr(observer, &t), 0);
    ::close(observer);
    EXPECT_EQ(::cfgetospeed(&t), B19200);

    EXPECT_EQ(open_serial_port(peer.path(), {}).port, nullptr);

    EXPECT_TRUE(opened.port->write("sample\r"));
    EXPECT_EQ(peer.read(7), "sample\r");
    peer.write("stale");
    // The bytes must be in the line's input before the purge can drop them.
    EXPECT_EQ(opened.port->read_byte(kSerialTimeout).byte, 's');
    opened.port->purge_input();
    peer.write("1,2\r");
    EXPECT_EQ(read_until(*opened.port, "\r").text, "1,2\r");

    opened.port.reset();
    EXPECT_NE(open_serial_port(peer.path(), {}).port, nullptr);
}

TEST(PosixSerialPort, CancelEndsABlockedReadAndEveryLaterOne) {
    testing::PtyPeer peer;
    auto opened = open_serial_port(peer.path(), {});
    ASSERT_NE(opened.port, nullptr) << opened.error;
    std::latch reading(1);
    ByteRead got;
    std::thread reader([&] {
        reading.count_down();
        got = opened.port->read_byte(std::chrono::hours(1));
    });
    reading.wait();
    opened.port->cancel();
    reader.join();
    EXPECT_EQ(got.status, ReadStatus::cancelled);
    peer.write("x");
    EXPECT_EQ(opened.port->read_byte(std::chrono::hours(1)).status, ReadStatus::cancelled);
}

TEST(PosixSerialPort, AMissingPortIsNamedInTheError) {
    const auto opened = open_serial_port("/dev/kelpira-no-such-port", {});
    EXPECT_EQ(opened.port, nullptr);
    EXPECT_TRUE(opened.error.starts_with("/dev/kelpira-no-such-port: ")) << opened.error;
}

// Only links to a pseudo-terminal (a virtual sensor's serial side), in a folder private to the
// user, by name, without those still being set up.
TEST(SerialLinks, ListedByNameOnlyToATerminalAndOnlyFromAPrivateFolderMadeWhenMissing) {
    const testing::TempFolder dir;
    const std::string folder = dir.path("serial");
    EXPECT_TRUE(serial_links(folder).paths.empty());
    EXPECT_EQ(serial_links(folder).problem, "");
    struct stat made {};
    ASSERT_EQ(::lstat(folder.c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 07777, 0700u);
    const testing::PtyPeer peer;
    const std::string& terminal = peer.path();
    for (const char* name : {"Sensor B", "Sensor A", ".Sensor C"}) {
        std::filesystem::create_symlink(terminal, folder + "/" + name);
    }
    std::filesystem::create_symlink("/dev/null", folder + "/Null");
    std::filesystem::create_symlink(dir.path("x"), folder + "/Elsewhere");
    dir.write("serial/Plain", "x");
    EXPECT_EQ(serial_links(folder).paths,
              (std::vector<std::string>{folder + "/Sensor A", folder + "/Sensor B"}));
    EXPECT_EQ(serial_links(folder).problem, "");

    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    const auto refused = serial_links(folder);
    EXPECT_TRUE(refused.paths.empty());
    EXPECT_EQ(refused.problem, "Virtual sensors' serial lines in " + folder +
                                   " are not listed: " + folder + " is open to other users");
}

// Points XDG_RUNTIME_DIR and TMPDIR at test folders for one test.
class RuntimeFolders {
  public:
    RuntimeFolders(const std::string& runtime, const std::string& temp) {
        for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
            const char* was = std::getenv(name);
            saved_.emplace_back(name,
                                was != nullptr ? std::optional<std::string>(was) : std::nullopt);
        }
        set("XDG_RUNTIME_DIR", runtime);
        set("TMPDIR", temp);
    }
    ~RuntimeFolders() {
        for (const auto& [name, value] : saved_) {
            set(name, value.value_or(""));
        }
    }

  private:
    static void set(const char* name, const std::string& value) {
        value.empty() ? ::unsetenv(name) : ::setenv(name, value.c_str(), 1);
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// What the folder holds besides a sensor's link is not opened, whatever path is typed: only a
// link to exactly "/dev/pts/N" of this user, read through the private folder.
TEST(SerialLinks, OnlyATerminalLinkInThePrivateFolderOpens) {
    const testing::TempFolder runtime;
    const RuntimeFolders env(runtime.root, "");
    const std::string folder = serial_link_folder();
    ASSERT_EQ(folder, runtime.path("kelpira/serial"));
    std::filesystem::create_directories(folder);
    ::chmod(runtime.path("kelpira").c_str(), 0700);
    ::chmod(folder.c_str(), 0700);
    const testing::PtyPeer peer;
    std::filesystem::create_symlink(peer.path(), folder + "/Sensor");
    EXPECT_NE(open_serial_port(folder + "/Sensor", {}).port, nullptr);
    const std::string number = peer.path().substr(std::string("/dev/pts/").size());
    for (const std::string& target : std::vector<std::string>{
             "/dev/ptmx", "/dev/pts/../ptmx", "/dev/pts/./" + number, "/dev/pts/" + number + "x"}) {
        std::filesystem::remove(folder + "/Other");
        std::filesystem::create_symlink(target, folder + "/Other");
        EXPECT_EQ(open_serial_port(folder + "/Other", {}).error,
                  folder + "/Other: not a virtual sensor's serial line")
            << target;
    }
    EXPECT_EQ(serial_links(folder).paths, std::vector<std::string>{folder + "/Sensor"});
    EXPECT_EQ(open_serial_port(folder + "/../serial/Sensor", {}).error,
              folder + "/../serial/Sensor: a path with \"..\" is not opened as a serial line");
    ::chmod(folder.c_str(), 0777);
    EXPECT_EQ(open_serial_port(folder + "/Sensor", {}).error,
              folder + "/Sensor: " + folder + " is open to other users");
}

TEST(SerialLinks, APseudoTerminalOfAnotherUserIsNeitherListedNorOpened) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a terminal to another user";
    }
    const testing::TempFolder dir;
    const std::string folder = dir.path("serial");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const testing::PtyPeer peer;
    ASSERT_EQ(::chown(peer.path().c_str(), 65534, 65534), 0);
    std::filesystem::create_symlink(peer.path(), folder + "/Theirs");
    EXPECT_TRUE(serial_links(folder).paths.empty());
    EXPECT_EQ(open_serial_port(peer.path(), {}).error,
              peer.path() + ": the terminal belongs to another user (uid 65534)");
}

// Another user flips their own folder, in a temporary folder anyone may write, away and back
// while the user lists and opens its lines without XDG_RUNTIME_DIR: the folder is checked and
// used through one descriptor, so none of the attempts reaches their terminal.
TEST(SerialLinks, AFlippingFolderOfAnotherUserIsNeverReached) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant a folder of another user";
    }
    const testing::TempFolder dir;
    ASSERT_EQ(::chmod(dir.root.c_str(), 0711), 0);
    const std::string shared = dir.path("tmp");
    ASSERT_EQ(::mkdir(shared.c_str(), 01777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const RuntimeFolders env("", shared);
    const std::string planted = shared + "/kelpira-0";
    ASSERT_EQ(serial_link_folder(), planted + "/serial");
    for (const auto& folder : {planted, planted + "/serial"}) {
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    }
    const testing::PtyPeer peer;
    std::filesystem::create_symlink(peer.path(), planted + "/serial/Fake");
    const pid_t flipper = ::fork();
    if (flipper == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(1);
        }
        for (;;) {
            ::rename(planted.c_str(), (planted + ".away").c_str());
            ::rename((planted + ".away").c_str(), planted.c_str());
        }
    }
    int reached = 0;
    for (int i = 0; i < 5000; ++i) {
        // Named with a trailing slash, the listing never makes the folder above, which would
        // end the flipping.
        reached += serial_links(planted + "/serial/").paths.empty() ? 0 : 1;
        reached += open_serial_port(planted + "/serial/Fake", {}).port != nullptr ? 1 : 0;
    }
    ::kill(flipper, SIGKILL);
    ::waitpid(flipper, nullptr, 0);
    EXPECT_EQ(reached, 0);
}

}  // namespace
}  // namespace kelpira::host_platform
