// The Prompter port: every message box and file chooser the core asks the user through.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelpira::common {

enum class Answer { Yes, No, Cancel };

// One entry of a file chooser's type list, for example {"CSV Files (*.csv)", "*.csv"}.
struct FileFilter {
    std::string label;
    std::string pattern;
};

struct FileRequest {
    std::string title;
    std::vector<FileFilter> filters;
    std::string default_extension;  // without the dot; added when the user types none
    std::string initial_name;
    bool prompt_overwrite = true;  // save only
};

// Implemented with QMessageBox/QFileDialog in the program and by a recording fake in tests.
// Calls come from the UI thread only.
class Prompter {
  public:
    virtual ~Prompter() = default;

    virtual void message(const std::string& caption, const std::string& text) = 0;
    virtual Answer ask_yes_no(const std::string& caption, const std::string& text) = 0;
    virtual Answer ask_yes_no_cancel(const std::string& caption, const std::string& text) = 0;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<std::string> choose_open_file(const FileRequest& request) = 0;
    virtual std::optional<std::string> choose_save_file(const FileRequest& request) = 0;
    // Several existing files at once, in the order chosen; empty when the user cancels. A
    // chooser without multiple selection offers one file.
    virtual std::vector<std::string> choose_open_files(const FileRequest& request) {
        auto one = choose_open_file(request);
        return one ? std::vector<std::string>{*one} : std::vector<std::string>{};
    }
};

}  // namespace kelpira::common
