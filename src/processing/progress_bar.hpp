// A text progress bar for a terminal: redrawn in place on one line, only when it changes.
#pragma once

#include <cstdint>
#include <ostream>

namespace kelpira::processing {

class ProgressBar {
  public:
    static constexpr int kWidth = 40;  // characters between the brackets

    // Shows the progress of `total_bytes` over `total_files` files on `out`.
    ProgressBar(std::ostream& out, std::uint64_t total_bytes, std::size_t total_files)
        : out_(out), total_bytes_(total_bytes), total_files_(total_files) {}

    // `done_bytes` of all files processed, the current file being `file_number` (1-based).
    void update(std::uint64_t done_bytes, std::size_t file_number);

    // Draws the full bar and ends its line.
    void finish();

  private:
    void draw(int permille, std::size_t file_number);

    std::ostream& out_;
    std::uint64_t total_bytes_;
    std::size_t total_files_;
    int shown_permille_ = -1;
    std::size_t shown_file_ = 0;
};

}  // namespace kelpira::processing
