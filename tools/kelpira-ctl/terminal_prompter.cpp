// The terminal's answers to the dialogs' questions.
#include "terminal_prompter.hpp"

#include <iostream>

#include "ctl_command.hpp"

namespace kelpira::ctl {

TerminalPrompter& TerminalPrompter::agree_to(std::string caption) {
    agreed_.insert(std::move(caption));
    return *this;
}

TerminalPrompter& TerminalPrompter::assume_yes(bool yes) {
    yes_ = yes;
    return *this;
}

TerminalPrompter& TerminalPrompter::open_file(std::string path) {
    open_file_ = std::move(path);
    return *this;
}

TerminalPrompter& TerminalPrompter::hold_messages(std::string device) {
    hold_device_ = std::move(device);
    return *this;
}

void TerminalPrompter::message(const std::string&, const std::string& text) {
    if (hold_device_) {
        held_ = *hold_device_ + ": " + text;
    } else {
        tell(text);
    }
}

common::Answer TerminalPrompter::ask_yes_no(const std::string& caption, const std::string& text) {
    if (agreed_.contains(caption)) {
        return common::Answer::Yes;
    }
    tell(text);
    if (yes_) {
        return common::Answer::Yes;
    }
    std::cerr << "Type yes to go on: " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "yes" ? common::Answer::Yes : common::Answer::No;
}

common::Answer TerminalPrompter::ask_yes_no_cancel(const std::string&, const std::string&) {
    return common::Answer::Cancel;
}

std::optional<std::string> TerminalPrompter::choose_open_file(const common::FileRequest&) {
    return open_file_;
}

std::optional<std::string> TerminalPrompter::choose_save_file(const common::FileRequest&) {
    return std::nullopt;
}

}  // namespace kelpira::ctl
