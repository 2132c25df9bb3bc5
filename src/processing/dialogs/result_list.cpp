// Writing a processing result list as comma-separated text.
#include "processing/dialogs/result_list.hpp"

#include <ranges>

#include "common/csv_cell.hpp"
#include "common/safe_file.hpp"

namespace kelpira::processing {

common::FileRequest processed_results_request() {
    common::FileRequest r;
    r.title = "Processed Results Output File";
    r.filters = {{"CSV Files (*.csv)", "*.csv"}, {"All Files (*.*)", "*.*"}};
    r.default_extension = "csv";
    r.prompt_overwrite = true;
    return r;
}

std::string unlisted_results_text(std::size_t unlisted) {
    return std::to_string(unlisted) +
           " older results are not listed or saved; kelpira-process writes them all.";
}

std::string result_list_text(const ResultList& list) {
    std::string out;
    common::append_csv_line(out, list.columns | std::views::transform(&ResultColumn::title));
    for (const auto& row : list.rows) {
        common::append_csv_line(out, row);
    }
    return out;
}

bool save_result_list(const ResultList& list, common::Prompter& prompter) {
    const auto path = prompter.choose_save_file(processed_results_request());
    if (!path) {
        return false;
    }
    const std::string text = result_list_text(list);
    const bool written = common::write_file_safely(*path, [&text](std::ostream& out) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        return static_cast<bool>(out);
    });
    if (!written) {
        prompter.message("Save Processed Output", "Unable to open " + *path + " for write");
        return false;
    }
    if (!list.rows.empty()) {
        std::string said = "Processed Output saved to " + *path;
        if (list.unlisted > 0) {
            said += "\n" + unlisted_results_text(list.unlisted);
        }
        prompter.message("Save Processed Output", said);
    }
    return true;
}

}  // namespace kelpira::processing
