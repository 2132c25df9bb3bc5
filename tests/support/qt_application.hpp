// The one QApplication of a Qt test program, the program's guarded one, created on first use
// and never destroyed: at static destruction time Qt's own globals may already be gone.
#pragma once

#include "ui/common/guarded_application.hpp"

namespace kelpira::testing {

inline ui::GuardedApplication& test_application() {
    static int argc = 1;
    static char name[] = "kelpira-tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new ui::GuardedApplication(argc, argv);
    return *app;
}

}  // namespace kelpira::testing
