// The raw output file chooser and its failure text.
#include "processing/dialogs/raw_file_choice.hpp"

namespace kelpira::processing {

common::FileRequest raw_file_request() {
    common::FileRequest r;
    r.title = "Raw Output File";
    r.filters = {{"Raw Output Files (*.csv)", "*.csv"}, {"All Files (*.*)", "*.*"}};
    r.default_extension = "csv";
    r.prompt_overwrite = false;
    return r;
}

std::string cannot_open_text(const std::string& path) {
    return "Can't open file " + path;
}

}  // namespace kelpira::processing
