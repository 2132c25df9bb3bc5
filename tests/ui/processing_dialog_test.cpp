// The processing dialogs on screen (offscreen): opening a file, the parameter widgets, the
// pass running on its worker, the list filling, "Save", and cancelling or closing during a
// pass held at its start.
#include <gtest/gtest.h>

#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <semaphore>

#include "../processing/dialogs/raw_text.hpp"
#include "common/time_text.hpp"
#include "processing/dialogs/dic_controller.hpp"
#include "processing/dialogs/nutrient_controller.hpp"
#include "processing/dialogs/ph_controller.hpp"
#include "processing/dialogs/processing_controller.hpp"
#include "processing/dialogs/ta_controller.hpp"
#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"
#include "ui/processing/netcdf_metadata_dialog.hpp"
#include "ui/processing/process_menu.hpp"

namespace kelpira::ui {
namespace {

using testing::raw_header;
using testing::raw_row;
using testing::RecordingPrompter;
using testing::TempFolder;

constexpr int kWaitMs = 30000;  // only ever reached when something is broken

// Runs the event loop until `spy` has seen `count` signals. (QSignalSpy::wait would do, but it
// goes through Qt's thread pool, whose uninstrumented locking ThreadSanitizer misreads.)
bool wait_for(QSignalSpy& spy, int count) {
    QTimer guard;
    guard.setSingleShot(true);
    guard.start(kWaitMs);
    while (spy.count() < count && guard.isActive()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return spy.count() >= count;
}

// Opens a dialog as the menu does, and runs the event loop until the header read off the
// window's thread has handed it over.
std::unique_ptr<ProcessingDialog> opened(void (*open)(QWidget*, common::Prompter&, OpenedDialog),
                                         RecordingPrompter& prompter) {
    auto result = std::make_shared<std::optional<std::unique_ptr<ProcessingDialog>>>();
    open(nullptr, prompter,
         [result](std::unique_ptr<ProcessingDialog> d) { *result = std::move(d); });
    QTimer guard;
    guard.setSingleShot(true);
    guard.start(kWaitMs);
    while (!*result && guard.isActive()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return *result ? std::move(**result) : nullptr;
}

std::string dic_header() {
    return raw_header({{"TYPE", "8"},
                       {"INLET.0.TYPE", "2"},
                       {"INLET.0.MEASUREMENT_STATE", "2"},
                       {"INLET.0.CRM_VALUE", "2000"},
                       {"INLET.1.TYPE", "1"},
                       {"INLET.1.INTAKE_STATE", "3"},
                       {"INLET.1.MEASUREMENT_STATE", "4"}});
}

// Rows of `cycles` DIC cycles (one CRM measurement, then samples), counters from `first`.
std::string dic_rows(std::uint32_t first, std::uint32_t cycles) {
    std::string text;
    std::uint32_t n = first;
    text += raw_row(n++, 2, 1.0);
    text += raw_row(n++, 2, 2.0);
    for (std::uint32_t i = 0; i < cycles; ++i) {
        text += raw_row(n++, 3, 0.0, 1000000 + i);
        text += raw_row(n++, 4, 1.0);
        text += raw_row(n++, 4, 1.8);
    }
    return text;
}

struct ProcessingDialogTest : ::testing::Test {
    ProcessingDialogTest() { testing::test_application(); }
    TempFolder folder;
    RecordingPrompter prompter;
};

TEST_F(ProcessingDialogTest, DicProcessFillsTheListAndSaveWritesTheCsv) {
    prompter.files.push_back(folder.write("dic.csv", dic_header() + dic_rows(1, 3)));
    auto dialog = opened(open_dic_processing, prompter);
    ASSERT_TRUE(dialog);
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), "Process Raw DIC Data");
    auto* crm =
        qobject_cast<QLineEdit*>(dialog->control_widget(processing::dic_control(0, "crm_umol_kg")));
    ASSERT_TRUE(crm);
    EXPECT_EQ(crm->text(), "2000.00");
    EXPECT_FALSE(dialog->save_button()->isEnabled());
    EXPECT_EQ(dialog->result_list()->headerItem()->text(2), "DIC (umol/kg)");

    QSignalSpy finished(dialog.get(), &ProcessingDialog::pass_finished);
    QTest::mouseClick(dialog->process_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_for(finished, 1));
    ASSERT_EQ(dialog->result_list()->topLevelItemCount(), 3);
    const auto* first = dialog->result_list()->topLevelItem(0);
    EXPECT_EQ(first->text(0).toStdString(), common::utc_time_text(1000000));
    EXPECT_EQ(first->text(2), "1600.000");
    EXPECT_EQ(first->text(6), "good");
    EXPECT_GT(dialog->log_list()->model()->rowCount(), 0);
    EXPECT_TRUE(dialog->save_button()->isEnabled());
    EXPECT_TRUE(dialog->process_button()->isEnabled());
    EXPECT_FALSE(dialog->cancel_button()->isEnabled());

    prompter.files.push_back(folder.path("out.csv"));
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    const std::string saved = TempFolder::read(folder.path("out.csv"));
    EXPECT_EQ(saved.substr(0, saved.find('\n')),
              "Time (platform),Meas State,DIC (umol/kg),Sample Step (V),CRM Step (V),"
              "Temperature (C),Validity");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 4);
    EXPECT_EQ(prompter.texts().back(), "Processed Output saved to " + folder.path("out.csv"));

