// Holding back the table lines of one file.
#include "processing/result_spool.hpp"

namespace kelpira::processing {

void ResultSpool::append(std::string_view text) {
    memory_.append(text);
    if (memory_.size() < kMemoryLimit || failed_) {
        return;
    }
    if (!spill_) {
        spill_.reset(std::tmpfile());
    }
    if (!spill_ || std::fwrite(memory_.data(), 1, memory_.size(), spill_.get()) != memory_.size()) {
        failed_ = true;
    }
    memory_.clear();
}

bool ResultSpool::move_to(std::ostream& out) {
    bool ok = !failed_;
    if (ok && spill_) {
        std::rewind(spill_.get());
        char buffer[1 << 16];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, spill_.get())) > 0) {
            out.write(buffer, static_cast<std::streamsize>(n));
        }
        ok = std::ferror(spill_.get()) == 0;
    }
    if (ok) {
        out.write(memory_.data(), static_cast<std::streamsize>(memory_.size()));
    }
    clear();
    return ok && static_cast<bool>(out);
}

void ResultSpool::clear() {
    memory_.clear();
    spill_.reset();
    failed_ = false;
}

}  // namespace kelpira::processing
