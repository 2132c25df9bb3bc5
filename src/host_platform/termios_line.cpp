// Line settings as terminal attributes.
#include "host_platform/termios_line.hpp"

namespace kelpira::host_platform {

namespace {

speed_t termios_speed(std::uint32_t baud) {
    switch (baud) {
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

tcflag_t size_flag(std::uint8_t data_bits) {
    switch (data_bits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

tcflag_t parity_flags(Parity parity) {
    switch (parity) {
        case Parity::odd:
            return PARENB | PARODD;
        case Parity::even:
            return PARENB;
        case Parity::mark:
            return PARENB | PARODD | CMSPAR;
        case Parity::space:
            return PARENB | CMSPAR;
        case Parity::none:
            break;
    }
    return 0;
}

}  // namespace

void set_termios_line(termios& t, const LineSettings& line) {
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | size_flag(line.data_bits) | parity_flags(line.parity);
    if (line.stop_bits == StopBits::two) {
        t.c_cflag |= CSTOPB;
    }
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (const speed_t speed = termios_speed(line.baud_rate); speed != B0) {
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
    }
}

}  // namespace kelpira::host_platform