    // A Save as NetCDF asks for the metadata, offering what was given at the last Save.
    std::vector<processing::NetcdfMetadata> shown;
    dialog->set_metadata_ask([&](const processing::NetcdfMetadata& m) {
        shown.push_back(m);
        processing::NetcdfMetadata filled = m;
        filled.creator_name = "A. Diver";
        filled.latitude = "50.5";
        filled.longitude = "-4.25";
        return std::optional{filled};
    });
    for (const char* name : {"a.nc", "b.nc"}) {
        prompter.files.push_back(folder.path(name));
        QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    }
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].creator_name, "A. Diver");
    EXPECT_EQ(shown[1].latitude, "50.5");
    EXPECT_EQ(prompter.texts().back(), "Processed Output saved to " + folder.path("b.nc"));
    const std::string nc = TempFolder::read(folder.path("b.nc"));
    EXPECT_NE(nc.find("A. Diver"), std::string::npos);

    // The inlet type list drives the enabling of its inlet's fields.
    auto* type =
        qobject_cast<QComboBox*>(dialog->control_widget(processing::dic_control(2, "type")));
    auto* crm3 = dialog->control_widget(processing::dic_control(2, "crm_umol_kg"));
    EXPECT_FALSE(crm3->isEnabled());
    type->setCurrentIndex(2);
    emit type->activated(2);
    EXPECT_TRUE(crm3->isEnabled());
}

TEST_F(ProcessingDialogTest, QualityControlAddsTheColouredFlagColumn) {
    prompter.files.push_back(folder.write("dic.csv", dic_header() + dic_rows(1, 3)));
    auto dialog = opened(open_dic_processing, prompter);
    ASSERT_TRUE(dialog);
    prompter.answers.push_back(common::Answer::No);  // the shipped parameters
    QTest::mouseClick(dialog->quality_button(), Qt::LeftButton);
    QSignalSpy finished(dialog.get(), &ProcessingDialog::pass_finished);
    QTest::mouseClick(dialog->process_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_for(finished, 1));
    EXPECT_EQ(dialog->result_list()->headerItem()->text(7), "QC Flag");
    // 1600 umol/kg lies below the shipped user span of DIC (1700 to 2500): suspect, amber.
    const auto* first = dialog->result_list()->topLevelItem(0);
    EXPECT_EQ(first->text(7), "3");
    EXPECT_EQ(first->foreground(7).color(), QColor(0xFF, 0xBF, 0x00));
}

