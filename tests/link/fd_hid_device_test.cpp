// Report I/O on a descriptor, exercised over a packet socket pair in place of a hidraw node:
// the report id 0 quirk, cancellation from another thread, flushing, removal, exclusivity.
#include "link/fd_hid_device.hpp"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <future>
#include <thread>

#include "link/hidraw_backend.hpp"
#include "link/sensor_link.hpp"

using namespace kelpira::link;
using namespace std::chrono_literals;

namespace {

// One end is the device the link opens; the other plays the sensor. SOCK_SEQPACKET keeps
// report boundaries as hidraw does.
struct DevicePair {
    std::unique_ptr<FdHidDevice> device;
    int sensor = -1;

    explicit DevicePair(FdHidOptions options) {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) == 0) {
            device = FdHidDevice::adopt(fds[0], options);
            sensor = fds[1];
        }
    }
    ~DevicePair() {
        if (sensor >= 0) {
            ::close(sensor);
        }
    }
    void send(const std::vector<std::uint8_t>& bytes) const {
        ASSERT_EQ(::send(sensor, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    std::vector<std::uint8_t> receive() const {
        std::vector<std::uint8_t> buf(512);
        const ssize_t n = ::recv(sensor, buf.data(), buf.size(), 0);
        buf.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return buf;
    }
};

std::vector<std::uint8_t> filled(std::size_t n, std::uint8_t first) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        v[i] = static_cast<std::uint8_t>(first + i);
    }
    return v;
}

}  // namespace

TEST(FdHidDevice, WritesAllBytesIncludingAReportIdOfZero) {
    DevicePair pair({});
    ASSERT_TRUE(pair.device);
    Report r{};
    r[0] = 0;
    r[1] = 0x90;
    r[128] = 0x7E;
    ASSERT_TRUE(pair.device->write(r));
    const auto got = pair.receive();
    ASSERT_EQ(got.size(), kReportSize);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), r.begin()));
}

TEST(FdHidDevice, ReportsWithoutIdsGetByteZeroAsTheirId) {
    DevicePair pair({.numbered_input = false});
    pair.send(filled(128, 1));  // hidraw hands out 128 bytes: no id in front
    Report r;
    r.fill(0xEE);
    ASSERT_TRUE(pair.device->read(r));
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[1], 1);
    EXPECT_EQ(r[128], 128);
}

TEST(FdHidDevice, NumberedReportsKeepTheirIdByte) {
    DevicePair pair({.numbered_input = true, .declares_input_report_1 = true});
    EXPECT_EQ(pair.device->declares_input_report_1(), true);
    auto bytes = filled(129, 0);
    bytes[0] = 1;
    pair.send(bytes);
    Report r{};
    ASSERT_TRUE(pair.device->read(r));
    EXPECT_TRUE(std::equal(r.begin(), r.end(), bytes.begin()));
}

TEST(FdHidDevice, ShortReportLeavesNoOldBytesBehind) {
    DevicePair pair({.numbered_input = true});
    pair.send({1, 2, 3});
    Report r;
    r.fill(0xEE);
    ASSERT_TRUE(pair.device->read(r));
    EXPECT_EQ(r[2], 3);
    EXPECT_EQ(r[3], 0);
    EXPECT_EQ(r[128], 0);
}

TEST(FdHidDevice, CancelEndsABlockedReadFromAnotherThread) {
    DevicePair pair({});
    auto reading = std::async(std::launch::async, [&] {
        Report r{};
        return pair.device->read(r);
    });
    // Whether the read has started blocking or not yet, the cancel ends it: it is sticky.
    pair.device->cancel();
    EXPECT_FALSE(reading.get());
}

TEST(FdHidDevice, CancelIsStickyUntilTheNextWrite) {
    DevicePair pair({.numbered_input = true});
    pair.device->cancel();
    pair.send(filled(129, 0));
    Report r{};
    EXPECT_FALSE(pair.device->read(r)) << "a read after a cancel fails at once";
    EXPECT_FALSE(pair.device->read(r)) << "and again, until a write";
    ASSERT_TRUE(pair.device->write(Report{}));
    EXPECT_TRUE(pair.device->read(r)) << "the report queued meanwhile is still there";
    EXPECT_EQ(r[1], 1);
}

