// Drawing the progress bar.
#include "processing/progress_bar.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

namespace kelpira::processing {

void ProgressBar::update(std::uint64_t done_bytes, std::size_t file_number) {
    const int permille = total_bytes_ == 0
                             ? 0
                             : static_cast<int>(std::min<std::uint64_t>(done_bytes, total_bytes_) *
                                                1000 / total_bytes_);
    if (permille != shown_permille_ || file_number != shown_file_) {
        draw(permille, file_number);
    }
}

void ProgressBar::finish() {
    draw(1000, total_files_);
    out_ << '\n';
    out_.flush();
}

void ProgressBar::draw(int permille, std::size_t file_number) {
    shown_permille_ = permille;
    shown_file_ = file_number;
    const int filled = permille * kWidth / 1000;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '.');
    char text[128];
    std::snprintf(text, sizeof text, "\r[%s] %3d.%d%%  file %zu of %zu", bar.c_str(), permille / 10,
                  permille % 10, file_number, total_files_);
    out_ << text;
    out_.flush();
}

}  // namespace kelpira::processing
