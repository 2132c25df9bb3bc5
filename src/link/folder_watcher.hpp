// Arrival and removal of virtual-sensor sockets, from an inotify watch on their folder.
#pragma once

#include <mutex>
#include <string>
#include <thread>

#include "link/device_watcher.hpp"

namespace kelpira::link {

// Reports a device socket appearing in the folder (a server renames it into place once it
// listens) as an arrival, and its deletion as a removal, with the path enumeration lists.
class FolderDeviceWatcher : public DeviceWatcher {
  public:
    explicit FolderDeviceWatcher(std::string folder);
    ~FolderDeviceWatcher() override;
    FolderDeviceWatcher(const FolderDeviceWatcher&) = delete;
    FolderDeviceWatcher& operator=(const FolderDeviceWatcher&) = delete;

    // Creates the folder when missing, so that a server started later is seen. Refuses a
    // folder (or parent) that is not private to this user.
    bool start(DeviceEventHandler handler) override;
    std::string problem() const override;
    void stop() override;

  private:
    void run(int inotify_fd, int wake_fd, const DeviceEventHandler& handler) const;

    std::string folder_;
    mutable std::mutex mutex_;  // start, stop and problem_
    std::string problem_;
    std::thread thread_;
    int inotify_fd_ = -1;
    int wake_fd_ = -1;
};

}  // namespace kelpira::link