TEST(FdHidDevice, FlushDropsQueuedReportsOnly) {
    DevicePair pair({.numbered_input = true});
    for (std::uint8_t i = 0; i < 3; ++i) {
        pair.send(filled(129, i));
    }
    pair.device->flush_input();
    pair.send(filled(129, 9));
    Report r{};
    ASSERT_TRUE(pair.device->read(r));
    EXPECT_EQ(r[0], 9);
}

TEST(FdHidDevice, FlushOnAnEmptyQueueReturnsAtOnce) {
    DevicePair pair({});
    pair.device->flush_input();
    pair.send(filled(128, 4));
    Report r{};
    ASSERT_TRUE(pair.device->read(r));
    EXPECT_EQ(r[1], 4);
}

TEST(FdHidDevice, ReadFailsWhenTheDeviceGoesAway) {
    DevicePair pair({});
    auto reading = std::async(std::launch::async, [&] {
        Report r{};
        return pair.device->read(r);
    });
    ::close(pair.sensor);
    pair.sensor = -1;
    EXPECT_FALSE(reading.get());
}

// The whole transaction over the descriptor path: a device without report ids, answered by
// a thread that echoes what it gets as hidraw would deliver it.
namespace {

class PairBackend : public HidBackend {
  public:
    explicit PairBackend(std::unique_ptr<FdHidDevice> d) : device_(std::move(d)) {}
    std::vector<HidDeviceInfo> enumerate() override { return {{"pair", "VID_04D8&PID_EABC"}}; }
    std::unique_ptr<HidDevice> open(const std::string&) override { return std::move(device_); }

  private:
    std::unique_ptr<FdHidDevice> device_;
};

}  // namespace

TEST(FdHidDevice, TransactionWithoutReportIdsEndToEnd) {
    DevicePair pair({});
    const int sensor = pair.sensor;
    PairBackend backend(std::move(pair.device));
    SensorLink link(backend);
    ASSERT_EQ(link.Open("pair", 2000ms), 0);

    std::thread sensor_side([sensor] {
        std::uint8_t in[256];
        const ssize_t n = ::recv(sensor, in, sizeof in, 0);
        if (n != 129) {
            return;
        }
        // The kernel would drop the id 0 before the wire; the sensor answers 128 bytes.
        std::uint8_t out[128] = {};
        std::copy(in + 1, in + 129, out);
        out[3] = 0;   // result
        out[5] = 42;  // first payload byte
        ::send(sensor, out, sizeof out, MSG_NOSIGNAL);
    });
    SensorCommand c;
    c.set_code(400);
    EXPECT_EQ(link.Transact(c), kResultSuccess);
    sensor_side.join();
    EXPECT_EQ(c.bytes[0], 0);
    EXPECT_EQ(c.code(), 400);
    EXPECT_EQ(c.sequence(), 2);
    EXPECT_EQ(c.payload()[0], 42);
    link.Close();
}

TEST(HidrawBackend, HardwareIdIsUpperCaseHex) {
    EXPECT_EQ(hardware_id_text(0x04d8, 0xeabc), "VID_04D8&PID_EABC");
    EXPECT_EQ(hardware_id_text(0xc1ca, 0x000b), "VID_C1CA&PID_000B");
}

TEST(HidrawBackend, OpenIsExclusiveUntilTheHandleCloses) {
    const auto path =
        std::filesystem::temp_directory_path() / ("kelpira-hidraw-" + std::to_string(::getpid()));
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);

    HidrawBackend backend;
    EXPECT_EQ(backend.open(path.string() + ".missing"), nullptr);
    auto first = backend.open(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->declares_input_report_1(), std::nullopt) << "no descriptor: unknown";
    EXPECT_EQ(backend.open(path), nullptr) << "a second open of a held node fails";
    first.reset();
    EXPECT_NE(backend.open(path), nullptr);
    std::filesystem::remove(path);
}

TEST(HidrawBackend, EnumerationListsEachNodeOnceWithItsHardwareId) {
    HidrawBackend backend;
    const auto devices = backend.enumerate();
    std::set<std::string> paths;
    for (const auto& d : devices) {
        EXPECT_TRUE(paths.insert(d.path).second) << d.path;
        EXPECT_EQ(d.hardware_id.size(), 17u) << d.hardware_id;
        EXPECT_EQ(d.hardware_id.rfind("VID_", 0), 0u) << d.hardware_id;
    }
}
