// The one reader of the JSON files the program takes (state-machine programs, configuration
// snapshots): nlohmann-json, with the line of each field kept and a key given twice in one
// object found, which the parser alone would let the last one win.
#pragma once

#include <cstddef>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace kelpira::common {

struct StrictJson {
    nlohmann::ordered_json doc;
    // The line of every key and of every object or array that opens inside an array, by its
    // path ("[3].counter[2].mode", "rs232_config.baud").
    std::map<std::string, std::size_t> lines;
    // The first key given twice in one object, by its path, and its line; empty when none.
    std::string duplicate;
    std::size_t duplicate_line = 0;

    // The line of `path`, or of the nearest enclosing value whose line is known; else 1.
    std::size_t line_of(std::string path) const;
};

// Throws nlohmann::json::exception on a syntax error or a number no double can hold.
StrictJson read_strict_json(std::string_view text);

}  // namespace kelpira::common
