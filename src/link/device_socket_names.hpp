// Where virtual-sensor sockets live, how a socket's file name carries its hardware id, and the
// short greeting a virtual device sends to the one client it accepts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelpira::link {

// "$XDG_RUNTIME_DIR/kelpira/devices", or "<temp>/kelpira-<uid>/devices" without XDG_RUNTIME_DIR.
std::string default_device_folder();

// Creates the folder if missing (for the default folder, its parent too) with access for this
// user only, and checks that each is a real folder, owned by this user, open to nobody else.
// Empty on success, otherwise why the folder cannot be used.
std::string prepare_device_folder(const std::string& folder);

// What the Connect view and kelpira-ctl say when the devices of `folder` are not used because
// of `problem` (as common::private_folder_problem tells it).
std::string unlisted_devices_text(const std::string& folder, const std::string& problem);

// "VID_xxxx&PID_xxxx" with upper-case hexadecimal digits, from any letter case; nullopt when the
// text is not of that form.
std::optional<std::string> normalise_hardware_id(const std::string& text);

// A device socket is named "<label>.<hardware id>"; names starting with '.' are sockets still
// being set up and are never listed.
std::string device_socket_name(const std::string& label, const std::string& hardware_id);
// The socket's path as enumeration lists it and the folder watcher reports it.
std::string device_socket_path(const std::string& folder, const std::string& name);
// The hardware id a socket name carries, or nullopt when the name is not a device socket's.
std::optional<std::string> hardware_id_of_socket_name(const std::string& name);

// The greeting: the server sends it to the client it accepts, and closes any other connection
// without a word, so that a device is open to one client at a time.
constexpr std::uint8_t kGreetingMagic = 0x4B;            // 'K'
constexpr std::uint8_t kGreetingDeclaresReport1 = 0x01;  // flag: input report id 1 declared
constexpr std::size_t kGreetingSize = 2;                 // magic, flags

}  // namespace kelpira::link
