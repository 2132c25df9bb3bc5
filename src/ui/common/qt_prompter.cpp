// QMessageBox and QFileDialog behind the Prompter port.
#include "ui/common/qt_prompter.hpp"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

namespace kelpira::ui {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

common::Answer answer_of(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return common::Answer::Yes;
        case QMessageBox::No:
            return common::Answer::No;
        default:
            return common::Answer::Cancel;
    }
}

// Title, type list, default extension, overwrite prompt and initial name of a chooser.
void configure(QFileDialog& dialog, const common::FileRequest& request, bool save) {
    dialog.setWindowTitle(q(request.title));
    dialog.setNameFilters(qt_name_filters(request.filters).split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(q(request.default_extension));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save) {
        // A name typed without an extension takes that of the chosen filter ("*.nc").
        QObject::connect(
            &dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog, request](const QString& selected) {
                const auto index = dialog.nameFilters().indexOf(selected);
                std::string suffix = request.default_extension;
                if (index >= 0 && static_cast<std::size_t>(index) < request.filters.size()) {
                    const std::string& pattern = request.filters[index].pattern;
                    if (pattern.starts_with("*.") && pattern != "*.*") {
                        suffix = pattern.substr(2);
                    }
                }
                dialog.setDefaultSuffix(q(suffix));
            });
    }
    if (save && !request.prompt_overwrite) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!request.initial_name.empty()) {
        dialog.selectFile(q(request.initial_name));
    }
}

std::vector<std::string> run(QFileDialog& dialog) {
    std::vector<std::string> out;
    if (dialog.exec() == QDialog::Accepted) {
        for (const QString& f : dialog.selectedFiles()) {
            out.push_back(f.toStdString());
        }
    }
    return out;
}

}  // namespace

QString qt_name_filters(const std::vector<common::FileFilter>& filters) {
    QStringList parts;
    for (const auto& f : filters) {
        QString label = q(f.label);
        const QString pattern = f.pattern == "*.*" ? QStringLiteral("*") : q(f.pattern);
        // Qt takes the patterns from the parenthesised tail of the label.
        static const QRegularExpression tail(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
        label.remove(tail);
        parts << QStringLiteral("%1 (%2)").arg(label, pattern);
    }
    return parts.join(QStringLiteral(";;"));
}

void QtPrompter::message(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, q(caption), q(text), QMessageBox::Ok, parent_);
    box.exec();
}

common::Answer QtPrompter::ask_yes_no(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, q(caption), q(text), QMessageBox::Yes | QMessageBox::No,
                    parent_);
    return answer_of(box.exec());
}

common::Answer QtPrompter::ask_yes_no_cancel(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, q(caption), q(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    return answer_of(box.exec());
}

std::optional<std::string> QtPrompter::choose_open_file(const common::FileRequest& request) {
    QFileDialog dialog(parent_);
    configure(dialog, request, false);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto files = run(dialog);
    if (files.empty()) {
        return std::nullopt;
    }
    return files.front();
}

std::optional<std::string> QtPrompter::choose_save_file(const common::FileRequest& request) {
    QFileDialog dialog(parent_);
    configure(dialog, request, true);
    dialog.setFileMode(QFileDialog::AnyFile);
    auto files = run(dialog);
    if (files.empty()) {
        return std::nullopt;
    }
    return files.front();
}

std::vector<std::string> QtPrompter::choose_open_files(const common::FileRequest& request) {
    QFileDialog dialog(parent_);
    configure(dialog, request, false);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    return run(dialog);
}

}  // namespace kelpira::ui
