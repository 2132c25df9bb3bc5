// Block-wise line reading of raw output files.
#include "processing/raw_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace kelpira::processing {

namespace {
constexpr std::size_t kBlock = std::size_t{1} << 17;
constexpr std::size_t kSmallestBlock = 4096;

// A small file gets a buffer of its own size: zeroing a whole block for a few bytes cost more
// than reading them (many short files, or the fuzzer's inputs). A size of 0 is unknown (a pipe).
std::size_t first_buffer_size(std::uint64_t file_size, std::size_t max_line) {
    const std::size_t block =
        file_size > 0
            ? static_cast<std::size_t>(std::clamp<std::uint64_t>(file_size, kSmallestBlock, kBlock))
            : kBlock;
    return std::min(block, max_line) + 1;
}
}  // namespace

std::optional<RawFile> RawFile::open(const std::filesystem::path& path, std::string* error,
                                     std::size_t max_line) {
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        if (error != nullptr) {
            *error = std::generic_category().message(errno);
        }
        return std::nullopt;
    }
    std::error_code ec;
    const auto size = std::filesystem::is_regular_file(path, ec)
                          ? std::filesystem::file_size(path, ec)
                          : std::uintmax_t{0};
    return RawFile(f, ec ? 0 : size, std::max<std::size_t>(max_line, 1));
}

RawFile::RawFile(std::FILE* f, std::uint64_t size, std::size_t max_line)
    : file_(f), buffer_(first_buffer_size(size, max_line)), max_line_(max_line), size_(size) {}

void RawFile::rewind() {
    std::clearerr(file_.get());
    if (std::fseek(file_.get(), 0, SEEK_SET) != 0) {
        error_ = true;
        return;
    }
    begin_ = end_ = searched_ = 0;
    skipping_ = eof_ = error_ = false;
    consumed_ = 0;
}

// Reads more bytes behind the unread ones, moving those to the front and growing the buffer
// (up to the longest line kept) when they fill it. False when nothing more could be read.
bool RawFile::fill() {
    if (eof_ || error_) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) {
        buffer_.resize(std::min(buffer_.size() * 2, max_line_ + 1));
    }
    const std::size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_.get());
    end_ += n;
    if (n == 0) {
        if (std::ferror(file_.get()) != 0) {
            error_ = true;
        } else {
            eof_ = true;
        }
        return false;
    }
    return true;
}

bool RawFile::next_line(std::string_view& line) {
    for (;;) {
        const char* base = buffer_.data() + begin_;
        const std::size_t avail = end_ - begin_;
        const auto* lf =
            static_cast<const char*>(std::memchr(base + searched_, '\n', avail - searched_));
        if (lf != nullptr) {
            const auto len = static_cast<std::size_t>(lf - base);
            begin_ += len + 1;
            searched_ = 0;
            consumed_ += len + 1;
            if (skipping_) {
                skipping_ = false;
                continue;
            }
            const std::size_t kept = len > 0 && base[len - 1] == '\r' ? len - 1 : len;
            line = std::string_view(base, kept);
            return true;
        }
        searched_ = avail;
        if (skipping_) {
            // Only the line feed that ends the overlong line matters: drop what was read.
            consumed_ += avail;
            begin_ = end_;
            searched_ = 0;
        } else if (avail >= max_line_) {
            // An overlong line: hand out its first max_line_ bytes, drop the rest.
            line = std::string_view(base, max_line_);
            begin_ += max_line_;
            consumed_ += max_line_;
            searched_ = 0;
            skipping_ = true;
            return true;
        }
        if (!fill()) {
            if (error_ || begin_ == end_ || skipping_) {
                begin_ = end_;
                return false;
            }
            // The last line of a file without a final line feed.
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            consumed_ += end_ - begin_;
            begin_ = end_;
            searched_ = 0;
            return true;
        }
    }
}

}  // namespace kelpira::processing
