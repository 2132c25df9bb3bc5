// kelpira-virtual-sensor as a user runs it: the built program, found, talked to, restarted
// from its bootloader and stopped with SIGTERM.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "link/folder_watcher.hpp"
#include "link/sensor_link.hpp"
#include "link/socket_hid.hpp"
#include "support/device_folder.hpp"

extern char** environ;

using namespace kelpira;
using namespace kelpira::link;
using namespace std::chrono_literals;

namespace {

const std::string kProgram = std::string(KELPIRA_BINARY_DIR) + "/kelpira-virtual-sensor";

// The program running with its standard output on a pipe; killed if a test leaves it running.
class Program {
  public:
    Program(const std::vector<std::string>& args, const std::vector<std::string>& extra_env = {}) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe";
            return;
        }
        out_ = fds[0];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
        std::vector<std::string> argv_s{kProgram};
        argv_s.insert(argv_s.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : argv_s) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        std::vector<std::string> env_s = extra_env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string kv = *e;
            const auto key = kv.substr(0, kv.find('=') + 1);
            bool overridden = false;
            for (const auto& x : extra_env) {
                overridden = overridden || x.rfind(key, 0) == 0;
            }
            if (!overridden) {
                env_s.push_back(kv);
            }
        }
        std::vector<char*> envp;
        for (auto& e : env_s) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, kProgram.c_str(), &actions, nullptr, argv.data(), envp.data()) !=
            0) {
            ADD_FAILURE() << "cannot start " << kProgram;
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            ::close(out_);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Reads the output until `text` appears (true) or the program closes it or 20 s pass.
    bool wait_for_output(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (output_.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{out_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return false;
            }
            char buf[512];
            const ssize_t n = ::read(out_, buf, sizeof buf);
            if (n <= 0) {
                return false;
            }
            output_.append(buf, static_cast<std::size_t>(n));
        }
        return true;
    }
    const std::string& output() const { return output_; }

    void signal(int sig) { ::kill(pid_, sig); }
    // The exit status, once the program has ended.
    int wait_exit() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string output_;
};

constexpr auto kReady = "Press Ctrl+C";

std::string name_of(SensorLink& link) {
    SensorCommand c;
    c.set_code(260);  // GET_SENSOR_IDENTIFICATION
    if (link.Transact(c) != kResultSuccess || c.result() != 0) {
        return "<no answer>";
    }
    const auto p = c.payload();
    return std::string(reinterpret_cast<const char*>(p.data() + 2),
                       strnlen(reinterpret_cast<const char*>(p.data() + 2), 21));
}

int mode_of(SensorLink& link) {
    SensorCommand c;
    c.set_code(262);  // GET_DEVICE_INFO
    if (link.Transact(c) != kResultSuccess || c.result() != 0) {
        return -1;
    }
    return c.payload()[1];
}

}  // namespace

TEST(VirtualSensorProgram, ServesItsDevicesAndRemovesThemOnSigterm) {
    kelpira::testing::TempFolder temp;
    const std::string folder = temp.root + "/devices";
    Program program({"--folder", folder, "--name", "Demo Sensor", "--chemistry", "nitrate",
                     "--device", "--name", "Second", "--hardware-id", "VID_C1CA&PID_B4BA"});
    ASSERT_TRUE(program.wait_for_output(kReady)) << program.output();

    SocketHidBackend backend(folder);
    const auto list = backend.enumerate();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].hardware_id, "VID_04D8&PID_EABC");
    EXPECT_EQ(list[1].hardware_id, "VID_C1CA&PID_B4BA");
    EXPECT_NE(program.output().find(list[0].path), std::string::npos);

    SensorLink link(backend);
    ASSERT_EQ(link.Open(list[0].path, 3000ms), 0);
    EXPECT_EQ(name_of(link), "Demo Sensor");
    EXPECT_EQ(backend.open(list[0].path), nullptr) << "open to one client at a time";
    SensorCommand live;
    live.set_code(418);  // GET_LIVE_STATUS
    EXPECT_EQ(link.Transact(live), kResultSuccess);

    // SIGTERM while a client holds a device: the sockets go, the client's link fails.
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait_exit(), 0) << program.output();
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    SensorCommand after;
    after.set_code(418);
    EXPECT_EQ(link.Transact(after), kResultNoAnswer);
    link.Close();
}

TEST(VirtualSensorProgram, SigintAlsoRemovesTheDevices) {
    kelpira::testing::TempFolder temp;
    const std::string folder = temp.root + "/devices";
    Program program({"--folder", folder});
    ASSERT_TRUE(program.wait_for_output(kReady)) << program.output();
    EXPECT_EQ(SocketHidBackend(folder).enumerate().size(), 1u);
    program.signal(SIGINT);
    EXPECT_EQ(program.wait_exit(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(VirtualSensorProgram, BootloaderLeavesOnStartFirmwareAndComesBackRunningIt) {
    kelpira::testing::TempFolder temp;
    const std::string folder = temp.root + "/devices";
    Program program(
        {"--folder", folder, "--restart-delay", "100", "--name", "Boot Sensor", "--bootloader"});
    ASSERT_TRUE(program.wait_for_output(kReady)) << program.output();
    kelpira::testing::EventQueue events;
    FolderDeviceWatcher watcher(folder);
    ASSERT_TRUE(watcher.start(events.handler()));

    SocketHidBackend backend(folder);
    ASSERT_EQ(backend.enumerate().size(), 1u);
    const std::string path = backend.enumerate()[0].path;
    SensorLink link(backend);
    ASSERT_EQ(link.Open(path, 3000ms), 0);
    EXPECT_EQ(mode_of(link), 1);
    SensorCommand start;
    start.set_code(258);  // START_FIRMWARE
    ASSERT_EQ(link.Transact(start), kResultSuccess);
    EXPECT_EQ(start.result(), 0);

    auto e = events.next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->change, DeviceChange::removal);
    EXPECT_EQ(e->path, path);
    e = events.next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->change, DeviceChange::arrival);
    EXPECT_EQ(e->path, path);

    link.Close();
    ASSERT_EQ(link.Open(path, 3000ms), 0);
    EXPECT_EQ(mode_of(link), 2);
    EXPECT_EQ(name_of(link), "Boot Sensor");
    link.Close();

    program.signal(SIGTERM);
    EXPECT_EQ(program.wait_exit(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(VirtualSensorProgram, UsesAPrivateFolderUnderXdgRuntimeDir) {
    kelpira::testing::TempFolder temp;
    Program program({}, {"XDG_RUNTIME_DIR=" + temp.root});
    ASSERT_TRUE(program.wait_for_output(kReady)) << program.output();
    const std::string folder = temp.root + "/kelpira/devices";
    EXPECT_EQ(SocketHidBackend(folder).enumerate().size(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait_exit(), 0);
}

TEST(VirtualSensorProgram, RefusesAFolderOthersCanWriteAndBadOptions) {
    kelpira::testing::TempFolder temp;
    const std::string folder = temp.root + "/devices";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    {
        Program program({"--folder", folder});
        EXPECT_EQ(program.wait_exit(), 1);
    }
    {
        Program program({"--serial", "70000"});
        program.wait_for_output("\n");
        EXPECT_EQ(program.wait_exit(), 2);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}
