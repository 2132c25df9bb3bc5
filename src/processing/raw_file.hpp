// A raw output file opened for reading, handed out one line at a time from large blocks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelpira::processing {

class RawFile {
  public:
    // Lines are read whole, however long, up to this many bytes; the rest of a longer line
    // is dropped (no record of the sensor comes anywhere near it).
    static constexpr std::size_t kDefaultMaxLine = std::size_t{64} << 20;

    // Opens a file for reading; nullopt with the system's reason in `error` when it cannot.
    static std::optional<RawFile> open(const std::filesystem::path& path,
                                       std::string* error = nullptr,
                                       std::size_t max_line = kDefaultMaxLine);

    RawFile(RawFile&&) noexcept = default;
    RawFile& operator=(RawFile&&) noexcept = default;
    ~RawFile() = default;

    // Back to the start of the file; clears the end-of-file and error state.
    void rewind();

    // The next line without its line feed (and without a carriage return before it). False
    // at the end of the file or on a read error; the view stays valid until the next call.
    bool next_line(std::string_view& line);

    bool failed() const { return error_; }
    // Bytes of the file handed out as lines so far, and the file's size when it was
    // opened (0 when unknown): for progress.
    std::uint64_t position() const { return consumed_; }
    std::uint64_t size() const { return size_; }

  private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    RawFile(std::FILE* f, std::uint64_t size, std::size_t max_line);
    bool fill();

    std::unique_ptr<std::FILE, Closer> file_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;     // first byte not yet handed out
    std::size_t end_ = 0;       // end of the bytes read into the buffer
    std::size_t searched_ = 0;  // bytes from begin_ already known to hold no line feed
    std::size_t max_line_ = kDefaultMaxLine;
    bool skipping_ = false;  // dropping the rest of an overlong line
    bool eof_ = false;
    bool error_ = false;
    std::uint64_t consumed_ = 0;
    std::uint64_t size_ = 0;
};

}  // namespace kelpira::processing
