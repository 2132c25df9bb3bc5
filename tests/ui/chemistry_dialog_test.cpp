// "Configure Chemistry" on screen (offscreen): the ten tabs, an edit typed into the page,
// "Save" sending it to the sensor, and the message shown.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "link/handler_hid.hpp"
#include "records/chemistry_transfer.hpp"
#include "records/processing_params.hpp"
#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "ui/config/chemistry_dialog.hpp"
#include "ui/config/chemistry_page_widget.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::ui {
namespace {

TEST(ChemistryDialog, EditSaveAndMessage) {
    testing::test_application();
    virtual_sensor::VirtualSensorOptions options;
    options.chemistry = records::ChemistryType::generic;
    virtual_sensor::VirtualSensor sensor(options);
    link::InProcessHidBackend backend;
    virtual_sensor::attach_in_process(backend, "/virtual/chem", sensor);
    link::SensorLink link{backend};
    ASSERT_EQ(link.Open("/virtual/chem", std::chrono::milliseconds(3000)), 0);
    testing::RecordingPrompter prompter;

    auto dialog = config::open_chemistry_dialog(link, prompter);
    ASSERT_TRUE(dialog.has_value());
    ChemistryDialog window(std::move(*dialog), link, prompter);
    window.show();
    ASSERT_EQ(window.tab_bar()->count(), 10);
    EXPECT_EQ(window.tab_bar()->tabText(2), "Nitrite");
    EXPECT_EQ(window.tab_bar()->currentIndex(), 0);
    EXPECT_TRUE(window.save_button()->isEnabled());

    const std::size_t intake = config::page_control_index(
        window.dialog().page, config::kParametersGroup, "Sample Intake State");
    auto* edit = qobject_cast<QLineEdit*>(window.page_widget()->control_widget(intake));
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, "42");
    QTest::mouseClick(window.save_button(), Qt::LeftButton);

    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Save");
    EXPECT_EQ(prompter.prompts[0].text, "Generic Processing configuration saved");
    records::GenericParams kept;
    ASSERT_EQ(records::get_processing_params(link, kept), 0);
    EXPECT_EQ(kept.sample_intake_state, 42);

    // Another tab: a fresh page with its check box clear, and "Save" follows the check box.
    window.tab_bar()->setCurrentIndex(6);
    EXPECT_FALSE(window.page_widget()->check_box()->isChecked());
    EXPECT_FALSE(window.save_button()->isEnabled());
    window.page_widget()->check_box()->click();
    EXPECT_TRUE(window.save_button()->isEnabled());
    link.Close();
}

}  // namespace
}  // namespace kelpira::ui
