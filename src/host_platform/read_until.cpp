// Reading one terminated reply from the serial line.
#include "host_platform/serial_port.hpp"

namespace kelpira::host_platform {

Reply read_until(SerialPort& port, std::string_view terminator) {
    Reply reply;
    std::size_t matched = 0;
    for (;;) {
        const ByteRead got = port.read_byte(kSerialTimeout);
        if (got.status != ReadStatus::ok) {
            reply.status = got.status;
            return reply;
        }
        if (reply.text.size() >= kMaxReply) {
            reply.status = ReadStatus::too_long;
            return reply;
        }
        const char c = static_cast<char>(got.byte);
        reply.text.push_back(c);
        if (c == terminator[matched]) {
            if (++matched == terminator.size()) {
                reply.status = ReadStatus::ok;
                return reply;
            }
        } else {
            // The breaking byte is not tried as the start of a new match.
            matched = 0;
        }
    }
}

std::string_view reply_body(const Reply& reply, std::string_view terminator) {
    std::string_view text = reply.text;
    if (text.ends_with(terminator)) {
        text.remove_suffix(terminator.size());
    }
    return text;
}

}  // namespace kelpira::host_platform
