// Device changes reported on a watcher's own thread reach the main window as queued calls.
#include "ui/shell/device_watch_relay.hpp"

#include <QLabel>
#include <thread>

#include "ui/shell_fixture.hpp"

namespace kelpira::testing {
namespace {

// A watcher whose events the test fires from a thread of its own.
class ThreadWatcher : public link::DeviceWatcher {
  public:
    bool start(link::DeviceEventHandler handler) override {
        handler_ = std::move(handler);
        return failure.empty();
    }
    std::string problem() const override { return failure; }
    void stop() override { stopped = true; }

    void fire(link::DeviceEvent event) {
        std::thread([this, event] { handler_(event); }).join();
    }

    bool stopped = false;
    std::string failure;  // when set, the watch does not start and says this

  private:
    link::DeviceEventHandler handler_;
};

class DeviceWatchRelayTest : public ShellFixture {};

TEST_F(DeviceWatchRelayTest, RemovalFromAnotherThreadDisconnectsOnTheUiThread) {
    constexpr const char* kPath = "/virtual/Demo.VID_04D8&PID_EABC";
    plug(kPath, sensor("Demo Sensor", 4711));
    open_window();
    double_click_row(0);
    settle();
    ASSERT_TRUE(link.is_open());

    ThreadWatcher watcher;
    {
        const ui::DeviceWatchRelay relay(watcher, window.get());
        backend.remove(kPath);
        watcher.fire({link::DeviceChange::removal, kPath});
        // Nothing happens on the watcher's thread; the window learns of it from its queue.
        EXPECT_TRUE(link.is_open());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.prompts.empty(); }, 5000));
        EXPECT_EQ(prompter.prompts[0].text, "Sensor Disconnected");
        EXPECT_FALSE(link.is_open());

        // An arrival goes to the Connect view, which lists the sensor again.
        sensors.push_back(std::make_unique<virtual_sensor::VirtualSensor>(sensor("Back", 1)));
        virtual_sensor::attach_in_process(backend, kPath, *sensors.back());
        watcher.fire({link::DeviceChange::arrival, kPath});
        ASSERT_TRUE(QTest::qWaitFor([&] { return list_rows().size() == 1U; }, 5000));
        EXPECT_EQ(list_rows()[0][0], "Back");
    }
    EXPECT_TRUE(watcher.stopped);
}

TEST_F(DeviceWatchRelayTest, AWatchThatCannotStartIsToldInTheConnectView) {
    open_window();
    EXPECT_TRUE(connect_view()->status_line()->isHidden());
    ThreadWatcher watcher;
    watcher.failure = "Virtual sensors arriving in /x are not noticed: No space left on device";
    const ui::DeviceWatchRelay relay(watcher, window.get());
    EXPECT_EQ(connect_view()->status_line()->text().toStdString(), watcher.failure);
    EXPECT_FALSE(connect_view()->status_line()->isHidden());
}

}  // namespace
}  // namespace kelpira::testing
