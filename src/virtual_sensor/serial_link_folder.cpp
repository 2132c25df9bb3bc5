// The serial link folder sits beside the device folder and is as private. A name is held by
// an flock on ".<name>.lock": the system lifts it when its holder ends, however it ends.
#include "virtual_sensor/serial_link_folder.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/private_folder.hpp"
#include "host_platform/serial_port_names.hpp"

namespace kelpira::virtual_sensor {

namespace {

std::string lock_path(const std::string& folder, const std::string& name) {
    return host_platform::serial_link_path(folder, "." + name + ".lock");
}

// The hold on `name`, or -1 with errno set (EWOULDBLOCK: someone holds it).
int try_hold(const std::string& folder, const std::string& name) {
    const std::string path = lock_path(folder, name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        ::close(fd);
        errno = why;
        return -1;
    }
    return fd;
}

}  // namespace

std::string prepare_serial_link_folder() {
    return common::make_private_folder(host_platform::serial_link_folder(), true);
}

int hold_serial_link_name(const std::string& folder, const std::string& name, std::string& error) {
    const int fd = try_hold(folder, name);
    if (fd >= 0) {
        return fd;
    }
    const std::string link = host_platform::serial_link_path(folder, name);
    error = errno == EWOULDBLOCK
                ? link +
                      " is the serial line of a virtual sensor that is running: choose "
                      "another name"
                : "cannot take the name " + link + ": " + std::strerror(errno);
    return -1;
}

void remove_stale_serial_links(const std::string& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string link = host_platform::serial_link_path(folder, name);
        struct stat st {};
        if (name.empty() || name[0] == '.' || ::lstat(link.c_str(), &st) != 0 ||
            !S_ISLNK(st.st_mode)) {
            continue;
        }
        const int fd = try_hold(folder, name);
        if (fd >= 0) {
            ::unlink(link.c_str());
            ::close(fd);
        }
    }
}

}  // namespace kelpira::virtual_sensor
