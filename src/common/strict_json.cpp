// The JSON document, then a second pass that follows the parser for lines and keys.
#include "common/strict_json.hpp"

#include <iterator>
#include <set>
#include <vector>

namespace kelpira::common {

namespace {

using Json = nlohmann::ordered_json;

// Counts the line feeds the parser has read, so that each key can be given its line.
class LineCountingIterator {
  public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    LineCountingIterator(const char* p, std::size_t* line_feeds) : p_(p), line_feeds_(line_feeds) {}
    reference operator*() const { return *p_; }
    LineCountingIterator& operator++() {
        if (*p_ == '\n') {
            ++*line_feeds_;
        }
        ++p_;
        return *this;
    }
    LineCountingIterator operator++(int) {
        auto before = *this;
        ++*this;
        return before;
    }
    bool operator==(const LineCountingIterator& o) const { return p_ == o.p_; }

  private:
    const char* p_;
    std::size_t* line_feeds_;
};

// Records the line of every key and of every object or array that opens inside an array, by
// its path. Keys and brackets end without look-ahead, so the count of line feeds read so far
// is exact at these events.
class KeyLines final : public nlohmann::json_sax<Json> {
  public:
    KeyLines(const std::size_t& line_feeds, StrictJson& out) : line_feeds_(line_feeds), out_(out) {}

    bool null() override { return value(); }
    bool boolean(bool) override { return value(); }
    bool number_integer(number_integer_t) override { return value(); }
    bool number_unsigned(number_unsigned_t) override { return value(); }
    bool number_float(number_float_t, const string_t&) override { return value(); }
    bool string(string_t&) override { return value(); }
    bool binary(binary_t&) override { return value(); }
    bool start_object(std::size_t) override { return open(false); }
    bool start_array(std::size_t) override { return open(true); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool key(string_t& k) override {
        Frame& frame = frames_.back();
        frame.key = k;
        if (!frame.keys.insert(k).second && out_.duplicate.empty()) {
            out_.duplicate = path();
            out_.duplicate_line = line_feeds_ + 1;
        }
        out_.lines[path()] = line_feeds_ + 1;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

  private:
    struct Frame {
        bool array = false;
        std::size_t index = 0;
        std::string key;
        std::set<std::string> keys;  // of an object, so far
    };

    std::string path() const {
        std::string p;
        for (const auto& f : frames_) {
            p += f.array ? "[" + std::to_string(f.index) + "]" : (p.empty() ? "" : ".") + f.key;
        }
        return p;
    }
    bool open(bool array) {
        if (!frames_.empty() && frames_.back().array) {
            out_.lines[path()] = line_feeds_ + 1;
        }
        frames_.push_back(Frame{array, 0, {}, {}});
        return true;
    }
    bool close() {
        frames_.pop_back();
        return value();
    }
    bool value() {
        if (!frames_.empty() && frames_.back().array) {
            ++frames_.back().index;
        }
        return true;
    }

    const std::size_t& line_feeds_;
    StrictJson& out_;
    std::vector<Frame> frames_;
};

}  // namespace

std::size_t StrictJson::line_of(std::string path) const {
    while (!path.empty()) {
        if (const auto it = lines.find(path); it != lines.end()) {
            return it->second;
        }
        const auto cut = path.find_last_of(".[");
        path.erase(cut == std::string::npos ? 0 : cut);
    }
    return 1;
}

StrictJson read_strict_json(std::string_view text) {
    StrictJson out;
    out.doc = Json::parse(text);
    std::size_t line_feeds = 0;
    KeyLines key_lines(line_feeds, out);
    Json::sax_parse(LineCountingIterator(text.data(), &line_feeds),
                    LineCountingIterator(text.data() + text.size(), &line_feeds), &key_lines);
    return out;
}

}  // namespace kelpira::common
