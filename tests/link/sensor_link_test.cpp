// The command transaction against in-process devices: wire bytes, sequence numbers,
// time-outs, stale answers, concurrency and closing.
#include "link/sensor_link.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <semaphore>
#include <thread>

#include "link/handler_hid.hpp"

using namespace kelpira::link;
using namespace std::chrono_literals;

namespace {

constexpr auto kPath = "/dev/virtual/sensor0";
constexpr auto kHwid = "VID_04D8&PID_F2BF";

// Answers every request with result 0 and the request's first payload byte plus one.
std::vector<InProcessReport> echo(const Report& req) {
    InProcessReport r;
    r.bytes = req;
    r.bytes[4] = 0;
    r.bytes[6] = static_cast<std::uint8_t>(req[6] + 1);
    return {r};
}

SensorCommand command(std::uint16_t code, std::uint8_t first_payload_byte = 0) {
    SensorCommand c;
    c.set_code(code);
    c.set_length(first_payload_byte ? 1 : 0);
    c.payload()[0] = first_payload_byte;
    return c;
}

struct LinkFixture : ::testing::Test {
    InProcessHidBackend backend;
    SensorLink link{backend};
};

}  // namespace

TEST_F(LinkFixture, TransactOnClosedLinkReturns15AndLeavesBufferAlone) {
    auto c = command(400, 7);
    const auto before = c.bytes;
    EXPECT_EQ(link.Transact(c), kResultNotOpen);
    EXPECT_EQ(c.bytes, before);
}

TEST_F(LinkFixture, OpenFailsForMissingOrAlreadyOpenDevice) {
    EXPECT_EQ(link.Open("/dev/virtual/none", 500ms), 1);
    backend.add(kPath, kHwid, echo);
    auto other_device = backend.open(kPath);
    EXPECT_EQ(link.Open(kPath, 500ms), 1);
    other_device.reset();
    EXPECT_EQ(link.Open(kPath, 500ms), 0);
    EXPECT_EQ(link.Open(kPath, 500ms), 1) << "Open does not reopen an open link";
}

TEST_F(LinkFixture, SendsExactReportAndReturnsAnswer) {
    backend.add(kPath, kHwid, echo);
    ASSERT_EQ(link.Open(kPath, 500ms), 0);
    SensorCommand c;
    c.set_code(404);
    c.set_length(1);
    c.payload()[0] = 2;
    ASSERT_EQ(link.Transact(c), kResultSuccess);
    EXPECT_EQ(c.code(), 404);
    EXPECT_EQ(c.result(), 0);
    EXPECT_EQ(c.payload()[0], 3);

    const auto sent = backend.written(kPath);
    ASSERT_EQ(sent.size(), 1u);
    Report want{};
    want[0] = 0;     // no report ids declared
    want[1] = 0x94;  // 404 low byte
    want[2] = 0x01;
    want[3] = 2;  // first sequence number after Open
    want[5] = 1;
    want[6] = 2;
    EXPECT_EQ(sent[0], want);
}

TEST_F(LinkFixture, ReportIdOneWhenDeviceDeclaresIt) {
    backend.add(kPath, kHwid, echo, true);
    ASSERT_EQ(link.Open(kPath, 500ms), 0);
    auto c = command(262);
    ASSERT_EQ(link.Transact(c), kResultSuccess);
    EXPECT_EQ(backend.written(kPath).at(0)[0], 1);
}

TEST_F(LinkFixture, DeviceWithUnreadableDescriptorKeepsTheLastReportId) {
    auto c = command(262);
    backend.add("/dev/virtual/unknown", kHwid, echo, std::nullopt);
    ASSERT_EQ(link.Open("/dev/virtual/unknown", 500ms), 0);
    ASSERT_EQ(link.Transact(c), kResultSuccess);
    EXPECT_EQ(backend.written("/dev/virtual/unknown").back()[0], 0) << "0 before any learning";
    link.Close();

    backend.add(kPath, kHwid, echo, true);
    ASSERT_EQ(link.Open(kPath, 500ms), 0);
    ASSERT_EQ(link.Transact(c), kResultSuccess);
    link.Close();

    ASSERT_EQ(link.Open("/dev/virtual/unknown", 500ms), 0);
    ASSERT_EQ(link.Transact(c), kResultSuccess);
    EXPECT_EQ(backend.written("/dev/virtual/unknown").back()[0], 1);
}

