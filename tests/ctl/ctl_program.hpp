// Running kelpira-ctl as a script does, and serving it emulated sensors in a private runtime
// folder, so that only a test's own sensors are found.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "link/device_socket_names.hpp"
#include "support/temp_folder.hpp"
#include "virtual_sensor/sensor_host.hpp"

extern char** environ;

namespace kelpira {

inline const std::string kProgram = std::string(KELPIRA_BINARY_DIR) + "/kelpira-ctl";

struct CtlRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The program started and not yet waited for.
struct CtlProcess {
    pid_t pid = -1;
    std::unique_ptr<testing::TempFolder> io = std::make_unique<testing::TempFolder>();
    std::string out_path = io->path("out");
    std::string err_path = io->path("err");
};

// Starts `program` with XDG_RUNTIME_DIR = `runtime`, so only this test's sensors are found,
// and standard input read from `input`.
inline CtlProcess spawn_program(const std::string& program, const std::vector<std::string>& args,
                                const std::string& runtime,
                                const std::string& input = "/dev/null") {
    CtlProcess p;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, p.out_path.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, p.err_path.c_str(), O_WRONLY | O_CREAT, 0600);
    std::vector<std::string> argv_s{program};
    argv_s.insert(argv_s.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_s) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env_s{"XDG_RUNTIME_DIR=" + runtime};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("XDG_RUNTIME_DIR=", 0) != 0) {
            env_s.emplace_back(*e);
        }
    }
    std::vector<char*> envp;
    for (auto& e : env_s) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    if (posix_spawn(&p.pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        p.pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return p;
}

inline CtlProcess spawn(const std::vector<std::string>& args, const std::string& runtime,
                        const std::string& input = "/dev/null") {
    return spawn_program(kProgram, args, runtime, input);
}

// Waits for the program to end and collects what it wrote.
inline CtlRun finish(CtlProcess& p) {
    CtlRun r;
    if (p.pid > 0) {
        int wstatus = 0;
        ::waitpid(p.pid, &wstatus, 0);
        r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }
    r.out = testing::TempFolder::read(p.out_path);
    r.err = testing::TempFolder::read(p.err_path);
    return r;
}

inline CtlRun run(const std::vector<std::string>& args, const std::string& runtime,
                  const std::string& input = "/dev/null") {
    CtlProcess p = spawn(args, runtime, input);
    return finish(p);
}

inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A device folder under `runtime` where the sensors served from here are found, as
// XDG_RUNTIME_DIR=`runtime` makes kelpira-ctl look.
class ServedSensors {
  public:
    explicit ServedSensors(const std::string& runtime) {
        std::filesystem::create_directories(runtime + "/kelpira");
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        std::filesystem::permissions(runtime + "/kelpira", std::filesystem::perms::owner_all);
        EXPECT_EQ(link::prepare_device_folder(runtime + "/kelpira/devices"), "");
        server_ = std::make_unique<virtual_sensor::DeviceServer>(runtime + "/kelpira/devices");
    }
    ~ServedSensors() {
        server_->stop();
        if (serving_.joinable()) {
            serving_.join();
        }
    }

    // Serves `sensor` and keeps it until serving has ended, so that no answer is ever being
    // made by a sensor already gone; the first call starts serving.
    virtual_sensor::VirtualSensor& serve(std::unique_ptr<virtual_sensor::VirtualSensor> sensor,
                                         const std::string& label) {
        std::string error;
        EXPECT_TRUE(virtual_sensor::serve_sensor(*server_, *sensor, label,
                                                 std::chrono::milliseconds(0), error))
            << error;
        sensors_.push_back(std::move(sensor));
        if (!serving_.joinable()) {
            serving_ = std::thread([this] { server_->run(); });
        }
        return *sensors_.back();
    }

  private:
    std::vector<std::unique_ptr<virtual_sensor::VirtualSensor>> sensors_;
    std::unique_ptr<virtual_sensor::DeviceServer> server_;
    std::thread serving_;
};

}  // namespace kelpira
