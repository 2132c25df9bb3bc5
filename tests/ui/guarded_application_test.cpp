// An exception thrown in a slot becomes a message, and the program goes on.
#include "ui/common/guarded_application.hpp"

#include <gtest/gtest.h>
#include <QObject>
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
    // A timer's slot, not a button's: unwinding through a widget's click leaves Qt's own guard
    // of the button unfreed, which the leak checker would rightly count.
    QObject context;
    bool later = false;
    QTimer::singleShot(0, &context, [] { throw std::runtime_error("planted \xb5 fault"); });
    QTimer::singleShot(0, &context, [&later] { later = true; });
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