TEST_F(LinkFixture, SequenceStartsAt2WrapsTo0AndRestartsOnOpen) {
    backend.add(kPath, kHwid, echo);
    ASSERT_EQ(link.Open(kPath, 500ms), 0);
    for (int i = 0; i < 256; ++i) {
        auto c = command(262);
        ASSERT_EQ(link.Transact(c), kResultSuccess) << i;
    }
    auto sent = backend.written(kPath);
    EXPECT_EQ(sent[0][3], 2);
    EXPECT_EQ(sent[253][3], 255);
    EXPECT_EQ(sent[254][3], 0);
    EXPECT_EQ(sent[255][3], 1);
    link.Close();
    ASSERT_EQ(link.Open(kPath, 500ms), 0);
    auto c = command(262);
    ASSERT_EQ(link.Transact(c), kResultSuccess);
    EXPECT_EQ(backend.written(kPath).back()[3], 2);
}

TEST_F(LinkFixture, SilentDeviceTimesOutThenNextAnswerIsTheNewOne) {
    std::atomic<bool> silent{true};
    backend.add(kPath, kHwid, [&](const Report& r) {
        return silent.exchange(false) ? std::vector<InProcessReport>{} : echo(r);
    });
    ASSERT_EQ(link.Open(kPath, 300ms), 0);
    auto first = command(400, 10);
    const auto before = first.bytes;
    EXPECT_EQ(link.Transact(first), kResultNoAnswer);
    EXPECT_EQ(first.bytes, before);
    auto second = command(400, 20);
    ASSERT_EQ(link.Transact(second), kResultSuccess);
    EXPECT_EQ(second.payload()[0], 21);
    EXPECT_EQ(second.sequence(), 3);
}

TEST_F(LinkFixture, LateAnswerIsNeverDeliveredForTheNextRequest) {
    // The first request goes unanswered; its answer turns up just before the second one's.
    std::atomic<int> calls{0};
    Report first_request{};
    backend.add(kPath, kHwid, [&](const Report& r) {
        switch (calls++) {
            case 0:
                first_request = r;
                return std::vector<InProcessReport>{};
            case 1:
                return std::vector<InProcessReport>{echo(first_request)[0], echo(r)[0]};
            default:
                return echo(r);
        }
    });
    ASSERT_EQ(link.Open(kPath, 250ms), 0);
    auto first = command(400, 10);
    EXPECT_EQ(link.Transact(first), kResultNoAnswer);

    auto second = command(400, 30);
    const auto before = second.bytes;
    EXPECT_EQ(link.Transact(second), kResultNoAnswer) << "the stale answer is dropped";
    EXPECT_EQ(second.bytes, before);

    auto third = command(400, 50);
    ASSERT_EQ(link.Transact(third), kResultSuccess) << "the link recovers";
    EXPECT_EQ(third.payload()[0], 51);
    EXPECT_EQ(third.sequence(), 4);
}

TEST_F(LinkFixture, AnswerWithWrongSequenceIsDroppedAsNoAnswer) {
    backend.add(kPath, kHwid, [](const Report& r) {
        auto out = echo(r);
        out[0].bytes[3] = static_cast<std::uint8_t>(r[3] - 1);
        return out;
    });
    ASSERT_EQ(link.Open(kPath, 50ms), 0);
    auto c = command(400, 1);
    const auto before = c.bytes;
    EXPECT_EQ(link.Transact(c), kResultNoAnswer);
    EXPECT_EQ(c.bytes, before);
}

namespace {

// A device whose input flush waits until the test lets it go, so a timed-out transaction keeps
// the lock for as long as the test needs.
class HeldFlushBackend : public HidBackend {
  public:
    explicit HeldFlushBackend(InProcessHidBackend& inner) : inner_(inner) {}
    std::vector<HidDeviceInfo> enumerate() override { return inner_.enumerate(); }
    std::unique_ptr<HidDevice> open(const std::string& path) override {
        auto dev = inner_.open(path);
        return dev ? std::make_unique<HeldFlush>(std::move(dev), *this) : nullptr;
    }

