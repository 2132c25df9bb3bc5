// Serves emulated devices as local sockets that SocketHidBackend lists and opens.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "link/handler_hid.hpp"

namespace kelpira::virtual_sensor {

struct ServedDevice {
    std::string label;        // first part of the socket's name, unique in the folder
    std::string hardware_id;  // "VID_xxxx&PID_xxxx"
    bool declares_report_id_1 = false;
    // Answers each report the client writes; called on the serving thread, without the
    // server's lock, so it may call restart_after_answer or detach_after_answer.
    link::InProcessHandler handler;
};

using DeviceId = int;

// One listening socket per device in a folder. A device accepts one client at a time and
// closes any other connection at once; each report the client writes goes to the handler, and
// its answers go back after their delays. Every member may be called from any thread; run()
// serves until stop().
class DeviceServer {
  public:
    explicit DeviceServer(std::string folder);
    // Removes every socket this server made.
    ~DeviceServer();
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // The device's socket appears in the folder, ready to accept (a device arrives). nullopt
    // with the reason in `error` when it cannot be made.
    std::optional<DeviceId> attach(ServedDevice device, std::string& error);
    // The socket goes and a connected client sees its reads fail (the device is unplugged).
    void detach(DeviceId id);
    // Once the answers to the request being handled have gone out, the device leaves and,
    // `absence` later, comes back at the same path with the same handler (a restart).
    void restart_after_answer(DeviceId id, std::chrono::milliseconds absence);
    // Once the answers to the request being handled have gone out, the device leaves for good.
    void detach_after_answer(DeviceId id);

    std::optional<std::string> path_of(DeviceId id) const;

    // Serves until stop(); removes every socket before returning.
    void run();
    // Safe in a signal handler.
    void stop();

  private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        link::Report bytes{};
        Clock::time_point due;
    };
    enum class After { stay, leave, restart };
    struct Served {
        ServedDevice device;
        std::string path;
        int listen_fd = -1;       // -1 while away (restarting)
        std::uint64_t inode = 0;  // of our socket file, so we never delete someone else's
        int client_fd = -1;
        std::uint64_t connection = 0;  // counts accepted clients; answers go to their own
        std::deque<Pending> pending;   // answers in order, each sent when due
        After after = After::stay;
        std::chrono::milliseconds absence{0};
        std::optional<Clock::time_point> returns_at;
    };
    void wake() const;
    bool listen_on(Served& s, std::string& error);
    void close_device(Served& s);
    void serve_once();

    std::string folder_;
    int wake_fd_ = -1;
    std::atomic<bool> stop_{false};
    static_assert(std::atomic<bool>::is_always_lock_free);

    mutable std::mutex mutex_;
    std::map<DeviceId, Served> devices_;
    DeviceId next_id_ = 1;
};

// Deletes device sockets in the folder that nobody listens on any more (left by a server that
// was killed), so that the program does not list them.
void remove_stale_sockets(const std::string& folder);

}  // namespace kelpira::virtual_sensor
