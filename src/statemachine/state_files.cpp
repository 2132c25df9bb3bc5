// Reading and writing program files in the current, legacy and JSON layouts.
#include "statemachine/state_files.hpp"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>

#include "common/safe_file.hpp"
#include "statemachine/legacy_layout.hpp"
#include "statemachine/state_json.hpp"

namespace kelpira::statemachine {

namespace {

// Reads whole records of `Size` bytes to the end of the data. A file with no record, one that
// ends inside a record or one that holds more than 255 records is refused with the byte offset
// where it goes wrong: loading the part that could be read would put a program on the sensor
// that nobody wrote.
template <std::size_t Size, typename Convert>
bool read_records(std::istream& in, StateMachineImage& image, std::string& why, Convert convert) {
    std::size_t count = 0;
    std::array<std::uint8_t, Size> record{};
    const auto at = [&count] { return "byte " + std::to_string(count * Size) + ": "; };
    for (;;) {
        in.read(reinterpret_cast<char*>(record.data()), Size);
        const auto got = static_cast<std::size_t>(in.gcount());
        if (in.bad()) {
            why = "read error";
            return false;
        }
        if (got == 0) {
            break;
        }
        if (got != Size) {
            why = at() + "a partial record (" + std::to_string(got) + " of " +
                  std::to_string(Size) + " bytes)";
            return false;
        }
        if (count == kMaxStates) {
            why = at() + "more than 255 states";
            return false;
        }
        image.states[count++] = convert(record);
    }
    if (count == 0) {
        why = "byte 0: no states (the file is empty)";
        return false;
    }
    image.last_index = static_cast<std::uint16_t>(count - 1);
    return true;
}

template <std::size_t Size>
bool write_bytes(std::ostream& out, const std::array<std::uint8_t, Size>& bytes) {
    out.write(reinterpret_cast<const char*>(bytes.data()), Size);
    return static_cast<bool>(out);
}

}  // namespace

FileLayout layout_for(std::string_view path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 >= name.size()) {
        return FileLayout::current;
    }
    std::string extension = name.substr(dot + 1);
    for (auto& ch : extension) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    if (extension == "json") {
        return FileLayout::json;
    }
    return extension[0] == 'd' ? FileLayout::legacy : FileLayout::current;
}

bool read_program(std::istream& in, FileLayout layout, StateMachineImage& image, std::string& why) {
    // Read aside: a file that fails half-way must not cost the user the program in memory.
    auto read = std::make_unique<StateMachineImage>();
    bool ok = false;
    switch (layout) {
        case FileLayout::current:
            ok = read_records<StateRecord::size>(
                in, *read, why, [](const StateBytes& b) { return decode_state_record(b); });
            break;
        case FileLayout::legacy:
            ok = read_records<kLegacyRecordSize>(
                in, *read, why, [](const LegacyBytes& b) { return from_legacy(b); });
            break;
        case FileLayout::json:
            ok = read_program_json(in, *read, why);
            break;
    }
    if (!ok) {
        if (why.empty()) {
            why = "read error";
        }
        return false;
    }
    normalise_image(*read);
    image.states = read->states;
    image.last_index = read->last_index;
    image.current = 0;
    return true;
}

bool write_program(std::ostream& out, FileLayout layout, const StateMachineImage& image) {
    if (layout == FileLayout::json) {
        return write_program_json(out, image);
    }
    for (std::size_t i = 0; i < image.state_count(); ++i) {
        const bool ok = layout == FileLayout::legacy ? write_bytes(out, to_legacy(image.states[i]))
                                                     : write_bytes(out, encode(image.states[i]));
        if (!ok) {
            return false;
        }
    }
    out.flush();
    return static_cast<bool>(out);
}

bool load_file(const std::string& path, StateMachineImage& image, std::string& why) {
    std::ifstream in;
    if (!std::filesystem::is_directory(path)) {
        in.open(path, std::ios::binary);
    }
    if (!in.is_open()) {
        why = "cannot open the file";
        return false;
    }
    return read_program(in, layout_for(path), image, why);
}

bool save_file(const std::string& path, const StateMachineImage& image) {
    return common::write_file_safely(
        path, [&](std::ostream& out) { return write_program(out, layout_for(path), image); });
}

}  // namespace kelpira::statemachine
