// The Prompter port on Qt: message boxes and file choosers owned by a parent window.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "common/prompter.hpp"

namespace kelpira::ui {

class QtPrompter : public common::Prompter {
  public:
    // Boxes and choosers are modal over `parent` (none: application modal).
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    void set_parent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& caption, const std::string& text) override;
    common::Answer ask_yes_no(const std::string& caption, const std::string& text) override;
    common::Answer ask_yes_no_cancel(const std::string& caption, const std::string& text) override;
    std::optional<std::string> choose_open_file(const common::FileRequest& request) override;
    std::optional<std::string> choose_save_file(const common::FileRequest& request) override;
    std::vector<std::string> choose_open_files(const common::FileRequest& request) override;

  private:
    QPointer<QWidget> parent_;
};

// The file chooser's type list in Qt's form, "label (patterns)" joined by ";;". A filter
// "*.*" means every file, as it does where the program comes from, so Qt is given "*".
QString qt_name_filters(const std::vector<common::FileFilter>& filters);

}  // namespace kelpira::ui
