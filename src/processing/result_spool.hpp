// The table lines of one file, held back until the file has been read to its end so that a
// file that fails half-way adds nothing to the output. Memory stays bounded: beyond a
// megabyte the lines go to an anonymous temporary file.
#pragma once

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace kelpira::processing {

class ResultSpool {
  public:
    static constexpr std::size_t kMemoryLimit = std::size_t{1} << 20;

    void append(std::string_view text);

    // Writes everything held to `out` and empties the spool; false when the spool could not
    // hold the lines (the temporary file failed) or `out` failed.
    bool move_to(std::ostream& out);

    // Drops everything held.
    void clear();

    // Nothing appended since the last move or clear.
    bool empty() const { return memory_.empty() && !spill_; }

  private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    std::string memory_;
    std::unique_ptr<std::FILE, Closer> spill_;
    bool failed_ = false;
};

}  // namespace kelpira::processing
