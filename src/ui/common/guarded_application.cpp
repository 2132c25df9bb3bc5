// The last guard around every event the program delivers.
#include "ui/common/guarded_application.hpp"

#include <exception>
#include <iostream>

#include "common/visible_text.hpp"

namespace kelpira::ui {

std::string fault_text(const std::string& what) {
    return "The program met an unexpected fault and carried on; the last action may be "
           "unfinished: " +
           common::visible_text(what);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("an exception of unknown type");
    }
    return false;
}

void GuardedApplication::report(const std::string& what) {
    const std::string text = fault_text(what);
    // A fault while the message is shown goes to standard error rather than into another one.
    if (prompter_ == nullptr || reporting_) {
        std::cerr << text << "\n";
        return;
    }
    reporting_ = true;
    try {
        prompter_->message(kFaultCaption, text);
    } catch (...) {
        std::cerr << text << "\n";
    }
    reporting_ = false;
}

}  // namespace kelpira::ui
