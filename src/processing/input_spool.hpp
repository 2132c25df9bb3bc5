// Raw files that cannot be read twice (standard input, a pipe, process substitution): each
// file is read once for its header and again for its rows, so these are first copied whole
// into a temporary file, removed when the spool goes.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace kelpira::processing {

class InputSpool {
  public:
    // "-" names `standard_input`.
    explicit InputSpool(std::istream& standard_input) : standard_input_(standard_input) {}
    ~InputSpool();
    InputSpool(const InputSpool&) = delete;
    InputSpool& operator=(const InputSpool&) = delete;

    // The path to open for `path`: the path itself unless it is "-", a pipe, a terminal or a
    // socket, which are copied into a temporary file first. Nothing, with the reason in
    // `error`, when such an input cannot be read or copied.
    std::optional<std::string> readable(const std::string& path, std::string& error);

  private:
    std::istream& standard_input_;
    std::vector<std::string> copies_;
};

}  // namespace kelpira::processing
