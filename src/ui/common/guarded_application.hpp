// The program's QApplication with a last guard: an exception that escapes an event handler or
// a slot would end the program (Qt cannot carry it through its event loop), so the guard
// catches it where every event is delivered and says what happened instead.
#pragma once

#include <QApplication>
#include <string>

#include "common/prompter.hpp"

namespace kelpira::ui {

inline constexpr const char* kFaultCaption = "Kelpira";

// "The program met an unexpected fault and carried on; the last action may be unfinished: X",
// X the exception's text made visible.
std::string fault_text(const std::string& what);

class GuardedApplication : public QApplication {
  public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    // Where the guard's message goes (nothing: standard error). Not owned.
    void set_fault_prompter(common::Prompter* prompter) { prompter_ = prompter; }

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void report(const std::string& what);

    common::Prompter* prompter_ = nullptr;
    bool reporting_ = false;
};

}  // namespace kelpira::ui
