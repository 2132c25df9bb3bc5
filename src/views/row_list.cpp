// Capped view rows and their save as comma-separated text.
#include "views/row_list.hpp"

#include <ostream>

#include "common/csv_cell.hpp"
#include "common/safe_file.hpp"

namespace kelpira::app {

namespace {

void append_line(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        common::append_csv_cell(out, cells[i]);
    }
    out += '\n';
}

}  // namespace

void RowList::append(ViewRow row) {
    if (full()) {
        drop_oldest();
    }
    push(std::move(row));
}

std::string rows_csv(const std::vector<std::string>& titles, const RowList& rows) {
    std::string text;
    append_line(text, titles);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        append_line(text, rows[i].cells);
    }
    return text;
}

void save_rows(common::Prompter& prompter, const ListSave& how, std::string& last_path,
               const std::vector<std::string>& titles, const RowList& rows) {
    common::FileRequest request;
    request.title = how.title;
    request.filters = {how.filter, {"All Files (*.*)", "*.*"}};
    request.default_extension = how.extension;
    request.initial_name = last_path;
    const auto path = prompter.choose_save_file(request);
    if (!path) {
        return;
    }
    last_path = *path;
    const std::string text = rows_csv(titles, rows);
    const bool written = common::write_file_safely(*path, [&text](std::ostream& out) {
        out << text;
        return static_cast<bool>(out);
    });
    if (!written) {
        prompter.message(how.caption, "Unable to open " + *path + " for write");
    } else if (rows.size() > 0) {
        prompter.message(how.caption, how.saved + *path);
    }
}

}  // namespace kelpira::app