    std::binary_semaphore flushing{0};
    std::binary_semaphore release{0};

  private:
    struct HeldFlush : HidDevice {
        HeldFlush(std::unique_ptr<HidDevice> d, HeldFlushBackend& b) : d_(std::move(d)), b_(b) {}
        bool write(const Report& r) override { return d_->write(r); }
        bool read(Report& r) override { return d_->read(r); }
        void cancel() override { d_->cancel(); }
        bool gone() const override { return d_->gone(); }
        void flush_input() override {
            b_.flushing.release();
            b_.release.acquire();
            d_->flush_input();
        }
        std::optional<bool> declares_input_report_1() override {
            return d_->declares_input_report_1();
        }
        std::unique_ptr<HidDevice> d_;
        HeldFlushBackend& b_;
    };
    InProcessHidBackend& inner_;
};

}  // namespace

TEST(SensorLinkLock, SecondCallerGets1AndSendsNothingWhenFirstOverstays) {
    InProcessHidBackend backend;
    HeldFlushBackend held(backend);
    SensorLink link(held);
    backend.add(kPath, kHwid, [&](const Report&) {
        return std::vector<InProcessReport>{};  // never answers
    });
    ASSERT_EQ(link.Open(kPath, 100ms), 0);
    auto first = std::async(std::launch::async, [&] {
        auto c = command(418);
        return link.Transact(c);
    });
    // The first caller has timed out and still holds the lock while it flushes.
    const bool flushing = held.flushing.try_acquire_for(10s);
    auto c = command(295);
    const auto before = c.bytes;
    const auto second = link.Transact(c);
    held.release.release();
    ASSERT_TRUE(flushing);
    EXPECT_EQ(second, kResultLockOrSequence);
    EXPECT_EQ(c.bytes, before);
    ASSERT_EQ(first.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(first.get(), kResultNoAnswer);
    EXPECT_EQ(backend.written(kPath).size(), 1u) << "the second request was never sent";
}

TEST_F(LinkFixture, ConcurrentCallersEachGetTheirOwnAnswer) {
    backend.add(kPath, kHwid, echo);
    ASSERT_EQ(link.Open(kPath, 3000ms), 0);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const auto v = static_cast<std::uint8_t>(t * 50 + i % 50 + 1);
                auto c = command(400, v);
                if (link.Transact(c) != kResultSuccess || c.payload()[0] != v + 1) {
                    ++wrong;
                }
            }
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(LinkFixture, CloseWhileReadBlocksIsPromptAndLaterTransactReturns15) {
    std::promise<void> entered;
    backend.add(kPath, kHwid, [&](const Report&) {
        entered.set_value();
        return std::vector<InProcessReport>{};
    });
    ASSERT_EQ(link.Open(kPath, 3000ms), 0);
    auto pending = std::async(std::launch::async, [&] {
        auto c = command(418);
        return link.Transact(c);
    });
    ASSERT_EQ(entered.get_future().wait_for(10s), std::future_status::ready);
    const auto t0 = std::chrono::steady_clock::now();
    link.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 2000ms);
    EXPECT_EQ(pending.get(), kResultNoAnswer);
    auto c = command(418);
    EXPECT_EQ(link.Transact(c), kResultNotOpen);
    link.Close();
    link.Close();
}

TEST_F(LinkFixture, CloseWithoutOpenIsHarmless) {
    link.Close();
    link.Close();
    EXPECT_FALSE(link.is_open());
}

TEST_F(LinkFixture, DeviceRemovedDuringTransactionGives5AndLinkStaysUsableForClose) {
    backend.add(kPath, kHwid, [&](const Report&) {
        backend.remove(kPath);
        return std::vector<InProcessReport>{};
    });
    ASSERT_EQ(link.Open(kPath, 100ms), 0);
    auto c = command(418);
    EXPECT_EQ(link.Transact(c), kResultNoAnswer);
    auto d = command(418);
    EXPECT_EQ(link.Transact(d), kResultNoAnswer);
    link.Close();
    EXPECT_EQ(link.Transact(d), kResultNotOpen);
}
