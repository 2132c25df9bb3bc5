// State-machine program files: the layout chosen by the file name, reading (with
// normalisation) and writing, from and to paths or streams.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "statemachine/state_machine_image.hpp"

namespace kelpira::statemachine {

// current: the 77-byte records as they are (.asm and any other name);
// legacy: 102-byte records (an extension that begins with "D" or "d": .dat, .DAT, .dump);
// json: the JSON text form (.json, any case).
enum class FileLayout { current, legacy, json };

FileLayout layout_for(std::string_view path);

// The file dialogs' title, filters and default extension.
inline constexpr std::string_view kProgramFileTitle = "State Machine File";
inline constexpr std::string_view kProgramFileExtension = "asm";

// Reads a program: on success the image's states, last_index and current are replaced and
// normalised. Fails on a stream error, a file with no state, a partial record or more than 255
// states, and for JSON on any fault, with `why` saying what and where ("byte 900: a partial
// record (53 of 77 bytes)", for JSON the line and field); the image is then left as it was.
// Takes no snapshot.
bool read_program(std::istream& in, FileLayout layout, StateMachineImage& image, std::string& why);
// Writes states 0..last_index in the layout; false on the first short write.
bool write_program(std::ostream& out, FileLayout layout, const StateMachineImage& image);

// The same for a file, the layout chosen by its name; saving goes through the safe writer.
bool load_file(const std::string& path, StateMachineImage& image, std::string& why);
bool save_file(const std::string& path, const StateMachineImage& image);

}  // namespace kelpira::statemachine
