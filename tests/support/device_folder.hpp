// A private virtual-sensor folder for one test, with a device server serving on a thread, and a
// queue of device events with bounded waits.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "link/device_socket_names.hpp"
#include "link/device_watcher.hpp"
#include "support/temp_folder.hpp"
#include "virtual_sensor/device_server.hpp"

namespace kelpira::testing {

// A device folder and a server running on its own thread until the fixture ends.
struct ServedFolder {
    TempFolder temp;
    std::string folder = temp.root + "/devices";
    virtual_sensor::DeviceServer server{folder};
    std::thread thread;

    ServedFolder() {
        EXPECT_EQ(link::prepare_device_folder(folder), "");
        thread = std::thread([this] { server.run(); });
    }
    ~ServedFolder() {
        server.stop();
        thread.join();
    }
    ServedFolder(const ServedFolder&) = delete;
    ServedFolder& operator=(const ServedFolder&) = delete;

    virtual_sensor::DeviceId attach(const std::string& label, link::InProcessHandler handler,
                                    const std::string& hardware_id = "VID_04D8&PID_EABC",
                                    bool report_1 = false) {
        std::string error;
        auto id = server.attach({label, hardware_id, report_1, std::move(handler)}, error);
        EXPECT_TRUE(id.has_value()) << error;
        return id.value_or(0);
    }
    std::string path(virtual_sensor::DeviceId id) const { return server.path_of(id).value_or(""); }
};

// Collects device events from a watcher's thread; waits are bounded so a lost event fails the
// test instead of hanging it.
class EventQueue {
  public:
    void push(const link::DeviceEvent& e) {
        {
            std::lock_guard lk(m_);
            events_.push_back(e);
        }
        cv_.notify_all();
    }
    std::optional<link::DeviceEvent> next(
        std::chrono::milliseconds within = std::chrono::seconds(10)) {
        std::unique_lock lk(m_);
        if (!cv_.wait_for(lk, within, [&] { return !events_.empty(); })) {
            return std::nullopt;
        }
        auto e = events_.front();
        events_.pop_front();
        return e;
    }
    link::DeviceEventHandler handler() {
        return [this](const link::DeviceEvent& e) { push(e); };
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<link::DeviceEvent> events_;
};

// Answers with the request itself, result 0 and the first payload byte plus one.
inline std::vector<link::InProcessReport> echo_answer(const link::Report& req) {
    link::InProcessReport r;
    r.bytes = req;
    r.bytes[4] = 0;
    r.bytes[6] = static_cast<std::uint8_t>(req[6] + 1);
    return {r};
}

}  // namespace kelpira::testing