TEST_F(ProcessingDialogTest, NutrientTitlesFollowTheTypeList) {
    prompter.files.push_back(
        folder.write("n.csv", raw_header({{"TYPE", "1"}, {"STANDARD_ADJUSTMENT", "0"}})));
    auto dialog = opened(open_nutrient_processing, prompter);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Process Raw Nitrate Data");
    EXPECT_EQ(dialog->result_list()->headerItem()->text(2), "Nitrate (Medium.uM)");
    auto* type = qobject_cast<QComboBox*>(dialog->control_widget(
        processing::nutrient_control_index(processing::make_nutrient_dialog().view, "type")));
    ASSERT_TRUE(type);
    EXPECT_EQ(type->currentText(), "Nitrate");
    type->setCurrentIndex(4);
    emit type->activated(4);
    EXPECT_EQ(dialog->windowTitle(), "Process Raw Iron Data");
    EXPECT_EQ(dialog->result_list()->headerItem()->text(4), "Iron (Long.uM)");
    auto* dilution = qobject_cast<QLineEdit*>(dialog->control_widget(
        processing::nutrient_control_index(processing::make_nutrient_dialog().view, "dilution")));
    EXPECT_EQ(dilution->text(), "1:1.135");
    EXPECT_FALSE(dilution->isEnabled());
    EXPECT_FALSE(dialog
                     ->control_widget(processing::nutrient_control_index(
                         processing::make_nutrient_dialog().view, "standard2_nmol"))
                     ->isEnabled());
}

TEST_F(ProcessingDialogTest, ATypedFieldIsWhatProcessReads) {
    prompter.files.push_back(folder.write("dic.csv", dic_header() + dic_rows(1, 2)));
    auto dialog = opened(open_dic_processing, prompter);
    ASSERT_TRUE(dialog);
    auto* crm =
        qobject_cast<QLineEdit*>(dialog->control_widget(processing::dic_control(0, "crm_umol_kg")));
    crm->selectAll();
    QTest::keyClicks(crm, "1000");
    QSignalSpy finished(dialog.get(), &ProcessingDialog::pass_finished);
    QTest::mouseClick(dialog->process_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_for(finished, 1));
    ASSERT_EQ(dialog->result_list()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog->result_list()->topLevelItem(0)->text(2), "800.000");
}

