// Header reading and row passes of the processing dialogs over the raw file reader.
#include "processing/dialogs/raw_pass.hpp"

#include "processing/dialogs/raw_file_choice.hpp"
#include "processing/raw_file.hpp"
#include "processing/raw_row_scan.hpp"

namespace kelpira::processing {
namespace {

// Rows between two looks at the cancel flag and the progress: often enough for a prompt
// cancel, rare enough to cost nothing beside the scanning.
constexpr unsigned kRowsPerCheck = 4096;

}  // namespace

std::optional<OpenedRawFile> read_raw_header(const std::string& path, RawChemistry chemistry) {
    auto file = RawFile::open(path);
    if (!file) {
        return std::nullopt;
    }
    OpenedRawFile out;
    out.path = path;
    const HeaderReading reading = read_header(*file, chemistry, out.header);
    if (reading.read_error) {
        return std::nullopt;
    }
    out.found = reading.found;
    return out;
}

std::optional<std::string> choose_raw_path(common::Prompter& prompter) {
    return prompter.choose_open_file(raw_file_request());
}

std::optional<OpenedRawFile> checked_raw_file(common::Prompter& prompter,
                                              const std::string& caption, const std::string& path,
                                              std::optional<OpenedRawFile> read) {
    if (!read) {
        prompter.message(caption, cannot_open_text(path));
    }
    return read;
}

RowPassEnd for_each_file_row(const std::string& path, RawChemistry chemistry,
                             const PassControl& control,
                             const std::function<void(const RawRow&)>& row) {
    auto file = RawFile::open(path);
    if (!file) {
        return RowPassEnd::cannot_open;
    }
    unsigned until_check = 0;
    const RowPass end = for_each_row(*file, chemistry, [&](const RawRow& r) {
        if (until_check-- == 0) {
            until_check = kRowsPerCheck;
            if (control.cancelled && control.cancelled()) {
                return false;
            }
            if (control.progress) {
                control.progress(file->position(), file->size());
            }
        }
        row(r);
        return true;
    });
    switch (end) {
        case RowPass::completed:
            if (control.progress) {
                control.progress(file->size(), file->size());
            }
            return RowPassEnd::done;
        case RowPass::read_error:
            return RowPassEnd::read_error;
        case RowPass::stopped:
            break;
    }
    return RowPassEnd::cancelled;
}

}  // namespace kelpira::processing
