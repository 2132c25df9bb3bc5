// A serial line's settings as a POSIX terminal's attributes.
#pragma once

#include <termios.h>

#include "host_platform/serial_port.hpp"

namespace kelpira::host_platform {

// Raw bytes, no flow control, reads that never wait in the driver (the port waits in poll()),
// and the line settings. A rate termios has no name for leaves the line's own rate (a
// pseudo-terminal has no real rate).
void set_termios_line(termios& t, const LineSettings& line);

}  // namespace kelpira::host_platform
