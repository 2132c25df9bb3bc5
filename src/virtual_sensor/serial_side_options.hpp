// What the sensor's serial interface speaks when it has one: the host platform's protocol
// and the faults its replies meet.
#pragma once

#include <optional>
#include <string>

namespace kelpira::virtual_sensor {

// The platform protocols the firmware answers on its RS232 line.
enum class SerialProtocol { seaglider, bridges, eti };

enum class SerialFault {
    none,
    wrong_checksum,  // ETI replies carry a checksum one off the right one
    silence,         // sentences are taken in, nothing is answered
    long_reply,      // replies grow past 99 bytes before their terminator
};

struct SerialSideOptions {
    std::optional<SerialProtocol> protocol;  // nullopt: no serial side
    SerialFault fault = SerialFault::none;
    std::optional<unsigned> fault_replies;  // how many replies meet the fault; nullopt: all
};

// "seaglider", "bridges", "eti" (any letter case).
std::optional<SerialProtocol> serial_protocol_named(const std::string& name);
const char* serial_protocol_name(SerialProtocol protocol);

// "KIND" or "KIND:N" with KIND one of wrong-checksum, silence, long-reply.
std::optional<SerialSideOptions> serial_fault_from(const std::string& text,
                                                   SerialSideOptions options);

}  // namespace kelpira::virtual_sensor
