// kelpira-ctl's one Prompter: the dialogs' messages and questions at a terminal.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "common/prompter.hpp"

namespace kelpira::ctl {

// A message is told on standard error as "kelpira-ctl: text", or held as the command's failure
// (hold_messages). A question whose caption the command agreed to is answered Yes at once
// (the user's Ctrl+C is a Yes to "stop?"); any other is told and answered Yes with --yes or
// when "yes" is typed on standard input, No otherwise. Open-file choosers get the file the
// command names, save choosers nothing; Yes/No/Cancel questions are cancelled.
class TerminalPrompter : public common::Prompter {
  public:
    TerminalPrompter() = default;

    TerminalPrompter& agree_to(std::string caption);
    TerminalPrompter& assume_yes(bool yes);
    TerminalPrompter& open_file(std::string path);
    // Messages are not told but kept as "device: text" for held().
    TerminalPrompter& hold_messages(std::string device);
    // The last message held.
    const std::string& held() const { return held_; }

    void message(const std::string& caption, const std::string& text) override;
    common::Answer ask_yes_no(const std::string& caption, const std::string& text) override;
    common::Answer ask_yes_no_cancel(const std::string& caption, const std::string& text) override;
    std::optional<std::string> choose_open_file(const common::FileRequest& request) override;
    std::optional<std::string> choose_save_file(const common::FileRequest& request) override;

  private:
    std::set<std::string> agreed_;
    bool yes_ = false;
    std::optional<std::string> open_file_;
    std::optional<std::string> hold_device_;
    std::string held_;
};

}  // namespace kelpira::ctl
