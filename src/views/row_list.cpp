// Capped view rows and their save as comma-separated text.
#include "views/row_list.hpp"

#include <ostream>

#include "common/csv_cell.hpp"
#include "common/safe_file.hpp"

namespace kelpira::views {

void RowList::append(ViewRow row) {
    if (full()) {
        drop_oldest();
    }
    push(std::move(row));
}

std::optional<std::size_t> RowList::revise_last_cell(std::size_t number, std::string text,
                                                     std::optional<Rgb> colour) {
    if (number < dropped_ || number - dropped_ >= rows_.size()) {
        return std::nullopt;
    }
    const std::size_t at = number - dropped_;
    ViewRow& row = rows_[at];
    if (row.cells.empty()) {
        return std::nullopt;
    }
    row.cells.back() = std::move(text);
    row.last_cell_colour = colour;
    return at;
}

std::string older_rows_text(std::size_t count, const RowNoun& noun) {
    return std::to_string(count) + " older " + (count == 1 ? noun.one : noun.many);
}

std::string rows_csv(const std::vector<std::string>& titles, const RowList& rows) {
    std::string text;
    common::append_csv_line(text, titles);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        common::append_csv_line(text, rows[i].cells);
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
        std::string said = how.saved + *path;
        if (rows.dropped() > 0) {
            said += "\n" + older_rows_text(rows.dropped(), how.noun) + " " +
                    (rows.dropped() == 1 ? "was" : "were") +
                    " not saved: the list keeps the newest " + std::to_string(rows.cap()) + ".";
        }
        prompter.message(how.caption, said);
    }
}

}  // namespace kelpira::views
