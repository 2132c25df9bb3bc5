// The one QApplication of a Qt test program, created on first use and never destroyed: at
// static destruction time Qt's own globals may already be gone.
#pragma once

#include <QApplication>

namespace kelpira::testing {

inline QApplication& test_application() {
    static int argc = 1;
    static char name[] = "kelpira-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace kelpira::testing