TEST_F(ProcessingDialogTest, PhHeaderIsReadOffTheWindowThread) {
    // Key lines after the column headings count for pH: the pass reads the whole file.
    std::string text = raw_header({{"TYPE", "4"}});
    for (std::uint32_t i = 0; i < 20000; ++i) {
        text += raw_row(i, 1, 1.0);
    }
    text += "%KELPIRA.CHEMISTRY.SAMPLE_INTERVAL=250\n";
    prompter.files.push_back(folder.write("ph.csv", text));
    auto dialog = opened(open_ph_processing, prompter);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Process Raw pH Data");
    auto* interval = qobject_cast<QLineEdit*>(dialog->control_widget(
        processing::ph_control_index(processing::make_ph_dialog().view, "sample_interval")));
    ASSERT_TRUE(interval);
    EXPECT_EQ(interval->text(), "250");
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(ProcessingDialogTest, WrongChemistryClosesBeforeShowing) {
    prompter.files.push_back(folder.write("ta.csv", raw_header({{"TYPE", "7"}})));
    EXPECT_FALSE(opened(open_dic_processing, prompter));
    EXPECT_EQ(prompter.texts().back(),
              "This file has the wrong chemistry type for DIC processing.");
}

// A pass held at its start until the test lets it go, so it is surely running when "Cancel"
// is pressed or the dialog closes, without any sleeping. Once let go it runs the real DIC
// pass over a long file.
struct Gate {
    std::binary_semaphore started{0};
    std::binary_semaphore release{0};
    std::binary_semaphore done{0};
    std::atomic<bool> cancelled{false};  // what the finished pass reported
};

struct HeldPassTest : ProcessingDialogTest {
    std::shared_ptr<processing::DicController> controller;
    std::shared_ptr<Gate> gate = std::make_shared<Gate>();
    std::unique_ptr<ProcessingDialog> dialog;

    void SetUp() override {
        prompter.files.push_back(folder.write("dic.csv", dic_header() + dic_rows(1, 20000)));
        controller = std::make_shared<processing::DicController>(processing::make_dic_dialog());
        ASSERT_TRUE(processing::open_dic_dialog(*controller, prompter));
        ProcessingHooks hooks;
        hooks.process = [c = controller, g = gate]() -> std::optional<processing::PassJob> {
            processing::PassJob real = processing::dic_process(*c);
            return [real, g](const processing::PassControl& control) {
                g->started.release();
                g->release.acquire();
                auto outcome = real(control);
                g->cancelled = outcome.cancelled;
                g->done.release();
                return outcome;
            };
        };
        dialog = std::make_unique<ProcessingDialog>(controller->view, std::move(hooks), prompter);
        dialog->show();
    }
};

TEST_F(HeldPassTest, CancelEndsALongPass) {
    QSignalSpy finished(dialog.get(), &ProcessingDialog::pass_finished);
    QTest::mouseClick(dialog->process_button(), Qt::LeftButton);
    ASSERT_TRUE(gate->started.try_acquire_for(std::chrono::milliseconds(kWaitMs)));
    // The window goes on while the pass runs.
    EXPECT_TRUE(dialog->processing());
    EXPECT_FALSE(dialog->process_button()->isEnabled());
    EXPECT_FALSE(dialog->save_button()->isEnabled());
    EXPECT_TRUE(dialog->cancel_button()->isEnabled());
    EXPECT_TRUE(dialog->progress_bar()->isVisible());
    QCoreApplication::processEvents();

    QTest::mouseClick(dialog->cancel_button(), Qt::LeftButton);
    gate->release.release();
    ASSERT_TRUE(wait_for(finished, 1));
    EXPECT_FALSE(dialog->processing());
    const auto* log = dialog->log_list()->model();
    ASSERT_GT(log->rowCount(), 0);
    EXPECT_EQ(log->index(log->rowCount() - 1, 0).data().toString(), processing::kPassCancelledText);
    EXPECT_LT(dialog->result_list()->topLevelItemCount(), 5001);
    EXPECT_FALSE(dialog->save_button()->isEnabled());
    EXPECT_TRUE(dialog->process_button()->isEnabled());
    EXPECT_FALSE(dialog->cancel_button()->isEnabled());
    EXPECT_TRUE(prompter.texts().empty());
    ASSERT_TRUE(gate->done.try_acquire_for(std::chrono::milliseconds(kWaitMs)));

    // Processing again runs the whole file.
    QTest::mouseClick(dialog->process_button(), Qt::LeftButton);
    gate->release.release();
    ASSERT_TRUE(wait_for(finished, 2));
    EXPECT_EQ(dialog->result_list()->topLevelItemCount(), 5001);
    EXPECT_TRUE(dialog->save_button()->isEnabled());
    EXPECT_EQ(dialog->progress_bar()->value(), dialog->progress_bar()->maximum());
}

TEST_F(HeldPassTest, ClosingDuringAPassThatOverstays) {
    QTest::mouseClick(dialog->process_button(), Qt::LeftButton);
    ASSERT_TRUE(gate->started.try_acquire_for(std::chrono::milliseconds(kWaitMs)));
    // The pass does not answer within the dialog's bounded wait: the dialog goes away
    // without it. The pass owns everything it touches, so it may go on later.
    dialog.reset();
    controller.reset();
    gate->release.release();
    ASSERT_TRUE(gate->done.try_acquire_for(std::chrono::milliseconds(kWaitMs)));
    EXPECT_TRUE(gate->cancelled) << "closing the dialog asks the pass to stop";
    QCoreApplication::processEvents();  // nothing may arrive for the destroyed dialog
}

// The form keeps what it was given, and OK with half a position says why and stays open.
TEST(NetcdfMetadataDialog, OkWithAPositionThatDoesNotReadSaysWhy) {
    testing::test_application();
    RecordingPrompter prompter;
    processing::NetcdfMetadata given;
    given.project = "Bay watch";
    NetcdfMetadataDialog form(given, prompter);
    form.show();
    EXPECT_EQ(form.windowTitle(), "NetCDF metadata");
    EXPECT_EQ(form.field(3)->text(), "Bay watch");
    form.field(5)->setText("50.5");
    QTest::mouseClick(form.ok_button(), Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"Give both the latitude and the longitude, or neither."});
    form.field(6)->setText(" -4.25 ");
    QTest::mouseClick(form.ok_button(), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.metadata().longitude, "-4.25");
}

}  // namespace
}  // namespace kelpira::ui
