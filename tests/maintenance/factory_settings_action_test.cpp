// The Connect view's factory settings action: the link around the dialog and the list after it.
#include "maintenance/factory_settings_action.hpp"

#include <gtest/gtest.h>

#include "link/handler_hid.hpp"
#include "maintenance/factory_settings_controller.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::maintenance {
namespace {

using namespace std::chrono_literals;

class FactorySettingsActionTest : public ::testing::Test {
  protected:
    FactorySettingsActionTest() {
        virtual_sensor::VirtualSensorOptions o;
        o.board_serial_number = 7;
        sensor = std::make_unique<virtual_sensor::VirtualSensor>(o);
        virtual_sensor::attach_in_process(backend, kPath, *sensor);
        view.start();
    }
    ~FactorySettingsActionTest() override { link.Close(); }

    static constexpr auto kPath = "/virtual/factory";
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    kelpira::testing::RecordingPrompter prompter;
    std::unique_ptr<virtual_sensor::VirtualSensor> sensor;
    connect::ConnectController view{backend, link, prompter, [](const link::DeviceEntry&) {}};
};

TEST_F(FactorySettingsActionTest, RenamedSensorIsListedAfresh) {
    view.select_row(0);
    ASSERT_TRUE(view.actions().factory_settings);
    int runs = 0;
    open_factory_settings(view, link, prompter, [&] {
        ++runs;
        EXPECT_TRUE(link.is_open());
        EXPECT_EQ(link.timeout(), 5000ms);
        FactorySettingsController factory(link, prompter);
        ASSERT_TRUE(factory.open());
        factory.type_password("quoll");
        factory.fields().name = "Renamed";
        factory.save_flash();
    });
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(link.is_open());
    ASSERT_EQ(view.rows().size(), 1u);
    EXPECT_EQ(view.rows()[0].name, "Renamed");
    EXPECT_FALSE(view.selected_row());
    EXPECT_FALSE(view.actions().connect || view.actions().upgrade_firmware ||
                 view.actions().factory_settings);
}

TEST_F(FactorySettingsActionTest, NothingSelectedOrUnreachable) {
    const auto never = [] { ADD_FAILURE() << "the dialog must not open"; };
    open_factory_settings(view, link, prompter, never);
    view.select_row(0);
    backend.remove(kPath);
    open_factory_settings(view, link, prompter, never);
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[0].caption, "Factory Settings");
    EXPECT_EQ(prompter.prompts[0].text, "Nothing selected");
    EXPECT_EQ(prompter.prompts[1].caption, "Factory Settings");
    EXPECT_EQ(prompter.prompts[1].text, "Failed to connect to sensor");
}

}  // namespace
}  // namespace kelpira::maintenance
