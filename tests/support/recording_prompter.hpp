// A scripted Prompter for tests: records every message and question, answers from queues.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/prompter.hpp"

namespace kelpira::testing {

struct Prompt {
    std::string kind;  // "message", "yes_no", "yes_no_cancel", "open", "save"
    std::string caption;
    std::string text;
};

class RecordingPrompter : public common::Prompter {
  public:
    std::vector<Prompt> prompts;
    std::deque<common::Answer> answers;            // for questions; No when empty
    std::deque<std::optional<std::string>> files;  // for choosers; cancel when empty
    std::vector<common::FileRequest> file_requests;

    void message(const std::string& caption, const std::string& text) override {
        prompts.push_back({"message", caption, text});
    }
    common::Answer ask_yes_no(const std::string& caption, const std::string& text) override {
        prompts.push_back({"yes_no", caption, text});
        return next_answer();
    }
    common::Answer ask_yes_no_cancel(const std::string& caption, const std::string& text) override {
        prompts.push_back({"yes_no_cancel", caption, text});
        return next_answer();
    }
    std::optional<std::string> choose_open_file(const common::FileRequest& request) override {
        prompts.push_back({"open", request.title, ""});
        file_requests.push_back(request);
        return next_file();
    }
    std::optional<std::string> choose_save_file(const common::FileRequest& request) override {
        prompts.push_back({"save", request.title, ""});
        file_requests.push_back(request);
        return next_file();
    }

    // The texts of the messages shown, in order.
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& p : prompts) {
            if (p.kind != "open" && p.kind != "save") {
                out.push_back(p.text);
            }
        }
        return out;
    }

  private:
    common::Answer next_answer() {
        if (answers.empty()) {
            return common::Answer::No;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> next_file() {
        if (files.empty()) {
            return std::nullopt;
        }
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

}  // namespace kelpira::testing
