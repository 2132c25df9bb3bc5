// The Qt Prompter's file type lists, and a message box that the user closes.
#include "ui/common/qt_prompter.hpp"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "support/qt_application.hpp"

namespace kelpira::ui {
namespace {

TEST(QtPrompter, FileTypesInQtForm) {
    EXPECT_EQ(qt_name_filters({{"Raw Output Files (*.csv)", "*.csv"}, {"All Files (*.*)", "*.*"}}),
              "Raw Output Files (*.csv);;All Files (*)");
    EXPECT_EQ(qt_name_filters({{"Images", "*.png *.bmp"}}), "Images (*.png *.bmp)");
}

TEST(QtPrompter, MessageShowsCaptionAndText) {
    testing::test_application();
    QtPrompter prompter;
    QString caption;
    QString text;
    // The box is modal: read and close it from the event loop it runs.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        caption = box->windowTitle();
        text = box->text();
        box->accept();
    });
    prompter.message("Save Processed Output", "Processed Output saved to /tmp/x.csv");
    EXPECT_EQ(caption, "Save Processed Output");
    EXPECT_EQ(text, "Processed Output saved to /tmp/x.csv");
}

}  // namespace
}  // namespace kelpira::ui
