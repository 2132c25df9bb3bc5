// Inputs read once (standard input, pipes, devices) are copied into a nameless file, up to a
// limit, and the copy stops at once for Ctrl+C or a kill, leaving nothing behind.
#include "processing/input_spool.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using kelpira::processing::InputSpool;
using kelpira::testing::TempFolder;

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    return names;
}

// TMPDIR set to `folder` while it lives.
class TemporaryFolderIs {
  public:
    explicit TemporaryFolderIs(const std::string& folder) {
        if (const char* old = std::getenv("TMPDIR")) {
            old_ = old;
        }
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TemporaryFolderIs() {
        if (old_.empty()) {
            ::unsetenv("TMPDIR");
        } else {
            ::setenv("TMPDIR", old_.c_str(), 1);
        }
    }

  private:
    std::string old_;
};

TEST(InputSpool, ACopyHasNoNameAndALimit) {
    TempFolder tmp;
    const TemporaryFolderIs using_it(tmp.root);
    std::istringstream in("%KELPIRA.HEADER_START\nrows\n");
    InputSpool spool(in, 1u << 20);
    std::string error;
    const auto copy = spool.readable("-", error);
    ASSERT_TRUE(copy) << error;
    EXPECT_EQ(TempFolder::read(*copy), "%KELPIRA.HEADER_START\nrows\n");
    EXPECT_TRUE(entries(tmp.root).empty());

    EXPECT_FALSE(spool.readable("/dev/zero", error));
    EXPECT_EQ(error,
              "longer than 1 MiB, the most read from a pipe: save it to a file and process the "
              "file");
    EXPECT_TRUE(entries(tmp.root).empty());
}

// kelpira-process run with its standard input from `input` (when not -1) and its temporary
// folder `tmp`; standard error goes to `err`.
pid_t start_program(const std::vector<std::string>& args, int input, int err,
                    const std::string& tmp) {
    const std::string program = std::string(KELPIRA_BINARY_DIR) + "/kelpira-process";
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : all) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env_text{"TMPDIR=" + tmp};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("TMPDIR=", 0) != 0) {
            env_text.emplace_back(*e);
        }
    }
    std::vector<char*> env;
    for (auto& s : env_text) {
        env.push_back(s.data());
    }
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input >= 0) {
        posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    }
    posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    pid_t pid = -1;
    ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The status of `pid` once it ends, within `deadline`; -1 when it did not (it is then killed).
int wait_for_end(pid_t pid, std::chrono::milliseconds deadline) {
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    pollfd ended{pidfd, POLLIN, 0};
    const bool in_time = pidfd >= 0 && ::poll(&ended, 1, static_cast<int>(deadline.count())) == 1;
    if (!in_time) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (pidfd >= 0) {
        ::close(pidfd);
    }
    return in_time ? status : -1;
}

std::string drain(int fd) {
    std::string text;
    char block[4096];
    for (ssize_t n = 0; (n = ::read(fd, block, sizeof block)) > 0;) {
        text.append(block, static_cast<std::size_t>(n));
    }
    return text;
}

TEST(InputSpool, AnEndlessPipeStopsAtASignalAndLeavesNothing) {
    ::signal(SIGPIPE, SIG_IGN);
    constexpr std::size_t kStarted = 1u << 20;  // taken by the program before the signal
    constexpr std::size_t kMostFed = 64u << 20;
    struct Case {
        int signal;
        bool endless;  // the pipe is still being written when the signal comes; else silent
    };
    const Case cases[] = {{SIGTERM, true}, {SIGINT, true}, {SIGKILL, true}, {SIGTERM, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "signal " << c.signal << ", endless " << c.endless);
        TempFolder tmp;
        int in[2];
        int err[2];
        ASSERT_EQ(::pipe2(in, O_CLOEXEC), 0);
        ASSERT_EQ(::pipe2(err, O_CLOEXEC), 0);
        const pid_t pid = start_program({"-"}, in[0], err[1], tmp.root);
        ASSERT_GT(pid, 0);
        ::close(in[0]);
        ::close(err[1]);
        // A write ends only once the program has read all but a pipe's buffer before it.
        std::promise<void> started;
        std::thread feeder([&] {
            const std::string line(4096, '1');
            const std::size_t most = c.endless ? kMostFed : kStarted;
            for (std::size_t fed = 0; fed < most;) {
                if (::write(in[1], line.data(), line.size()) <= 0) {
                    break;
                }
                fed += line.size();
                if (fed == kStarted) {
                    started.set_value();
                }
            }
        });
        started.get_future().wait();
        const auto asked = std::chrono::steady_clock::now();
        ASSERT_EQ(::kill(pid, c.signal), 0);
        const int status = wait_for_end(pid, std::chrono::seconds(5));
        const auto took = std::chrono::steady_clock::now() - asked;
        feeder.join();
        ::close(in[1]);
        ASSERT_NE(status, -1) << "still running 5 s after the signal";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
        EXPECT_EQ(drain(err[0]), "");
        ::close(err[0]);
        EXPECT_TRUE(entries(tmp.root).empty());
        std::printf("signal %d: ended after %lld ms\n", c.signal,
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    }
}

TEST(InputSpool, DevZeroEndsAtTheLimitOrAFullDisk) {
    TempFolder tmp;
    int err[2];
    ASSERT_EQ(::pipe2(err, O_CLOEXEC), 0);
    const pid_t pid = start_program({"/dev/zero"}, -1, err[1], tmp.root);
    ::close(err[1]);
    const int status = wait_for_end(pid, std::chrono::seconds(60));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(drain(err[0]),
              "kelpira-process: /dev/zero: longer than 256 MiB, the most read from a pipe: save "
              "it to a file and process the file\n");
    ::close(err[0]);
    EXPECT_TRUE(entries(tmp.root).empty());

    // A temporary folder with 1 MiB of room, in a mount of the shell's own.
    if (::geteuid() != 0 || ::access("/usr/bin/unshare", X_OK) != 0) {
        GTEST_SKIP() << "needs root and unshare to mount a small file system";
    }
    const std::string program = std::string(KELPIRA_BINARY_DIR) + "/kelpira-process";
    const std::string script =
        "unshare -m sh -c 'mount -t tmpfs -o size=1m tmpfs \"$0\" || exit 77; "
        "TMPDIR=\"$0\" \"$1\" /dev/zero 2>&1; echo \"status $?\"; ls -A \"$0\"' " +
        tmp.root + " " + program;
    FILE* shell = ::popen(script.c_str(), "r");
    ASSERT_NE(shell, nullptr);
    const std::string said = drain(::fileno(shell));
    const int shell_status = ::pclose(shell);
    if (WIFEXITED(shell_status) && WEXITSTATUS(shell_status) == 77) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    EXPECT_EQ(said,
              "kelpira-process: /dev/zero: cannot make a temporary copy: No space left on "
              "device\nstatus 1\n");
}

}  // namespace
