// The HID port: what the link needs of a USB HID device, whatever backend provides it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/sensor_command.hpp"

namespace kelpira::link {

struct HidDeviceInfo {
    std::string path;         // opens the device; compared without regard to case on removal
    std::string hardware_id;  // "VID_xxxx&PID_xxxx", upper-case hexadecimal digits
};

// One opened device. write() and read() are called by the link's I/O thread only;
// cancel() and flush_input() may be called from any thread while a read blocks.
class HidDevice {
  public:
    virtual ~HidDevice() = default;

    // Byte 0 of every report is the report id (0 or 1), whatever the backend must do with it.
    virtual bool write(const Report& report) = 0;
    // Blocks until one input report arrives; false on failure, removal or cancellation.
    virtual bool read(Report& report) = 0;
    // Makes a blocked read return false, and a read that has not started yet since the last
    // write; the next write clears it. This is how a timed-out transaction abandons its answer.
    virtual void cancel() = 0;
    // Discards input reports queued but not read yet.
    virtual void flush_input() = 0;
    // True once a read or write failed because the device went away (pulled out, its server
    // gone), never because of a cancel: the link then ends the waiting transaction at once.
    virtual bool gone() const = 0;
    // Whether the device's report descriptor declares an input report with id 1; nothing when
    // the descriptor cannot be read, and the link then keeps the report id it learned last.
    virtual std::optional<bool> declares_input_report_1() = 0;
};

class HidBackend {
  public:
    virtual ~HidBackend() = default;

    virtual std::vector<HidDeviceInfo> enumerate() = 0;
    // Why the last enumeration left devices out that may be there (a folder of devices that
    // cannot be trusted); empty when it left nothing out.
    virtual std::string unlisted_reason() const { return {}; }
    // Exclusive: nullptr when the path does not exist, cannot be opened or is already open.
    virtual std::unique_ptr<HidDevice> open(const std::string& path) = 0;
};

}  // namespace kelpira::link
