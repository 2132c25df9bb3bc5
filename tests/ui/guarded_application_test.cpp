// An exception thrown in a slot becomes a message, and the program goes on.
#include "ui/common/guarded_application.hpp"

#include <gtest/gtest.h>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"

namespace kelpira::ui {
namespace {

TEST(GuardedApplication, AnExceptionInASlotIsToldAndTheLoopGoesOn) {
    auto& app = testing::test_application();
    testing::RecordingPrompter prompter;
    app.set_fault_prompter(&prompter);
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked,
                     [] { throw std::runtime_error("planted \xb5 fault"); });
    bool later = false;
    QTimer::singleShot(0, &button, [&button] { button.click(); });
    QTimer::singleShot(0, &button, [&later] { later = true; });
    QCoreApplication::processEvents();
    app.set_fault_prompter(nullptr);

    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Kelpira");
    EXPECT_EQ(prompter.prompts[0].text,
              "The program met an unexpected fault and carried on; the last action may be "
              "unfinished: planted \\xB5 fault");
    EXPECT_TRUE(later);
}

}  // namespace
}  // namespace kelpira::ui
